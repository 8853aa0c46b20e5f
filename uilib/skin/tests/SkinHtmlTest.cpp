#include <gtest/gtest.h>

#include <string>

#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinTxtHtml.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "tests/support/TestPaths.h"

namespace {

using namespace FWSkin;

// Pixels the markup drew: anything but the black background, in and out of a rectangle.
void CountInk(DibCanvas& canvas, const RECT& inside, int* in, int* out, int* blueish)
{
    *in = *out = *blueish = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            DWORD p = canvas.Rgb(x, y);
            if (!p)
                continue;
            POINT pt = {x, y};
            (PtInRect(&inside, pt) ? *in : *out) += 1;
            if ((p & 0xFF) > 0x40 && (p >> 16) < 0x20 && ((p >> 8) & 0xFF) < 0x20)
                ++*blueish;
        }
}

class HtmlText : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str())); }
    DelayLoadMessages messages;
    CSkinFrame frame;
};

// Runs first: the library is looked for only when there is markup to draw.
TEST_F(HtmlText, EmptyTextDrawsNothingAndLoadsNothing)
{
    ASSERT_TRUE(frame.AddChild("Line Html", 1, true, L""));
    DibCanvas canvas(120, 80);
    frame.FindElement(1)->Draw(canvas.Dc(), false);
    EXPECT_EQ(GetModuleHandleW(L"Scrivel.dll"), nullptr);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(HtmlText, MarkupIsDrawnByTheOutsideLibraryInTheElement)
{
    // Scrivel.dll lies in the program folder, not beside the tests.
    ASSERT_TRUE(SetDllDirectoryW((TestExeFolder() + L"\\..\\dist").c_str()));
    ASSERT_TRUE(frame.AddChild("Line Html", 1, true, L"<b>Hi</b> there &amp; <i>more</i> words"));
    ASSERT_TRUE(frame.AddChild("Note Html", 2, true,
                               L"A much longer <u>markup</u> text that cannot fit on one line of the element"));
    DibCanvas canvas(120, 80, 0);
    frame.FindElement(1)->Draw(canvas.Dc(), false);
    EXPECT_NE(GetModuleHandleW(L"Scrivel.dll"), nullptr);
    EXPECT_EQ(messages.Count(), 0);
    int in, out, blue;
    CountInk(canvas, RECT{10, 30, 110, 46}, &in, &out, &blue);
    EXPECT_GT(in, 30);
    EXPECT_EQ(out, 0);  // clipped to the element
    EXPECT_GT(blue, 10);  // in the element's text colour

    canvas.Fill(0);
    frame.FindElement(2)->Draw(canvas.Dc(), false);  // MultiLine: word-wrapped
    TEXTMETRICW tm = {};
    HDC dc = GetDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsW(dc, &tm);
    ReleaseDC(nullptr, dc);
    int below = 0;
    CountInk(canvas, RECT{10, 30 + tm.tmHeight, 110, 70}, &below, &out, &blue);
    EXPECT_GT(below, 20);  // a second line
}

}  // namespace
