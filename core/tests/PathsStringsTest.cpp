#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "app/res/resource.h"
#include "core/AppPaths.h"
#include "core/ResourceModule.h"

namespace {

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

class LanguageLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        library = LoadLibraryW((ExeFolder() + L"\\PartialStrings.dll").c_str());
        ASSERT_NE(library, nullptr) << GetLastError();
    }
    void TearDown() override
    {
        SetResourceModule(nullptr);
        FreeLibrary(library);
    }
    HMODULE library = nullptr;
};

}  // namespace

TEST(AppPath, IsTheProgramFolderWithTheSuffix)
{
    std::wstring expected = ExeFolder() + L"\\Skin\\Skin.inf";
    EXPECT_EQ(std::wstring(GetAppPath(L"\\Skin\\Skin.inf")), expected);
    EXPECT_EQ(std::wstring(GetAppPath(nullptr)), ExeFolder());
}

TEST(AppPath, SixthCallReusesTheFirstBuffer)
{
    wchar_t* results[6];
    for (auto& result : results)
        result = GetAppPath(L"\\x");
    for (int i = 1; i < 5; ++i)
        EXPECT_NE(results[i], results[0]);
    EXPECT_EQ(results[5], results[0]);
}

TEST(AppPath, TooLongSuffixIsCutNotOverrun)
{
    std::wstring longSuffix(3000, L'a');
    wchar_t* first = GetAppPath(longSuffix.c_str());
    EXPECT_EQ(wcslen(first), size_t(kRingBufferChars - 1));
    wchar_t* second = GetAppPath(L"\\ok");  // the neighbouring buffer is intact
    EXPECT_EQ(std::wstring(second), ExeFolder() + L"\\ok");
    wchar_t* data = GetAppDataPath(longSuffix.c_str());
    EXPECT_EQ(wcslen(data), size_t(kRingBufferChars - 1));
}

TEST(AppDataPath, IsRoamingAppDataThenTarnwickLyrant)
{
    wchar_t appData[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
    EXPECT_EQ(std::wstring(GetAppDataPath(L"\\LOG\\Lyrant.log")),
              std::wstring(appData) + L"\\Tarnwick\\Lyrant\\LOG\\Lyrant.log");
    wchar_t* results[6];
    for (auto& result : results)
        result = GetAppDataPath(L"");
    EXPECT_EQ(results[5], results[0]);
    EXPECT_NE(results[4], results[0]);
}

TEST(ProductVersion, GivesTheFourWordsAndText)
{
    DWORD ms = 0, ls = 0;
    wchar_t text[32] = L"";
    GetProductVersion(&ms, &ls, text);
    EXPECT_EQ(ms, 0x00020001u);
    EXPECT_EQ(ls, 0x00030004u);
    EXPECT_STREQ(text, L"2.1.3.4");
    DWORD onlyMs = 0;
    GetProductVersion(&onlyMs, nullptr, nullptr);
    EXPECT_EQ(onlyMs, 0x00020001u);
}

TEST(ResString, ProgramTableTextsStandAsTheyAre)
{
    EXPECT_STREQ(LoadResString(IDS_STOP), L"Stop");
    EXPECT_STREQ(LoadResString(IDS_START), L">>");
    EXPECT_STREQ(LoadResString(IDS_RESTART_FAILED),
                 L"Unable to restart driver automatically. \nChanges will be applied on Windows next restart.");
    EXPECT_STREQ(LoadResString(IDS_DRIVER_IN_USE_RETRY),
                 L"The driver must be restarted to apply your changes.\nBut some application(s) are using the "
                 L"Sonabridge and it can't be restarted. \nPlease stop all audio activities and try again!\n\n"
                 L"Try to restart the driver again?\n");
    EXPECT_STREQ(LoadResString(IDS_MB_NO), L"No");
}

TEST(ResString, RingOfFourAdvancesFirst)
{
    wchar_t* a = LoadResString(IDS_STOP);
    wchar_t* b = LoadResString(IDS_STOP);
    wchar_t* c = LoadResString(IDS_STOP);
    wchar_t* d = LoadResString(IDS_STOP);
    wchar_t* e = LoadResString(IDS_STOP);
    EXPECT_NE(a, b);
    EXPECT_NE(a, c);
    EXPECT_NE(a, d);
    EXPECT_EQ(a, e);
}

TEST(ResString, MissingIdInTheProgramIsEmpty)
{
    for (int i = 0; i < kStringRingSize; ++i)
        LoadResString(IDS_STOP);  // every slot holds an older text
    EXPECT_STREQ(LoadResString(113), L"");    // a gap inside a present block
    EXPECT_STREQ(LoadResString(5000), L"");   // a block the table does not have
}

TEST_F(LanguageLibrary, StringsComeFromTheLibraryAndMissingOnesFromTheProgram)
{
    for (int i = 0; i < kStringRingSize; ++i)
        LoadResString(IDS_STOP);  // "Stop" from the program in every slot
    SetResourceModule(library);
    EXPECT_EQ(GetResourceModule(), library);
    EXPECT_STREQ(LoadResString(IDS_STOP), L"Halt");
    // A translation made before these ids existed: the program's own text, never a blank.
    EXPECT_STREQ(LoadResString(IDS_DRIVER_IN_USE), L"Driver is in use");   // same block, absent id
    EXPECT_STREQ(LoadResString(IDS_ERROR), L"Error");                      // the whole block absent
    EXPECT_STREQ(LoadResString(IDS_HINT), L"Hint");
    EXPECT_STREQ(LoadResString(113), L"");   // in neither
    SetResourceModule(nullptr);
    EXPECT_STREQ(LoadResString(IDS_STOP), L"Stop");
}

TEST_F(LanguageLibrary, FormatsThatDoNotTakeTheArgumentsComeFromTheProgram)
{
    SetResourceModule(library);
    EXPECT_STREQ(LoadResFormat(IDS_BAD_BUFFER_NUM, "uuu"), L"Pufferanzahl %u nicht von %u bis %u");
    // "%s" where the caller passes an int would read the number as a pointer.
    EXPECT_STREQ(LoadResFormat(IDS_CHANNEL_NOT_STARTED, "d"), L"Channel %d not started");
    EXPECT_EQ(FormatResString(IDS_CHANNEL_NOT_STARTED, "d", 2), L"Channel 2 not started");
    EXPECT_EQ(FormatResString(IDS_BAD_BUFFER_NUM, "uuu", 0u, 1u, 1000u), L"Pufferanzahl 0 nicht von 1 bis 1000");
    // Missing from the library: the program's own.
    EXPECT_EQ(FormatResString(IDS_BAD_SAMPLE_RATE, "suu", L"1", 8000u, 192000u),
              L"The sample rate \"1\" in the settings is not from 8000 to 192000 Hz.");
    // Plain texts are formats without conversions.
    EXPECT_STREQ(LoadResFormat(IDS_STOP, ""), L"Halt");
    // A caller's letters that no text fits give nothing rather than a wrong read.
    EXPECT_EQ(FormatResString(IDS_STOP, "d", 7), L"");
}
