#pragma once
#include <windows.h>

#include "uilib/bars/Menu.h"
#include "uilib/skin/TarnUIApi.h"

// The exported wrapper around one owner-drawn menu object of its own.
class TARNUI_API CMenuXP {
public:
    CMenuXP();
    // A copy gets a menu object of its own: the destructor deletes its object directly, so two
    // wrappers sharing one would delete it twice.
    CMenuXP(const CMenuXP& other);
    CMenuXP& operator=(const CMenuXP& other);
    virtual ~CMenuXP();

    operator HMENU() const { return m_hMenu; }
    void PrepareMenu(HMENU menu, HWND owner);
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void MeasureItem(MEASUREITEMSTRUCT* item);
    BOOL TrackPopupMenu(HMENU menu, int x, int y, HWND owner, HWND anchor);
    HFONT GetMenuFont() { return m_hfontMenu; }
    Glazier::IMenu* Menu() const { return m_menu; }

    static HFONT m_hfontMenu;
    static int m_cRef;

protected:
    // Hooks for derived classes; the menu object draws everything itself.
    virtual void DrawBackGround(HDC, RECT, BOOL, BOOL) {}
    virtual void DrawCheckMark(HDC, RECT, BOOL, BOOL, BOOL) {}
    virtual void DrawTextA(HDC, RECT, const wchar_t*, BOOL, BOOL, BOOL) {}
    virtual void DrawIcon(HDC, RECT, UINT, BOOL, BOOL) {}
    virtual void DrawMenuText(HDC, RECT, const wchar_t*, COLORREF) {}
    virtual void DrawIconArea(HDC, RECT, BOOL, BOOL, BOOL) {}

    HMENU m_hMenu = nullptr;
    Glazier::IMenu* m_menu = nullptr;
    DWORD m_reserved[4] = {};
};
