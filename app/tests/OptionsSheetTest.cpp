#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include "app/GeneralPage.h"
#include "app/OptionsSheet.h"
#include "app/tests/MainDialogFixture.h"
#include "core/AppPaths.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"
#include "core/ResourceModule.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/LaunchSeam.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestPaths.h"

namespace {

int g_relaunches = 0;
void CountRelaunch() { ++g_relaunches; }

// The General page of the running sheet.
HWND GeneralPage(HWND sheet)
{
    return PropSheet_IndexToHwnd(sheet, 0);
}

std::wstring SelectedItem(HWND page, int id)
{
    HWND combo = GetDlgItem(page, id);
    LRESULT selection = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selection < 0)
        return L"<none>";
    wchar_t text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::wstring> Items(HWND page, int id)
{
    HWND combo = GetDlgItem(page, id);
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t text[64] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Chooses an item as the user does: the selection, then the combo's notification to the page.
void Choose(HWND page, int id, const wchar_t* item)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Runs the Option command's sheet; the action runs on the sheet, then OK (or Cancel) closes it.
bool RunSheet(std::function<void(HWND sheet)> action, bool ok = true)
{
    CDialogWatcher watch([&](HWND sheet) {
        action(sheet);
        PropSheet_PressButton(sheet, ok ? PSBTN_OK : PSBTN_CANCEL);
    });
    bool relaunched = RunOptionsSheet(nullptr, &CountRelaunch);
    EXPECT_NE(watch.Caught(), nullptr);
    return relaunched;
}

// Empty files named like language libraries beside the test program, for the page's search.
class LanguageFiles
{
public:
    explicit LanguageFiles(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names) {
            std::wstring path = GetAppPath(L"\\") + std::wstring(name);
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
            paths.push_back(path);
        }
    }
    ~LanguageFiles()
    {
        for (const std::wstring& path : paths)
            DeleteFileW(path.c_str());
    }
    std::vector<std::wstring> paths;
};

class GeneralPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearLyrantKey();
        g_relaunches = 0;
    }
    void TearDown() override { ClearLyrantKey(); }
};

}  // namespace

TEST(LanguageNames, CodesAndDisplayNamesBothWays)
{
    EXPECT_EQ(LanguageDisplayName(L"Eng"), L"English");
    EXPECT_EQ(LanguageDisplayName(L"DE"), L"Deutsch");
    EXPECT_EQ(LanguageDisplayName(L"chs"), L"\u7B80\u4F53\u4E2D\u6587");
    EXPECT_EQ(LanguageDisplayName(L"Xx"), L"xx");          // not in the table: itself, lower-cased
    EXPECT_EQ(LanguageCodeOfDisplayName(L"Deutsch"), L"de");
    EXPECT_EQ(LanguageCodeOfDisplayName(L"Portugu\u00EAs"), L"pt");
    EXPECT_EQ(LanguageCodeOfDisplayName(L"deutsch"), L"deutsch");   // exact names only
    EXPECT_EQ(LanguageCodeOfDisplayName(L"xx"), L"xx");
}

TEST_F(GeneralPageTest, ShowsTheStoredSettings)
{
    GetSettings().SetDWORD(L"bufferNum", 7);
    GetSettings().SetDWORD(L"autoCLU", 0);
    GetSettings().SetString(L"bufferLenMs", L"4");
    GetSettings().SetString(L"BPS", L"24");
    GetSettings().SetString(L"SampleRate", L"1");
    std::wstring length, bits, rate, count;
    UINT autoCheck = 99;
    int low = 0, high = 0;
    std::vector<std::wstring> rates;
    RunSheet([&](HWND sheet) {
        HWND page = GeneralPage(sheet);
        length = SelectedItem(page, IDC_GEN_BUFFER_LENGTH);
        bits = SelectedItem(page, IDC_GEN_BITS);
        rate = SelectedItem(page, IDC_GEN_SAMPLE_RATE);
        rates = Items(page, IDC_GEN_SAMPLE_RATE);
        wchar_t text[16] = {};
        GetDlgItemTextW(page, IDC_GEN_BUFFER_COUNT, text, 16);
        count = text;
        autoCheck = IsDlgButtonChecked(page, IDC_GEN_AUTO_UPDATE);
        SendDlgItemMessageW(page, IDC_GEN_BUFFER_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                            reinterpret_cast<LPARAM>(&high));
        PumpMessagesFor(100);
        SavePixelsAsPng(CaptureScreenPixels(sheet), ScreenshotFolder() + L"\\options_general.png");
    }, false);
    EXPECT_EQ(length, L"400");   // the first item that begins with the stored text
    EXPECT_EQ(bits, L"24");
    EXPECT_EQ(rate, L"11025");
    EXPECT_EQ(rates, (std::vector<std::wstring>{L"8000", L"11025", L"16000", L"22050", L"32000", L"44100",
                                                L"48000", L"96000", L"192000"}));
    EXPECT_EQ(count, L"7");
    EXPECT_EQ(autoCheck, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(low, 2);
    EXPECT_EQ(high, 20);
    // Cancel saves nothing.
    EXPECT_EQ(ReadOption(L"bufferLenMs"), L"4");
    EXPECT_EQ(ReadOption(L"SampleRate"), L"1");
    EXPECT_EQ(g_relaunches, 0);
}

TEST_F(GeneralPageTest, StoredLengthOf1000SelectsItNotTheShorterPrefix)
{
    GetSettings().SetString(L"bufferLenMs", L"1000");
    GetSettings().SetString(L"BPS", L"12");
    std::wstring length, bits;
    RunSheet([&](HWND sheet) {
        length = SelectedItem(GeneralPage(sheet), IDC_GEN_BUFFER_LENGTH);
        bits = SelectedItem(GeneralPage(sheet), IDC_GEN_BITS);
    });
    EXPECT_EQ(length, L"1000");
    EXPECT_EQ(bits, L"<none>");
    EXPECT_EQ(ReadOption(L"BPS"), L"12") << "a combo without a selection keeps the stored value";
}

TEST_F(GeneralPageTest, OkSavesWhatWasEditedAsTyped)
{
    GetSettings().SetString(L"lanName", L"eng");
    RunSheet([&](HWND sheet) {
        HWND page = GeneralPage(sheet);
        Choose(page, IDC_GEN_SAMPLE_RATE, L"48000");
        Choose(page, IDC_GEN_BITS, L"8");
        Choose(page, IDC_GEN_BUFFER_LENGTH, L"50");
        SetDlgItemTextW(page, IDC_GEN_BUFFER_COUNT, L"13");   // typed, not by the arrows
        CheckDlgButton(page, IDC_GEN_AUTO_UPDATE, BST_UNCHECKED);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_GEN_AUTO_UPDATE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_GEN_AUTO_UPDATE)));
    });
    EXPECT_EQ(ReadOption(L"SampleRate"), L"48000");
    EXPECT_EQ(ReadOption(L"BPS"), L"8");
    EXPECT_EQ(ReadOption(L"bufferLenMs"), L"50");
    EXPECT_EQ(ReadOptionDword(L"bufferNum"), 13u);
    EXPECT_EQ(ReadOptionDword(L"autoCLU"), 0u);
    EXPECT_EQ(ReadOption(L"lanName"), L"eng");
    EXPECT_EQ(g_relaunches, 0) << "the same language stored in lower case does not relaunch";
}

class GeneralPageBufferCount : public GeneralPageTest, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(GeneralPageBufferCount, OutsideTheArrowsRangeIsRefusedAndNothingSaved)
{
    GetSettings().SetDWORD(L"bufferNum", 7);
    GetSettings().SetString(L"SampleRate", L"44100");
    int answered = 0;
    bool stayed = false;
    std::wstring rateAfterRefusal;
    DWORD countAfterRefusal = 0;
    HWND focus = nullptr, edit = nullptr;
    RunSheet([&](HWND sheet) {
        HWND page = GeneralPage(sheet);
        edit = GetDlgItem(page, IDC_GEN_BUFFER_COUNT);
        Choose(page, IDC_GEN_SAMPLE_RATE, L"48000");
        SetDlgItemTextW(page, IDC_GEN_BUFFER_COUNT, GetParam());
        {
            BoxAnswerer answer(LoadResString(IDS_PREFERENCES), IDOK);
            PropSheet_PressButton(sheet, PSBTN_OK);
            for (DWORD until = GetTickCount() + 5000; answer.Answered() == 0 && GetTickCount() < until;)
                PumpMessagesFor(20);
            answered = answer.Answered();
        }
        stayed = IsWindowVisible(sheet) && PropSheet_GetCurrentPageHwnd(sheet) == page;
        focus = GetFocus();
        rateAfterRefusal = ReadOption(L"SampleRate");
        countAfterRefusal = ReadOptionDword(L"bufferNum");
        SetDlgItemTextW(page, IDC_GEN_BUFFER_COUNT, L"20");
    });
    EXPECT_EQ(answered, 1) << "no message for the refused count";
    EXPECT_TRUE(stayed) << "the sheet closed over a refused count";
    EXPECT_EQ(focus, edit) << "the caret is not in the count";
    EXPECT_EQ(rateAfterRefusal, L"44100") << "a refused page saved part of itself";
    EXPECT_EQ(countAfterRefusal, 7u);
    // Corrected, the same OK saves everything.
    EXPECT_EQ(ReadOptionDword(L"bufferNum"), 20u);
    EXPECT_EQ(ReadOption(L"SampleRate"), L"48000");
}

INSTANTIATE_TEST_SUITE_P(Typed, GeneralPageBufferCount,
                         ::testing::Values(L"25", L"21", L"1", L"0", L"-3", L"", L"abc", L"99999999999"));

struct LanguageCase
{
    const char* name;
    const wchar_t* stored;   // null: no value
    const wchar_t* choose;   // null: leave the combo as it shows
    const wchar_t* saved;
    int relaunches;
};

class GeneralPageLanguage : public GeneralPageTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(GeneralPageLanguage, ChangedLanguageIsStoredAndRelaunches)
{
    const LanguageCase& c = GetParam();
    LanguageFiles libraries({L"ResDe.dll", L"ResXx.dll", L"Res.dll"});
    if (c.stored)
        GetSettings().SetString(L"lanName", c.stored);
    std::vector<std::wstring> items;
    bool enabled = false;
    bool relaunched = RunSheet([&](HWND sheet) {
        HWND page = GeneralPage(sheet);
        items = Items(page, IDC_GEN_LANGUAGE);
        enabled = IsWindowEnabled(GetDlgItem(page, IDC_GEN_LANGUAGE));
        if (c.choose)
            Choose(page, IDC_GEN_LANGUAGE, c.choose);
    });
    EXPECT_EQ(items, (std::vector<std::wstring>{L"English", L"Deutsch", L"xx"}));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(ReadOption(L"lanName"), c.saved);
    EXPECT_EQ(g_relaunches, c.relaunches);
    EXPECT_EQ(relaunched, c.relaunches != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneralPageLanguage,
    ::testing::Values(LanguageCase{"FirstSaveOverTheDefault", nullptr, nullptr, L"eng", 1},
                      LanguageCase{"StoredEngCountsAsDifferent", L"Eng", nullptr, L"eng", 1},
                      LanguageCase{"SameLowerCaseCode", L"eng", nullptr, L"eng", 0},
                      LanguageCase{"ChoosingDeutsch", L"eng", L"Deutsch", L"de", 1},
                      LanguageCase{"CodeNotInTheTable", L"eng", L"xx", L"xx", 1},
                      LanguageCase{"StoredXxShownAndKept", L"XX", nullptr, L"xx", 1}),
    [](const ::testing::TestParamInfo<LanguageCase>& info) { return std::string(info.param.name); });

TEST_F(GeneralPageTest, WithoutLanguageLibrariesTheComboShowsEnglishDisabled)
{
    std::vector<std::wstring> items;
    bool enabled = true;
    RunSheet([&](HWND sheet) {
        items = Items(GeneralPage(sheet), IDC_GEN_LANGUAGE);
        enabled = IsWindowEnabled(GetDlgItem(GeneralPage(sheet), IDC_GEN_LANGUAGE));
    }, false);
    EXPECT_EQ(items, std::vector<std::wstring>{L"English"});
    EXPECT_FALSE(enabled);
}

TEST_F(GeneralPageTest, CheckNowReportsThatNoUpdateIsAvailable)
{
    ShownBox shown;
    HWND sheetWindow = nullptr;
    RunSheet([&](HWND sheet) {
        sheetWindow = sheet;
        HWND page = GeneralPage(sheet);
        CDialogWatcher box(ReadAndCloseBox(shown));
        ClickDialogButton(page, IDC_GEN_CHECK_NOW);
        EXPECT_NE(box.Caught(), nullptr);
    }, false);
    EXPECT_EQ(shown.caption, L"Freshet");
    EXPECT_EQ(shown.text, L"No updates available, you already have the latest version!");
    EXPECT_EQ(shown.owner, sheetWindow) << "owned by the sheet the page sits in";
}

TEST_F(GeneralPageTest, OptionButtonOpensPreferencesOverTheMainDialog)
{
    MainDialogFixture ui;
    ASSERT_TRUE(ui.Open());
    std::wstring caption, secondTab;
    bool mainDisabled = false;
    CDialogWatcher watch([&](HWND sheet) {
        wchar_t text[64] = {};
        GetWindowTextW(sheet, text, 64);
        caption = text;
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(PropSheet_GetTabControl(sheet), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
        secondTab = text;
        mainDisabled = !IsWindowEnabled(ui.Window());
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    SetActiveWindow(ui.Window());
    ui.Press(ID_APP_OPTIONS);
    ASSERT_NE(watch.Caught(), nullptr);
    EXPECT_EQ(caption, L"Preferences");
    EXPECT_EQ(secondTab, L"Driver");
    EXPECT_TRUE(mainDisabled);
    ui.Close();
}

namespace {

std::wstring ThisProgramsFileName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text = path;
    return text.substr(text.find_last_of(L'\\') + 1);
}

}  // namespace

TEST_F(GeneralPageTest, RelaunchThatDoesNotStartKeepsTheProgramAndSaysWhy)
{
    g_LogFile.Open();
    MainDialogFixture ui;
    ASSERT_TRUE(ui.Open());
    ASSERT_TRUE(ui.SelectContaining(IDC_OUTPUT1, L"Lyrant Speakers A"));
    RefuseLaunchesOf(ThisProgramsFileName().c_str(), ERROR_FILE_NOT_FOUND);
    ShownBox shown;
    {
        CDialogWatcher box(ReadAndCloseBox(shown));
        RelaunchProgram();
        EXPECT_NE(box.Caught(), nullptr) << "the failure was not told";
    }
    LONG refused = RefusedLaunches();
    RefuseLaunchesOf(nullptr, 0);
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(shown.caption, L"Error");
    const std::wstring reason = L"The program could not be started again to apply your changes (0x00000002 - ";
    EXPECT_EQ(shown.text.compare(0, reason.size(), reason), 0) << std::string(shown.text.begin(), shown.text.end());
    MSG quit = {};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program quits without a copy";
    EXPECT_TRUE(IsWindow(ui.Window()));
    // The session was stored for the copy that did not come.
    EXPECT_EQ(ReadOption(L"st1_output"), L"Lyrant Speakers A");
    std::string log = ReadFileBytes(GetAppDataPath(L"\\LOG\\Lyrant.log"));
    EXPECT_NE(log.find("The program could not be started again to apply your changes (0x00000002 - "),
              std::string::npos) << log;
    ui.Close();
}

// A translation whose buffer-count message reads its numbers as strings: the program's own words.
TEST_F(GeneralPageTest, RefusedBufferCountIsToldInWordsThatFit)
{
    HMODULE library = LoadLibraryW((TestExeFolder() + L"\\TranslationBadFormats.dll").c_str());
    ASSERT_NE(library, nullptr);
    SetResourceModule(library);
    ShownBox shown;
    RunSheet([&](HWND sheet) {
        HWND page = GeneralPage(sheet);
        SetDlgItemTextW(page, IDC_GEN_BUFFER_COUNT, L"25");
        {
            CDialogWatcher box(ReadAndCloseBox(shown));
            PropSheet_PressButton(sheet, PSBTN_OK);
            PumpMessagesUntil([&] { return box.Caught() != nullptr; }, 5000);
        }
        SetDlgItemTextW(page, IDC_GEN_BUFFER_COUNT, L"20");
    });
    SetResourceModule(nullptr);
    FreeLibrary(library);
    EXPECT_EQ(shown.text, L"The buffer count must be a whole number from 2 to 20.");
}
