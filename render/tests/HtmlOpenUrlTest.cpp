// Opening a link when the shell cannot: the command of the ".htm" file type gets the target as one
// argument. This program stands in for the browser: started with --record-arguments it writes the
// arguments it was given to a file and ends.
#include "render/HtmlDrawer.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

const wchar_t kRecordSwitch[] = L"--record-arguments";

struct ArgumentRecorder
{
    ArgumentRecorder()
    {
        int count = 0;
        wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!arguments || count < 3 || lstrcmpW(arguments[1], kRecordSwitch) != 0)
            return;
        std::wstring out;
        for (int i = 3; i < count; ++i)
            out += std::wstring(arguments[i]) + L"\n";
        const std::wstring partial = std::wstring(arguments[2]) + L".part";
        HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, out.c_str(), static_cast<DWORD>(out.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
        MoveFileW(partial.c_str(), arguments[2]);
        ExitProcess(0);
    }
} g_recorder;

std::wstring ReadDefault(HKEY root, const wchar_t* key)
{
    wchar_t value[MAX_PATH] = L"";
    LONG size = sizeof(value);
    return RegQueryValueW(root, key, value, &size) == ERROR_SUCCESS ? value : L"";
}

// Points the ".htm" type at this program for the test's lifetime.
class HtmTypeOfOurOwn
{
public:
    explicit HtmTypeOfOurOwn(const std::wstring& command) : m_previous(ReadDefault(HKEY_CLASSES_ROOT, L".htm"))
    {
        RegSetValueW(HKEY_CLASSES_ROOT, L".htm", REG_SZ, L"LyrantTestPage", 0);
        RegSetValueW(HKEY_CLASSES_ROOT, L"LyrantTestPage\\shell\\open\\command", REG_SZ, command.c_str(), 0);
    }
    ~HtmTypeOfOurOwn()
    {
        if (!m_previous.empty())
            RegSetValueW(HKEY_CLASSES_ROOT, L".htm", REG_SZ, m_previous.c_str(), 0);
        else
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L".htm");
        for (const wchar_t* key : {L"LyrantTestPage\\shell\\open\\command", L"LyrantTestPage\\shell\\open",
                                   L"LyrantTestPage\\shell", L"LyrantTestPage"})
            RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
    }

private:
    std::wstring m_previous;
};

std::vector<std::wstring> WaitForArguments(const std::wstring& path)
{
    for (int i = 0; i < 200 && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    std::vector<std::wstring> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    wchar_t buffer[2048] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer) - sizeof(wchar_t), &read, nullptr);
    CloseHandle(file);
    std::wstring all(buffer, read / sizeof(wchar_t));
    for (size_t start = 0, end; (end = all.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(all.substr(start, end - start));
    return lines;
}

}  // namespace

TEST(HtmlOpenUrl, TheFallBackCommandGetsTheTargetAsOneArgument)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring record = std::wstring(folder) + L"lyrant_open_url_" + std::to_wstring(GetCurrentProcessId());
    const HtmTypeOfOurOwn type(L"\"" + std::wstring(self) + L"\" " + kRecordSwitch + L" \"" + record + L"\" \"%1\"");

    // Targets the shell cannot open (no such file), with spaces and with a quote that would
    // otherwise end the argument and smuggle in one of its own.
    struct Case { const wchar_t* target; const wchar_t* received; } cases[] = {
        {L"C:\\no such folder\\release notes", L"C:\\no such folder\\release notes"},
        {L"C:\\no such folder\\a\" --evil \"b", L"C:\\no such folder\\a%22 --evil %22b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.target)));
        DeleteFileW(record.c_str());
        CHtmlDrawer drawer;
        drawer.OpenUrl(c.target, SW_HIDE);
        const std::vector<std::wstring> arguments = WaitForArguments(record);
        ASSERT_EQ(1u, arguments.size());
        EXPECT_EQ(c.received, arguments[0]);
    }
    DeleteFileW(record.c_str());
}
