// The update library against a real local HTTP server.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "outside/freshet/Freshet.h"
#include "outside/freshet/tests/LocalUpdateServer.h"
#include "tests/support/TestPaths.h"

namespace {

// A product of the tests' own, so the manager's cache stays untouched.
const GUID kTestProduct = {0x1c0ffee5, 0x5eed, 0x4a11, {0x9b, 0x0d, 0x7e, 0x57, 0x00, 0x11, 0x22, 0x33}};
const std::string kPackage(3000, 'p');

}  // namespace

class FreshetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.Url().empty()) << "the local update server did not start";
        ClearFreshetCache(kTestProduct);
        ClearInstalledRecord(kTestProduct);
        updater.SetProduct(kTestProduct);
    }
    void TearDown() override
    {
        ClearFreshetCache(kTestProduct);
        ClearInstalledRecord(kTestProduct);
    }

    std::wstring Cached(const wchar_t* name) const { return FreshetCacheFolder(kTestProduct) + L"\\" + name; }
    bool Exists(const wchar_t* name) const { return GetFileAttributesW(Cached(name).c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::wstring OfferedVersion()
    {
        wchar_t version[100] = {};
        int size = 0, mode = 0;
        return updater.GetUpdateInfo(version, 100, size, mode) ? version : L"<none>";
    }

    CLocalUpdateServer server;
    CFreshetServerSetting setting{server.Url()};
    CFreshet updater;
};

struct VersionCase
{
    const char* offered;
    const wchar_t* current;
    int newer;
};

class FreshetVersions : public FreshetTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(FreshetVersions, OffersOnlyANewerVersionAndKeepsWhatTheFeedSaid)
{
    const VersionCase& c = GetParam();
    server.PutUpdate(kTestProduct, c.offered, "Setup.bin", kPackage, 1);
    EXPECT_EQ(updater.CheckUpdate(c.current), c.newer);
    wchar_t version[100] = {};
    int size = 0, mode = 0;
    ASSERT_TRUE(updater.GetUpdateInfo(version, 100, size, mode));
    EXPECT_EQ(std::wstring(version), std::wstring(c.offered, c.offered + strlen(c.offered)));
    EXPECT_EQ(size, static_cast<int>(kPackage.size()));
    EXPECT_EQ(mode, 1);
    EXPECT_TRUE(server.Requested(CLocalUpdateServer::FeedPath(kTestProduct)));
}

INSTANTIATE_TEST_SUITE_P(Feeds, FreshetVersions,
                         ::testing::Values(VersionCase{"1.1", L"1.0", 1}, VersionCase{"1.0", L"1.0", 0},
                                           VersionCase{"0.9", L"1.0", 0}, VersionCase{"1.10", L"1.9", 1},
                                           VersionCase{"2", L"1.9.9", 1}));

TEST_F(FreshetTest, RefusesUnusableFeedsAndAServerThatIsDown)
{
    const char* feeds[] = {
        "",
        "<html><body>Not here</body></html>\n",
        "version=1.1\n",                                             // no package
        "version=1.x\npackage=Setup.bin\n",
        "version=1.1\npackage=..\\..\\LyrantMain.exe\n",             // a path, not a file name
        "version=1.1\npackage=sub/Setup.bin\n",
        "version=1.1\npackage=Setup.bin\nsize=12kB\n",
        "version=1.1\npackage=Setup.bin\n\xff\xfe\n",
    };
    for (const char* feed : feeds) {
        server.Put(CLocalUpdateServer::FeedPath(kTestProduct), feed);
        EXPECT_EQ(updater.CheckUpdate(L"1.0"), 0) << feed;
        EXPECT_EQ(OfferedVersion(), L"<none>") << feed;
    }
    {
        CFreshetServerSetting down(kDownServerUrl);
        EXPECT_EQ(updater.CheckUpdate(L"1.0"), 0);
    }
    // A product the server does not know: 404.
    CFreshet other;
    other.SetProduct(GUID{0x0badf00d, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}});
    EXPECT_EQ(other.CheckUpdate(L"1.0"), 0);
    // No product selected: nothing is asked.
    CFreshet unset;
    EXPECT_EQ(unset.CheckUpdate(L"1.0"), 0);
}

TEST_F(FreshetTest, VersionTextIsCopiedOnlyWhenItFitsTheBuffer)
{
    server.PutUpdate(kTestProduct, "1.2.3", "Setup.bin", kPackage);
    ASSERT_EQ(updater.CheckUpdate(L"1.0"), 1);
    wchar_t version[8];
    wmemset(version, L'#', 8);
    int size = 0, mode = 0;
    EXPECT_EQ(updater.GetUpdateInfo(version, 5, size, mode), 0);   // "1.2.3" needs 6
    EXPECT_EQ(version[5], L'#');
    EXPECT_EQ(updater.GetUpdateInfo(version, 6, size, mode), 1);
    EXPECT_STREQ(version, L"1.2.3");
}

TEST_F(FreshetTest, DownloadsThePackageWhole)
{
    server.PutUpdate(kTestProduct, "1.1", "Setup-1.1.bin", kPackage);
    ASSERT_EQ(updater.CheckUpdate(L"1.0"), 1);
    EXPECT_EQ(updater.UpdateDownloaded(nullptr), 0);
    EXPECT_EQ(updater.DownloadUpdate(nullptr, 0), 1);
    EXPECT_EQ(ReadFileBytes(Cached(L"Setup-1.1.bin")), kPackage);
    EXPECT_FALSE(Exists(L"Setup-1.1.bin.part"));
    EXPECT_EQ(updater.UpdateDownloaded(nullptr), 1);
    EXPECT_EQ(updater.UpdateDownloaded(L"1.1"), 1);
    EXPECT_EQ(updater.UpdateDownloaded(L"1.2"), 0);   // another version than the one offered
    EXPECT_EQ(updater.DownloadUpdate(L"1.2", 0), 0);

    // A newer feed supersedes the stored package.
    server.PutUpdate(kTestProduct, "1.2", "Setup-1.2.bin", kPackage);
    ASSERT_EQ(updater.CheckUpdate(L"1.0"), 1);
    EXPECT_FALSE(Exists(L"Setup-1.1.bin"));
    EXPECT_EQ(updater.UpdateDownloaded(nullptr), 0);
}

TEST_F(FreshetTest, ACutOrMissingDownloadLeavesNothing)
{
    struct Case
    {
        const char* name;
        bool cut;
        bool present;
        size_t announced;   // the size the feed gives
    } cases[] = {
        {"cut midway", true, true, kPackage.size()},
        {"missing on the server", false, false, kPackage.size()},
        {"shorter than the feed says", false, true, kPackage.size() + 10},
    };
    std::string package = CLocalUpdateServer::FeedPath(kTestProduct).substr(0, 36) + "/Setup.bin";
    for (const Case& c : cases) {
        ClearFreshetCache(kTestProduct);
        server.Put(CLocalUpdateServer::FeedPath(kTestProduct),
                   "version=1.1\npackage=Setup.bin\nsize=" + std::to_string(c.announced) + "\n");
        if (c.present)
            server.Put(package, kPackage, c.cut);
        else
            server.Remove(package);
        ASSERT_EQ(updater.CheckUpdate(L"1.0"), 1) << c.name;
        EXPECT_EQ(updater.DownloadUpdate(nullptr, 1), 0) << c.name;
        EXPECT_EQ(updater.UpdateDownloaded(nullptr), 0) << c.name;
        EXPECT_FALSE(Exists(L"Setup.bin")) << c.name;
        EXPECT_FALSE(Exists(L"Setup.bin.part")) << c.name;
    }
    EXPECT_TRUE(server.Requested("/Setup.bin"));
}

TEST_F(FreshetTest, InstallerFromRundll32RecordsTheProductAndConsumesThePackage)
{
    std::wstring system(MAX_PATH, L'\0');
    SHGetSpecialFolderPathW(nullptr, &system[0], CSIDL_SYSTEM, FALSE);
    system.resize(wcslen(system.c_str()));
    wchar_t product[40] = {};
    StringFromGUID2(kTestProduct, product, 40);
    std::wstring install = L"\"" + system + L"\\rundll32.exe\" Freshet.dll FRInstallUpdate " + product;

    // Nothing downloaded: nothing to install.
    server.PutUpdate(kTestProduct, "1.1", "Setup.bin", kPackage);
    ASSERT_EQ(updater.CheckUpdate(L"1.0"), 1);
    EXPECT_EQ(RunProcess(install), 0);
    EXPECT_EQ(InstalledVersion(kTestProduct), L"");

    ASSERT_EQ(updater.DownloadUpdate(nullptr, 0), 1);
    EXPECT_EQ(RunProcess(install + L"x"), 0);   // not a GUID
    EXPECT_EQ(InstalledVersion(kTestProduct), L"");
    EXPECT_EQ(RunProcess(install), 0);
    EXPECT_EQ(InstalledVersion(kTestProduct), L"1.1");
    EXPECT_EQ(updater.UpdateDownloaded(nullptr), 0);
}
