#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "core/AppPaths.h"
#include "core/WideFormat.h"
#include "tests/support/DebugOutputCapture.h"
#include "tests/support/TestPaths.h"

namespace {

std::wstring LogPath()
{
    return GetAppDataPath(L"\\LOG\\Lyrant.log");
}

std::wstring ChildCommand(const wchar_t* mode, const wchar_t* marker)
{
    return L"\"" + TestExeFolder() + L"\\core_log_child.exe\" " + mode + L" " + marker;
}

std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::string Ansi(const std::wstring& text)
{
    char buffer[1024];
    int length = WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, buffer, sizeof(buffer), nullptr, nullptr);
    return std::string(buffer, length > 0 ? length - 1 : 0);
}

const std::regex kPrefix(R"(^\[\d\d:\d\d:\d\d\] )");

class LogFileRun : public ::testing::Test
{
protected:
    void SetUp() override { DeleteFileW(LogPath().c_str()); }
};

}  // namespace

TEST(WideFormat, PercentSTakesAWideString)
{
    wchar_t buffer[64];
    EXPECT_EQ(FormatWide(buffer, 64, L"[%s|%hs|%d]", L"wide name", "narrow", 42), 21);
    EXPECT_STREQ(buffer, L"[wide name|narrow|42]");
}

TEST(WideFormat, LongResultIsCutAndTerminated)
{
    wchar_t buffer[8];
    wmemset(buffer, L'#', 8);
    EXPECT_EQ(FormatWide(buffer, 8, L"%s", L"0123456789"), 7);
    EXPECT_STREQ(buffer, L"0123456");
    wchar_t exact[8];
    EXPECT_EQ(FormatWide(exact, 8, L"%s", L"0123456"), 7);
    EXPECT_STREQ(exact, L"0123456");
}

TEST(WideFormat, LibraryFormatsMustHaveExactlyTheExpectedConversions)
{
    struct Case
    {
        const wchar_t* format;
        const char* letters;
        bool usable;
    } cases[] = {
        {L"%s (%d seconds remaining)", "sd", true},
        {L"%s (noch %d Sekunden)", "sd", true},
        {L"100%% %s, %d", "sd", true},
        {L"%d left of %s", "sd", false},     // swapped: would read the number as a string
        {L"%s", "sd", false},
        {L"%s %d %d", "sd", false},
        {L"%s %ls %d", "sd", false},
        {L"%s %n%d", "sd", false},
        {L"%s %5d", "sd", false},
        {L"%s %d%", "sd", false},
        {L"", "sd", false},
        {L"Version %s?", "s", true},
        {L"%s", "s", true},
        {L"No version", "s", false},
        {L"%s and %s", "s", false},
        {L"Version %d", "s", false},
        {L"%ls", "s", false},
        {L"trailing %", "s", false},
        {L"Kanal %d", "d", true},
        {L"Kanal %s", "d", false},
        {L"Kanal %u", "d", false},
        {L"plain text", "", true},
        {L"100%% plain", "", true},
        {L"plain %d", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatConversionsAre(c.format, c.letters), c.usable)
            << std::string(c.format, c.format + wcslen(c.format)) << " / " << c.letters;
    EXPECT_FALSE(FormatConversionsAre(nullptr, "s"));
}

TEST_F(LogFileRun, OpenLogWritesExactLinesInTheAnsiCodePage)
{
    DebugRun run = RunCapturingDebugOutput(ChildCommand(L"open", L"first"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    bool exists = false;
    std::string bytes = ReadFileBytes(LogPath(), &exists);
    ASSERT_TRUE(exists);

    std::vector<std::string> lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), 8u) << bytes;
    // Nothing logged before Open reaches the file.
    EXPECT_EQ(bytes.find("before open"), std::string::npos);
    std::vector<std::string> expected = {
        "Lyrant Log begin. ", "first device Tarnwick Virtual Audio ", "", "Device list follows ",
        Ansi(L"non-ASCII Gr\u00FC\u00DFe "), "-3 of 7 "};
    const std::vector<int> prefixed = {0, 1, 2, 4, 5};
    for (int i : prefixed)
        EXPECT_TRUE(std::regex_search(lines[i], kPrefix)) << lines[i];
    EXPECT_EQ(lines[0].substr(11), expected[0]);
    EXPECT_EQ(lines[1].substr(11), expected[1]);
    // A leading line feed comes right after the time prefix.
    EXPECT_EQ(lines[2].substr(11), expected[2]);
    EXPECT_EQ(lines[2].size(), 11u);
    EXPECT_EQ(lines[3], expected[3]);
    EXPECT_EQ(lines[4].substr(11), expected[4]);
    EXPECT_EQ(lines[5].substr(11), expected[5]);
    // A message past the line buffers is cut, and the line still ends with the blank.
    EXPECT_TRUE(std::regex_search(lines[6], kPrefix));
    EXPECT_EQ(lines[6].size(), 11u + 246u + 1u);
    EXPECT_EQ(lines[6].find_first_not_of('z', 11), lines[6].size() - 1);
    EXPECT_EQ(lines[6].back(), ' ');
    // The destructor's line is the last one.
    EXPECT_EQ(lines[7].substr(11), "Lyrant Log shutting down. ");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    if (GetACP() == 1252)
        EXPECT_NE(lines[4].find("Gr\xFC\xDF" "e"), std::string::npos);

    // The same lines went to the debugger output, each ending in " \n".
    ASSERT_EQ(run.strings.size(), 7u);
    EXPECT_EQ(run.strings[6].substr(11), L"Lyrant Log shutting down. \n");
    EXPECT_TRUE(std::regex_search(std::string(run.strings[0].begin(), run.strings[0].end()), kPrefix));
    EXPECT_EQ(run.strings[0].substr(11), L"Lyrant Log begin. \n");
    EXPECT_EQ(run.strings[1].substr(11), L"first device Tarnwick Virtual Audio \n");
}

TEST_F(LogFileRun, WithoutOpenNothingIsWrittenAnywhere)
{
    DebugRun run = RunCapturingDebugOutput(ChildCommand(L"closed", L"quiet"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    bool exists = true;
    ReadFileBytes(LogPath(), &exists);
    EXPECT_FALSE(exists);
    for (const std::wstring& text : run.strings)
        EXPECT_EQ(text.find(L"quiet"), std::wstring::npos) << std::string(text.begin(), text.end());
}

TEST_F(LogFileRun, SecondRunTruncatesTheFirst)
{
    ASSERT_EQ(RunProcess(ChildCommand(L"open", L"one")), 0);
    ASSERT_EQ(RunProcess(ChildCommand(L"open", L"two")), 0);
    std::string bytes = ReadFileBytes(LogPath());
    EXPECT_EQ(bytes.find("one device"), std::string::npos);
    EXPECT_NE(bytes.find("two device"), std::string::npos);
    EXPECT_EQ(bytes.find("Lyrant Log begin."), bytes.rfind("Lyrant Log begin."));
}

TEST_F(LogFileRun, ProcessEndedHardKeepsEveryLineWrittenBeforeIt)
{
    EXPECT_EQ(RunProcess(ChildCommand(L"crash", L"hard")), 3);
    std::vector<std::string> lines = SplitCrLf(ReadFileBytes(LogPath()));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(11), "Lyrant Log begin. ");
    for (int line = 1; line <= 3; ++line)
        EXPECT_EQ(lines[line].substr(11), "hard line " + std::to_string(line) + " ");
}
