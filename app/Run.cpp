#include "app/Run.h"

#include <windows.h>

#include <cwchar>

#include "app/Language.h"
#include "app/MainDlg.h"
#include "app/UpdateCheck.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"
#include "core/ResourceModule.h"
#include "core/UIThreadDispatcher.h"
#include "framework/FrameworkModule.h"
#include "framework/MessageLoop.h"

namespace {

constexpr DWORD kUpdateThreadGraceMs = 100;

// The skin library's window messages are registered at start-up as the library's other users do;
// the manager never acts on them.
const UINT g_skinFrameNotify = RegisterWindowMessageW(L"SFWM_NOTIFY");
const UINT g_drawBackground = RegisterWindowMessageW(L"Glazier::DrawBkgnd");

void LoadLanguage()
{
    std::wstring code = LanguageCode(GetSettings().Get(Settings::LanName));
    if (HMODULE library = LoadLanguageLibrary(code))
        g_Module.SetResourceInstance(library);
}

void StartChannelsOnRequest(HWND window)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_START1, 0), 0);
    DWORD count = GetSettings().Get(Settings::TransferChannels);
    if (count >= 1)
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_START2, 0), 0);
    if (count >= 2)
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_START3, 0), 0);
}

}  // namespace

bool HasSwitch(const wchar_t* commandLine, const wchar_t* name)
{
    return commandLine && wcsstr(commandLine, name) != nullptr;
}

int Run(const wchar_t* commandLine, int cmdShow)
{
    (void)g_skinFrameNotify;
    (void)g_drawBackground;
    // The dispatcher's window was made by static start-up on this thread; naming it keeps it in the program.
    (void)GetDispatcherWindow();
    CMessageLoop loop;
    g_Module.AddMessageLoop(&loop);

    LoadLanguage();
    if (InstallDownloadedUpdate()) {
        g_Module.RemoveMessageLoop();
        return 0;
    }
    if (HasSwitch(commandLine, L"/d"))
        g_LogFile.Open();

    int exitCode = 0;
    {
        CMainDlg dialog;
        g_MainDlg = &dialog;
        if (!dialog.Create(nullptr)) {
            g_MainDlg = nullptr;
            g_Module.RemoveMessageLoop();
            return 0;
        }
        dialog.ShowWindow(HasSwitch(commandLine, L"/m") ? SW_SHOWMINIMIZED : cmdShow);
        if (HasSwitch(commandLine, L"/r"))
            StartChannelsOnRequest(dialog.m_hWnd);

        HANDLE updateThread = CreateThread(nullptr, 0, UpdateThreadProc, dialog.m_hWnd, 0, nullptr);
        exitCode = loop.Run();
        // Whatever ended the loop (a relaunch, any quit message), the window goes its normal way:
        // it stores the session, stops the channels and releases the engines and the page control
        // while COM still runs.
        if (dialog.IsWindow())
            dialog.DestroyWindow();
        if (updateThread) {
            if (WaitForSingleObject(updateThread, kUpdateThreadGraceMs) == WAIT_TIMEOUT)
                TerminateThread(updateThread, 0);
            CloseHandle(updateThread);
        }
        g_Module.RemoveMessageLoop();
        g_MainDlg = nullptr;
    }
    return exitCode;
}
