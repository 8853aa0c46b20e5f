#include "app/OptionsSheet.h"

#include <shellapi.h>

#include <string>

#include "app/AppMessageBox.h"
#include "app/DriverPage.h"
#include "app/GeneralPage.h"
#include "app/MainDlg.h"
#include "core/AppPaths.h"
#include "core/ErrorText.h"

namespace {

// Starts a fresh copy of the program; the system's error code when it did not start, else 0.
DWORD StartProgramCopy()
{
    wchar_t path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0)
        return ::GetLastError();
    if (length >= MAX_PATH)
        return ERROR_INSUFFICIENT_BUFFER;
    ::SetLastError(ERROR_SUCCESS);
    INT_PTR started = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOW));
    if (started > 32)
        return ERROR_SUCCESS;
    DWORD error = ::GetLastError();
    // The old-style result codes up to 32 that name a reason are system error codes.
    return error != ERROR_SUCCESS ? error : started != 0 ? static_cast<DWORD>(started) : ERROR_OUTOFMEMORY;
}

}  // namespace

void RelaunchProgram()
{
    HWND main = g_MainDlg && g_MainDlg->IsWindow() ? g_MainDlg->m_hWnd : nullptr;
    // The fresh copy reads this session's choices at its start: they are stored before it runs.
    if (main)
        g_MainDlg->SaveSession();
    // The fresh copy reads the new language (or the driver) at its own start.
    DWORD error = StartProgramCopy();
    if (error == ERROR_SUCCESS) {
        ::PostQuitMessage(0);
        return;
    }
    // No copy runs: this one goes on, and the user hears why the change is not applied yet.
    std::wstring reason = ErrorText(error);
    ReportError(main, FormatResString(IDS_RELAUNCH_FAILED, "s", reason.c_str()).c_str());
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
