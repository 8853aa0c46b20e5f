#include "app/OptionsSheet.h"

#include <shellapi.h>

#include "app/DriverPage.h"
#include "app/GeneralPage.h"

void RelaunchProgram()
{
    wchar_t path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    // The fresh copy reads the new language (or the driver) at its own start.
    ::ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOW);
    ::PostQuitMessage(0);
}

bool RunOptionsSheet(HWND owner, void (*relaunch)())
{
    // The pages outlive the sheet: freeing a page handle calls back into its page object.
    COptionPageGeneral general;
    COptionPageDriver driver;
    COptionDlg sheet;
    sheet.AddPage(general);
    sheet.AddPage(driver);
    sheet.DoModal(owner);
    if (!general.LanguageChanged() && !driver.RestartFailed())
        return false;
    relaunch();
    return true;
}
