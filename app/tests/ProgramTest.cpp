// LyrantMain.exe started from the program folder as a user starts it, observed from outside.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>
#include <commctrl.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/res/DialogIds.h"
#include "app/res/resource.h"
#include "app/tests/ToneCheck.h"
#include "core/AppPaths.h"
#include "core/RegSettings.h"
#include "tests/support/AudioSignal.h"
#include "tests/support/ProcessWindows.h"
#include "tests/support/StoredOptions.h"
#include "tests/support/PulseAudioIo.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaveFeed.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 15000;
constexpr DWORD kToolTimeoutMs = 20000;

std::wstring ProgramPath()
{
    return TestExeFolder() + L"\\..\\dist\\LyrantMain.exe";
}

bool IsMainDialog(HWND window)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return lstrcmpW(className, L"#32770") == 0 && GetDlgItem(window, IDC_START1);
}

// A running copy of the program and its main window.
class Program
{
public:
    explicit Program(const std::wstring& arguments)
    {
        std::wstring line = L"\"" + ProgramPath() + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        if (!started)
            return;
        DWORD until = GetTickCount() + kWindowTimeoutMs;
        while (!window && GetTickCount() < until) {
            HWND dialog = FindProcessWindow(process.dwProcessId, IsMainDialog);
            if (dialog && IsWindowVisible(dialog))
                window = dialog;
            else
                Sleep(50);
        }
        WaitForInputIdle(process.hProcess, kWindowTimeoutMs);
    }
    ~Program()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            if (IsWindow(window))
                PostMessageW(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT)
                TerminateProcess(process.hProcess, 0xDEAD);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // Waits for the process to end; its exit code, or -1 when it did not end.
    long ExitCode(DWORD timeoutMs = 15000)
    {
        if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }
    std::wstring Text(int id) const
    {
        wchar_t text[128] = {};
        GetWindowTextW(GetDlgItem(window, id), text, 128);
        return text;
    }
    // The window shows before "/r" starts its channels: poll until a text appears.
    bool WaitForText(int id, const wchar_t* expected, DWORD timeoutMs = 10000) const
    {
        DWORD until = GetTickCount() + timeoutMs;
        while (Text(id) != expected) {
            if (GetTickCount() > until)
                return false;
            Sleep(50);
        }
        return true;
    }
    bool HasModule(const wchar_t* name) const
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.dwProcessId);
        if (snapshot == INVALID_HANDLE_VALUE)
            return false;
        MODULEENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        bool found = false;
        for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry))
            found = lstrcmpiW(entry.szModule, name) == 0;
        CloseHandle(snapshot);
        return found;
    }

    bool started = false;
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

class ProgramRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarnwick");
        for (const wchar_t* name : Settings::OutputChoice)
            GetSettings().SetString(name, L"Lyrant Speakers B");
    }
    void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarnwick"); }
};

std::string LogText()
{
    return ReadFileBytes(GetAppDataPath(L"\\LOG\\Lyrant.log"));
}

}  // namespace

TEST_F(ProgramRun, LogAndMinimizedFromSwitchesWrittenTogether)
{
    DeleteFileW(GetAppDataPath(L"\\LOG\\Lyrant.log"));
    Program program(L"/d/m");
    ASSERT_TRUE(program.window);
    EXPECT_TRUE(IsIconic(program.window));
    PostMessageW(program.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), IDCANCEL);   // the close box
    std::string log = LogText();
    EXPECT_NE(log.find("Lyrant Log begin."), std::string::npos);
    EXPECT_NE(log.find("Entering [CMainDlg::OnInitDialog]"), std::string::npos);
    EXPECT_NE(log.find("ADD INPUT DEVICE:Monitor of Tarnwick Virtual Aud..."), std::string::npos);
    EXPECT_NE(log.find("VERSION:1.0"), std::string::npos);
    EXPECT_NE(log.find("Lyrant Log shutting down."), std::string::npos);
}

TEST_F(ProgramRun, WithoutSwitchesNoLogAndNormalWindow)
{
    DeleteFileW(GetAppDataPath(L"\\LOG\\Lyrant.log"));
    Program program(L"");
    ASSERT_TRUE(program.window);
    EXPECT_FALSE(IsIconic(program.window));
    EXPECT_EQ(program.Text(IDC_START1), L">>");
    PostMessageW(program.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(program.ExitCode(), IDOK);
    bool exists = true;
    ReadFileBytes(GetAppDataPath(L"\\LOG\\Lyrant.log"), &exists);
    EXPECT_FALSE(exists);
}

TEST_F(ProgramRun, SecondStartOpensASecondWindow)
{
    Program first(L"");
    Program second(L"");
    ASSERT_TRUE(first.window);
    ASSERT_TRUE(second.window);
    EXPECT_NE(first.window, second.window);
    PostMessageW(first.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.ExitCode(), IDCANCEL);
    EXPECT_TRUE(IsWindow(second.window));
}

class ProgramRunChannels : public ProgramRun, public ::testing::WithParamInterface<DWORD> {};

TEST_P(ProgramRunChannels, RunSwitchStartsTheCountedChannels)
{
    DWORD count = GetParam();
    GetSettings().SetDWORD(L"TransferChannels", count);
    Program program(L"/r");
    ASSERT_TRUE(program.window);
    ASSERT_TRUE(program.WaitForText(IDC_START1, L"Stop"));
    Sleep(300);   // the run routine starts the other channels right after the first
    const int starts[3] = {IDC_START1, IDC_START2, IDC_START3};
    for (DWORD channel = 0; channel < 3; ++channel)
        EXPECT_EQ(program.Text(starts[channel]), channel <= count ? L"Stop" : L">>") << "channel " << channel + 1;
}

INSTANTIATE_TEST_SUITE_P(Counts, ProgramRunChannels, ::testing::Values(0u, 1u, 2u));

struct LanguageCase
{
    const char* name;
    const wchar_t* lanName;
    bool loadsLibrary;
    const wchar_t* aboutText;
    const wchar_t* stopText;
};

class ProgramLanguage : public ProgramRun, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(ProgramLanguage, LanguageLibraryByName)
{
    const LanguageCase& c = GetParam();
    GetSettings().SetString(L"lanName", c.lanName);
    Program program(L"/r");
    ASSERT_TRUE(program.window);
    EXPECT_TRUE(program.WaitForText(IDC_START1, c.stopText));
    EXPECT_EQ(program.HasModule(L"ResDe.dll"), c.loadsLibrary);
    EXPECT_EQ(program.Text(ID_APP_ABOUT), c.aboutText);
    EXPECT_EQ(program.Text(IDC_START1), c.stopText);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProgramLanguage,
    ::testing::Values(LanguageCase{"Upper", L"ENG", false, L"&About...", L"Stop"},
                      LanguageCase{"Lower", L"eng", false, L"&About...", L"Stop"},
                      LanguageCase{"German", L"De", true, L"&Info...", L"Stopp"},
                      LanguageCase{"Absent", L"Xyz", false, L"&About...", L"Stop"},
                      LanguageCase{"PathLike", L"..\\De", false, L"&About...", L"Stop"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramRun, RoutesAToneFromTheVirtualDeviceToTheSpeakers)
{
    DeleteFileW(GetAppDataPath(L"\\LOG\\Lyrant.log"));
    WAVEFORMATEXTENSIBLE format = WaveFormat(16, 44100, 2);
    std::vector<int16_t> tone = MakeTone(440, 44100, 2, 44100 * 4, 12000);
    std::vector<uint8_t> fed(tone.size() * 2);
    std::memcpy(fed.data(), tone.data(), fed.size());
    CWaveRecorder recorder;
    {
        Program program(L"/d /r");
        ASSERT_TRUE(program.window);
        ASSERT_TRUE(program.WaitForText(IDC_START1, L"Stop"));
        CWavePlayer player;
        ASSERT_TRUE(recorder.Start(static_cast<UINT>(FindWaveIn(L"Monitor of Lyrant Speakers B")), format,
                                   5 * 44100 * 4));
        ASSERT_TRUE(player.Start(static_cast<UINT>(FindWaveOut(L"Tarnwick Virtual Audio")), format, fed));
        ASSERT_TRUE(recorder.Wait(kToolTimeoutMs));
        PostMessageW(program.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.ExitCode(), IDCANCEL);
    }
    const std::vector<uint8_t>& data = recorder.Data();
    EXPECT_TRUE(ToneArrived(std::string(data.begin(), data.end()), 440.0));

    std::string log = LogText();
    EXPECT_NE(log.find("Using input device: Monitor of Tarnwick Virtual Aud."), std::string::npos) << log;
    EXPECT_NE(log.find("Using output device: Lyrant Speakers B."), std::string::npos);
}

namespace {

// A visible top-level window of the process with that caption, whatever its class; null when none
// shows within the time.
HWND WaitForCaptionedWindow(DWORD processId, const wchar_t* caption, DWORD timeoutMs)
{
    for (DWORD until = GetTickCount() + timeoutMs;; Sleep(50)) {
        HWND found = FindProcessWindow(processId, [caption](HWND window) {
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            return IsWindowVisible(window) && lstrcmpW(text, caption) == 0;
        });
        if (found || GetTickCount() > until)
            return found;
    }
}

}  // namespace

TEST_F(ProgramRun, BadSettingsAtStartAreToldLoggedAndNotKept)
{
    DeleteFileW(GetAppDataPath(L"\\LOG\\Lyrant.log"));
    // A rate that crashes a wave driver, and a channel count no combo entry has.
    GetSettings().SetString(L"SampleRate", L"1");
    GetSettings().SetDWORD(L"TransferChannels", 7);
    Program program(L"/d /r");
    ASSERT_TRUE(program.window);
    HWND box = WaitForCaptionedWindow(program.process.dwProcessId, L"Channel 1 not started", kWindowTimeoutMs);
    ASSERT_NE(box, nullptr) << "the refused start showed no message";
    // The line is in the file while the program still runs.
    std::string log = LogText();
    EXPECT_NE(log.find("Channel 1 not started: The sample rate \"1\" in the settings is not from 8000 to 192000 Hz."),
              std::string::npos) << log;
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);

    // The count read as one channel: nothing more was started, and no other box follows.
    Sleep(500);
    EXPECT_EQ(WaitForCaptionedWindow(program.process.dwProcessId, L"Channel 2 not started", 0), nullptr);
    EXPECT_EQ(program.ExitCode(0), -1) << "the program ended";
    for (int start : {IDC_START1, IDC_START2, IDC_START3})
        EXPECT_EQ(program.Text(start), L">>");
    PostMessageW(program.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), IDCANCEL);
    EXPECT_EQ(ReadOptionDword(L"TransferChannels"), 0u);
}

namespace {

// A running LyrantMain.exe other than the one given, with its main window shown; 0 when none
// comes within the time.
DWORD WaitForOtherCopy(DWORD known, DWORD timeoutMs)
{
    for (DWORD until = GetTickCount() + timeoutMs; GetTickCount() < until; Sleep(50)) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            continue;
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        DWORD found = 0;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
            if (entry.th32ProcessID != known && lstrcmpiW(entry.szExeFile, L"LyrantMain.exe") == 0)
                found = entry.th32ProcessID;
        CloseHandle(snapshot);
        HWND window = found ? FindProcessWindow(found, IsMainDialog) : nullptr;
        if (window && IsWindowVisible(window))
            return found;
    }
    return 0;
}

// Ends the copy as its close box does; false when it did not end.
bool CloseCopy(DWORD processId)
{
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return false;
    if (HWND window = FindProcessWindow(processId, IsMainDialog))
        PostMessageW(window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 0xDEAD);
    CloseHandle(process);
    return ended;
}

}  // namespace

TEST_F(ProgramRun, RelaunchForANewLanguageKeepsTheSessionsChoices)
{
    Program first(L"");
    ASSERT_TRUE(first.window);
    // A choice of this session: in the settings only once the session is stored.
    HWND output = GetDlgItem(first.window, IDC_OUTPUT1);
    LRESULT before = SendMessageW(output, CB_GETCURSEL, 0, 0);
    LRESULT chosen = SendMessageW(output, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(L"Lyrant Speakers A"));
    ASSERT_NE(chosen, CB_ERR);
    ASSERT_NE(chosen, before);

    PostMessageW(first.window, WM_COMMAND, MAKEWPARAM(ID_APP_OPTIONS, 0), 0);
    HWND sheet = WaitForCaptionedWindow(first.process.dwProcessId, L"Preferences", kWindowTimeoutMs);
    ASSERT_NE(sheet, nullptr);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_INDEXTOHWND, 0, 0));
    HWND language = GetDlgItem(page, IDC_GEN_LANGUAGE);
    ASSERT_NE(SendMessageW(language, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Deutsch")),
              CB_ERR);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_GEN_LANGUAGE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(language));
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);

    EXPECT_EQ(first.ExitCode(kToolTimeoutMs), 0);
    DWORD copy = WaitForOtherCopy(first.process.dwProcessId, kToolTimeoutMs);
    EXPECT_EQ(ReadOption(L"lanName"), L"de");
    EXPECT_EQ(ReadOption(L"st1_output"), L"Lyrant Speakers A") << "the session's choice was lost";
    ASSERT_NE(copy, 0u) << "no fresh copy started";
    // The fresh copy speaks the new language and shows the session's choice.
    HWND window = FindProcessWindow(copy, IsMainDialog);
    wchar_t about[64] = {};
    GetWindowTextW(GetDlgItem(window, ID_APP_ABOUT), about, 64);
    EXPECT_STREQ(about, L"&Info...");
    EXPECT_EQ(SendMessageW(GetDlgItem(window, IDC_OUTPUT1), CB_GETCURSEL, 0, 0), chosen);
    EXPECT_TRUE(CloseCopy(copy));
}
