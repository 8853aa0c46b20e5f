#include "uilib/skin/SkinImgStrech.h"

#include <algorithm>

#include "uilib/skin/RegionTools.h"

namespace FWSkin {

namespace {

// Column (or row) starts and sizes for a span cut at two margins.
void Cut(LONG start, LONG size, LONG first, LONG last, LONG pos[3], LONG len[3])
{
    first = std::max<LONG>(0, std::min(first, size));
    last = std::max<LONG>(0, std::min(last, size - first));
    pos[0] = start;
    len[0] = first;
    pos[1] = start + first;
    len[1] = size - first - last;
    pos[2] = start + size - last;
    len[2] = last;
}

}  // namespace

bool CSkinImgStrech::HasSizingMargins() const
{
    return m_margins.left || m_margins.right || m_margins.top || m_margins.bottom;
}

void CSkinImgStrech::GetNineRects(const POINT& origin, RECT out[9]) const
{
    LONG xs[3], ws[3], ys[3], hs[3];
    Cut(origin.x, m_source.right, m_margins.left, m_margins.right, xs, ws);
    Cut(origin.y, m_source.bottom, m_margins.top, m_margins.bottom, ys, hs);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            out[row * 3 + col] = RECT{xs[col], ys[row], ws[col], hs[row]};
}

void CSkinImgStrech::GetDestinationRects(RECT out[9]) const
{
    // Corners keep their size but are cut to the rectangle; the middle takes what is left.
    LONG xs[3], ws[3], ys[3], hs[3];
    Cut(m_rect.left, m_rect.right, m_margins.left, m_margins.right, xs, ws);
    Cut(m_rect.top, m_rect.bottom, m_margins.top, m_margins.bottom, ys, hs);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            out[row * 3 + col] = RECT{xs[col], ys[row], ws[col], hs[row]};
}

void CSkinImgStrech::Draw(HDC dc, bool)
{
    if (!ShouldDraw(dc))
        return;
    if (!HasSizingMargins()) {
        m_painter->DrawImage(dc, &m_rect, &m_source, 255);
        return;
    }
    RECT src[9], dst[9];
    GetNineRects(POINT{m_source.left, m_source.top}, src);
    GetDestinationRects(dst);
    for (int i = 0; i < 9; ++i) {
        RECT s = src[i];
        // A corner cut to a smaller rectangle shows its outer part, not a squeezed picture.
        bool corner = i != 1 && i != 3 && i != 4 && i != 5 && i != 7;
        if (corner) {
            if (i % 3 == 2)
                s.left += s.right - dst[i].right;
            if (i / 3 == 2)
                s.top += s.bottom - dst[i].bottom;
            s.right = dst[i].right;
            s.bottom = dst[i].bottom;
        }
        m_painter->DrawImage(dc, &dst[i], &s, 255);
    }
}

HRGN CSkinImgStrech::GetRegion() const
{
    if (!m_region)
        return nullptr;
    LONG w = m_rect.right, h = m_rect.bottom, sw = m_source.right, sh = m_source.bottom;
    HRGN result;
    if (w == sw && h == sh) {
        result = CopyRegion(m_region);
    } else if (!HasSizingMargins()) {
        result = ScaleRegion(m_region, sw ? float(w) / sw : 0.f, sh ? float(h) / sh : 0.f);
    } else {
        result = CreateRectRgn(0, 0, 0, 0);
        RECT src[9];
        GetNineRects(POINT{0, 0}, src);  // the region is relative to the source's corner
        LONG lr = m_margins.left + m_margins.right, tb = m_margins.top + m_margins.bottom;
        float fx = sw - lr > 0 ? std::max(0.f, float(w - lr) / float(sw - lr)) : 0.f;
        float fy = sh - tb > 0 ? std::max(0.f, float(h - tb) / float(sh - tb)) : 0.f;
        for (int i = 0; i < 9; ++i) {
            const RECT& s = src[i];
            int col = i % 3, row = i / 3;
            RECT clip = {s.left, s.top, s.left + s.right, s.top + s.bottom};
            HRGN piece = CutRegion(m_region, clip);
            float scaleX = col == 1 ? fx : 1.f, scaleY = row == 1 ? fy : 1.f;
            if (scaleX != 1.f || scaleY != 1.f) {
                HRGN scaled = ScaleRegion(piece, scaleX, scaleY);
                DeleteObject(piece);
                piece = scaled;
            }
            LONG x = col == 0 ? 0 : (col == 1 ? m_margins.left : s.left + (w - sw));
            LONG y = row == 0 ? 0 : (row == 1 ? m_margins.top : s.top + (h - sh));
            OffsetRgn(piece, x, y);
            CombineRgn(result, result, piece, RGN_OR);
            DeleteObject(piece);
        }
        HRGN clip = CreateRectRgn(0, 0, w, h);
        CombineRgn(result, result, clip, RGN_AND);
        DeleteObject(clip);
    }
    OffsetRgn(result, m_rect.left, m_rect.top);
    return result;
}

}  // namespace FWSkin
