// No Scrivel.dll can be found by this program: the HTML element shows the failure text once.
#include <gtest/gtest.h>

#include <string>

#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"

namespace {

TEST(HtmlTextWithoutLibrary, ShowsTheFailureTextOnceAndDrawsNothing)
{
    DelayLoadMessages messages;
    FWSkin::CSkinFrame frame;
    ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str()));
    ASSERT_TRUE(frame.AddChild("Line Html", 1, true, L"<b>bold</b> text"));
    DibCanvas canvas(120, 80, 0);
    frame.FindElement(1)->Draw(canvas.Dc(), false);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last(), "Scrivel.dll not found");
    frame.FindElement(1)->Draw(canvas.Dc(), false);  // the next paint goes on quietly
    EXPECT_EQ(messages.Count(), 1);
    for (int y = 30; y < 46; ++y)
        for (int x = 10; x < 110; ++x)
            ASSERT_EQ(canvas.Rgb(x, y), 0u);
}

}  // namespace
