#include "uilib/skin/RegionTools.h"

#include <vector>

namespace FWSkin {

HRGN CopyRegion(HRGN source)
{
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (source)
        CombineRgn(copy, source, nullptr, RGN_COPY);
    return copy;
}

HRGN CutRegion(HRGN source, const RECT& clip)
{
    HRGN piece = CreateRectRgnIndirect(&clip);
    if (source)
        CombineRgn(piece, piece, source, RGN_AND);
    else
        SetRectRgn(piece, 0, 0, 0, 0);
    OffsetRgn(piece, -clip.left, -clip.top);
    return piece;
}

HRGN ScaleRegion(HRGN source, float sx, float sy)
{
    if (!source)
        return CreateRectRgn(0, 0, 0, 0);
    if (sx <= 0 || sy <= 0)
        return CreateRectRgn(0, 0, 0, 0);
    DWORD size = GetRegionData(source, 0, nullptr);
    std::vector<BYTE> data(size);
    if (!size || !GetRegionData(source, size, reinterpret_cast<RGNDATA*>(data.data())))
        return CreateRectRgn(0, 0, 0, 0);
    XFORM scale = {sx, 0, 0, sy, 0, 0};
    HRGN scaled = ExtCreateRegion(&scale, size, reinterpret_cast<RGNDATA*>(data.data()));
    return scaled ? scaled : CreateRectRgn(0, 0, 0, 0);
}

HRGN TileRegion(HRGN source, int tileCx, int tileCy, int cx, int cy)
{
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    if (!source || tileCx <= 0 || tileCy <= 0 || cx <= 0 || cy <= 0)
        return result;
    // An opaque tile tiles to the whole rectangle; so does one repeated past any sane count, whose
    // one region operation per tile would freeze the frame (and whose shape the display refuses).
    RECT box;
    const bool opaque = GetRgnBox(source, &box) == SIMPLEREGION && box.left <= 0 && box.top <= 0 &&
                        box.right >= tileCx && box.bottom >= tileCy;
    const long long tiles = ((static_cast<long long>(cx) + tileCx - 1) / tileCx) *
                            ((static_cast<long long>(cy) + tileCy - 1) / tileCy);
    const long long rects = static_cast<long long>(GetRegionData(source, 0, nullptr) / sizeof(RECT));
    if (opaque || tiles > kMaxRegionTiles || tiles * rects > kMaxTiledRegionRects) {
        SetRectRgn(result, 0, 0, cx, cy);
        return result;
    }
    // Doubling: each union joins two equal halves, so the work grows with the result, not with its
    // square as when adding one tile at a time to an ever larger region.
    CombineRgn(result, source, nullptr, RGN_COPY);
    HRGN moved = CreateRectRgn(0, 0, 0, 0);
    for (long long width = tileCx; width < cx; width *= 2) {
        CombineRgn(moved, result, nullptr, RGN_COPY);
        OffsetRgn(moved, static_cast<int>(width), 0);
        CombineRgn(result, result, moved, RGN_OR);
    }
    for (long long height = tileCy; height < cy; height *= 2) {
        CombineRgn(moved, result, nullptr, RGN_COPY);
        OffsetRgn(moved, 0, static_cast<int>(height));
        CombineRgn(result, result, moved, RGN_OR);
    }
    DeleteObject(moved);
    HRGN clip = CreateRectRgn(0, 0, cx, cy);
    CombineRgn(result, result, clip, RGN_AND);
    DeleteObject(clip);
    return result;
}

}  // namespace FWSkin
