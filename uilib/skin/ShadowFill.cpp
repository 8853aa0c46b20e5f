#include "uilib/skin/ShadowFill.h"

#include <algorithm>
#include <cmath>

namespace FWSkin {

std::vector<ShadowSpan> SpansOfRegion(HRGN region, int width, int height)
{
    std::vector<ShadowSpan> rows(std::max(0, height));
    if (!region) {
        for (ShadowSpan& row : rows)
            row = ShadowSpan{0, width - 1};
        return rows;
    }
    DWORD size = GetRegionData(region, 0, nullptr);
    if (!size)
        return rows;
    std::vector<BYTE> data(size);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (!GetRegionData(region, size, header))
        return rows;
    const RECT* rects = reinterpret_cast<const RECT*>(header->Buffer);
    for (DWORD i = 0; i < header->rdh.nCount; ++i) {
        const RECT& r = rects[i];
        int left = std::max<int>(0, r.left), right = std::min<int>(width, r.right) - 1;
        if (right < left)
            continue;
        for (int y = std::max<int>(0, r.top); y < std::min<int>(height, r.bottom); ++y) {
            ShadowSpan& row = rows[y];
            if (row.Empty())
                row = ShadowSpan{left, right};
            else
                row.left = std::min(row.left, left), row.right = std::max(row.right, right);
        }
    }
    return rows;
}

namespace {

DWORD Premultiplied(COLORREF color, int alpha)
{
    DWORD r = GetRValue(color) * alpha / 255, g = GetGValue(color) * alpha / 255, b = GetBValue(color) * alpha / 255;
    return (static_cast<DWORD>(alpha) << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

bool FillShadow(const std::vector<ShadowSpan>& spans, int width, int height, const ShadowParameters& look, DWORD* bits,
                int bitmapWidth, int bitmapHeight)
{
    const int s = look.size, p = look.sharpness, d = look.darkness;
    if (!bits || bitmapWidth <= 0 || bitmapHeight <= 0 || width <= 0 || height <= 0 ||
        static_cast<int>(spans.size()) < height)
        return false;
    std::fill(bits, bits + static_cast<size_t>(bitmapWidth) * bitmapHeight, 0u);

    // The shape in bitmap rows: the window's rows moved by the size (rows outside are dropped).
    std::vector<ShadowSpan> shape(bitmapHeight);
    for (int y = 0; y < height; ++y) {
        int by = y + s;
        if (by < 0 || by >= bitmapHeight || spans[y].Empty())
            continue;
        shape[by] = ShadowSpan{spans[y].left + s, spans[y].right + s};
    }
    // A sharper edge than the size reaches inwards: the shape shrinks first.
    for (int pass = 0; pass < p - s; ++pass) {
        std::vector<ShadowSpan> next(bitmapHeight);
        for (int y = 0; y < bitmapHeight; ++y) {
            bool empty = shape[y].Empty() || y == 0 || y == bitmapHeight - 1 || shape[y - 1].Empty() ||
                         shape[y + 1].Empty();
            if (empty)
                continue;
            int left = std::max({shape[y - 1].left, shape[y].left, shape[y + 1].left}) + 1;
            int right = std::min({shape[y - 1].right, shape[y].right, shape[y + 1].right}) - 1;
            if (left <= right)
                next[y] = ShadowSpan{left, right};
        }
        shape.swap(next);
    }

    // The kernel: full darkness inside h, fading to the radius.
    const int r = std::max(p, s), h = std::max(0, s - p);
    const int side = 2 * r + 1;
    std::vector<DWORD> kernel(static_cast<size_t>(side) * side);
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            double t = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            int alpha = 0;
            if (t < h)
                alpha = d;
            else if (t <= r)
                alpha = static_cast<int>(std::lround((1.0 - (t - h) / (p + 1)) * d));
            kernel[static_cast<size_t>(dy + r) * side + dx + r] = Premultiplied(look.color, std::max(0, alpha));
        }
    auto stamp = [&](int cx, int cy) {
        for (int dy = -r; dy <= r; ++dy) {
            int y = cy + dy;
            if (y < 0 || y >= bitmapHeight)
                continue;
            DWORD* row = bits + static_cast<size_t>(y) * bitmapWidth;
            const DWORD* k = kernel.data() + static_cast<size_t>(dy + r) * side;
            for (int x = std::max(0, cx - r); x <= std::min(bitmapWidth - 1, cx + r); ++x)
                row[x] = std::max(row[x], k[x - cx + r]);
        }
    };
    auto covered = [&](int y, int x) {
        return y >= 0 && y < bitmapHeight && !shape[y].Empty() && x >= shape[y].left && x <= shape[y].right;
    };
    for (int y = 0; y < bitmapHeight; ++y) {
        if (shape[y].Empty())
            continue;
        for (int x = shape[y].left; x <= shape[y].right; ++x)
            if (x == shape[y].left || x == shape[y].right || !covered(y - 1, x) || !covered(y + 1, x))
                stamp(x, y);
    }
    const DWORD full = Premultiplied(look.color, d);
    for (int y = 0; y < bitmapHeight; ++y) {
        if (shape[y].Empty())
            continue;
        DWORD* row = bits + static_cast<size_t>(y) * bitmapWidth;
        for (int x = std::max(0, shape[y].left); x <= std::min(bitmapWidth - 1, shape[y].right); ++x)
            row[x] = full;
    }
    // Where the window lies over its shadow, nothing shows.
    const int wx = s - look.xOffset, wy = s - look.yOffset;
    for (int y = 0; y < height; ++y) {
        int by = y + wy;
        if (by < 0 || by >= bitmapHeight || spans[y].Empty())
            continue;
        DWORD* row = bits + static_cast<size_t>(by) * bitmapWidth;
        for (int x = std::max(0, spans[y].left + wx); x <= std::min(bitmapWidth - 1, spans[y].right + wx); ++x)
            row[x] = 0;
    }
    return true;
}

}  // namespace FWSkin
