#include "MarkupTestSupport.h"
#include <gtest/gtest.h>

// String resources of this test program (MarkupStrings.rc).
TEST(HtmlResources, StyleSheetAndLinesFromStringResources)
{
    CHtmlDrawer d;
    d.LoadStyleSheet(100, nullptr);
    EXPECT_EQ(d.GetStyleSheet(), L"h1 {color:#00FF00} .tip {font-weight:bold}");
    EXPECT_NE(d.GetStyleClass(L".tip"), nullptr);
    EXPECT_EQ(d.GetStyleClass(L"body"), nullptr);
    d.LoadStyleSheet(0, nullptr);   // no id: the built-in sheet
    EXPECT_NE(d.GetStyleClass(L"body"), nullptr);
    d.LoadStyleSheet(100, L"no-such-library.dll");
    EXPECT_NE(d.GetStyleClass(L"body"), nullptr);

    EXPECT_EQ(CHtmlDrawer::GetResourceStringLine(101, 0), L"Open");
    EXPECT_EQ(CHtmlDrawer::GetResourceStringLine(101, 1), L"Opens a document");
    EXPECT_EQ(CHtmlDrawer::GetResourceStringLine(101, 2), L"Third line");
    EXPECT_EQ(CHtmlDrawer::GetResourceStringLine(101, 3), L"");
    EXPECT_EQ(CHtmlDrawer::GetResourceStringLine(999, 0), L"");
}

TEST(HtmlResources, StringTagDrawsTheResourceText)
{
    MarkupFixture f;
    f.Render(L"<string idres=102> <string iddll=999>x");
    EXPECT_EQ(f.AllText(), L"Hello| |x|");
    auto texts = f.Texts();
    EXPECT_EQ(texts[1].rect.left, f.TextWidth(L"Hello", f.BodyHeight()));
}
