#include "app/UpdateCheck.h"

#include <shlobj.h>

#include <cstdlib>
#include <ctime>

#include "app/AppMessageBox.h"
#include "app/MainDlg.h"
#include "app/WebAccessor.h"
#include "app/res/resource.h"
#include "core/AppPaths.h"
#include "core/ErrorText.h"
#include "core/RegSettings.h"
#include "core/UIThreadDispatcher.h"
#include "core/WideFormat.h"
#include "outside/freshet/Freshet.h"

// {7B3E5C14-2A9D-4F61-8C07-D4E2B1A9F356}
const GUID kProductId = {0x7b3e5c14, 0x2a9d, 0x4f61, {0x8c, 0x07, 0xd4, 0xe2, 0xb1, 0xa9, 0xf3, 0x56}};
const wchar_t kMakerWebHost[] = L"www.tarnwick.com";

namespace {

constexpr size_t kCheckVersionChars = 100;
constexpr size_t kStartupVersionChars = 260;
constexpr int kMaxDelaySeconds = 10;
constexpr const wchar_t* kInstallerCommand = L" Freshet.dll FRInstallUpdate ";

// Registered at start-up for the update library's use; the program itself never acts on it.
const UINT g_freshetMessage = RegisterWindowMessageW(L"TARN_FRESHET");

HWND MainWindow()
{
    return g_MainDlg ? g_MainDlg->m_hWnd : nullptr;
}

int AskToUpdate(HWND owner, const wchar_t* version)
{
    std::wstring text = UpdateOfferText(version);
    return AppMessageBox(owner, text.c_str(), LoadResString(IDS_UPDATER_NAME), MB_YESNO | MB_ICONQUESTION);
}

// "%d.%d..." as dotted numbers, for "newer than"; false when the text is not such a version.
bool ParseVersion(const wchar_t* text, unsigned long parts[4])
{
    int count = 0;
    const wchar_t* p = text;
    while (count < 4 && *p >= L'0' && *p <= L'9') {
        wchar_t* end = nullptr;
        parts[count++] = wcstoul(p, &end, 10);
        p = end;
        if (*p != L'.')
            break;
        ++p;
    }
    for (int i = count; i < 4; ++i)
        parts[i] = 0;
    return count > 0 && *p == L'\0';
}

bool IsNewerVersion(const wchar_t* offered, const wchar_t* current)
{
    unsigned long a[4], b[4];
    if (!ParseVersion(offered, a) || !ParseVersion(current, b))
        return false;
    for (int i = 0; i < 4; ++i)
        if (a[i] != b[i])
            return a[i] > b[i];
    return false;
}

}  // namespace

std::wstring CurrentVersionText()
{
    DWORD versionMS = 0;
    GetProductVersion(&versionMS, nullptr, nullptr);
    wchar_t text[32] = {};
    FormatWide(text, ARRAYSIZE(text), L"%d.%d", HIWORD(versionMS), LOWORD(versionMS));
    return text;
}

std::wstring UpdateOfferText(const wchar_t* version)
{
    return FormatResString(IDS_UPDATE_OFFER, "s", version);
}

bool InstallUpdate()
{
    wchar_t program[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, program, CSIDL_SYSTEM, FALSE);
    std::wstring path = std::wstring(program) + L"\\rundll32.exe";
    wchar_t product[40] = {};
    StringFromGUID2(kProductId, product, ARRAYSIZE(product));
    std::wstring commandLine = std::wstring(kInstallerCommand) + product;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        GetAppPath(L""), &startup, &process)) {
        // The program stays: ending it now would end it without an update and without a word.
        std::wstring reason = ErrorText(GetLastError());
        ReportError(MainWindow(), FormatResString(IDS_INSTALLER_NOT_STARTED, "s", reason.c_str()).c_str());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (HWND main = MainWindow())
        SendMessageW(main, WM_CLOSE, 0, 0);
    return true;
}

int CheckForUpdates(int mode)
{
    std::wstring current = CurrentVersionText();
    CFreshet updater;
    updater.SetProduct(kProductId);
    if (!updater.CheckUpdate(current.c_str()))
        return 0;
    wchar_t version[kCheckVersionChars] = {};
    int packageSize = 0, downloadMode = 0;
    updater.GetUpdateInfo(version, kCheckVersionChars, packageSize, downloadMode);

    if (mode == 1) {
        if (AskToUpdate(MainWindow(), version) == IDYES) {
            bool downloaded = updater.UpdateDownloaded(nullptr) || updater.DownloadUpdate(nullptr, 1);
            if (downloaded)
                InstallUpdate();
        }
    } else if (downloadMode != 0) {
        if (!updater.UpdateDownloaded(nullptr))
            updater.DownloadUpdate(nullptr, 0);
    } else {
        // The question belongs to the UI thread; this thread waits until it has been answered.
        CUIThreadDispatcher::Instance().Dispatch([] { CheckForUpdates(1); }, true);
    }
    return 1;
}

int InstallDownloadedUpdate()
{
    std::wstring current = CurrentVersionText();
    CFreshet updater;
    updater.SetProduct(kProductId);
    wchar_t version[kStartupVersionChars] = {};
    int packageSize = 0, downloadMode = 0;
    if (!updater.GetUpdateInfo(version, kStartupVersionChars, packageSize, downloadMode))
        return 0;
    // Only a newer version: a package of the running or an older one is nothing to install.
    if (!IsNewerVersion(version, current.c_str()))
        return 0;
    if (!updater.UpdateDownloaded(version))
        return 0;
    if (AskToUpdate(nullptr, version) != IDYES)
        return 0;
    return InstallUpdate() ? 1 : 0;
}

DWORD WINAPI UpdateThreadProc(LPVOID)
{
    (void)g_freshetMessage;
    srand(static_cast<unsigned>(time(nullptr)));
    Sleep(static_cast<DWORD>(rand() % kMaxDelaySeconds) * 1000);
    CRegSettings& settings = GetSettings();
    if (CWebAccessor::IsConnected()) {
        CWebAccessor accessor;
        if (accessor.Connect(kMakerWebHost) && settings.Get(Settings::AutoCLU) != 0)
            CheckForUpdates(0);
    }
    if (settings.Get(Settings::FirstUse) != 0)
        settings.SetDWORD(Settings::FirstUse.name, 0);
    return 0;
}
