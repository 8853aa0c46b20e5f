#pragma once
#include <windows.h>

class CExplorerBar;

// A new[] copy of a wide or narrow (CP_ACP) text in wide form; NULL for NULL.
wchar_t* CopyItemText(const void* text, bool wide);

// Item flags.
constexpr DWORD kItemPressed = 1;
constexpr DWORD kItemDisabled = 4;
constexpr DWORD kItemHot = 0x40;

// One clickable entry of a task-pane group (a command link with an optional image).
class CDirectUIItem {
public:
    CDirectUIItem(CExplorerBar* pane, const wchar_t* text, UINT id, int image);
    virtual ~CDirectUIItem();
    CDirectUIItem(const CDirectUIItem&) = delete;
    CDirectUIItem& operator=(const CDirectUIItem&) = delete;

    virtual HCURSOR GetCursor();
    virtual BOOL SetCursor();
    virtual BOOL OnClick();
    virtual BOOL OnPress();
    virtual BOOL OnMouseLeave();
    virtual BOOL OnMouseEnter();
    virtual BOOL OnRelease();
    BOOL Enable(BOOL enable);
    virtual BOOL HitTest(POINT point) const;
    void Draw(HDC dc);
    int MeasureHeight(BOOL last);
    const RECT& GetRect() const { return m_rect; }
    int MeasureWidth(HDC dc);

    void SetText(const wchar_t* text);
    const wchar_t* Text() const { return m_text ? m_text : L""; }

    wchar_t* m_text = nullptr;
    int m_image;
    UINT m_id;
    DWORD m_flags = 0;
    CExplorerBar* m_pane;
    RECT m_rect = {};
    RECT m_hitRect = {};
    int m_height = -1;
    int m_effect = 0;
    BYTE m_alpha = 255;
    int m_data = 0;
};

// A line of text that is neither hot nor clickable: the mouse finds nothing there, so it never
// becomes the hot item, the pressed one or the selection.
class CDirectUIItemStatic : public CDirectUIItem {
public:
    using CDirectUIItem::CDirectUIItem;
    BOOL HitTest(POINT) const override { return FALSE; }
    HCURSOR GetCursor() override { return nullptr; }
    BOOL SetCursor() override { return FALSE; }
    BOOL OnClick() override { return FALSE; }
    BOOL OnPress() override { return FALSE; }
    BOOL OnMouseLeave() override { return FALSE; }
    BOOL OnMouseEnter() override { return FALSE; }
};
