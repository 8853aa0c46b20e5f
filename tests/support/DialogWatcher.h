#pragma once
#include <windows.h>
#include <functional>

// Catches the next dialog that this thread shows while a modal call (DialogBox, PropertySheet,
// MessageBox, TrackPopupMenu...) runs its own loop, and runs an action on it from inside that loop.
// Works through a thread timer, which every modal loop dispatches. The action runs once, for the
// first visible top-level window of class "#32770" that did not exist when the watcher started.
//
//   CDialogWatcher watch([](HWND dlg) { ClickDialogButton(dlg, IDOK); });
//   EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
class CDialogWatcher
{
public:
    explicit CDialogWatcher(std::function<void(HWND)> action, UINT periodMs = 20);
    ~CDialogWatcher();
    CDialogWatcher(const CDialogWatcher&) = delete;
    CDialogWatcher& operator=(const CDialogWatcher&) = delete;

    HWND Caught() const { return m_caught; }   // the dialog the action ran on, or null

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK CollectExisting(HWND window, LPARAM self);
    static BOOL CALLBACK FindNew(HWND window, LPARAM self);

    std::function<void(HWND)> m_action;
    UINT_PTR m_timer = 0;
    HWND m_caught = nullptr;
    HWND m_existing[64] = {};
    int m_existingCount = 0;
    CDialogWatcher* m_outer = nullptr;
};

// Presses a dialog's button the way a click does (BM_CLICK: the button sends its BN_CLICKED).
void ClickDialogButton(HWND dialog, int buttonId);

// Dispatches this thread's messages for the given time (for windows that paint or post lazily).
void PumpMessagesFor(DWORD milliseconds);
// Dispatches this thread's messages until done() holds (true) or the time is up (false).
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Moves the mouse cursor and dispatches messages until the system reports it there.
bool PlaceCursor(POINT screen);
