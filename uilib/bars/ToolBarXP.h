#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/bars/ToolbarWindow32.h"
#include "uilib/skin/TarnUIApi.h"

// The wire record of the registered message "SetTBButtonLayout" (40 bytes in a 32-bit process; the
// handle makes it 48 in a 64-bit one): wParam is a command id, or a button index when byIndex is nonzero.
struct TBBUTTONLAYOUT {
    DWORD size;  // sizeof(TBBUTTONLAYOUT) or more
    DWORD byIndex;
    DWORD flags;
    HWND child;  // embedded in the button; may be NULL
    int left, top, right, bottom;  // margins from the button's edges to the child
    int minWidth;  // smallest width of a stretched button when the command bar resizes
    int width;     // written by the toolbar: the button's width after the call
};
static_assert(sizeof(TBBUTTONLAYOUT) == (sizeof(void*) == 4 ? 40 : 48), "wire format");

constexpr DWORD kLayoutStretch = 0x0001;    // the button takes the rest of the toolbar's width
constexpr DWORD kLayoutSeparator = 0x4000;  // painted as two vertical lines

// A flat toolbar painted in the colour scheme's [ToolBar] colours through custom draw. Subclasses
// the toolbar (and on request its parent) and keeps the object in the property "CToolBarXP".
class TARNUI_API CToolBarXP : public CToolbarWindow32 {
public:
    CToolBarXP() = default;
    CToolBarXP(const CToolBarXP& other) = default;
    CToolBarXP& operator=(const CToolBarXP& other) = default;
    ~CToolBarXP() override;

    DWORD SetFlags(DWORD bits);
    DWORD ClearFlags(DWORD bits);
    void AutoCustomDraw(BOOL parentToo);
    void AutoCustomDraw() { AutoCustomDraw(TRUE); }
    LRESULT OnCustomDraw(NMHDR* header);

    // The toolbar's used width and height (its buttons' extent).
    SIZE GetToolbarSize();

    // The window the toolbar's notifications are relayed to when a command bar hosts it.
    HWND RememberedParent() const { return m_parent; }
    void RememberParent(HWND parent) { m_parent = parent; }

protected:
    LRESULT PreDrawItem(NMTBCUSTOMDRAW* draw);
    virtual void DrawButton(NMTBCUSTOMDRAW* draw);
    static LRESULT CALLBACK WndProcTb(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WndProcParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT SetButtonLayout(WPARAM which, const TBBUTTONLAYOUT* layout);
    void PlaceChild(int index, const TBBUTTONLAYOUT* layout);

    HWND m_parent = nullptr;
    WNDPROC m_oldTbProc = nullptr;
    WNDPROC m_oldParentProc = nullptr;
    DWORD m_flags = 0;
    DWORD m_reserved[3] = {};
};
