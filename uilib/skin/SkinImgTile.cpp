#include "uilib/skin/SkinImgTile.h"

#include <algorithm>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/RegionTools.h"

namespace FWSkin {

namespace {

// Past this many tiles in view, a bigger tile is made first: one blend per tiny tile over a large
// element would freeze the paint.
const long long kMaxDirectTiles = 1024;
const LONG kBigTileSide = 64;

// The tiles' range [from, to) along one axis, from the element's origin: only what the clip box
// shows, starting on the tile grid.
void VisibleSpan(LONG origin, LONG extent, LONG clipFrom, LONG clipTo, LONG tile, LONG* from, LONG* to)
{
    const long long start = std::max<long long>(0, static_cast<long long>(clipFrom) - origin);
    *from = static_cast<LONG>(start / tile * tile);
    *to = static_cast<LONG>(std::min<long long>(extent, static_cast<long long>(clipTo) - origin));
}

long long TileCount(LONG from, LONG to, LONG tile)
{
    return to > from ? (static_cast<long long>(to) - from + tile - 1) / tile : 0;
}

}  // namespace

void CSkinImgTile::DrawTiles(HDC dc) const
{
    const RECT& r = m_rect;
    LONG tw = m_source.right, th = m_source.bottom;
    if (tw <= 0 || th <= 0)
        return;
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR)
        clip = RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
    LONG x0, x1, y0, y1;
    VisibleSpan(r.left, r.right, clip.left, clip.right, tw, &x0, &x1);
    VisibleSpan(r.top, r.bottom, clip.top, clip.bottom, th, &y0, &y1);
    if (TileCount(x0, x1, tw) * TileCount(y0, y1, th) <= kMaxDirectTiles) {
        for (LONG y = y0; y < y1; y += th)
            for (LONG x = x0; x < x1; x += tw) {
                LONG cx = std::min(tw, r.right - x);
                LONG cy = std::min(th, r.bottom - y);
                RECT dst = {r.left + x, r.top + y, cx, cy};
                RECT src = {m_source.left, m_source.top, cx, cy};
                m_painter->DrawImage(dc, &dst, &src, 255);
            }
        return;
    }
    // Blending the tile onto cleared pixels keeps its premultiplied colour and alpha as they are,
    // so the big tile blends exactly as its small tiles would.
    const LONG bw = tw * ((kBigTileSide + tw - 1) / tw), bh = th * ((kBigTileSide + th - 1) / th);
    DWORD* bits = nullptr;
    HBITMAP big = CreateDib32(bw, bh, &bits);
    HDC memory = big ? CreateCompatibleDC(dc) : nullptr;
    if (!memory) {
        if (big)
            DeleteObject(big);
        return;
    }
    HGDIOBJ old = SelectObject(memory, big);
    for (LONG y = 0; y < bh; y += th)
        for (LONG x = 0; x < bw; x += tw) {
            RECT dst = {x, y, tw, th};
            RECT src = {m_source.left, m_source.top, tw, th};
            m_painter->DrawImage(memory, &dst, &src, 255);
        }
    x0 = x0 / bw * bw;
    y0 = y0 / bh * bh;
    for (LONG y = y0; y < y1; y += bh)
        for (LONG x = x0; x < x1; x += bw) {
            LONG cx = std::min(bw, r.right - x);
            LONG cy = std::min(bh, r.bottom - y);
            AlphaBlendRTL(dc, r.left + x, r.top + y, cx, cy, memory, 0, 0, cx, cy,
                          BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(big);
}

void CSkinImgTile::Draw(HDC dc, bool)
{
    if (ShouldDraw(dc))
        DrawTiles(dc);
}

HRGN CSkinImgTile::GetRegion() const
{
    if (!m_region)
        return nullptr;
    HRGN tiled = TileRegion(m_region, m_source.right, m_source.bottom, m_rect.right, m_rect.bottom);
    OffsetRgn(tiled, m_rect.left, m_rect.top);
    return tiled;
}

void CSkinImgTileGradient::Draw(HDC dc, bool)
{
    if (!ShouldDraw(dc))
        return;
    RECT area = WindowRect();
    if (m_gradient.start != kNoColor)
        FillGradient(dc, &m_gradient, &area, false);
    DrawTiles(dc);
}

HRGN CSkinImgTileGradient::GetRegion() const
{
    RECT area = WindowRect();
    return CreateRectRgnIndirect(&area);
}

}  // namespace FWSkin
