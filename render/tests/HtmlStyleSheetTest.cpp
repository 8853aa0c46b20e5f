#include "MarkupTestSupport.h"
#include <gtest/gtest.h>

TEST(MarkupStyleSheet, BuiltInSheetAndReplacement)
{
    CHtmlDrawer d;
    const wchar_t* const builtIn[] = {L"body", L"p", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"pre",
                                      L"code", L"a:link", L"a:hover", L"sub", L"sup", L"big", L"small",
                                      L".cpp-comment"};
    for (const wchar_t* name : builtIn)
        EXPECT_NE(d.GetStyleClass(name), nullptr) << name;
    EXPECT_EQ(d.GetStyleSheet().find(L"body {font-size: 10pt; color:black; font-family:Verdana}\r\n"), 0u);

    d.SetStyleSheet(L"H1 { color:red }  .Note{font-weight:bold} broken { no end");
    EXPECT_EQ(d.GetStyleClass(L"body"), nullptr);
    ASSERT_NE(d.GetStyleClass(L"h1"), nullptr);
    EXPECT_STREQ(d.GetStyleClass(L"H1"), L" color:red ");
    EXPECT_NE(d.GetStyleClass(L".note"), nullptr);
    EXPECT_EQ(d.GetStyleClass(L"broken"), nullptr);
    d.SetStyleSheet(L"no braces at all");
    EXPECT_EQ(d.GetStyleClass(L"no"), nullptr);
    d.SetStyleSheet(L"");
    EXPECT_NE(d.GetStyleClass(L"small"), nullptr);
    d.SetStyleClass(L"My", L"color:blue");
    EXPECT_STREQ(d.GetStyleClass(L"my"), L"color:blue");
    d.RemoveStyleClass(L"MY");
    EXPECT_EQ(d.GetStyleClass(L"my"), nullptr);
}

TEST(MarkupStyleSheet, DeclarationsWriteTheStyleRecord)
{
    MarkupFixture f;
    f.Prepare(L"x");
    CHtmlDrawer& d = f.drawer;
    CMarkupStyle s;
    s.fontSize = 10;
    d.ApplyDeclarations(L"font-size:65%; FONT-FAMILY:\"Courier New\"; font-style:italic; font-weight:bolder;"
                        L" color:#00FF00; background-color:red; text-decoration:underline; vertical-align:top;"
                        L" text-transform:capitalize; text-align:right; margin:5px; padding:3",
                        s);
    EXPECT_EQ(s.fontSize, 7);   // MulDiv rounds 6.5 up
    EXPECT_EQ(s.fontFace, L"courier new");
    EXPECT_TRUE(s.italic);
    EXPECT_EQ(s.fontWeight, 900);
    EXPECT_EQ(s.textColor, RGB(0, 255, 0));
    EXPECT_EQ(s.backgroundMode, OPAQUE);
    EXPECT_EQ(s.backgroundColor, RGB(255, 0, 0));
    EXPECT_TRUE(s.underline);
    EXPECT_EQ(s.verticalAlign, 0);
    EXPECT_EQ(s.textTransform, 3);
    EXPECT_EQ(s.horizontalAlign, 2);
    EXPECT_EQ(s.margin, 5);
    EXPECT_EQ(s.padding, 3);
    d.ApplyDeclarations(L"text-decoration:none; background-color:transparent; color:nosuch; font-weight:300", s);
    EXPECT_FALSE(s.underline);
    EXPECT_EQ(s.backgroundMode, TRANSPARENT);
    EXPECT_EQ(s.textColor, RGB(0, 255, 0));
    EXPECT_EQ(s.fontWeight, 300);

    CMarkupStyle border;
    d.ApplyDeclarations(L"border-style:dotted", border);
    EXPECT_EQ(border.borderStyle, 3);
    EXPECT_EQ(border.borderWidth, 1);
    d.ApplyDeclarations(L"border-style:solid; border-width:0", border);
    EXPECT_EQ(border.borderStyle, 0);
    d.ApplyDeclarations(L"size:4; border-color:blue", border);
    EXPECT_EQ(border.borderStyle, 1);
    EXPECT_EQ(border.borderWidth, 4);
    EXPECT_EQ(border.borderLightColor, RGB(0, 0, 255));
    d.ApplyDeclarations(L"border-width:thick", border);
    EXPECT_EQ(border.borderWidth, 5);

    d.EnableOutput(FALSE);
    d.SetDisabledColor(RGB(7, 7, 7));
    CMarkupStyle disabled;
    d.ApplyDeclarations(L"color:#123456; background-color:red", disabled);
    EXPECT_EQ(disabled.textColor, RGB(7, 7, 7));
    EXPECT_EQ(disabled.backgroundMode, TRANSPARENT);
}

TEST(MarkupStyleSheet, ClassesApplyCaseInsensitively)
{
    CHtmlDrawer d;
    CMarkupStyle s;
    d.ApplyStyleClass(L"H2", s);
    EXPECT_EQ(s.textColor, RGB(0xFF, 0x99, 0x00));
    EXPECT_EQ(s.fontWeight, 700);
    CMarkupStyle none;
    d.ApplyStyleClass(L"undefined", none);
    EXPECT_EQ(none.fontWeight, 400);
    CMarkupStyle pre;
    d.ApplyStyleClass(L"pre", pre);
    EXPECT_EQ(pre.fontFace, L"courier");
    EXPECT_EQ(pre.backgroundMode, OPAQUE);
}
