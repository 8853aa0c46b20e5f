#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainDlg.h"
#include "framework/MessageLoop.h"
#include "tests/support/StoredOptions.h"

// A main dialog created modeless the way the run routine does it, on a clean settings key, with
// the output choices written first (the mapper's "Microsoft" default names nothing under Wine).
class MainDialogFixture
{
public:
    MainDialogFixture();
    ~MainDialogFixture();

    // Creates the dialog; settings written before this are what it reads.
    bool Open();
    // Closes it as the close box does (IDCANCEL): the window goes and the object stays for reading.
    void Close();
    HWND Window() const { return dialog ? dialog->m_hWnd : nullptr; }
    HWND Item(int id) const { return GetDlgItem(Window(), id); }

    std::wstring ComboText(int comboId, int index) const;
    std::wstring SelectedText(int comboId) const;
    int Selection(int comboId) const;
    int ComboCount(int comboId) const;
    // Selects the first entry that contains the text; false when none does.
    bool SelectContaining(int comboId, const wchar_t* text);
    void Press(int buttonId);
    int MeterPos(int meterId) const;
    std::wstring Text(int id) const;

    std::unique_ptr<CMainDlg> dialog;
    CMessageLoop loop;
};

void ClearLyrantKey();

// Answers the message boxes this thread shows while it lives: each visible top-level window that
// did not exist when it started and whose caption is the given one, whatever its window class,
// gets its button buttonId pressed from inside the box's own modal loop (a thread timer, which
// every modal loop dispatches).
class BoxAnswerer
{
public:
    BoxAnswerer(std::wstring caption, int buttonId);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    int Answered() const { return m_answered; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Existing(HWND window, LPARAM self);
    static BOOL CALLBACK Answer(HWND window, LPARAM self);

    std::wstring m_caption;
    int m_buttonId;
    int m_answered = 0;
    HWND m_last = nullptr;
    std::vector<HWND> m_existing;
    UINT_PTR m_timer = 0;
};

// What a message box of the program showed.
struct ShownBox
{
    std::wstring caption, text;   // the text as the box was given it (markup)
    HWND owner = nullptr;
};
// An action for CDialogWatcher: reads the box it caught into `shown`, then presses its OK.
std::function<void(HWND)> ReadAndCloseBox(ShownBox& shown);

// The caption a refused start of the channel (0, 1, 2) gives its message box, from the string table.
std::wstring ChannelNotStartedCaption(int channel);
