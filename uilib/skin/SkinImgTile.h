#pragma once
#include "uilib/skin/Gradient.h"
#include "uilib/skin/SkinImg.h"

namespace FWSkin {

// The source repeated from the element's corner, the last column and row cut to the rectangle.
class CSkinImgTile : public CSkinImg {
public:
    using CSkinImg::CSkinImg;
    void Draw(HDC dc, bool withBackground) override;
    HRGN GetRegion() const override;

protected:
    void DrawTiles(HDC dc) const;
};

// A vertical gradient under the tiles; its region is its whole rectangle.
class CSkinImgTileGradient : public CSkinImgTile {
public:
    using CSkinImgTile::CSkinImgTile;
    void Draw(HDC dc, bool withBackground) override;
    HRGN GetRegion() const override;
    void SetColors(COLORREF start, COLORREF end) { m_gradient = GRADIENT{start, end}; }

private:
    GRADIENT m_gradient = {kNoColor, kNoColor};
};

}  // namespace FWSkin
