#pragma once
#include <windows.h>

#include "uilib/bars/BarInterfaces.h"
#include "uilib/skin/TarnUIApi.h"

namespace Glazier {

// Owner-drawn menus in the office look. The slot order is the interface: no virtual destructor
// among the slots (GCC gives it two).
class IMenu {
public:
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
    virtual BOOL TrackPopupMenu(HMENU menu, int x, int y, HWND owner, HWND anchor) = 0;
    virtual void PrepareMenu(HMENU menu, HWND owner) = 0;
    virtual void DrawItem(const DRAWITEMSTRUCT* item) = 0;
    virtual void MeasureItem(MEASUREITEMSTRUCT* item) = 0;
    virtual int SetStyle(BOOL xp) = 0;
    virtual HMENU GetMenu() = 0;
    virtual HFONT GetMenuFont() = 0;
    virtual BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, HWND anchor) = 0;
    virtual void DeleteThis() = 0;  // the deleting destructor's slot
    virtual void DrawBackGround(HDC dc, RECT rect, BOOL selected, BOOL grayed) = 0;
    virtual void DrawIcon(HDC dc, RECT rect, UINT id, BOOL selected, BOOL grayed) = 0;
    virtual void DrawItemText(HDC dc, RECT rect, const wchar_t* text, BOOL selected, BOOL grayed, BOOL bold) = 0;
    virtual void DrawCheckMark(HDC dc, RECT rect, BOOL selected, BOOL grayed, BOOL checked) = 0;
    virtual void DrawMenuText(HDC dc, RECT rect, const wchar_t* text, COLORREF colour) = 0;
    virtual void DrawIconArea(HDC dc, RECT rect, BOOL selected, BOOL grayed, BOOL checked) = 0;

protected:
    ~IMenu() = default;
};

// The record of "MenuXP::GetImage" (lParam; wParam 0): the owner fills type, handle and index.
struct MENUXPIMAGE {
    UINT id;
    int type;  // kMenuImageNone, kMenuImageIcon, kMenuImageList
    HANDLE handle;
    int index;
};
constexpr int kMenuImageNone = 0;
constexpr int kMenuImageIcon = 1;
constexpr int kMenuImageList = 2;

class TARNUI_API CMenu : public IMenu {
public:
    CMenu();
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    BOOL TrackPopupMenu(HMENU menu, int x, int y, HWND owner, HWND anchor) override;
    void PrepareMenu(HMENU menu, HWND owner) override;
    void DrawItem(const DRAWITEMSTRUCT* item) override;
    void MeasureItem(MEASUREITEMSTRUCT* item) override;
    int SetStyle(BOOL xp) override;
    HMENU GetMenu() override { return m_menu; }
    HFONT GetMenuFont() override;
    BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, HWND anchor) override;
    void DeleteThis() override { delete this; }
    void DrawBackGround(HDC dc, RECT rect, BOOL selected, BOOL grayed) override;
    void DrawIcon(HDC dc, RECT rect, UINT id, BOOL selected, BOOL grayed) override;
    void DrawItemText(HDC dc, RECT rect, const wchar_t* text, BOOL selected, BOOL grayed, BOOL bold) override;
    void DrawCheckMark(HDC dc, RECT rect, BOOL selected, BOOL grayed, BOOL checked) override;
    void DrawMenuText(HDC dc, RECT rect, const wchar_t* text, COLORREF colour) override;
    void DrawIconArea(HDC dc, RECT rect, BOOL selected, BOOL grayed, BOOL checked) override;

    // The shared bold menu font (default items).
    static HFONT BoldMenuFont();
    void SetShowAccelerators(BOOL show) { m_showAccelerators = show; }
    BOOL ShowAccelerators() const { return m_showAccelerators; }
    int IconColumnWidth() const { return m_iconWidth + 2 * m_iconMargin; }
    // Takes the prepared menu, its owner and the look of another menu object (its count stays).
    void CopyStateOf(const CMenu& other);

protected:
    HMENU m_menu = nullptr;
    BOOL m_showAccelerators = TRUE;
    HWND m_owner = nullptr;
    BOOL m_xpStyle = TRUE;
    int m_iconWidth = 16;
    int m_iconMargin = 4;
    int m_iconHeight = 16;
    int m_textMargin = 8;
    int m_verticalMargin = 2;
    LONG m_refCount = 0;
};

}  // namespace Glazier
