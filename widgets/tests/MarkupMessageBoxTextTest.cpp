// Text references, caption formats, the record's defaults, the answer memory's names and the
// parameter-owning wrapper: everything of the message box that needs no window.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <string>

#include "widgets/MarkupMessageBox.h"
#include "widgets/MarkupMessageBoxMemory.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

const wchar_t* Id(UINT id)
{
    return MAKEINTRESOURCEW(id);
}

HINSTANCE Self()
{
    return GetModuleHandleW(nullptr);
}

}  // namespace

TEST(MarkupMessageBoxText, ReferencesAreIdsOrPointers)
{
    EXPECT_EQ(ResolveTextReference(Id(700), Self(), true), L"Caption from id");
    EXPECT_EQ(ResolveTextReference(Id(700), Self(), false), L"") << "string ids switched off";
    EXPECT_EQ(ResolveTextReference(Id(700), nullptr, true), L"") << "no module";
    EXPECT_EQ(ResolveTextReference(Id(799), Self(), true), L"") << "a missing id";
    EXPECT_EQ(ResolveTextReference(L"plain <b>text</b>", Self(), true), L"plain <b>text</b>");
    EXPECT_EQ(ResolveTextReference(nullptr, Self(), true), L"");
    EXPECT_EQ(ReadTextPointer(Id(700)), L"") << "a pointer-only field never reads an id as an address";
    EXPECT_EQ(ReadTextPointer(L"Name"), L"Name");
}

TEST(MarkupMessageBoxText, AnUnterminatedTextIsNotReadPastItsBound)
{
    // The text fills the bound exactly and runs into a page that cannot be read.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t bytes = kMaxMarkupTextChars * sizeof(wchar_t);
    const size_t pages = (bytes + system.dwPageSize - 1) / system.dwPageSize;
    auto* base = static_cast<BYTE*>(
        VirtualAlloc(nullptr, (pages + 1) * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(base, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(base + pages * system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old));
    auto* text = reinterpret_cast<wchar_t*>(base + pages * system.dwPageSize - bytes);
    for (size_t i = 0; i < kMaxMarkupTextChars; ++i)
        text[i] = L'x';

    EXPECT_EQ(ResolveTextReference(text, Self(), true).size(), kMaxMarkupTextChars);
    EXPECT_EQ(ReadTextPointer(text).size(), kMaxMarkupTextChars);
    VirtualFree(base, 0, MEM_RELEASE);
}

TEST(MarkupMessageBoxText, BuiltInCaptionsAndTheirStringIds)
{
    struct Case
    {
        UINT id;
        const wchar_t* caption;
        UINT stringId;
    } cases[] = {
        {IDOK, L"OK", 9001},         {IDCANCEL, L"Cancel", 9002},   {IDABORT, L"Abort", 9005},
        {IDRETRY, L"Retry", 9004},   {IDIGNORE, L"Ignore", 9003},   {IDYES, L"Yes", 9007},
        {IDNO, L"No", 9008},         {IDHELP, L"Help", 9006},       {10, L"Try again", 9015},
        {11, L"Continue", 9009},     {14, L"Skip", 9018},           {15, L"Skip all", 9019},
        {16, L"Ignore all", 9017},   {19, L"Yes to all", 9013},     {20, L"No to all", 9014},
        {21, L"Report", 9016},       {30, L"<< More", 9011},        {31, L"More >>", 9010},
        {MMB_CAPTION_CHECKBOX, L"Do not show again", 9012},
        {MMB_CAPTION_PERIOD, L"%s (%d seconds remaining)", 9020},
        {8, L"", 0},                 {23, L"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(BuiltInButtonCaption(c.id), c.caption) << c.id;
        EXPECT_EQ(ButtonCaptionStringId(c.id), c.stringId) << c.id;
    }
}

TEST(MarkupMessageBoxParams, DefaultsAndLayout)
{
    MarkupMessageBoxParams params;
    memset(&params, 0x5A, sizeof(params));
    InitMarkupMessageBoxParams(&params);
    EXPECT_EQ(params.owner, nullptr);
    EXPECT_EQ(params.message, nullptr);
    EXPECT_EQ(params.buttonAlignment, 2);
    EXPECT_EQ(params.style, 0x30u);
    EXPECT_EQ(params.timeout, 0);
    EXPECT_EQ(params.captionMap, nullptr);
    for (const MarkupMessageBoxArea* area : {&params.background, &params.header, &params.buttons, &params.footer}) {
        EXPECT_EQ(area->separatorStyle, 0);
        EXPECT_EQ(area->separatorCaption, nullptr);
        EXPECT_EQ(area->effect, -1);
        EXPECT_EQ(area->beginColor, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(area->midColor, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(area->endColor, GetSysColor(COLOR_BTNFACE));
    }
    // Field order: each field follows the one before it, in the record's order.
    const size_t slot = sizeof(void*);
    EXPECT_EQ(offsetof(MarkupMessageBoxParams, owner), 0u);
    EXPECT_EQ(offsetof(MarkupMessageBoxParams, caption), 3 * slot);
    EXPECT_LT(offsetof(MarkupMessageBoxParams, reportMessage), offsetof(MarkupMessageBoxParams, background));
    EXPECT_LT(offsetof(MarkupMessageBoxParams, footer), offsetof(MarkupMessageBoxParams, timeout));
    EXPECT_EQ(offsetof(MarkupMessageBoxParams, captionMap) + slot, sizeof(MarkupMessageBoxParams));
}

TEST(MarkupMessageBoxMemory, KeyAndValueNames)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring file = wcsrchr(path, L'\\') + 1;
    EXPECT_EQ(AnswerMemoryKey(L"Tarnwick"), L"Software\\Tarnwick\\" + file + L"\\MarkupMessageBox");
    EXPECT_EQ(AnswerMemoryKey(nullptr), L"Software\\" + file + L"\\MarkupMessageBox");
    EXPECT_EQ(AnswerMemoryKey(L""), L"Software\\" + file + L"\\MarkupMessageBox");
    EXPECT_EQ(AnswerMemoryValueName(L"Ask", 12), L"Ask12");
    EXPECT_EQ(AnswerMemoryValueName(L"Ask", -3), L"Ask-3");
}

TEST(MarkupMessageBoxMemory, NothingIsReadOrWrittenWithoutCheckBoxAndName)
{
    MarkupMessageBoxParams params;
    InitMarkupMessageBoxParams(&params);
    params.memoryCompany = L"LyrantMemoryTest";
    params.memoryName = L"Quiet";
    params.messageId = 1;
    RememberAnswer(params, 6);   // no check box in the style
    const std::wstring key = AnswerMemoryKey(params.memoryCompany);
    HKEY handle = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle), ERROR_SUCCESS);

    params.style |= MMB_CHECKBOX;
    params.memoryName = nullptr;
    RememberAnswer(params, 6);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle), ERROR_SUCCESS);
    EXPECT_EQ(ReadRememberedAnswer(params), 0u);

    params.memoryName = L"Quiet";
    RememberAnswer(params, 0x02000006);
    EXPECT_EQ(ReadRememberedAnswer(params), 0x02000006u);
    params.messageId = 2;
    EXPECT_EQ(ReadRememberedAnswer(params), 0u) << "another message id";
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

TEST(CMarkupMessageBox, OwnsItsTextsAndPointsTheRecordAtThem)
{
    CMarkupMessageBox box;
    box.SetCustomButtonText(IDOK, L"Fine");
    box.SetCustomButtonText(IDCANCEL, Id(700));   // loaded now, from the resource module
    box.SetCustomButtonText(IDNO, L"Nope");
    box.SetCustomButtonText(IDNO, L"");           // removed again
    EXPECT_STREQ(box.GetCustomButtonText(IDOK), L"Fine");
    EXPECT_STREQ(box.GetCustomButtonText(IDCANCEL), L"Caption from id");
    EXPECT_EQ(box.GetCustomButtonText(IDNO), nullptr);

    box.SetCustomButtons(Id(701));
    box.SetSeparator(CMarkupMessageBox::kHeader, 1, 2, L"Head");
    box.SetSeparator(CMarkupMessageBox::kBackground, 2, 1, L"ignored");
    box.SetSeparator(CMarkupMessageBox::kFooter, 3, 0, Id(700));
    box.SetBackground(CMarkupMessageBox::kButtons, 0, RGB(1, 2, 3), RGB(7, 8, 9), RGB(4, 5, 6));
    box.SetBackground(7, 0, 0, 0, 0);
    box.SetTimeouts(5, 3, TRUE);

    MarkupMessageBoxParams* params = box.GetParams();
    ASSERT_NE(params->captionMap, nullptr);
    EXPECT_EQ(params->captionMap->size(), 2u);
    EXPECT_STREQ(params->captionMap->at(IDOK), L"Fine");
    EXPECT_STREQ(params->customButtons, L"First\r\nSecond");
    EXPECT_STREQ(params->header.separatorCaption, L"Head");
    EXPECT_EQ(params->header.separatorStyle, 1);
    EXPECT_EQ(params->header.separatorAlignment, 2);
    EXPECT_EQ(params->background.separatorStyle, 0) << "the dialog's background has no separator";
    EXPECT_STREQ(params->footer.separatorCaption, L"Caption from id");
    EXPECT_EQ(params->buttons.effect, 0);
    EXPECT_EQ(params->buttons.beginColor, RGB(1, 2, 3));
    EXPECT_EQ(params->buttons.midColor, RGB(4, 5, 6));
    EXPECT_EQ(params->buttons.endColor, RGB(7, 8, 9));
    EXPECT_EQ(params->timeout, 5);
    EXPECT_EQ(params->disabledPeriod, 3);
    EXPECT_EQ(params->periodInCaption, TRUE);

    // A record copied in keeps its texts, also when it is the object's own.
    CMarkupMessageBox copy;
    copy.SetParams(params);
    box.SetParams(params);
    for (CMarkupMessageBox* each : {&copy, &box}) {
        MarkupMessageBoxParams* again = each->GetParams();
        EXPECT_STREQ(again->header.separatorCaption, L"Head");
        EXPECT_STREQ(again->customButtons, L"First\r\nSecond");
        EXPECT_STREQ(each->GetCustomButtonText(IDCANCEL), L"Caption from id");
    }
    EXPECT_NE(copy.GetParams()->captionMap, box.GetParams()->captionMap) << "each object points at its own map";

    MarkupMessageBoxArea block = {2, 1, L"Block", 3, RGB(9, 9, 9), RGB(8, 8, 8), RGB(7, 7, 7)};
    box.SetAreaBlock(CMarkupMessageBox::kFooter, &block);
    box.SetAreaBlock(CMarkupMessageBox::kBackground, &block);
    params = box.GetParams();
    EXPECT_STREQ(params->footer.separatorCaption, L"Block");
    EXPECT_NE(params->footer.separatorCaption, block.separatorCaption) << "an owned copy";
    EXPECT_EQ(params->footer.effect, 3);
    EXPECT_EQ(params->background.effect, 3);
    EXPECT_EQ(params->background.separatorCaption, nullptr);
}
