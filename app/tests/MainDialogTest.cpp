#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AudioDeviceNames.h"
#include "app/tests/MainDialogFixture.h"
#include "app/tests/ToneCheck.h"
#include "core/AppPaths.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"
#include "core/ResourceModule.h"
#include "tests/support/AudioSignal.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/HeapAllocSeam.h"
#include "tests/support/PulseAudioIo.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaveFeed.h"

namespace {

constexpr const wchar_t* kVirtualCapture = L"Monitor of Tarnwick Virtual Aud";   // cut at 31
constexpr const wchar_t* kSpeakersB = L"Lyrant Speakers B";
constexpr const wchar_t* kSoundMapper = L"Software\\Microsoft\\Multimedia\\Sound Mapper";
constexpr DWORD kToolTimeoutMs = 20000;

class MainDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearLyrantKey();
        // The mapper's "Microsoft" default selects nothing under Wine: choose the outputs first.
        for (const wchar_t* name : Settings::OutputChoice)
            GetSettings().SetString(name, kSpeakersB);
    }
    void TearDown() override
    {
        ui.Close();
        ClearLyrantKey();
    }
    MainDialogFixture ui;
};

// The window's client drawing (WM_PRINTCLIENT) into a 32-bit bitmap.
PixelImage PrintClientPixels(HWND window)
{
    PixelImage image;
    RECT client;
    GetClientRect(window, &client);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!bitmap) {
        DeleteDC(dc);
        return image;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    image.width = client.right;
    image.height = client.bottom;
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < image.width * image.height; ++i)
        image.pixels.push_back(RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return image;
}

// The log of this test process, opened once: the refused starts must leave their line in it.
std::string LogOfThisProcess()
{
    static bool opened = [] {
        g_LogFile.Open();
        return true;
    }();
    (void)opened;
    return ReadFileBytes(GetAppDataPath(L"\\LOG\\Lyrant.log"));
}

int WindowHeight(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

}  // namespace

TEST(DeviceNames, ClassifiedByKindLaterNamesWinning)
{
    DeviceNamesByKind kinds = ClassifyDeviceNames(
        {L"Microsoft Sound Mapper", L"Speakers (HD)", L"Tarnwick Virtual Audio", L"USB Headset", L"Tarnwick 2"});
    EXPECT_EQ(kinds.mapper, L"Microsoft Sound Mapper");
    EXPECT_EQ(kinds.virtualDevice, L"Tarnwick 2");
    EXPECT_EQ(kinds.physical, L"USB Headset");
    DeviceNamesByKind onlyMapper = ClassifyDeviceNames({L"MICROSOFT Sound Mapper", L"Tarnwick Virtual Audio"});
    EXPECT_EQ(onlyMapper.physical, L"MICROSOFT Sound Mapper");
}

TEST(DeviceNames, NameAtTheCapsLimitGetsAnEllipsis)
{
    EXPECT_EQ(ComboDeviceName(std::wstring(31, L'x')), std::wstring(31, L'x') + L"...");
    EXPECT_EQ(ComboDeviceName(std::wstring(30, L'x')), std::wstring(30, L'x'));
    EXPECT_EQ(ComboDeviceName(L""), L"");
}

TEST_F(MainDialog, HeightFollowsTheChannelCount)
{
    const int expected[3] = {480, 595, 710};
    GetSettings().SetDWORD(L"TransferChannels", 1);
    ASSERT_TRUE(ui.Open());
    EXPECT_EQ(ui.Selection(IDC_CHANNEL_COUNT), 1);
    EXPECT_EQ(WindowHeight(ui.Window()), expected[1]);
    for (int count : {2, 0, 1}) {
        SendMessageW(ui.Item(IDC_CHANNEL_COUNT), CB_SETCURSEL, count, 0);
        SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(IDC_CHANNEL_COUNT, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(ui.Item(IDC_CHANNEL_COUNT)));
        EXPECT_EQ(WindowHeight(ui.Window()), expected[count]) << count + 1 << " channels";
    }
    EXPECT_EQ(ui.ComboText(IDC_CHANNEL_COUNT, 0), L"one channel");
    EXPECT_EQ(ui.ComboText(IDC_CHANNEL_COUNT, 2), L"three channels");
    // The skin's frame takes 125 pixels of the height: a shown channel ends 10 pixels above that,
    // and the next channel starts below it, so the height alone decides what shows.
    const int kFrame = 125;
    for (int channel = 0; channel < 3; ++channel) {
        RECT meter;
        GetWindowRect(ui.Item(kChannelControls[channel].leftMeter), &meter);
        MapWindowPoints(nullptr, ui.Window(), reinterpret_cast<POINT*>(&meter), 2);
        EXPECT_LE(meter.bottom + 10 + kFrame, expected[channel] + 2) << "channel " << channel + 1;
        EXPECT_GE(meter.bottom + 10 + kFrame, expected[channel] - 2) << "channel " << channel + 1;
        if (channel > 0) {
            RECT input;
            GetWindowRect(ui.Item(kChannelControls[channel].input), &input);
            MapWindowPoints(nullptr, ui.Window(), reinterpret_cast<POINT*>(&input), 2);
            EXPECT_GE(input.top + kFrame, expected[channel - 1]) << "channel " << channel + 1;
        }
    }
}

TEST_F(MainDialog, DeviceCombosListTheMapperFirstThenTheDevicesInOrder)
{
    ASSERT_TRUE(ui.Open());
    std::vector<std::wstring> inputs = WaveInputNames();
    std::vector<std::wstring> outputs = WaveOutputNames();
    ASSERT_GE(inputs.size(), 3u);
    for (const ChannelControlIds& ids : kChannelControls) {
        ASSERT_EQ(ui.ComboCount(ids.input), static_cast<int>(inputs.size()));
        ASSERT_EQ(ui.ComboCount(ids.output), static_cast<int>(outputs.size()));
        for (size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(ui.ComboText(ids.input, static_cast<int>(i)), ComboDeviceName(inputs[i]));
        for (size_t i = 0; i < outputs.size(); ++i)
            EXPECT_EQ(ui.ComboText(ids.output, static_cast<int>(i)), ComboDeviceName(outputs[i]));
    }
    EXPECT_NE(ui.ComboText(IDC_INPUT1, 0).find(L"Mapper"), std::wstring::npos);
}

TEST_F(MainDialog, DefaultInputIsTheVirtualCaptureDeviceWithAnEllipsis)
{
    SHDeleteValueW(HKEY_CURRENT_USER, kSoundMapper, L"Playback");
    SHDeleteValueW(HKEY_CURRENT_USER, kSoundMapper, L"Record");
    ASSERT_TRUE(ui.Open());
    std::wstring expected = std::wstring(kVirtualCapture) + L"...";
    for (const ChannelControlIds& ids : kChannelControls)
        EXPECT_EQ(ui.SelectedText(ids.input), expected);
    EXPECT_EQ(ReadOption(L"st1_input"), expected);   // the default is written back
    EXPECT_EQ(ReadOption(L"st3_input"), expected);
    EXPECT_EQ(ui.SelectedText(IDC_OUTPUT2), kSpeakersB);

    // The sound mapper's preferred devices are written back with the physical names.
    wchar_t value[64] = {};
    DWORD size = sizeof(value);
    ASSERT_EQ(SHGetValueW(HKEY_CURRENT_USER, kSoundMapper, L"Playback", nullptr, value, &size), ERROR_SUCCESS);
    EXPECT_EQ(ui.dialog->m_preferredOutput, value);
    EXPECT_EQ(ui.dialog->m_physicalOutput, value);
    EXPECT_EQ(ui.dialog->m_virtualOutput, L"Tarnwick Virtual Audio");
    size = sizeof(value);
    ASSERT_EQ(SHGetValueW(HKEY_CURRENT_USER, kSoundMapper, L"Record", nullptr, value, &size), ERROR_SUCCESS);
    EXPECT_EQ(ui.dialog->m_preferredInput, value);
}

TEST_F(MainDialog, StoredChoicesRestoreByPrefixWithoutCase)
{
    GetSettings().SetString(L"st2_input", L"monitor of lyrant speakers b");
    GetSettings().SetString(L"st3_input", L"Monitor of Tarnwick");
    GetSettings().SetString(L"st1_output", L"Lyrant Speakers");
    ASSERT_TRUE(ui.Open());
    EXPECT_EQ(ui.SelectedText(IDC_INPUT2), L"Monitor of Lyrant Speakers B");
    EXPECT_EQ(ui.SelectedText(IDC_INPUT3), std::wstring(kVirtualCapture) + L"...");
    std::wstring first = ui.SelectedText(IDC_OUTPUT1);
    EXPECT_EQ(first.rfind(L"Lyrant Speakers", 0), 0u) << std::string(first.begin(), first.end());
    // The first entry with that prefix, in list order.
    for (int i = 0; i < ui.Selection(IDC_OUTPUT1); ++i)
        EXPECT_NE(ui.ComboText(IDC_OUTPUT1, i).rfind(L"Lyrant Speakers", 0), 0u);
}

TEST_F(MainDialog, ClosingSavesTheChoicesAndTheCount)
{
    GetSettings().SetString(L"st2_input", L"Device that is gone");
    GetSettings().SetDWORD(L"TransferChannels", 2);
    ASSERT_TRUE(ui.Open());
    EXPECT_EQ(ui.Selection(IDC_INPUT2), -1);
    ASSERT_TRUE(ui.SelectContaining(IDC_OUTPUT3, L"Lyrant Speakers A"));
    SendMessageW(ui.Item(IDC_CHANNEL_COUNT), CB_SETCURSEL, 1, 0);
    ui.Close();
    EXPECT_FALSE(IsWindow(ui.Window()));

    std::wstring virtualInput = std::wstring(kVirtualCapture) + L"...";
    EXPECT_EQ(ReadOption(L"st1_input"), virtualInput);
    // A combo without a selection saves the text saved before it.
    EXPECT_EQ(ReadOption(L"st2_input"), virtualInput);
    EXPECT_EQ(ReadOption(L"st3_input"), virtualInput);
    EXPECT_EQ(ReadOption(L"st1_output"), kSpeakersB);
    EXPECT_EQ(ReadOption(L"st3_output"), L"Lyrant Speakers A");
    EXPECT_EQ(ReadOptionDword(L"TransferChannels"), 1u);

    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, static_cast<WPARAM>(IDCANCEL));
}

TEST_F(MainDialog, DeviceThatDoesNotOpenIsNamedToTheUser)
{
    ASSERT_TRUE(ui.Open());
    // An entry past the devices: what a device unplugged after the lists were filled leaves.
    for (int combo : {IDC_INPUT1, IDC_OUTPUT1}) {
        std::string logBefore = LogOfThisProcess();
        std::wstring kept = ui.SelectedText(combo);
        LRESULT gone = SendMessageW(ui.Item(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Unplugged device"));
        SendMessageW(ui.Item(combo), CB_SETCURSEL, gone, 0);
        {
            BoxAnswerer answer(ChannelNotStartedCaption(0), IDOK);
            ui.Press(IDC_START1);
            EXPECT_EQ(answer.Answered(), 1);
        }
        EXPECT_FALSE(ui.dialog->IsChannelRunning(0));
        EXPECT_EQ(ui.dialog->Channel(0)->engine.hThread, nullptr);
        EXPECT_EQ(ui.Text(IDC_START1), L">>");
        std::string log = LogOfThisProcess().substr(logBefore.size());
        const char* expected = combo == IDC_INPUT1 ? "The input device \"Unplugged device\" could not be opened."
                                                   : "The output device \"Unplugged device\" could not be opened.";
        EXPECT_NE(log.find(expected), std::string::npos) << log;

        SendMessageW(ui.Item(combo), CB_DELETESTRING, gone, 0);
        SendMessageW(ui.Item(combo), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(kept.c_str()));
    }
    // With the devices back the same channel starts.
    ui.Press(IDC_START1);
    EXPECT_TRUE(ui.dialog->IsChannelRunning(0));
    EXPECT_EQ(ui.Text(IDC_START1), L"Stop");
}

TEST_F(MainDialog, ChannelCountPastThreeChannelsShowsOneAndIsNeverStoredBack)
{
    GetSettings().SetDWORD(L"TransferChannels", 7);
    ASSERT_TRUE(ui.Open());
    EXPECT_EQ(ui.Selection(IDC_CHANNEL_COUNT), 0);
    EXPECT_EQ(ui.SelectedText(IDC_CHANNEL_COUNT), L"one channel");
    EXPECT_EQ(WindowHeight(ui.Window()), 480);
    ui.Close();
    EXPECT_EQ(ReadOptionDword(L"TransferChannels"), 0u);
}

TEST_F(MainDialog, OkClosesWithItsId)
{
    ASSERT_TRUE(ui.Open());
    SendMessageW(ui.Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(ui.Window()));
    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, static_cast<WPARAM>(IDOK));
}

TEST_F(MainDialog, AnswersTheSkinLibrarysQueries)
{
    ASSERT_TRUE(ui.Open());
    DWORD keep = 0;
    EXPECT_EQ(SendMessageW(ui.Window(), kMsgKeepSkinning, 0, reinterpret_cast<LPARAM>(&keep)), 0);
    EXPECT_EQ(keep, 1u);
    EXPECT_EQ(SendMessageW(ui.Window(), kMsgSkinQuery, 0, 0), 0);
}

struct RefusedStart
{
    const char* name;
    const wchar_t* value;
    DWORD type;              // REG_SZ or REG_DWORD
    const wchar_t* text;     // REG_SZ data
    DWORD number;            // REG_DWORD data
    const char* named;       // what the user's message (and the log line) says
};

void WriteStoredValue(const RefusedStart& c)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Settings::kOptionsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    if (c.type == REG_SZ)
        RegSetValueExW(key, c.value, 0, REG_SZ, reinterpret_cast<const BYTE*>(c.text),
                       static_cast<DWORD>((wcslen(c.text) + 1) * sizeof(wchar_t)));
    else
        RegSetValueExW(key, c.value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.number), sizeof(DWORD));
    RegCloseKey(key);
}

class MainDialogRefusedStart : public MainDialog, public ::testing::WithParamInterface<RefusedStart> {};

TEST_P(MainDialogRefusedStart, UserIsToldWhyAndTheChannelStaysStopped)
{
    const RefusedStart& c = GetParam();
    std::string logBefore = LogOfThisProcess();
    WriteStoredValue(c);
    ASSERT_TRUE(ui.Open());
    {
        BoxAnswerer answer(ChannelNotStartedCaption(0), IDOK);
        ui.Press(IDC_START1);
        EXPECT_EQ(answer.Answered(), 1) << "no message box for the refused start";
    }
    EXPECT_EQ(ui.Text(IDC_START1), L">>");
    EXPECT_FALSE(ui.dialog->IsChannelRunning(0));
    EXPECT_EQ(ui.dialog->Channel(0)->engine.hThread, nullptr);
    EXPECT_EQ(ui.dialog->Channel(0)->engine.hWaveIn, nullptr);
    EXPECT_FALSE(IsWindowEnabled(ui.Item(IDC_PITCH1)));

    // The log line carries the message the box showed.
    std::string log = LogOfThisProcess();
    log = log.size() > logBefore.size() ? log.substr(logBefore.size()) : std::string();
    EXPECT_NE(log.find("Channel 1 not started: "), std::string::npos) << log;
    EXPECT_NE(log.find(c.named), std::string::npos) << log;

    ui.Close();
    EXPECT_LE(ReadOptionDword(L"TransferChannels"), 2u);
}

const wchar_t kLongDigits[] = L"44100000000000000000000000000000000000000000000000000000000";

INSTANTIATE_TEST_SUITE_P(
    Settings, MainDialogRefusedStart,
    ::testing::Values(
        RefusedStart{"NoInputSelection", L"st1_input", REG_SZ, L"Device that is gone", 0, "No input device"},
        RefusedStart{"NoOutputSelection", L"st1_output", REG_SZ, L"Device that is gone", 0, "No output device"},
        RefusedStart{"BitsWithoutDigits", L"BPS", REG_SZ, L"abc", 0, "bits per sample \"abc\""},
        RefusedStart{"Bits12", L"BPS", REG_SZ, L"12", 0, "bits per sample \"12\""},
        RefusedStart{"BitsEmpty", L"BPS", REG_SZ, L"", 0, "bits per sample \"\""},
        RefusedStart{"ThreeChannels", L"Channels", REG_DWORD, nullptr, 3, "\"Channels\" is 3"},
        RefusedStart{"RateZero", L"SampleRate", REG_SZ, L"0", 0, "sample rate \"0\""},
        RefusedStart{"RateOneWouldCrashTheDriver", L"SampleRate", REG_SZ, L"1", 0, "sample rate \"1\""},
        RefusedStart{"RateAboveRange", L"SampleRate", REG_SZ, L"384000", 0, "sample rate \"384000\""},
        RefusedStart{"RateWithoutDigits", L"SampleRate", REG_SZ, L"abc", 0, "sample rate \"abc\""},
        RefusedStart{"RateEmpty", L"SampleRate", REG_SZ, L"", 0, "sample rate \"\""},
        RefusedStart{"RateTooLong", L"SampleRate", REG_SZ, kLongDigits, 0, "sample rate \"4410000000000000000000000000000000000000...\""},
        RefusedStart{"RateOfWrongType", L"SampleRate", REG_DWORD, nullptr, 44100, "sample rate \""},
        RefusedStart{"NoBuffers", L"bufferNum", REG_DWORD, nullptr, 0, "buffer count 0 "},
        RefusedStart{"BufferCountPastTheQueue", L"bufferNum", REG_DWORD, nullptr, 100000, "buffer count 100000 "},
        RefusedStart{"LengthZero", L"bufferLenMs", REG_SZ, L"0", 0, "buffer length \"0\""},
        RefusedStart{"LengthPast32Bits", L"bufferLenMs", REG_SZ, L"99999", 0, "buffer length \"99999\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainDialog, ChannelRoutesAToneWithMovingMeters)
{
    ASSERT_TRUE(ui.Open());
    ASSERT_EQ(ui.SelectedText(IDC_OUTPUT1), kSpeakersB);
    ui.Press(IDC_START1);
    ASSERT_EQ(ui.Text(IDC_START1), L"Stop");
    EXPECT_TRUE(ui.dialog->IsChannelRunning(0));
    EXPECT_TRUE(IsWindowEnabled(ui.Item(IDC_PITCH1)));
    EXPECT_EQ(SendMessageW(ui.Item(IDC_CAPTURE_METER1), PBM_GETRANGE, FALSE, 0), 10);
    EXPECT_EQ(SendMessageW(ui.Item(IDC_LEFT_METER1), PBM_GETRANGE, FALSE, 0), 100);

    // Fed and recorded through wave devices of this process: Wine starting sound tools while its
    // own streams run can wedge its driver.
    WAVEFORMATEXTENSIBLE format = WaveFormat(16, 44100, 2);
    std::vector<int16_t> tone = MakeTone(440, 44100, 2, 44100 * 3, 16000);
    std::vector<uint8_t> fed(tone.size() * 2);
    std::memcpy(fed.data(), tone.data(), fed.size());
    CWaveRecorder recorder;
    CWavePlayer player;
    ASSERT_TRUE(recorder.Start(static_cast<UINT>(FindWaveIn(L"Monitor of Lyrant Speakers B")), format,
                               5 * 44100 * 4));
    ASSERT_TRUE(player.Start(static_cast<UINT>(FindWaveOut(L"Tarnwick Virtual Audio")), format, fed));

    // While the tone plays, the timer moves the meters.
    int maxLevel = 0, maxPlayback = 0, minCapture = 100;
    bool screenshot = false;
    DWORD until = GetTickCount() + 2500;
    while (GetTickCount() < until) {
        PumpMessagesFor(100);
        maxLevel = std::max(maxLevel, ui.MeterPos(IDC_LEFT_METER1));
        maxPlayback = std::max(maxPlayback, ui.MeterPos(IDC_PLAYBACK_METER1));
        minCapture = std::min(minCapture, ui.MeterPos(IDC_CAPTURE_METER1));
        if (!screenshot && ui.MeterPos(IDC_LEFT_METER1) > 0 && GetTickCount() + 1000 > until) {
            RedrawWindow(ui.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpMessagesFor(200);
            PixelImage image = CaptureScreenPixels(ui.Window());
            screenshot = SavePixelsAsPng(image, ScreenshotFolder() + L"\\main_dialog_running.png");
        }
    }
    EXPECT_TRUE(screenshot);
    // A 16000-peak sine averages about 10200 in magnitude: 10200 / 32768 of full scale, times 200.
    EXPECT_GT(maxLevel, 40);
    EXPECT_LE(maxLevel, 100);
    EXPECT_GT(maxPlayback, 0);
    EXPECT_LE(maxPlayback, 10);
    EXPECT_LT(minCapture, 10);
    ASSERT_TRUE(player.Wait(kToolTimeoutMs));
    ASSERT_TRUE(recorder.Wait(kToolTimeoutMs));

    ui.Press(IDC_START1);
    EXPECT_EQ(ui.Text(IDC_START1), L">>");
    EXPECT_FALSE(IsWindowEnabled(ui.Item(IDC_PITCH1)));
    for (int meter : {IDC_CAPTURE_METER1, IDC_PLAYBACK_METER1, IDC_LEFT_METER1, IDC_RIGHT_METER1})
        EXPECT_EQ(ui.MeterPos(meter), 0);
    EXPECT_EQ(ui.dialog->Channel(0)->engine.liveBuffers, 0u);
    EXPECT_EQ(ui.dialog->Channel(0)->engine.hThread, nullptr);

    const std::vector<uint8_t>& data = recorder.Data();
    EXPECT_TRUE(ToneArrived(std::string(data.begin(), data.end()), 440.0));
}

TEST_F(MainDialog, ClosingStopsARunningChannelFirst)
{
    ASSERT_TRUE(ui.Open());
    ui.Press(IDC_START1);
    ASSERT_TRUE(ui.dialog->IsChannelRunning(0));
    CTransferChannel* channel = ui.dialog->Channel(0);
    HANDLE worker = nullptr;
    DuplicateHandle(GetCurrentProcess(), channel->engine.hThread, GetCurrentProcess(), &worker, SYNCHRONIZE, FALSE, 0);
    ui.Close();
    // The worker has ended by the time the window is gone, and the choices are saved.
    EXPECT_EQ(WaitForSingleObject(worker, 0), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_EQ(ui.dialog->Channel(0), nullptr);
    EXPECT_EQ(ReadOption(L"st1_output"), kSpeakersB);
}

TEST_F(MainDialog, PitchButtonsAreOwnerDrawnWithTheIconOnTheDialogGrey)
{
    ASSERT_TRUE(ui.Open());
    for (const ChannelControlIds& ids : kChannelControls) {
        HWND button = ui.Item(ids.pitch);
        EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_OWNERDRAW));
        EXPECT_FALSE(IsWindowEnabled(button));
    }
    COLORREF background = 0;
    ui.dialog->m_pitchButtons[0].GetColor(CStyledButton::kBackgroundNormal, &background);
    EXPECT_EQ(background, kDialogBackground);
    ui.dialog->m_pitchButtons[0].GetColor(CStyledButton::kBackgroundActive, &background);
    EXPECT_EQ(background, kDialogBackground);
    // Running the channel enables its button; the icon's blue arrows show on the grey.
    ui.Press(IDC_START1);
    ASSERT_TRUE(ui.dialog->IsChannelRunning(0));
    EXPECT_TRUE(IsWindowEnabled(ui.Item(IDC_PITCH1)));
    // Drawn into a bitmap of our own: a window of another test may cover the screen.
    PixelImage pixels = PrintClientPixels(ui.Item(IDC_PITCH1));
    ASSERT_FALSE(pixels.Empty());
    int blue = 0, grey = 0;
    for (COLORREF c : pixels.pixels) {
        if (GetBValue(c) > 150 && GetRValue(c) < 70)
            ++blue;
        if ((c & 0xFFFFFF) == kDialogBackground)
            ++grey;
    }
    EXPECT_GT(blue, 4) << "no icon drawn";
    EXPECT_GT(grey, static_cast<int>(pixels.pixels.size()) / 4) << "not on the dialog's grey";
    ui.Press(IDC_START1);
    EXPECT_FALSE(IsWindowEnabled(ui.Item(IDC_PITCH1)));
}

TEST_F(MainDialog, PartOfARingIsRefusedWithTheMemoryMessage)
{
    std::string logBefore = LogOfThisProcess();
    ASSERT_TRUE(ui.Open());
    // Four of the ten blocks of the defaults (20 ms of 16-bit stereo at 44100 Hz each): fewer than
    // half, so playback would never start.
    FailHeapAllocOfSize(sizeof(WAVEHDR) + 3528, 4);
    int answered = 0;
    {
        BoxAnswerer answer(ChannelNotStartedCaption(0), IDOK);
        ui.Press(IDC_START1);
        answered = answer.Answered();
    }
    LONG refused = RefusedHeapAllocs();
    FailHeapAllocOfSize(0, 0);
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(answered, 1) << "no message for the refused start";
    EXPECT_EQ(ui.Text(IDC_START1), L">>");
    EXPECT_FALSE(ui.dialog->IsChannelRunning(0));
    CAudioTransfer& engine = ui.dialog->Channel(0)->engine;
    EXPECT_EQ(engine.hThread, nullptr);
    EXPECT_EQ(engine.hWaveIn, nullptr);
    EXPECT_EQ(engine.liveBuffers, 0u) << "the blocks that were allocated are freed";
    std::string log = LogOfThisProcess().substr(logBefore.size());
    EXPECT_NE(log.find("Channel 1 not started: There is not enough memory for the channel's buffers."),
              std::string::npos) << log;

    // With memory for the whole ring the same channel starts.
    ui.Press(IDC_START1);
    EXPECT_TRUE(ui.dialog->IsChannelRunning(0));
    EXPECT_EQ(engine.liveBuffers, 10u);
}

namespace {

struct TranslationCase
{
    const char* name;
    const wchar_t* library;           // beside the test program, or in the program folder
    const wchar_t* caption;           // of the refused start's box
    const wchar_t* countText;         // the box's text begins with it: bufferNum 0
    const wchar_t* settingsHint;      // and ends with it
    const wchar_t* inputText;         // an input device that does not open
};

// What the box of the next refused start shows; the box is answered with OK.
ShownBox PressAndRead(MainDialogFixture& ui, int button)
{
    ShownBox shown;
    CDialogWatcher watch(ReadAndCloseBox(shown));
    ui.Press(button);
    EXPECT_NE(watch.Caught(), nullptr) << "no message box";
    return shown;
}

bool BeginsWith(const std::wstring& text, const std::wstring& start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class MainDialogTranslation : public MainDialog, public ::testing::WithParamInterface<TranslationCase>
{
protected:
    void TearDown() override
    {
        MainDialog::TearDown();
        SetResourceModule(nullptr);
        if (library)
            FreeLibrary(library);
    }
    HMODULE library = nullptr;
};

}  // namespace

// A language library may lack the strings the program added after it was made, or carry them with
// conversions that do not take the program's arguments: the program's own strings stand in.
TEST_P(MainDialogTranslation, RefusedStartsAreToldInWordsThatFit)
{
    const TranslationCase& c = GetParam();
    library = LoadLibraryW((TestExeFolder() + c.library).c_str());
    ASSERT_NE(library, nullptr);
    SetResourceModule(library);
    GetSettings().SetDWORD(L"bufferNum", 0);
    ASSERT_TRUE(ui.Open());

    ShownBox count = PressAndRead(ui, IDC_START1);
    EXPECT_EQ(count.caption, c.caption);
    EXPECT_TRUE(BeginsWith(count.text, c.countText)) << std::string(count.text.begin(), count.text.end());
    EXPECT_TRUE(EndsWith(count.text, c.settingsHint)) << std::string(count.text.begin(), count.text.end());

    GetSettings().SetDWORD(L"bufferNum", 10);
    LRESULT gone = SendMessageW(ui.Item(IDC_INPUT1), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Unplugged"));
    SendMessageW(ui.Item(IDC_INPUT1), CB_SETCURSEL, gone, 0);
    ShownBox input = PressAndRead(ui, IDC_START1);
    EXPECT_EQ(input.caption, c.caption);
    EXPECT_TRUE(BeginsWith(input.text, c.inputText)) << std::string(input.text.begin(), input.text.end());
    EXPECT_FALSE(ui.dialog->IsChannelRunning(0));
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, MainDialogTranslation,
    ::testing::Values(
        TranslationCase{"Sound", L"\\..\\dist\\ResDe.dll", L"Kanal 1 nicht gestartet",
                        L"Die Pufferanzahl 0 in den Einstellungen liegt nicht zwischen 1 und 1000.",
                        L"der Einstellungen (\u201EOptionen...\u201C).", L"Das Eingabeger\u00E4t \u201EUnplugged\u201C"},
        TranslationCase{"WithoutTheLaterIds", L"\\TranslationOlderIds.dll", L"Channel 1 not started",
                        L"The buffer count 0 in the settings is not from 1 to 1000.",
                        L"of the Preferences (\"Option...\").", L"The input device \"Unplugged\" could not be opened."},
        TranslationCase{"FormatsThatDoNotFit", L"\\TranslationBadFormats.dll", L"Channel 1 not started",
                        L"The buffer count 0 in the settings is not from 1 to 1000.",
                        L"of the Preferences (\"Option...\").", L"The input device \"Unplugged\" could not be opened."}),
    [](const auto& info) { return std::string(info.param.name); });
