#pragma once
#include "uilib/skin/SkinBase.h"

namespace FWSkin {

constexpr DWORD kStyleNoMirror = kStyleClass1;

// A source rectangle of the skin image drawn unscaled at the element's position.
class CSkinImg : public CSkinBase {
public:
    CSkinImg(ISkinFrame* frame, int id) : CSkinBase(frame, id) {}

    void Draw(HDC dc, bool withBackground) override;
    // The hit region moved to the element's position, or null when it has none.
    virtual HRGN GetRegion() const;

    void SetSource(const RECT& xywh) { m_source = xywh; }
    const RECT& Source() const { return m_source; }

protected:
    // False when nothing should be drawn: hidden, empty source, or outside the clip.
    bool ShouldDraw(HDC dc) const;

    RECT m_source = {};
};

}  // namespace FWSkin
