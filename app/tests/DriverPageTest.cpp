#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <cstring>
#include <string>
#include <vector>

#include "app/DriverPage.h"
#include "app/OptionsSheet.h"
#include "app/tests/MainDialogFixture.h"
#include "core/RegSettings.h"
#include "core/VADrvProtocol.h"
#include "core/tests/SetupApiSeam.h"
#include "core/tests/SubstituteDriver.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowPixels.h"
#include "widgets/MarkupMessageBoxTemplate.h"

namespace {

::testing::Environment* const g_DriverEnvironment =
    ::testing::AddGlobalTestEnvironment(new SubstituteDriverEnvironment);

int g_relaunches = 0;
void CountRelaunch() { ++g_relaunches; }
bool g_setupAllowed = true;
bool SetupAllowed() { return g_setupAllowed; }

// A message box's caption, text and buttons, whether it is the program's own box, and the colour of
// its button band.
struct SeenBox
{
    std::wstring caption;
    std::wstring text;
    bool ours = false;
    std::vector<std::wstring> buttons;   // captions in id order
    COLORREF buttonBand = CLR_INVALID;
};

HWND DriverPage(HWND sheet)
{
    PropSheet_SetCurSel(sheet, nullptr, 1);
    return PropSheet_IndexToHwnd(sheet, 1);
}

// Counts the SET_INSTANCE_COUNT requests the driver received since its record was cleared.
int CountRequests(const VADRV_TEST_RECORD& record)
{
    int count = 0;
    for (unsigned i = 0; i < record.entryCount && i < VADRV_TEST_RECORD_ENTRIES; ++i)
        if (record.entries[i].code == IOCTL_VADRV_SET_INSTANCE_COUNT)
            ++count;
    return count;
}

class DriverPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearLyrantKey();
        // The General page saves too: with the language already stored as it shows, it asks for no relaunch.
        GetSettings().SetString(L"lanName", L"eng");
        SetupApiSeam::Reset();
        g_relaunches = 0;
        g_setupAllowed = true;
        COptionPageDriver::CanRestartThroughSetup = &SetupAllowed;
        ASSERT_TRUE(WaitForDevice());
        ASSERT_TRUE(ResetDriverState());
        startsBefore = ReadRecord().starts;
    }
    void TearDown() override
    {
        SetupApiSeam::Reset();
        WaitForDevice();
        ResetDriverState();
        CVADrvHelper defaults;   // the installed defaults again for the next test
        if (defaults.Open()) {
            defaults.ApplySettings();
            defaults.Close();
            CVADrvHelper::RestartDevice();
            WaitForDevice();
        }
        ResetDriverState();
        ClearLyrantKey();
    }

    // Runs the options sheet; the action runs on the Driver page (shown first), then OK or Cancel.
    // A message box during the action or the apply is answered with `answer` and recorded.
    bool RunSheet(std::function<void(HWND page)> action, bool ok = true, int answer = IDOK)
    {
        CDialogWatcher watch([&](HWND sheet) {
            HWND page = nullptr;
            {
                CDialogWatcher box([&](HWND window) { Record(window); ClickDialogButton(window, answer); });
                page = DriverPage(sheet);   // the page initialises now
            }
            action(page);
            // A click runs the apply at once, while this watcher waits for its question.
            CDialogWatcher applyBox([&](HWND window) { Record(window); ClickDialogButton(window, answer); });
            ClickDialogButton(sheet, ok ? IDOK : IDCANCEL);
        });
        bool relaunched = RunOptionsSheet(nullptr, &CountRelaunch);
        EXPECT_NE(watch.Caught(), nullptr);
        return relaunched;
    }
    void Record(HWND window)
    {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        SeenBox seen;
        seen.caption = text;
        if (CMarkupMessageBoxTemplate* box = CMarkupMessageBoxTemplate::FromWindow(window)) {
            seen.ours = true;
            seen.text = box->MessageText();
            for (const auto& button : box->Buttons()) {
                GetWindowTextW(button.second, text, 512);
                seen.buttons.push_back(text);
            }
        }
        UpdateWindow(window);
        PixelImage pixels = CaptureClientPixels(window);
        if (!pixels.Empty())
            seen.buttonBand = pixels.At(2, pixels.height - 2);
        boxes.push_back(seen);
    }
    static void Type(HWND page, const wchar_t* count)
    {
        SetDlgItemTextW(page, IDC_DRV_INSTANCES, count);   // the edit reports EN_CHANGE
    }
    static void ToggleVolume(HWND page)
    {
        ClickDialogButton(page, IDC_DRV_VOLUME);
    }

    unsigned startsBefore = 0;
    std::vector<SeenBox> boxes;
};

}  // namespace

TEST_F(DriverPageTest, ShowsTheDriversValuesAndOkWithoutEditsSendsNothing)
{
    std::wstring count;
    UINT volume = 99;
    int low = 0, high = 0;
    bool progressVisible = true;
    bool relaunched = RunSheet([&](HWND page) {
        wchar_t text[16] = {};
        GetDlgItemTextW(page, IDC_DRV_INSTANCES, text, 16);
        count = text;
        volume = IsDlgButtonChecked(page, IDC_DRV_VOLUME);
        SendDlgItemMessageW(page, IDC_DRV_INSTANCE_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                            reinterpret_cast<LPARAM>(&high));
        progressVisible = IsWindowVisible(GetDlgItem(page, IDC_DRV_PROGRESS));
        PumpMessagesFor(100);
        SavePixelsAsPng(CaptureScreenPixels(GetParent(page)), ScreenshotFolder() + L"\\options_driver.png");
    });
    EXPECT_EQ(count, L"1");   // the substitute driver's installed defaults: one instance, volume on
    EXPECT_EQ(volume, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 16);
    EXPECT_FALSE(progressVisible);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(relaunched);
    VADRV_TEST_RECORD record = ReadRecord();
    EXPECT_EQ(CountRequests(record), 0);
    EXPECT_EQ(record.starts, startsBefore);
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 0);
}

TEST_F(DriverPageTest, ArrowsStopAtOneAndSixteen)
{
    std::wstring atTop, atBottom;
    RunSheet([&](HWND page) {
        HWND edit = GetDlgItem(page, IDC_DRV_INSTANCES);
        wchar_t text[16] = {};
        Type(page, L"16");
        SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);   // the up-down's arrow keys act on its buddy
        SendMessageW(edit, WM_KEYUP, VK_UP, 0);
        GetDlgItemTextW(page, IDC_DRV_INSTANCES, text, 16);
        atTop = text;
        Type(page, L"1");
        SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(edit, WM_KEYUP, VK_DOWN, 0);
        GetDlgItemTextW(page, IDC_DRV_INSTANCES, text, 16);
        atBottom = text;
    }, false);
    EXPECT_EQ(atTop, L"16");
    EXPECT_EQ(atBottom, L"1");
}

TEST_F(DriverPageTest, EditSendsAndRestartsThroughTheSetupInterface)
{
    bool relaunched = RunSheet([&](HWND page) {
        Type(page, L"5");
        ToggleVolume(page);
    });
    EXPECT_FALSE(relaunched);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 1);
    ASSERT_TRUE(WaitForDevice());
    EXPECT_EQ(ReadRecord().starts, startsBefore + 1);
    // The restarted device runs with what the page sent.
    CVADrvHelper helper;
    ASSERT_TRUE(helper.Open());
    VADRV_DRIVER_INFO info = {};
    ASSERT_TRUE(helper.GetDriverInfo(&info));
    EXPECT_EQ(info.instanceCount, 5u);
    VADRV_INSTANCE_INFO instance = {};
    ASSERT_TRUE(helper.GetInstanceInfo(0, &instance));
    EXPECT_EQ(instance.volumeControl, 0u);
}

// The value of the last instance-count request the driver received.
unsigned SentCount(const VADRV_TEST_RECORD& record)
{
    unsigned value = 0;
    for (unsigned i = 0; i < record.entryCount && i < VADRV_TEST_RECORD_ENTRIES; ++i)
        if (record.entries[i].code == IOCTL_VADRV_SET_INSTANCE_COUNT)
            memcpy(&value, record.entries[i].input + 4, sizeof(value));
    return value;
}

TEST_F(DriverPageTest, TypedCountOutsideTheArrowsRangeIsSentUnchanged)
{
    ASSERT_TRUE(TestControl(1, 0, VADRV_TEST_NO_FAILURE, true));   // in use: the test keeps the record
    for (const wchar_t* typed : {L"0", L"40"}) {
        ASSERT_TRUE(TestControl(1, 0, VADRV_TEST_NO_FAILURE, true));
        RunSheet([&](HWND page) { Type(page, typed); }, true, IDCANCEL);
        EXPECT_EQ(SentCount(ReadRecord()), static_cast<unsigned>(_wtoi(typed)));
    }
}

TEST_F(DriverPageTest, ToggledBackStillCountsAsAChange)
{
    RunSheet([&](HWND page) {
        ToggleVolume(page);
        ToggleVolume(page);
    });
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 1);
    ASSERT_TRUE(WaitForDevice());
    EXPECT_EQ(ReadRecord().starts, startsBefore + 1);
}

TEST_F(DriverPageTest, DeviceInUseAndCancelLeavesItAloneWithoutRelaunch)
{
    ASSERT_TRUE(TestControl(1, 0, VADRV_TEST_NO_FAILURE, true));
    bool relaunched = RunSheet([&](HWND page) { Type(page, L"2"); }, true, IDCANCEL);
    EXPECT_FALSE(relaunched);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Driver is in use");
    EXPECT_NE(boxes[0].text.find(L"can't be restarted"), std::wstring::npos);
    EXPECT_TRUE(boxes[0].ours) << "the program's own message box, not the system's";
    EXPECT_EQ(boxes[0].buttons, (std::vector<std::wstring>{L"OK", L"Cancel"}));
    EXPECT_EQ(boxes[0].buttonBand, RGB(0xF0, 0xF0, 0xF0)) << "the program's band behind the buttons";
    EXPECT_EQ(CountRequests(ReadRecord()), 1) << "the settings are sent; only the restart waits";
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 0);
    EXPECT_EQ(ReadRecord().starts, startsBefore);
}

TEST_F(DriverPageTest, DeviceInUseAndOkRestartsAnyway)
{
    ASSERT_TRUE(TestControl(1, 0, VADRV_TEST_NO_FAILURE, true));
    bool relaunched = RunSheet([&](HWND page) { Type(page, L"3"); }, true, IDOK);
    EXPECT_FALSE(relaunched);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 1);
}

TEST_F(DriverPageTest, DeviceConsoleToolRestartsWhereTheSetupInterfaceIsNotUsed)
{
    g_setupAllowed = false;   // 64-bit Windows, or not an administrator
    DWORD started = GetTickCount();
    bool relaunched = RunSheet([&](HWND page) { Type(page, L"2"); });
    EXPECT_GE(GetTickCount() - started, COptionPageDriver::kDevconWaitMs);
    EXPECT_FALSE(relaunched);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 0);
    ASSERT_TRUE(WaitForDevice());
    EXPECT_EQ(ReadRecord().starts, startsBefore + 1);
}

TEST_F(DriverPageTest, FailedSetupRestartFallsBackToTheDeviceConsoleTool)
{
    SetupApiSeam::Get().failClassInstallerWith = ERROR_GEN_FAILURE;   // as Wine's stubbed setup calls
    bool relaunched = RunSheet([&](HWND page) { Type(page, L"2"); });
    EXPECT_FALSE(relaunched);
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(WaitForDevice());
    EXPECT_EQ(ReadRecord().starts, startsBefore + 1);
}

TEST_F(DriverPageTest, MissingDriverIsReportedAndAnApplyRelaunchesTheProgram)
{
    ASSERT_TRUE(TestControl(0, 1, VADRV_TEST_NO_FAILURE, true));   // opens refused
    bool relaunched = RunSheet([&](HWND page) { Type(page, L"2"); });
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Error");
    EXPECT_EQ(boxes[0].text, L"Driver not installed?");
    EXPECT_TRUE(relaunched);
    EXPECT_EQ(g_relaunches, 1);
    EXPECT_EQ(CountRequests(ReadRecord()), 0);
}

TEST_F(DriverPageTest, ChangedLanguageAndFailedRestartRelaunchOnce)
{
    ClearLyrantKey();   // the first save over the default language counts as a change
    ASSERT_TRUE(TestControl(0, 1, VADRV_TEST_NO_FAILURE, true));
    EXPECT_TRUE(RunSheet([&](HWND page) { Type(page, L"2"); }));
    EXPECT_EQ(g_relaunches, 1);
    EXPECT_EQ(ReadOption(L"lanName"), L"eng");
}

TEST_F(DriverPageTest, SheetClosedWithoutShowingThePageSendsNothing)
{
    CDialogWatcher watch([&](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); });
    GetSettings().SetString(L"lanName", L"eng");
    EXPECT_FALSE(RunOptionsSheet(nullptr, &CountRelaunch));
    EXPECT_EQ(ReadRecord().entryCount, 0u) << "no request at all reached the driver";
}
