#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/MainDlg.h"
#include "framework/MessageLoop.h"

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

std::wstring ReadOption(const wchar_t* name);
DWORD ReadOptionDword(const wchar_t* name, DWORD missing = 0xDEADBEEF);
void ClearLyrantKey();
