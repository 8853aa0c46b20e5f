#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/bars/Menu.h"
#include "uilib/bars/ToolBarXP.h"

// Private message of the menu bar: open the popup of the current item (clamped into range).
constexpr UINT WM_MENUBAR_OPENPOPUP = 0x084D;

class CMenuBarXP;

// The menu bar's owner-drawn popups: its deleting-destructor slot deletes the whole bar.
class CMenuBarMenu : public Glazier::CMenu {
public:
    explicit CMenuBarMenu(CMenuBarXP* bar) : m_bar(bar) {}
    void DeleteThis() override;

private:
    CMenuBarXP* m_bar;
};

// A menu made of toolbar buttons, one per top-level item, with its own keyboard and mouse tracking
// loop. The command bar hosts it in its menu band.
class CMenuBarXP : public CToolBarXP {
public:
    CMenuBarXP();
    ~CMenuBarXP() override;
    CMenuBarXP(const CMenuBarXP&) = delete;
    CMenuBarXP& operator=(const CMenuBarXP&) = delete;

    // (Re)creates the bar window as a child of parent and fills it from menu; 0 without window or
    // menu, or when a button cannot be added.
    BOOL SetMenu(HMENU menu, HWND parent);
    // Tracks the bar from the keyboard (item < 0: first enabled item hot) or opens item's popup;
    // FALSE when item is a plain command (the caller treats it as a button).
    BOOL TrackMenuBar(BOOL keyboard, int item);
    // Alt+character: -1 when an item has that accelerator (its popup opens), else 0.
    LRESULT OnMenuChar(UINT character);

    Glazier::CMenu& Menu() { return m_menu; }
    HMENU GetMenuHandle() const { return m_hMenu; }
    int CurrentItem() const { return m_current; }

protected:
    void DrawButton(NMTBCUSTOMDRAW* draw) override;

private:
    static LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ActivateWatch(int code, WPARAM wParam, LPARAM lParam);
    LRESULT OnBarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool FilterMessage(MSG* msg);

    void OpenPopup(BOOL execute);
    void TrackButton(int x, int y);
    bool IsEnabled(int item);
    // The next enabled item from start in direction (wrapping); -1 when none but start.
    int NextEnabled(int start, int direction);
    int HitTestClient(POINT point);
    void ReleaseCurrentButton();
    void SetHot(int item) { SendMessageW(m_hWnd, TB_SETHOTITEM, item, 0); }
    int Hot() { return static_cast<int>(SendMessageW(m_hWnd, TB_GETHOTITEM, 0, 0)); }
    void PostCommandOf(int item);
    void RedrawBar();

    CMenuBarMenu m_menu;
    HMENU m_hMenu = nullptr;
    int m_count = 0;
    int m_current = -1;
    int m_lastX = -1, m_lastY = -1;
    WNDPROC m_oldBarProc = nullptr;
    bool m_endTracking = false;
    bool m_leftByKeyboard = false;
};
