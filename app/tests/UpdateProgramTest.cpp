// LyrantMain.exe at start-up with an update that was downloaded earlier, observed from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/UpdateCheck.h"
#include "app/res/resource.h"
#include "app/tests/MainDialogFixture.h"
#include "app/tests/UpdateBoxAnswerer.h"
#include "core/RegSettings.h"
#include "outside/freshet/Freshet.h"
#include "outside/freshet/tests/LocalUpdateServer.h"
#include "tests/support/ProcessWindows.h"
#include "tests/support/TestPaths.h"

namespace {

constexpr DWORD kRunTimeoutMs = 20000;
constexpr DWORD kPollMs = 20;
const std::string kPackage(4000, 'U');

HWND MainWindowOf(DWORD processId)
{
    return FindProcessWindow(processId, [](HWND window) { return GetDlgItem(window, IDC_START1) != nullptr; });
}

// The program started as a user starts it, from its own folder.
class CProgramRun
{
public:
    CProgramRun()
    {
        std::wstring line = L"\"" + TestExeFolder() + L"\\..\\dist\\LyrantMain.exe\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    }
    ~CProgramRun()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            if (HWND window = MainWindowOf(process.dwProcessId))
                PostMessageW(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 0xDEAD);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // Watches the process until it ends or its main window shows; the exit code, or -1 while it runs.
    long RunUntilExitOrWindow(bool& sawMainWindow)
    {
        sawMainWindow = false;
        for (DWORD start = GetTickCount(); GetTickCount() - start < kRunTimeoutMs; Sleep(kPollMs)) {
            if (HWND window = MainWindowOf(process.dwProcessId))
                sawMainWindow = sawMainWindow || IsWindowVisible(window);
            if (sawMainWindow)
                return -1;
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
                DWORD code = 0;
                GetExitCodeProcess(process.hProcess, &code);
                return static_cast<long>(code);
            }
        }
        return -1;
    }

    bool started = false;
    PROCESS_INFORMATION process = {};
};

class UpdateAtStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Url().empty()) << "the local update server did not start";
        ClearLyrantKey();
        ClearFreshetCache(kProductId);
        ClearInstalledRecord(kProductId);
        // The background check stays quiet: these runs are about the start-up step.
        GetSettings().SetDWORD(L"autoCLU", 0);
        for (const wchar_t* name : Settings::OutputChoice)
            GetSettings().SetString(name, L"Lyrant Speakers B");
    }
    void TearDown() override
    {
        ClearFreshetCache(kProductId);
        ClearInstalledRecord(kProductId);
        ClearLyrantKey();
    }

    // What an earlier run left: the library's record of the offer and the whole package.
    void DownloadEarlier(const char* version)
    {
        server.PutUpdate(kProductId, version, "LyrantSetup.bin", kPackage);
        CFreshet updater;
        updater.SetProduct(kProductId);
        updater.CheckUpdate(L"0.1");
        ASSERT_EQ(updater.DownloadUpdate(nullptr, 0), 1);
    }

    CLocalUpdateServer server;
    CFreshetServerSetting setting{server.Url()};
};

}  // namespace

TEST_F(UpdateAtStartup, YesStartsTheInstallerAndEndsBeforeAnyWindow)
{
    DownloadEarlier("1.1");
    CProgramRun program;
    ASSERT_TRUE(program.started);
    CUpdateBoxAnswerer answerer(program.process.dwProcessId, IDYES);
    bool sawMainWindow = false;
    EXPECT_EQ(program.RunUntilExitOrWindow(sawMainWindow), 0);
    EXPECT_FALSE(sawMainWindow);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_TRUE(answerer.Boxes()[0].hasYesNo);
    EXPECT_EQ(answerer.Boxes()[0].owner, nullptr);
    EXPECT_EQ(WaitForInstalledVersion(kProductId, kRunTimeoutMs), L"1.1") << "the installer's record for the product";
}

TEST_F(UpdateAtStartup, NoOpensTheMainWindow)
{
    DownloadEarlier("1.1");
    CProgramRun program;
    ASSERT_TRUE(program.started);
    CUpdateBoxAnswerer answerer(program.process.dwProcessId, IDNO);
    bool sawMainWindow = false;
    program.RunUntilExitOrWindow(sawMainWindow);
    EXPECT_TRUE(sawMainWindow);
    EXPECT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(InstalledVersion(kProductId), L"");
}

TEST_F(UpdateAtStartup, ADownloadedPackageOfTheRunningOrAnOlderVersionIsNotOffered)
{
    for (const char* version : {"1.0", "0.9"}) {
        DownloadEarlier(version);
        CProgramRun program;
        ASSERT_TRUE(program.started);
        CUpdateBoxAnswerer answerer(program.process.dwProcessId, IDYES);
        bool sawMainWindow = false;
        program.RunUntilExitOrWindow(sawMainWindow);
        EXPECT_TRUE(sawMainWindow) << version;
        EXPECT_TRUE(answerer.Boxes().empty()) << version;
    }
}
