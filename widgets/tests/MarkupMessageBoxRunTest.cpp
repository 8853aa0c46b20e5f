// The running box: countdown and automatic click, the disabled period, closing rules, the check
// box with its remembered answer, Report, Help and More / Less.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "widgets/MarkupMessageBoxMemory.h"
#include "widgets/MarkupMessageBoxParams.h"
#include "widgets/MarkupMessageBoxTemplate.h"
#include "widgets/tests/MarkupMessageBoxFixture.h"
#include "tests/support/DialogWatcher.h"

namespace {

constexpr int kLong = 30;   // seconds: the box's own timer does not tick while a test looks

std::wstring Caption(HWND box, UINT id)
{
    wchar_t text[128] = {};
    GetDlgItemTextW(box, static_cast<int>(id), text, 128);
    return text;
}

std::wstring Title(HWND box)
{
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    return text;
}

bool Enabled(HWND box, UINT id)
{
    return IsWindowEnabled(GetDlgItem(box, static_cast<int>(id))) != FALSE;
}

bool IsDefault(HWND box, UINT id)
{
    return (GetWindowLongPtrW(GetDlgItem(box, static_cast<int>(id)), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// Every way of closing that is not a button: Escape, the close box, Alt+F4.
void TryToClose(HWND box)
{
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (StillOpen(box))
        SendMessageW(box, WM_CLOSE, 0, 0);
    if (StillOpen(box))
        SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

MarkupMessageBoxParams Box(UINT style)
{
    MarkupMessageBoxParams params = QuietParams(style | MMB_NORESOURCE);
    params.caption = L"Title";
    params.message = L"Message";
    return params;
}

class MemoryKey
{
public:
    explicit MemoryKey(const wchar_t* company) : m_key(AnswerMemoryKey(company)), m_company(company)
    {
        Delete();
    }
    ~MemoryKey() { Delete(); }
    DWORD Read(const wchar_t* value) const
    {
        DWORD data = 0, size = sizeof(data), type = 0;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            data = 0;
        RegCloseKey(key);
        return data;
    }

private:
    void Delete()
    {
        RegDeleteKeyW(HKEY_CURRENT_USER, m_key.c_str());
        const std::wstring program = m_key.substr(0, m_key.rfind(L'\\'));
        RegDeleteKeyW(HKEY_CURRENT_USER, program.c_str());
        if (m_company != nullptr)
            RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + m_company).c_str());
    }
    std::wstring m_key;
    const wchar_t* m_company;
};

}  // namespace

TEST(MarkupMessageBoxRun, TimeoutCountsOnTheDefaultButtonAndClicksIt)
{
    MarkupMessageBoxParams params = Box(MB_OKCANCEL);
    params.timeout = kLong;
    std::wstring first, second, cancel;
    bool openBeforeLast = false;
    const int result = RunBox(params, [&](HWND box) {
        first = Caption(box, IDOK);
        Tick(box);
        second = Caption(box, IDOK);
        cancel = Caption(box, IDCANCEL);
        Tick(box, kLong - 2);
        openBeforeLast = StillOpen(box) && Caption(box, IDOK) == L"OK = 1";
        Tick(box);
    });
    EXPECT_EQ(first, L"OK = 30");
    EXPECT_EQ(second, L"OK = 29");
    EXPECT_EQ(cancel, L"Cancel");
    EXPECT_TRUE(openBeforeLast);
    EXPECT_EQ(result, IDOK) << "the default button was clicked when the count reached 0";
}

TEST(MarkupMessageBoxRun, TheBoxesOwnTimerEndsIt)
{
    MarkupMessageBoxParams params = Box(MB_YESNO | MB_DEFBUTTON2);
    params.timeout = 1;
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunBox(params, [](HWND) {}), IDNO);
    EXPECT_GE(GetTickCount() - start, 900u);
}

TEST(MarkupMessageBoxRun, DisabledPeriodOnACancelDefaultBlocksEveryWayOut)
{
    MarkupMessageBoxParams params = Box(MB_OKCANCEL | MB_DEFBUTTON2);
    params.disabledPeriod = kLong;
    bool cancelEnabled = true, okEnabled = false, closeEnabled = true, survived = false;
    std::wstring counting;
    bool afterEnabled = false, afterDefault = false, afterClose = false;
    std::wstring afterCaption;
    const int result = RunBox(params, [&](HWND box) {
        cancelEnabled = Enabled(box, IDCANCEL);
        okEnabled = Enabled(box, IDOK);
        closeEnabled = CloseMenuEnabled(box);
        counting = Caption(box, IDCANCEL);
        TryToClose(box);
        ClickDialogButton(box, IDCANCEL);   // Wine sends a disabled button's click all the same
        survived = StillOpen(box);
        Tick(box, kLong);
        afterEnabled = Enabled(box, IDCANCEL);
        afterDefault = IsDefault(box, IDCANCEL);
        afterClose = CloseMenuEnabled(box);
        afterCaption = Caption(box, IDCANCEL);
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);   // Escape, now allowed
    });
    EXPECT_FALSE(cancelEnabled);
    EXPECT_TRUE(okEnabled) << "only the default button waits";
    EXPECT_FALSE(closeEnabled);
    EXPECT_EQ(counting, L"Cancel = 30");
    EXPECT_TRUE(survived);
    EXPECT_TRUE(afterEnabled);
    EXPECT_TRUE(afterDefault);
    EXPECT_TRUE(afterClose);
    EXPECT_EQ(afterCaption, L"Cancel");
    EXPECT_EQ(result, IDCANCEL);
}

TEST(MarkupMessageBoxRun, DisabledPeriodOnAnOkDefaultLeavesTheOthersUsable)
{
    MarkupMessageBoxParams params = Box(MB_OKCANCEL);
    params.disabledPeriod = kLong;
    bool closeEnabled = false, openAfterClick = false;
    const int result = RunBox(params, [&](HWND box) {
        closeEnabled = CloseMenuEnabled(box);
        ClickDialogButton(box, IDOK);
        openAfterClick = StillOpen(box);
        SendMessageW(box, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(closeEnabled);
    EXPECT_TRUE(openAfterClick);
    EXPECT_EQ(result, IDCANCEL);
}

TEST(MarkupMessageBoxRun, DisabledPeriodInTheCaption)
{
    struct Case
    {
        UINT style;
        UINT answer;           // pressed after the period
        bool closeComesBack;
    } cases[] = {
        {MB_YESNOCANCEL | MMB_HELP, IDNO, true},
        {MB_OK, IDCANCEL, true},                 // OK alone still closes with the close box afterwards
        {MB_ABORTRETRYIGNORE, IDRETRY, false},
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = Box(c.style);
        params.disabledPeriod = kLong;
        params.periodInCaption = TRUE;
        BoxView during, after;
        std::wstring title, nextTitle;
        bool survived = false;
        const int result = RunBox(params, [&](HWND box) {
            during = ViewBox(box);
            title = Title(box);
            TryToClose(box);
            for (const BoxButton& button : during.buttons)
                if (button.id != IDHELP)
                    ClickDialogButton(box, button.id);
            survived = StillOpen(box);
            Tick(box);
            nextTitle = Title(box);
            Tick(box, kLong - 1);
            after = ViewBox(box);
            if (c.answer == IDCANCEL)
                TryToClose(box);
            else
                ClickDialogButton(box, c.answer);
        });
        for (const BoxButton& button : during.buttons)
            EXPECT_EQ(button.enabled, button.id == IDHELP) << button.id;
        EXPECT_FALSE(during.closeEnabled);
        EXPECT_EQ(title, L"Title (30 seconds remaining)");
        EXPECT_EQ(nextTitle, L"Title (29 seconds remaining)");
        EXPECT_TRUE(survived);
        EXPECT_EQ(after.title, L"Title");
        for (const BoxButton& button : after.buttons) {
            EXPECT_TRUE(button.enabled) << button.id;
            EXPECT_EQ(button.isDefault, button.id == after.buttons[0].id) << button.id;
        }
        EXPECT_EQ(after.closeEnabled, c.closeComesBack);
        EXPECT_EQ(result, static_cast<int>(c.answer)) << std::hex << c.style;
    }
}

TEST(MarkupMessageBoxRun, CaptionFormatOfALanguageIsUsedOnlyWithTheRightConversions)
{
    // The test module's 9020 is "%d left of %s": swapped conversions, not used.
    MarkupCaptionMap good = {{MMB_CAPTION_PERIOD, L"%s [%d s]"}};
    MarkupCaptionMap bad = {{MMB_CAPTION_PERIOD, L"%s %s %d"}};
    struct Case
    {
        const MarkupCaptionMap* map;
        std::wstring title;
    } cases[] = {
        {nullptr, L"Title (30 seconds remaining)"},
        {&good, L"Title [30 s]"},
        {&bad, L"Title (30 seconds remaining)"},
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = Box(MB_OK);
        params.style &= ~MMB_NORESOURCE;
        params.captionMap = c.map;
        params.disabledPeriod = kLong;
        params.periodInCaption = TRUE;
        std::wstring title;
        RunBox(params, [&](HWND box) {
            title = Title(box);
            EndDialog(box, 0);
        });
        EXPECT_EQ(title, c.title);
    }
}

TEST(MarkupMessageBoxRun, TimeoutWithADisabledPeriodEnablesWithoutClicking)
{
    MarkupMessageBoxParams params = Box(MB_OKCANCEL);
    params.timeout = 3;
    params.disabledPeriod = 10;
    bool during = true, after = false, open = false;
    const int result = RunBox(params, [&](HWND box) {
        during = Enabled(box, IDOK);
        Tick(box, 3);
        open = StillOpen(box);
        after = Enabled(box, IDOK) && Caption(box, IDOK) == L"OK";
        ClickDialogButton(box, IDCANCEL);
    });
    EXPECT_FALSE(during);
    EXPECT_TRUE(open);
    EXPECT_TRUE(after);
    EXPECT_EQ(result, IDCANCEL);
}

TEST(MarkupMessageBoxRun, ClosingRules)
{
    struct Case
    {
        UINT style;
        const wchar_t* custom;
        bool closes;   // the close box, Escape and Alt+F4 end the box with IDCANCEL
        const wchar_t* footer = nullptr;
    } cases[] = {
        {MB_OK, nullptr, true},
        {MB_OKCANCEL, nullptr, true},
        {MB_YESNOCANCEL, nullptr, true},
        {MB_RETRYCANCEL, nullptr, true},
        {MB_ABORTRETRYIGNORE, nullptr, false},
        {MB_YESNO, nullptr, false},
        {7, nullptr, false},
        {MB_OKCANCEL, L"Mine\nYours", false},
        // Sets without buttons: nothing else could end the box.
        {10, nullptr, true},
        {15, nullptr, true},
        {12, nullptr, true, L"More of it"},   // More alone never ends a box
        {10 | MMB_HELP, nullptr, false},      // Help does
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = Box(c.style);
        params.customButtons = c.custom;
        params.footerText = c.footer;
        bool closeEnabled = false;
        const int result = RunBox(params, [&](HWND box) {
            closeEnabled = CloseMenuEnabled(box);
            TryToClose(box);
            if (StillOpen(box))
                EndDialog(box, kLeftOpen);
        });
        EXPECT_EQ(result, c.closes ? IDCANCEL : kLeftOpen) << std::hex << c.style;
        EXPECT_EQ(closeEnabled, c.closes) << std::hex << c.style;
    }
}

TEST(MarkupMessageBoxRun, ABoxWithoutAClosingButtonEndsWhenItsTimeRunsOut)
{
    struct Case
    {
        const char* name;
        UINT style;
        int disabledPeriod;
        int periodInCaption;
        const wchar_t* footer;
    } cases[] = {
        {"no button", 10, 0, 0, nullptr},
        {"More alone", 13, 0, 0, L"More of it"},
        {"period in the caption", 14, kLong, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MarkupMessageBoxParams params = Box(c.style);
        params.footerText = c.footer;
        params.disabledPeriod = c.disabledPeriod;
        params.periodInCaption = c.periodInCaption;
        params.timeout = c.disabledPeriod == 0 ? 2 : 0;
        bool closeBefore = true, closeAfter = false;
        const int result = RunBox(params, [&](HWND box) {
            closeBefore = CloseMenuEnabled(box);
            Tick(box, c.disabledPeriod == 0 ? 2 : kLong);
            if (!StillOpen(box))
                return;
            // The disabled period is over: the close box and Escape end it now.
            closeAfter = CloseMenuEnabled(box);
            EXPECT_EQ(Title(box), L"Title");
            TryToClose(box);
            if (StillOpen(box))
                EndDialog(box, kLeftOpen);
        });
        EXPECT_EQ(result, IDCANCEL);
        if (c.disabledPeriod == 0) {
            EXPECT_TRUE(closeBefore);
        } else {
            EXPECT_FALSE(closeBefore) << "greyed while the period runs";
            EXPECT_TRUE(closeAfter);
        }
    }
    // The box's own timer, not the test's ticks.
    MarkupMessageBoxParams params = Box(11);
    params.timeout = 1;
    EXPECT_EQ(RunBox(params, [](HWND) {}), IDCANCEL);
}

TEST(MarkupMessageBoxRun, AnIdThatIsNoButtonIsNoAnswer)
{
    // Enter in a box without an enabled default sends IDOK, which a Yes / No box does not have.
    bool open = false;
    const int result = RunBox(Box(MB_YESNO), [&](HWND box) {
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        open = StillOpen(box);
        ClickDialogButton(box, IDNO);
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(result, IDNO);
}

TEST(MarkupMessageBoxRun, HelpEndsTheBoxReportAndMoreDoNot)
{
    CTestOwner owner(100, 100, 400, 300, true, WM_APP + 9);
    MarkupMessageBoxParams params = Box(MB_OK | MMB_HELP);
    params.owner = owner.Window();
    params.reportMessage = WM_APP + 9;
    params.footerText = L"The <b>details</b><br>in two lines";
    int reports = 0;
    bool open = false, expanded = false;
    int collapsedHeight = 0, expandedHeight = 0, againHeight = 0, footer = 0;
    std::wstring moreCaption, lessCaption, moreAgain;
    HWND moreButton = nullptr, lessButton = nullptr;
    const int result = RunBox(params, [&](HWND box) {
        ClickDialogButton(box, MMB_IDREPORT);
        ClickDialogButton(box, MMB_IDREPORT);
        reports = owner.Count();
        RECT rect;
        GetWindowRect(box, &rect);
        collapsedHeight = rect.bottom - rect.top;
        moreButton = GetDlgItem(box, MMB_IDMORE);
        moreCaption = Caption(box, MMB_IDMORE);
        ClickDialogButton(box, MMB_IDMORE);
        GetWindowRect(box, &rect);
        expandedHeight = rect.bottom - rect.top;
        lessButton = GetDlgItem(box, MMB_IDMORE);
        lessCaption = Caption(box, MMB_IDMORE);
        expanded = CMarkupMessageBoxTemplate::FromWindow(box)->FooterExpanded();
        footer = MarkupSize(MessageFont(), params.footerText).cy + 28;
        ClickDialogButton(box, MMB_IDMORE);
        GetWindowRect(box, &rect);
        againHeight = rect.bottom - rect.top;
        moreAgain = Caption(box, MMB_IDMORE);
        open = StillOpen(box);
        ClickDialogButton(box, IDHELP);
    });
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(moreCaption, L"More >>");
    EXPECT_EQ(lessCaption, L"<< More");
    EXPECT_EQ(moreAgain, L"More >>");
    EXPECT_EQ(moreButton, lessButton) << "one button, id 31 in both states";
    EXPECT_TRUE(expanded);
    EXPECT_EQ(expandedHeight - collapsedHeight, footer);
    EXPECT_EQ(againHeight, collapsedHeight);
    EXPECT_TRUE(open);
    EXPECT_EQ(result, IDHELP);
}

TEST(MarkupMessageBoxRun, TickedCheckBoxAddsItsFlagAndIsRemembered)
{
    struct Case
    {
        UINT style;
        bool tick;           // the test ticks the box
        const wchar_t* company;
        UINT answer;
        int result;
        DWORD stored;
    } cases[] = {
        {MB_YESNO | MMB_CHECKBOX | MMB_CHECKED, false, L"LyrantBoxTest", IDYES, IDYES | MMB_CHECKED,
         IDYES | MMB_CHECKED},
        {MB_YESNO | MMB_CHECKBOX, true, nullptr, IDNO, IDNO, IDNO},
        {MB_YESNO | MMB_CHECKBOX, false, L"LyrantBoxTest", IDNO, IDNO, 0},
    };
    for (const Case& c : cases) {
        MemoryKey key(c.company);
        MarkupMessageBoxParams params = Box(c.style);
        params.memoryName = L"Ask";
        params.memoryCompany = c.company;
        params.messageId = 4;
        const int result = RunBox(params, [&](HWND box) {
            if (c.tick)
                SendMessageW(ViewBox(box).checkBox, BM_CLICK, 0, 0);
            ClickDialogButton(box, c.answer);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(key.Read(L"Ask4"), c.stored);

        // Asked again: a remembered answer comes back without a box; otherwise the box shows.
        HWND shown = nullptr;
        const int again = RunBox(params, [&](HWND box) { EndDialog(box, kLeftOpen); }, &shown);
        if (c.stored != 0) {
            EXPECT_EQ(shown, nullptr);
            EXPECT_EQ(again, static_cast<int>(c.stored));
        } else {
            EXPECT_NE(shown, nullptr);
            EXPECT_EQ(again, kLeftOpen);
        }
        params.messageId = 5;
        HWND other = nullptr;
        RunBox(params, [&](HWND box) { EndDialog(box, kLeftOpen); }, &other);
        EXPECT_NE(other, nullptr) << "another message id is asked";
    }
}

TEST(MarkupMessageBoxRun, FromWindowFindsOnlyOurBox)
{
    MarkupMessageBoxParams params = Box(MB_OK);
    params.message = L"Read <b>the notes</b>";
    std::wstring text;
    bool ours = false;
    RunBox(params, [&](HWND box) {
        CMarkupMessageBoxTemplate* self = CMarkupMessageBoxTemplate::FromWindow(box);
        ours = self != nullptr;
        text = self ? self->MessageText() : L"";
        EndDialog(box, 0);
    });
    EXPECT_TRUE(ours);
    EXPECT_EQ(text, params.message);
    EXPECT_EQ(CMarkupMessageBoxTemplate::FromWindow(GetDesktopWindow()), nullptr);
    EXPECT_EQ(CMarkupMessageBoxTemplate::FromWindow(nullptr), nullptr);
}
