#pragma once
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <vector>

#include "uilib/bars/CommandBar.h"

// Commands of the demonstration menu and toolbars.
enum DemoCommand : UINT {
    kCmdOpen = 101, kCmdSave = 102, kCmdExit = 103,
    kCmdCut = 201, kCmdCopy = 202, kCmdPaste = 203,
    kCmdToolbar = 301,
    kCmdAbout = 401,
    kCmdBold = 601, kCmdItalic = 602, kCmdUnderline = 603,
};

// A top-level window with a command bar: a menu band (File, Edit, a disabled View, Help), the main
// toolbar and a second toolbar. It records what the application would see (popups opened,
// commands, notifications) and lets a test run code when a popup opens.
class CommandBarDemo {
public:
    explicit CommandBarDemo(int width = 560, int height = 320, bool subclassParent = true);
    ~CommandBarDemo();
    CommandBarDemo(const CommandBarDemo&) = delete;
    CommandBarDemo& operator=(const CommandBarDemo&) = delete;

    HWND Window() const { return m_window; }
    Glazier::CCommandBar& Bar() { return *m_bar; }
    HWND Rebar() const { return m_bar->GetHwnd(); }
    HWND MenuBar() const { return m_bar->MenuBar() ? m_bar->MenuBar()->m_hWnd : nullptr; }
    HMENU Menu() const { return m_menu; }
    HMENU Popup(int position) const { return GetSubMenu(m_menu, position); }
    HWND Tools() const { return m_tools; }
    HWND Format() const { return m_format; }

    // Makes the menu band and the toolbars' bands (SetMenu, SetToolBar, AddToolBar for the second).
    void FillBands(bool secondToolbar = true);
    // The band at this position's id, and the ids in band order.
    std::vector<UINT> BandIds() const;
    REBARBANDINFOA Band(UINT id, UINT mask) const;
    RECT BandRect(UINT id) const;
    // Cursor parked far from the window, the window on top and painted.
    void Settle();

    std::vector<HMENU> popups;      // WM_INITMENUPOPUP, in order
    std::vector<UINT> commands;     // WM_COMMAND ids
    std::vector<UINT> notifications;  // WM_NOTIFY codes from the toolbars
    std::vector<int> hotItems;      // the menu bar's hot item at each probe (PostProbe)
    std::function<void(HMENU)> onPopup;
    HMENU dropDown = nullptr;       // the application's menu for the drop-down button

    // Posts a probe that records the menu bar's hot item when dispatched.
    void PostProbe();
    // Runs work when a message posted now is dispatched (by whichever loop is running then).
    void PostWork(std::function<void()> work);

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND MakeToolbar(const UINT* ids, int count, HWND parent);

    HWND m_window = nullptr;
    Glazier::CCommandBar* m_bar = nullptr;
    HMENU m_menu = nullptr;
    HWND m_tools = nullptr;
    HWND m_format = nullptr;
    HIMAGELIST m_images = nullptr;
    std::deque<std::function<void()>> m_work;
};

// Pumps messages until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Posts a key press to window, as the keyboard would queue it.
void PostKey(HWND window, WPARAM key);
