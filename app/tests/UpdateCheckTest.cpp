// The update check in the program's own process, against the update library and a local server.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>

#include <string>

#include "app/GeneralPage.h"
#include "app/OptionsSheet.h"
#include "app/UpdateCheck.h"
#include "app/WebAccessor.h"
#include "app/tests/MainDialogFixture.h"
#include "app/tests/UpdateBoxAnswerer.h"
#include "core/AppPaths.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"
#include "core/ResourceModule.h"
#include "outside/freshet/tests/LocalUpdateServer.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/LaunchSeam.h"
#include "tests/support/TestPaths.h"

namespace {

constexpr DWORD kInstallTimeoutMs = 20000;
constexpr DWORD kThreadTimeoutMs = 30000;   // the update thread waits up to 9 s before it checks
const std::string kPackage(5000, 'L');
const char* const kPackageName = "LyrantSetup.bin";

void NoRelaunch() {}

}  // namespace

class UpdateCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Url().empty()) << "the local update server did not start";
        ClearLyrantKey();
        ClearFreshetCache(kProductId);
        ClearInstalledRecord(kProductId);
    }
    void TearDown() override
    {
        ClearFreshetCache(kProductId);
        ClearInstalledRecord(kProductId);
        ClearLyrantKey();
    }

    bool Cached(const std::string& name) const
    {
        std::wstring path = FreshetCacheFolder(kProductId) + L"\\" + std::wstring(name.begin(), name.end());
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool PackageRequested() const { return server.Requested(std::string("/") + kPackageName); }

    CLocalUpdateServer server;
    CFreshetServerSetting setting{server.Url()};
};

namespace {

// Runs fn on a thread of its own while this (the UI) thread keeps handling its messages.
template <typename Fn>
bool RunOnWorkerPumping(Fn fn, DWORD timeoutMs)
{
    struct Call
    {
        static DWORD WINAPI Proc(LPVOID self)
        {
            (*static_cast<Fn*>(self))();
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, &Call::Proc, &fn, 0, nullptr);
    if (!thread)
        return false;
    DWORD start = GetTickCount();
    bool done = false;
    while (!done && GetTickCount() - start < timeoutMs) {
        DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, 100, QS_ALLINPUT);
        done = wait == WAIT_OBJECT_0;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (!done)
        WaitForSingleObject(thread, INFINITE);   // fn lives on this stack
    CloseHandle(thread);
    return done;
}

}  // namespace

TEST(UpdateVersion, CurrentVersionIsMajorDotMinor)
{
    EXPECT_EQ(CurrentVersionText(), L"1.0");
}

TEST_F(UpdateCheckTest, YesToANewerVersionDownloadsAndInstallsIt)
{
    server.PutUpdate(kProductId, "1.1", kPackageName, kPackage);
    CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
    EXPECT_EQ(CheckForUpdates(1), 1);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_TRUE(answerer.Boxes()[0].hasYesNo);
    EXPECT_TRUE(PackageRequested());
    EXPECT_EQ(WaitForInstalledVersion(kProductId, kInstallTimeoutMs), L"1.1") << "the installer's record";
}

TEST_F(UpdateCheckTest, InstallerThatDoesNotStartKeepsTheProgramAndSaysWhy)
{
    server.PutUpdate(kProductId, "1.1", kPackageName, kPackage);
    g_LogFile.Open();
    RefuseLaunchesOf(L"\\rundll32.exe", ERROR_FILE_NOT_FOUND);
    {
        // "Check now!" over the main window: the window is not closed for an installer that never ran.
        MainDialogFixture ui;
        ASSERT_TRUE(ui.Open());
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
        BoxAnswerer error(L"Error", IDOK);
        EXPECT_EQ(CheckForUpdates(1), 1);
        EXPECT_EQ(answerer.Boxes().size(), 1u);
        EXPECT_EQ(error.Answered(), 1) << "the failure was not told";
        EXPECT_EQ(RefusedLaunches(), 1);
        EXPECT_TRUE(IsWindow(ui.Window())) << "the program was closed without an installer";
        ui.Close();
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    ASSERT_TRUE(Cached(kPackageName));
    {
        // At start-up, with that package downloaded: the program goes on to its window.
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
        BoxAnswerer error(L"Error", IDOK);
        EXPECT_EQ(InstallDownloadedUpdate(), 0) << "reported as started";
        EXPECT_EQ(answerer.Boxes().size(), 1u);
        EXPECT_EQ(error.Answered(), 1) << "the failure was not told";
        EXPECT_EQ(RefusedLaunches(), 2);
    }
    RefuseLaunchesOf(nullptr, 0);
    std::string log = ReadFileBytes(GetAppDataPath(L"\\LOG\\Lyrant.log"));
    EXPECT_NE(log.find("The update was not installed: its installer could not be started (0x00000002 - "),
              std::string::npos) << log;
    Sleep(500);
    EXPECT_EQ(InstalledVersion(kProductId), L"");
}

TEST_F(UpdateCheckTest, NoDownloadsAndInstallsNothing)
{
    server.PutUpdate(kProductId, "1.1", kPackageName, kPackage);
    CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDNO);
    EXPECT_EQ(CheckForUpdates(1), 1);
    EXPECT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_FALSE(PackageRequested());
    EXPECT_FALSE(Cached(kPackageName));
    Sleep(500);
    EXPECT_EQ(InstalledVersion(kProductId), L"");
}

TEST_F(UpdateCheckTest, TheRunningOrAnOlderVersionIsNotOffered)
{
    for (const char* version : {"1.0", "0.9"}) {
        server.PutUpdate(kProductId, version, kPackageName, kPackage);
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
        EXPECT_EQ(CheckForUpdates(1), 0) << version;
        EXPECT_TRUE(answerer.Boxes().empty()) << version;
    }
}

TEST_F(UpdateCheckTest, ChecksThatFailAreRefusedWithoutAHalfPackage)
{
    {
        CFreshetServerSetting down(kDownServerUrl);
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
        EXPECT_EQ(CheckForUpdates(1), 0) << "server down";
        EXPECT_TRUE(answerer.Boxes().empty());
    }
    {
        server.Put(CLocalUpdateServer::FeedPath(kProductId), "<html>\n<p>garbage</p>\n</html>\n");
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
        EXPECT_EQ(CheckForUpdates(1), 0) << "garbage feed";
        EXPECT_TRUE(answerer.Boxes().empty());
    }
    {
        server.PutUpdate(kProductId, "1.1", kPackageName, kPackage, 0, true);
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDYES);
        EXPECT_EQ(CheckForUpdates(1), 1) << "download cut midway";
        EXPECT_EQ(answerer.Boxes().size(), 1u) << "the question, and nothing after the failed download";
        EXPECT_TRUE(PackageRequested());
        EXPECT_FALSE(Cached(kPackageName));
        EXPECT_FALSE(Cached(std::string(kPackageName) + ".part"));
        Sleep(500);
        EXPECT_EQ(InstalledVersion(kProductId), L"");
    }
}

TEST_F(UpdateCheckTest, CheckNowWithoutAnUpdateSaysSo)
{
    server.PutUpdate(kProductId, "1.0", kPackageName, kPackage);
    std::vector<CUpdateBoxAnswerer::Box> boxes;
    HWND sheetWindow = nullptr;
    CDialogWatcher watch([&](HWND sheet) {
        sheetWindow = sheet;
        CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDOK);
        ClickDialogButton(PropSheet_IndexToHwnd(sheet, 0), IDC_GEN_CHECK_NOW);
        boxes = answerer.Boxes();
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    RunOptionsSheet(nullptr, &NoRelaunch);
    ASSERT_NE(watch.Caught(), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].hasOk);
    EXPECT_FALSE(boxes[0].hasYesNo) << "the report of string 110, not the question";
    EXPECT_EQ(boxes[0].owner, sheetWindow);
    EXPECT_TRUE(server.Requested(CLocalUpdateServer::FeedPath(kProductId)));
}

TEST_F(UpdateCheckTest, SilentCheckAsksOnTheUIThread)
{
    server.PutUpdate(kProductId, "1.1", kPackageName, kPackage, 0);
    CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDNO);
    int result = -1;
    DWORD workerThread = 0;
    ASSERT_TRUE(RunOnWorkerPumping([&] {
        workerThread = GetCurrentThreadId();
        result = CheckForUpdates(0);
    }, kThreadTimeoutMs));
    EXPECT_EQ(result, 1);
    ASSERT_EQ(answerer.Boxes().size(), 1u) << "the worker returned only after the question was answered";
    EXPECT_EQ(answerer.Boxes()[0].threadId, GetCurrentThreadId());
    EXPECT_NE(answerer.Boxes()[0].threadId, workerThread);
    EXPECT_FALSE(PackageRequested());
}

TEST_F(UpdateCheckTest, SilentCheckDownloadsWithoutAskingWhenTheFeedSaysSo)
{
    server.PutUpdate(kProductId, "1.1", kPackageName, kPackage, 1);
    CUpdateBoxAnswerer answerer(GetCurrentProcessId(), IDNO);
    int result = -1;
    ASSERT_TRUE(RunOnWorkerPumping([&] { result = CheckForUpdates(0); }, kThreadTimeoutMs));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(ReadFileBytes(FreshetCacheFolder(kProductId) + L"\\LyrantSetup.bin"), kPackage);
    EXPECT_EQ(InstalledVersion(kProductId), L"") << "downloaded, not installed";
}

class UpdateThreadTest : public UpdateCheckTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(UpdateThreadTest, ClearsFirstUseAndChecksOnlyWhenAutoCheckIsOn)
{
    DWORD autoCheck = GetParam();
    server.PutUpdate(kProductId, "1.0", kPackageName, kPackage);
    GetSettings().SetDWORD(L"autoCLU", autoCheck);
    GetSettings().SetDWORD(L"firstUse", 1);
    ASSERT_TRUE(RunOnWorkerPumping([] { UpdateThreadProc(nullptr); }, kThreadTimeoutMs));
    EXPECT_EQ(ReadOptionDword(L"firstUse"), 0u);
    EXPECT_EQ(server.Requested(CLocalUpdateServer::FeedPath(kProductId)), autoCheck != 0);
}

INSTANTIATE_TEST_SUITE_P(AutoCheck, UpdateThreadTest, ::testing::Values(0u, 1u));

TEST_F(UpdateCheckTest, WebAccessorReadsWholePagesAndFiles)
{
    const std::string page = "<p>" + std::string(3000, 'w') + "</p>";
    server.Put("page.htm", page);
    server.Put("cut.bin", kPackage, true);
    std::wstring base = server.Url();
    CWebAccessor accessor;

    std::string buffer(page.size(), '\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    EXPECT_FALSE(accessor.GetWebPage((base + L"/page.htm").c_str(), &buffer[0], size));
    EXPECT_EQ(size, page.size() + 1) << "the size it needs, with the terminating zero";
    buffer.assign(size, '#');
    EXPECT_TRUE(accessor.GetWebPage((base + L"/page.htm").c_str(), &buffer[0], size));
    EXPECT_EQ(size, page.size());
    EXPECT_EQ(buffer.substr(0, size), page);
    EXPECT_EQ(buffer[size], '\0');
    size = static_cast<DWORD>(buffer.size());
    EXPECT_FALSE(accessor.GetWebPage((base + L"/missing.htm").c_str(), &buffer[0], size)) << "404";

    std::wstring file = TestExeFolder() + L"\\web_accessor_download.bin";
    DeleteFileW(file.c_str());
    EXPECT_TRUE(accessor.DownloadFile((base + L"/page.htm").c_str(), file.c_str()));
    EXPECT_EQ(ReadFileBytes(file), page);
    DeleteFileW(file.c_str());
    for (const wchar_t* refused : {L"/cut.bin", L"/missing.bin"}) {
        EXPECT_FALSE(accessor.DownloadFile((base + refused).c_str(), file.c_str()));
        EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetFileAttributesW((file + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST(UpdateOfferText, LanguageLibraryFormatIsUsedOnlyWhenSound)
{
    struct Case
    {
        const wchar_t* library;
        const wchar_t* expected;
    } cases[] = {
        {L"\\..\\dist\\ResDe.dll", L"Die neueste Version von Tarnwick Lyrant ist 1.1. M\u00F6chten Sie jetzt aktualisieren?"},
        {L"\\BadOffer.dll", L"The latest version of Tarnwick Lyrant is 1.1, do you want to update to it now?"},
    };
    for (const Case& c : cases) {
        HMODULE library = LoadLibraryExW((TestExeFolder() + c.library).c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(library, nullptr);
        SetResourceModule(library);
        EXPECT_EQ(UpdateOfferText(L"1.1"), c.expected);
        SetResourceModule(nullptr);
        FreeLibrary(library);
    }
}
