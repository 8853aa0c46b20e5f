#pragma once
#include "uilib/skin/SkinImg.h"

namespace FWSkin {

// A picture stretched to its rectangle; with sizing margins (left, right, top, bottom widths and
// heights drawn unscaled) it is cut into nine pieces: corners unscaled, edges and centre stretched.
class CSkinImgStrech : public CSkinImg {
public:
    using CSkinImg::CSkinImg;
    void Draw(HDC dc, bool withBackground) override;
    HRGN GetRegion() const override;

    virtual bool HasSizingMargins() const;
    // The nine source rectangles (x, y, cx, cy), row by row from the top left, with the source
    // moved to origin.
    virtual void GetNineRects(const POINT& origin, RECT out[9]) const;

    void SetMargins(const RECT& leftRightTopBottom) { m_margins = leftRightTopBottom; }
    const RECT& Margins() const { return m_margins; }

private:
    // The nine destination rectangles for the element's current rectangle.
    void GetDestinationRects(RECT out[9]) const;

    RECT m_margins = {};  // left, right, top, bottom
};

}  // namespace FWSkin
