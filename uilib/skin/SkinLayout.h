#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"
#include "uilib/skin/SkinImg.h"
#include "uilib/skin/SkinImgStrech.h"

class CProfileReader;
namespace Glazier {
class CSkin;
}

namespace FWSkin {

// The eight border parts of a frame from [Framework] (kind 1) or [Framework.FullScreen]
// (kind 2). A part's design position is its source rectangle; Place moves the parts for a
// window size. Four-integer values are left, right, top, bottom.
class CSkinLayout {
public:
    enum PartIndex { kTopLeft, kTopMiddle, kTopRight, kMiddleRight, kBottomRight, kBottomMiddle, kBottomLeft,
                     kMiddleLeft, kPartCount };
    static constexpr int kFirstPartId = -2;  // TopLeft; the others follow down to -9
    // Inner corner pieces, in corner order TopLeft, TopRight, BottomRight, BottomLeft.
    enum InnerIndex { kInnerTopLeft, kInnerTopRight, kInnerBottomRight, kInnerBottomLeft, kInnerCount };
    static constexpr int kFirstInnerId = -10;  // then -12, -14, -16

    explicit CSkinLayout(int kind) : m_kind(kind) {}
    virtual ~CSkinLayout();
    CSkinLayout(const CSkinLayout&) = delete;
    CSkinLayout& operator=(const CSkinLayout&) = delete;

    bool Load(ISkinFrame* frame, CProfileReader& reader, Glazier::CSkin& image);
    // The parts and the inner corner pieces for a window of that size.
    void Place(int width, int height);
    // The background over area (none with a null area), then the parts in their order.
    void Draw(HDC dc, const RECT* area);
    // The window region for that size (the parts are placed for it): the room inside the borders
    // and the opaque pixels of every part.
    HRGN GetRegion(int width, int height);
    // The same for the parts where they stand now.
    HRGN RegionAsPlaced(int width, int height);
    // The inner corner pieces into a client DC; their regions are added to region when given.
    void DrawInnerPieces(HDC dc, HRGN region);
    bool HasInnerPieces() const { return m_hasInner; }
    // Client coordinates (x, y, cx, cy); null where the corner needs no piece.
    CSkinImgStrech* InnerPiece(int index) const
    {
        return index >= 0 && index < kInnerCount ? m_inner[index] : nullptr;
    }
    CSkinImgStrech* InnerPieceById(int id) const;
    // The inner corner pieces moved to their corners; their sizes stay.
    void PlaceInnerPieces();

    int Kind() const { return m_kind; }
    bool IsTranslucent() const { return m_translucent; }
    CSkinImg* Part(int index) const { return index >= 0 && index < kPartCount ? m_parts[index] : nullptr; }
    CSkinImg* PartById(int id) const { return Part(kFirstPartId - id); }
    // The first part whose design rectangle holds the point.
    CSkinImg* PartAt(POINT designPoint) const;
    // The design rectangle (left, top, right, bottom) of one of this layout's parts.
    RECT DesignRect(const CSkinBase* part) const;
    int BorderLeft() const;
    int BorderTop() const;
    int BorderRight() const;
    int BorderBottom() const;

    const GRADIENTEX& Background() const { return m_background; }
    // Held by meaning: .left, .top, .right, .bottom are the left, top, right and bottom values.
    const RECT& ShadowThickness() const { return m_shadowThickness; }
    const RECT& SizingThickness() const { return m_sizingThickness; }
    const RECT& SizingCorners() const { return m_sizingCorners; }

    static const char* PartName(int index);

private:
    void CutInnerPieces(ISkinFrame* frame, Glazier::CSkin& image, const RECT margins[4]);

    int m_kind;
    CSkinImg* m_parts[kPartCount] = {};
    CSkinImgStrech* m_inner[kInnerCount] = {};
    bool m_hasInner = false;
    RECT m_design[kPartCount] = {};
    bool m_translucent = false;
    GRADIENTEX m_background = {};
    RECT m_shadowThickness = {};
    RECT m_sizingThickness = {};
    RECT m_sizingCorners = {};
};

}  // namespace FWSkin
