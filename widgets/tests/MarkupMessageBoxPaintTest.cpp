// The four areas' fills and separators, and the repaint a hovered link asks for, read from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/DialogWatcher.h"
#include "tests/support/WindowPixels.h"
#include "widgets/MarkupMessageBoxParams.h"
#include "widgets/tests/MarkupMessageBoxFixture.h"

namespace {

constexpr COLORREF kHeader = RGB(200, 240, 200);
constexpr COLORREF kButtons = RGB(200, 200, 250);
constexpr COLORREF kFooter = RGB(250, 250, 200);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kHeaderHeight = 50;

void SetArea(MarkupMessageBoxArea* area, int effect, COLORREF begin, COLORREF end, int separator,
             const wchar_t* caption = nullptr, int alignment = 0)
{
    area->effect = effect;
    area->beginColor = begin;
    area->midColor = begin;
    area->endColor = end;
    area->separatorStyle = separator;
    area->separatorCaption = caption;
    area->separatorAlignment = alignment;
}

PixelImage Painted(HWND box)
{
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessagesFor(50);
    return CaptureClientPixels(box);
}

}  // namespace

TEST(MarkupMessageBoxPaint, EachAreaHasItsEffectColoursAndSeparator)
{
    MarkupMessageBoxParams params = QuietParams(MB_OK | MMB_NORESOURCE);
    params.message = L"The message<br>on two lines";
    params.headerHeight = kHeaderHeight;
    params.headerText = L"Header";
    params.footerText = L"Footer";
    SetArea(&params.background, 1, RGB(255, 0, 0), RGB(0, 0, 255), 0);   // horizontal gradient
    SetArea(&params.header, 0, kHeader, kHeader, 2);
    SetArea(&params.buttons, 0, kButtons, kButtons, 3);
    SetArea(&params.footer, 0, kFooter, kFooter, 2, L"Details", 2);

    PixelImage collapsed, expanded;
    BoxView view;
    RunBox(params, [&](HWND box) {
        view = ViewBox(box);
        collapsed = Painted(box);
        ClickDialogButton(box, 31);
        expanded = Painted(box);
        EndDialog(box, 0);
    });
    ASSERT_FALSE(collapsed.Empty());
    ASSERT_FALSE(expanded.Empty());
    const int width = collapsed.width;
    const int messageY = kHeaderHeight + 5;
    const int areaTop = view.buttons[0].rect.top - 11;   // a filled button area has 11 above its buttons

    EXPECT_EQ(collapsed.At(3, 10), kHeader);
    EXPECT_EQ(collapsed.At(3, kHeaderHeight - 2), kHeader) << "the line starts 5 in";
    EXPECT_EQ(collapsed.At(20, kHeaderHeight - 2), kBlack) << "black separator along the header's bottom";
    EXPECT_EQ(collapsed.At(width - 3, kHeaderHeight - 2), kHeader) << "and stops 5 before the edge";

    const COLORREF left = collapsed.At(1, messageY);
    const COLORREF right = collapsed.At(width - 2, messageY);
    EXPECT_GT(GetRValue(left), 240);
    EXPECT_LT(GetBValue(left), 15);
    EXPECT_LT(GetRValue(right), 15);
    EXPECT_GT(GetBValue(right), 240);

    EXPECT_EQ(collapsed.At(20, areaTop), kWhite) << "white separator along the button area's top";
    EXPECT_EQ(collapsed.At(3, areaTop + 3), kButtons);
    EXPECT_EQ(collapsed.At(3, collapsed.height - 2), kButtons);

    const int footerTop = collapsed.height;
    ASSERT_GT(expanded.height, footerTop + 20);
    EXPECT_EQ(expanded.At(8, footerTop), kBlack) << "the footer's line left of its centred caption";
    EXPECT_EQ(expanded.At(width - 8, footerTop), kBlack) << "and right of it";
    EXPECT_NE(expanded.At(width / 2, footerTop), kBlack) << "the caption interrupts it";
    EXPECT_EQ(expanded.At(3, footerTop + 10), kFooter);
    EXPECT_EQ(expanded.At(3, expanded.height - 2), kFooter);
}

TEST(MarkupMessageBoxPaint, WithoutEffectsTheBoxHasTheButtonFace)
{
    MarkupMessageBoxParams params = QuietParams(MB_OK | MMB_NORESOURCE);
    params.message = L"Plain";
    PixelImage image;
    RunBox(params, [&](HWND box) {
        image = Painted(box);
        EndDialog(box, 0);
    });
    ASSERT_FALSE(image.Empty());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(image.At(2, 2), face);
    EXPECT_EQ(image.At(image.width - 3, image.height - 3), face);
}

TEST(MarkupMessageBoxPaint, TheLinkMessageRepaintsTheTextAreasAtOnce)
{
    constexpr COLORREF kBackground = RGB(220, 230, 240);
    MarkupMessageBoxParams params = QuietParams(MB_OK | MMB_NORESOURCE);
    params.message = L"Read <a href=\"http://localhost/\">the notes</a>";
    SetArea(&params.background, 0, kBackground, kBackground, 0);
    PixelImage image;
    RunBox(params, [&](HWND box) {
        Painted(box);
        HDC dc = GetDC(box);
        RECT spoiled = {0, 0, 10, 10};
        FillRect(dc, &spoiled, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(box, dc);
        SendMessageW(box, WM_APP + 100, 0, 0);   // what the drawer sends when the hovered link changes
        image = CaptureClientPixels(box);
        EndDialog(box, 0);
    });
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(5, 5), kBackground);
}

TEST(MarkupMessageBoxPaint, SeparatorStyleNoneDrawsNoCaptionAndTakesNoWidth)
{
    const wchar_t* caption = L"A separator caption far wider than the box would be";
    const int captionWidth = TextSize(MessageFont(), caption).cx;
    const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    struct Case { int style; bool drawn; } cases[] = {{0, false}, {4, true}};   // 4: caption only
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        MarkupMessageBoxParams params = QuietParams(MB_OK | MMB_NORESOURCE);
        params.message = L"Short";
        SetArea(&params.background, 0, kButtons, kButtons, 0);
        SetArea(&params.buttons, 0, kButtons, kButtons, c.style, caption, 0);
        PixelImage image;
        BoxView view;
        RunBox(params, [&](HWND box) {
            view = ViewBox(box);
            image = Painted(box);
            EndDialog(box, 0);
        });
        ASSERT_FALSE(image.Empty());
        const int areaTop = view.buttons[0].rect.top - 11;
        const int embossed = image.Count(light, 0, areaTop - 10, image.width, areaTop + 10) +
                             image.Count(shadow, 0, areaTop - 10, image.width, areaTop + 10);
        if (c.drawn) {
            EXPECT_GT(embossed, 20);
            EXPECT_GE(image.width, captionWidth + 10);
        } else {
            EXPECT_EQ(embossed, 0);
            EXPECT_LT(image.width, captionWidth);
        }
    }
}
