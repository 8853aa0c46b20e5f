#pragma once
#include <windows.h>

#include "uilib/skin/SkinFrameInterfaces.h"

namespace FWSkin {

// Style bits of every element; 0x10000 and 0x20000 mean something per class.
constexpr DWORD kStyleHidden = 1;
constexpr DWORD kStyleCenterX = 2;
constexpr DWORD kStyleCenterY = 4;
constexpr DWORD kStyleClass1 = 0x10000;
constexpr DWORD kStyleClass2 = 0x20000;

// Root of the element tree. Between Unanchor and Layout the rectangle holds offsets from the
// anchors; after Layout it holds window coordinates (x, y, cx, cy).
class CSkinBase {
public:
    CSkinBase(ISkinFrame* frame, int id);
    virtual ~CSkinBase();
    CSkinBase(const CSkinBase&) = delete;
    CSkinBase& operator=(const CSkinBase&) = delete;

    virtual void Draw(HDC dc, bool withBackground);
    virtual void Unanchor();
    virtual void Layout(int frameCx, int frameCy);
    virtual bool HitTest(int x, int y) const;
    virtual bool HasStyle(DWORD mask) const { return (m_style & mask) != 0; }
    virtual void AddStyle(DWORD mask);
    virtual void RemoveStyle(DWORD mask);

    bool SetToolTip(const wchar_t* text);

    int Id() const { return m_id; }
    const RECT& Rect() const { return m_rect; }  // x, y, cx, cy
    RECT WindowRect() const { return RECT{m_rect.left, m_rect.top, m_rect.left + m_rect.right, m_rect.top + m_rect.bottom}; }
    void SetRect(const RECT& xywh) { m_rect = xywh; }
    void SetAnchors(CSkinBase* left, CSkinBase* right) { m_left = left; m_right = right; }
    CSkinBase* LeftAnchor() const { return m_left; }
    CSkinBase* RightAnchor() const { return m_right; }
    // The hit region, relative to x, y; the element owns it.
    void SetRegion(HRGN region);
    HRGN Region() const { return m_region; }
    DWORD Style() const { return m_style; }
    ISkinFrame* Frame() const { return m_frame; }

protected:
    virtual bool TipShouldShow() const;
    void UpdateToolTipRect();
    ISkinPainter* Painter() const { return m_painter; }

    ISkinFrame* m_frame;
    int m_id;
    RECT m_rect = {};
    HRGN m_region = nullptr;
    DWORD m_style = 0;
    CSkinBase* m_left = nullptr;
    CSkinBase* m_right = nullptr;
    ISkinPainter* m_painter = nullptr;
    ISkinToolTipProvider* m_tips = nullptr;
};

}  // namespace FWSkin
