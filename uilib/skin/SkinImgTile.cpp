#include "uilib/skin/SkinImgTile.h"

#include <algorithm>

#include "uilib/skin/GradientFill.h"
#include "uilib/skin/RegionTools.h"

namespace FWSkin {

void CSkinImgTile::DrawTiles(HDC dc) const
{
    const RECT& r = m_rect;
    for (LONG y = 0; y < r.bottom; y += m_source.bottom)
        for (LONG x = 0; x < r.right; x += m_source.right) {
            LONG cx = std::min(m_source.right, r.right - x);
            LONG cy = std::min(m_source.bottom, r.bottom - y);
            RECT dst = {r.left + x, r.top + y, cx, cy};
            RECT src = {m_source.left, m_source.top, cx, cy};
            m_painter->DrawImage(dc, &dst, &src, 255);
        }
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
