#include <gtest/gtest.h>
#include <windows.h>

#include <delayimp.h>

#include <cstring>

#include <string>

#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

struct DelayCase {
    const char* what;
    DWORD code;
    bool byName;
    const char* proc;
    DWORD ordinal;
    const char* dll;
    int handled;
    const char* text;  // null: nothing shown
};

class DelayLoadFilter : public ::testing::TestWithParam<DelayCase> {
protected:
    DelayLoadMessages messages;
};

TEST_P(DelayLoadFilter, HandlesDelayLoadFailuresOnly)
{
    const DelayCase& c = GetParam();
    DelayLoadInfo info = {};
    info.cb = sizeof(info);
    info.szDll = c.dll;
    info.dlp.fImportByName = c.byName;
    if (c.byName)
        info.dlp.szProcName = c.proc;
    else
        info.dlp.dwOrdinal = c.ordinal;
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = c.code;
    record.NumberParameters = 1;
    record.ExceptionInformation[0] = reinterpret_cast<ULONG_PTR>(&info);
    EXCEPTION_POINTERS pointers = {&record, nullptr};

    EXPECT_EQ(DelayLoadFailureFilter(&pointers, false), c.handled) << c.what;
    EXPECT_EQ(messages.Count(), 0) << c.what;
    EXPECT_EQ(DelayLoadFailureFilter(&pointers, true), c.handled) << c.what;
    if (c.text) {
        EXPECT_EQ(messages.Count(), 1) << c.what;
        EXPECT_EQ(messages.Last(), c.text) << c.what;
    } else {
        EXPECT_EQ(messages.Count(), 0) << c.what;
    }
}

const std::string kLongDll = std::string(700, 'x') + ".dll";

INSTANTIATE_TEST_SUITE_P(
    LibraryEntry, DelayLoadFilter,
    ::testing::Values(
        DelayCase{"missing module", 0xC06D007E, true, "DrawHTML", 0, "Scrivel.dll", 1, "Scrivel.dll not found"},
        DelayCase{"missing procedure by name", 0xC06D007F, true, "DrawHTML", 0, "Scrivel.dll", 1,
                  "Function DrawHTML not found in Scrivel.dll"},
        DelayCase{"missing procedure by ordinal", 0xC06D007F, false, nullptr, 42, "Scrivel.dll", 1,
                  "Function #42 not found in Scrivel.dll"},
        DelayCase{"any other exception", EXCEPTION_ACCESS_VIOLATION, true, "DrawHTML", 0, "Scrivel.dll", 0,
                  nullptr}));

TEST(LibraryEntry, DelayLoadTextIsBoundedTo512)
{
    DelayLoadInfo info = {};
    info.szDll = kLongDll.c_str();
    info.dlp.fImportByName = TRUE;
    info.dlp.szProcName = "DrawHTML";
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = 0xC06D007F;
    record.NumberParameters = 1;
    record.ExceptionInformation[0] = reinterpret_cast<ULONG_PTR>(&info);
    EXCEPTION_POINTERS pointers = {&record, nullptr};
    char text[512 + 16];
    memset(text, '#', sizeof(text));
    FormatDelayLoadFailure(&pointers, text, 512);
    EXPECT_EQ(strlen(text), 511u);
    EXPECT_EQ(text[512], '#');  // nothing written past the bound
    EXPECT_EQ(std::string(text).rfind("Function DrawHTML not found in xxx", 0), 0u);

    DelayLoadMessages messages;
    EXPECT_EQ(DelayLoadFailureFilter(&pointers, true), 1);
    EXPECT_EQ(messages.Last().size(), 511u);
}

TEST(LibraryEntry, RegisteredNamesMatchOtherRegistrations)
{
    EXPECT_EQ(WM_GLZ_DRAWBKGND, RegisterWindowMessageA("Glazier::DrawBkgnd"));
    EXPECT_EQ(WM_SFWM_NOTIFY, RegisterWindowMessageW(L"SFWM_NOTIFY"));
    EXPECT_EQ(WM_MENUXP_GETIMAGE, RegisterWindowMessageA("MenuXP::GetImage"));
    EXPECT_EQ(WM_SETTBBUTTONLAYOUT, RegisterWindowMessageW(L"SetTBButtonLayout"));
    EXPECT_NE(WM_GLZ_DRAWBKGND, 0u);
    EXPECT_EQ(g_atomGlobalSubclassData, FindAtomW(L"glzGlobalSubclassData"));
}

}  // namespace
