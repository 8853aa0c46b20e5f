// The message box's buttons, captions, sizes and placement, read from the running box.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "widgets/MarkupMessageBoxParams.h"
#include "widgets/MarkupMessageBoxTemplate.h"
#include "widgets/tests/MarkupMessageBoxFixture.h"

namespace {

constexpr UINT kNoIcon = 0;
constexpr int kMargin = 11;   // button spacing and bottom margin
constexpr int kAreaMargin = 14;

BoxView Show(const MarkupMessageBoxParams& params, int answer = kLeftOpen)
{
    BoxView view;
    RunBox(params, [&](HWND box) {
        view = ViewBox(box);
        EndDialog(box, answer);
    });
    return view;
}

int ButtonWidth(HFONT font, const std::vector<std::wstring>& captions)
{
    int width = 80;
    for (const auto& caption : captions)
        width = std::max(width, MulDiv(TextSize(font, caption).cx, 80, 45));
    return width;
}

int ButtonHeight(HFONT font, const std::vector<std::wstring>& captions)
{
    int height = 23;
    for (const auto& caption : captions)
        height = std::max(height, MulDiv(TextSize(font, caption).cy, 23, 13));
    return height;
}

std::vector<std::wstring> Captions(const BoxView& view)
{
    std::vector<std::wstring> captions;
    for (const BoxButton& button : view.buttons)
        captions.push_back(button.caption);
    return captions;
}

}  // namespace

TEST(MarkupMessageBoxButtons, StandardSetsInOrderWithTheirBuiltInCaptions)
{
    CTestOwner owner(100, 100, 400, 300, true);
    struct Case
    {
        UINT style;
        std::vector<UINT> ids;
        std::vector<std::wstring> captions;
        UINT reportMessage;
        const wchar_t* footer;
    } cases[] = {
        {MB_OK, {1}, {L"OK"}, 0, nullptr},
        {MB_OKCANCEL, {1, 2}, {L"OK", L"Cancel"}, 0, nullptr},
        {MB_ABORTRETRYIGNORE, {3, 4, 5}, {L"Abort", L"Retry", L"Ignore"}, 0, nullptr},
        {MB_YESNOCANCEL, {6, 7, 2}, {L"Yes", L"No", L"Cancel"}, 0, nullptr},
        {MB_YESNOCANCEL | MMB_YESTOALL | MMB_NOTOALL, {6, 19, 7, 20, 2},
         {L"Yes", L"Yes to all", L"No", L"No to all", L"Cancel"}, 0, nullptr},
        {MB_YESNO, {6, 7}, {L"Yes", L"No"}, 0, nullptr},
        {MB_YESNO | MMB_NOTOALL, {6, 7, 20}, {L"Yes", L"No", L"No to all"}, 0, nullptr},
        {MB_OKCANCEL | MMB_YESTOALL, {1, 2}, {L"OK", L"Cancel"}, 0, nullptr},
        {MB_RETRYCANCEL, {4, 2}, {L"Retry", L"Cancel"}, 0, nullptr},
        {6, {2, 10, 11}, {L"Cancel", L"Try again", L"Continue"}, 0, nullptr},
        {7, {11, 3}, {L"Continue", L"Abort"}, 0, nullptr},
        {8, {14, 15, 2}, {L"Skip", L"Skip all", L"Cancel"}, 0, nullptr},
        {9, {5, 16, 2}, {L"Ignore", L"Ignore all", L"Cancel"}, 0, nullptr},
        {12 | MMB_HELP, {9}, {L"Help"}, 0, nullptr},
        {MB_OKCANCEL | MMB_HELP, {1, 2, 9, 21, 31}, {L"OK", L"Cancel", L"Help", L"Report", L"More >>"}, WM_APP + 5,
         L"Footer"},
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = QuietParams(c.style | kNoIcon | MMB_NORESOURCE);
        params.owner = owner.Window();
        params.message = L"Which one?";
        params.reportMessage = c.reportMessage;
        params.footerText = c.footer;
        const BoxView view = Show(params);
        EXPECT_EQ(ButtonIds(view), c.ids) << "style " << std::hex << c.style;
        EXPECT_EQ(Captions(view), c.captions) << "style " << std::hex << c.style;
    }
}

TEST(MarkupMessageBoxButtons, ReportNeedsAnOwnerAndAMessage)
{
    MarkupMessageBoxParams params = QuietParams(MB_OK | MMB_NORESOURCE);
    params.reportMessage = WM_APP + 5;
    params.message = L"No owner";
    EXPECT_EQ(ButtonIds(Show(params)), std::vector<UINT>{IDOK});
}

TEST(MarkupMessageBoxButtons, DefaultButtonByIndexAndTheFirstBeyondTheLast)
{
    struct Case
    {
        UINT style;
        UINT defaultId;
    } cases[] = {
        {MB_YESNOCANCEL, IDYES},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON4, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON3 | MMB_HELP, IDHELP},
    };
    for (const Case& c : cases) {
        UINT defaults = 0, focused = 0;
        int count = 0;
        RunBox(QuietParams(c.style | MMB_NORESOURCE), [&](HWND box) {
            for (const BoxButton& button : ViewBox(box).buttons)
                if (button.isDefault) {
                    defaults = button.id;
                    ++count;
                }
            focused = static_cast<UINT>(GetDlgCtrlID(GetFocus()));
            EndDialog(box, 0);
        });
        EXPECT_EQ(count, 1) << std::hex << c.style;
        EXPECT_EQ(defaults, c.defaultId) << std::hex << c.style;
        EXPECT_EQ(focused, c.defaultId) << std::hex << c.style;
    }
}

TEST(MarkupMessageBoxButtons, CustomLinesReplaceTheStandardSet)
{
    struct Case
    {
        const wchar_t* lines;
        UINT style;
        std::vector<UINT> ids;
        std::vector<std::wstring> captions;
    } cases[] = {
        {L"A\r\n\r\nB", MB_YESNOCANCEL, {23, 24}, {L"A", L"B"}},
        {L"1\n2\n3\n4\n5\n6", MB_OK, {23, 24, 25, 26}, {L"1", L"2", L"3", L"4"}},
        {L"\n\nOnly\n", MB_OK | MMB_HELP, {23, 9}, {L"Only", L"Help"}},
        {MAKEINTRESOURCEW(701), MB_OK, {23, 24}, {L"First", L"Second"}},
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = QuietParams(c.style);
        params.customButtons = c.lines;
        const BoxView view = Show(params);
        EXPECT_EQ(ButtonIds(view), c.ids);
        EXPECT_EQ(Captions(view), c.captions);
    }
}

TEST(MarkupMessageBoxButtons, CaptionPriorityMapThenStringModuleThenBuiltIn)
{
    // The test module's string table holds 9001 "Okay" and 9012 "Never again", not 9002.
    MarkupCaptionMap map = {{IDCANCEL, MAKEINTRESOURCEW(700)}, {IDYES, L"Sure"}};
    struct Case
    {
        UINT style;
        HINSTANCE module;
        const MarkupCaptionMap* map;
        const wchar_t* checkText;
        std::vector<std::wstring> captions;
        std::wstring checkCaption;
    } cases[] = {
        {MB_OKCANCEL, nullptr, nullptr, nullptr, {L"Okay", L"Cancel"}, L"Never again"},
        {MB_OKCANCEL, nullptr, &map, L"Remember", {L"Okay", L"Caption from id"}, L"Never again"},
        {MB_OKCANCEL | MMB_NORESOURCE, nullptr, &map, L"Remember", {L"OK", L"Cancel"}, L"Remember"},
        {MB_OKCANCEL | MMB_NORESOURCE, nullptr, nullptr, nullptr, {L"OK", L"Cancel"}, L"Do not show again"},
        {MB_YESNO, nullptr, &map, L"Remember", {L"Sure", L"No"}, L"Never again"},
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = QuietParams(c.style | MMB_CHECKBOX);
        params.stringModule = c.module;
        params.captionMap = c.map;
        params.checkBoxText = c.checkText;
        const BoxView view = Show(params);
        EXPECT_EQ(Captions(view), c.captions);
        EXPECT_EQ(view.checkBoxCaption, c.checkCaption);
    }

    MarkupCaptionMap checkMap = {{MMB_CAPTION_CHECKBOX, L"From the map"}};
    MarkupMessageBoxParams params = QuietParams(MB_OK | MMB_CHECKBOX);
    params.captionMap = &checkMap;
    params.checkBoxText = L"Remember";
    EXPECT_EQ(Show(params).checkBoxCaption, L"From the map");
}

TEST(MarkupMessageBoxButtons, TitleFromTheCaptionTheOwnerOrError)
{
    struct Case
    {
        const wchar_t* caption;
        bool withOwner;
        std::wstring title;
    } cases[] = {
        {L"Given", true, L"Given"},
        {MAKEINTRESOURCEW(700), false, L"Caption from id"},
        {nullptr, true, L"Owner window"},
        {L"", true, L"Owner window"},
        {MAKEINTRESOURCEW(799), false, L"Error"},
    };
    for (const Case& c : cases) {
        // Without an owner the box takes the active window's: none is left active between cases.
        std::unique_ptr<CTestOwner> owner(c.withOwner ? new CTestOwner(100, 100, 300, 200, true) : nullptr);
        MarkupMessageBoxParams params = QuietParams(MB_OK);
        params.caption = c.caption;
        params.owner = owner ? owner->Window() : nullptr;
        EXPECT_EQ(Show(params).title, c.title);
    }
}

TEST(MarkupMessageBoxLayout, SizesFollowTheMeasuredTexts)
{
    const wchar_t* message = L"Some <b>bold</b> words and a\nsecond, longer line of the message";
    const wchar_t* wide = L"A rather long caption for one button";
    MarkupMessageBoxParams params = QuietParams(kNoIcon | MMB_NORESOURCE);
    params.message = message;
    params.customButtons = L"Go\nA rather long caption for one button";
    const BoxView view = Show(params);
    ASSERT_EQ(view.buttons.size(), 2u);

    const int width = ButtonWidth(MessageFont(), {L"Go", wide});
    const int height = ButtonHeight(MessageFont(), {L"Go", wide});
    EXPECT_GT(width, 80) << "the long caption widens every button";
    const SIZE text = MarkupSize(MessageFont(), message);
    const int messageHeight = text.cy + 2 * kAreaMargin;
    for (const BoxButton& button : view.buttons) {
        EXPECT_EQ(button.rect.right - button.rect.left, width);
        EXPECT_EQ(button.rect.bottom - button.rect.top, height);
        EXPECT_EQ(button.rect.bottom, view.client.bottom - kMargin);
    }
    EXPECT_EQ(view.buttons[1].rect.left - view.buttons[0].rect.right, kMargin);
    const int row = 2 * width + kMargin;
    EXPECT_EQ(view.client.right, std::max<int>(text.cx + 2 * kAreaMargin, row + 2 * kMargin));
    EXPECT_EQ(view.client.bottom, messageHeight + kMargin + height);
    EXPECT_EQ(view.buttons[0].rect.left, (view.client.right - row) / 2);
}

TEST(MarkupMessageBoxLayout, MinimumButtonSizeAlignmentAndAreas)
{
    struct Case
    {
        const wchar_t* message;
        int alignment;
        int headerHeight;
        const wchar_t* header;
        int buttonEffect;
        UINT extraStyle;
    } cases[] = {
        {nullptr, 2, 0, nullptr, -1, 0},              // no message: the buttons follow the top
        {L"Left", 0, 0, nullptr, -1, 0},
        {L"Right", 1, 0, nullptr, -1, 0},
        {L"Header", 2, 60, L"Short", -1, 0},          // the header keeps its minimum
        {L"Header", 2, 30, L"Tall<br>header<br>text", -1, 0},
        {L"Band", 2, 0, nullptr, 0, 0},               // a filled button area has margins above and below
        {L"Check", 2, 0, nullptr, -1, MMB_CHECKBOX},
        {L"Check below", 2, 0, nullptr, -1, MMB_CHECKBOX | MMB_CHECKBOXBELOW},
    };
    for (const Case& c : cases) {
        MarkupMessageBoxParams params = QuietParams(MB_OKCANCEL | MMB_NORESOURCE | c.extraStyle);
        params.style &= ~MMB_ICONMASK;
        params.message = c.message;
        params.buttonAlignment = c.alignment;
        params.headerHeight = c.headerHeight;
        params.headerText = c.header;
        params.buttons.effect = c.buttonEffect;
        const BoxView view = Show(params);
        ASSERT_EQ(view.buttons.size(), 2u);
        const int height = ButtonHeight(MessageFont(), {L"OK", L"Cancel"});
        const int width = ButtonWidth(MessageFont(), {L"OK", L"Cancel"});
        EXPECT_EQ(view.buttons[0].rect.right - view.buttons[0].rect.left, width);
        EXPECT_GE(width, 80);
        EXPECT_GE(height, 23);

        int header = 0;
        if (c.headerHeight > 0)
            header = std::max<int>(c.headerHeight, MarkupSize(MessageFont(), c.header).cy + 2 * kAreaMargin);
        const int message = c.message ? MarkupSize(MessageFont(), c.message).cy + 2 * kAreaMargin : 0;
        const bool check = (c.extraStyle & MMB_CHECKBOX) != 0;
        const int buttonArea = (c.buttonEffect >= 0 ? 2 * kMargin : kMargin) + height + (check ? kMargin + 13 : 0);
        EXPECT_EQ(view.client.bottom, header + message + buttonArea) << (c.message ? c.message : L"none");

        const bool below = (c.extraStyle & MMB_CHECKBOXBELOW) != 0;
        const int buttonsTop = view.client.bottom - kMargin - height - (below ? 13 + kMargin : 0);
        EXPECT_EQ(view.buttons[0].rect.top, buttonsTop);
        if (c.alignment == 0) {
            EXPECT_EQ(view.buttons[0].rect.left, kMargin);
        } else if (c.alignment == 1) {
            EXPECT_EQ(view.buttons[1].rect.right, view.client.right - kMargin);
        }
        if (check) {
            const int boxTop = below ? view.client.bottom - kMargin - 13 : buttonsTop - kMargin - 13;
            EXPECT_EQ(view.checkBoxRect.top, boxTop);
            EXPECT_EQ(view.checkBoxRect.left, 10);
            EXPECT_EQ(view.checkBoxRect.right - view.checkBoxRect.left, 13);
            EXPECT_EQ(view.labelRect.left, 10 + 13 + 6);
            EXPECT_EQ(view.labelRect.top, boxTop);
        }
    }
}

TEST(MarkupMessageBoxLayout, CentredOnTheOwnerOrTheScreen)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case
    {
        RECT owner;        // empty: no owner
        bool visible;
        bool minimized;
        bool onOwner;
    } cases[] = {
        {{120, 90, 720, 590}, true, false, true},
        {{-300, 20, 100, 320}, true, false, true},    // never clamped to the screen
        {{0, 0, 0, 0}, false, false, false},
        {{120, 90, 720, 590}, true, true, false},     // a minimized owner (started with /m)
        {{120, 90, 720, 590}, false, false, false},   // a hidden owner
    };
    for (const Case& c : cases) {
        std::unique_ptr<CTestOwner> owner;
        if (c.owner.right > c.owner.left) {
            owner.reset(new CTestOwner(c.owner.left, c.owner.top, c.owner.right - c.owner.left,
                                       c.owner.bottom - c.owner.top, c.visible));
            if (c.minimized)
                ShowWindow(owner->Window(), SW_MINIMIZE);
        }
        MarkupMessageBoxParams params = QuietParams(MB_OK);
        params.owner = owner ? owner->Window() : nullptr;
        params.message = L"Where am I?";
        const BoxView view = Show(params);
        const int width = view.window.right - view.window.left;
        const int height = view.window.bottom - view.window.top;
        RECT reference = c.onOwner ? c.owner : RECT{0, 0, screenWidth, screenHeight};
        EXPECT_EQ(view.window.left, reference.left + (reference.right - reference.left - width) / 2)
            << c.owner.left << " visible " << c.visible << " minimized " << c.minimized;
        EXPECT_EQ(view.window.top, reference.top + (reference.bottom - reference.top - height) / 2)
            << c.owner.left << " visible " << c.visible << " minimized " << c.minimized;
    }
}

TEST(MarkupMessageBoxLayout, IconsSitBesideTheMessage)
{
    MarkupMessageBoxParams plain = QuietParams(MB_OK | MMB_NORESOURCE);
    plain.style &= ~MMB_ICONMASK;
    plain.message = L"Message";
    MarkupMessageBoxParams noUserIcon = plain;
    noUserIcon.style |= MMB_USERICON;   // without a user icon: no icon table
    MarkupMessageBoxParams hand = plain;
    hand.style |= MB_ICONHAND;
    MarkupMessageBoxParams user = plain;
    user.style |= MMB_USERICON;
    user.userIcon = MAKEINTRESOURCEW(710);

    const BoxView plainView = Show(plain);
    const BoxView noIconView = Show(noUserIcon);
    const BoxView handView = Show(hand);
    EXPECT_EQ(noIconView.client.right, plainView.client.right);
    EXPECT_EQ(noIconView.client.bottom, plainView.client.bottom);
    EXPECT_GT(handView.client.right, plainView.client.right + GetSystemMetrics(SM_CXICON) / 2);
    EXPECT_GE(handView.buttons[0].rect.top, GetSystemMetrics(SM_CYICON) + 2 * kAreaMargin)
        << "the message area holds the icon";

    // The user icon's red shows at the left of the message area.
    int red = 0;
    RunBox(user, [&](HWND box) {
        UpdateWindow(box);
        HDC dc = GetDC(box);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                if ((GetPixel(dc, x, y) & 0xFFFFFF) == RGB(200, 30, 30))
                    ++red;
        ReleaseDC(box, dc);
        EndDialog(box, 0);
    });
    EXPECT_GE(red, 16 * 16 / 2);
}
