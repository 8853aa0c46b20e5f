#include "MarkupTestSupport.h"
#include <gtest/gtest.h>

TEST(MarkupString, SubstringsClipAtBothEnds)
{
    CMarkupString s(L"abcdef");
    EXPECT_EQ(s.Mid(2, 3), L"cde");
    EXPECT_EQ(s.Mid(-4, 2), L"ab");
    EXPECT_EQ(s.Mid(4, 100), L"ef");
    EXPECT_EQ(s.Mid(10, 2), L"");
    EXPECT_EQ(s.Mid(1, -3), L"");
    EXPECT_EQ(s.Left(0), L"");
    EXPECT_EQ(s.Left(99), L"abcdef");
    EXPECT_EQ(s.Right(2), L"ef");
    EXPECT_EQ(s.Right(-1), L"");
    CMarkupString mixed(L"Verdana H1");
    EXPECT_EQ(mixed.MakeLower(), L"verdana h1");
    CMarkupString f;
    f.Format(L"<td width=%d>%s</td>", 32, L"wide");
    EXPECT_EQ(f, L"<td width=32>wide</td>");
    std::wstring big(5000, L'x');
    f.Format(L"%s!", big.c_str());
    EXPECT_EQ(f.size(), 5001u);   // grows past the first buffer
}

TEST(MarkupVocabulary, NormalisationReplacesEntitiesOncePerEntity)
{
    MarkupFixture f;
    struct Case { const wchar_t* in; std::wstring out; BOOL convert; } cases[] = {
        {L"&amp;amp;", L"&amp;", TRUE},
        {L"&amp;lt;", L"<<", TRUE},
        {L"a&lt;b", L"a<<b", TRUE},
        {L"&copy;&euro;&trade;&bull;", std::wstring{wchar_t(0xA9), wchar_t(0x80), wchar_t(0x99), wchar_t(0x95)}, TRUE},
        {L"&quot;x&quot;&nbsp;&gt;", L"\"x\" >", TRUE},
        {L"a\r\nb\tc", L"a<br>b<t>c", TRUE},
        {L"a\r\nb\tc", L"abc", FALSE},
    };
    for (const auto& c : cases) {
        f.drawer.EnableLineBreakConversion(c.convert);
        f.Prepare(c.in);
        EXPECT_EQ(f.drawer.GetText(), c.out) << c.in;
    }
}

TEST(MarkupVocabulary, ColoursByHashNumberAndName)
{
    MarkupFixture f;
    CHtmlDrawer& d = f.drawer;
    const COLORREF def = RGB(1, 2, 3);
    EXPECT_EQ(d.GetColor(L"#FF0000", def), RGB(255, 0, 0));
    EXPECT_EQ(d.GetColor(L"#00ff80", def), RGB(0, 255, 128));
    EXPECT_EQ(d.GetColor(L"#F00", def), def);
    EXPECT_EQ(d.GetColor(L"#GG0000", def), def);
    EXPECT_EQ(d.GetColor(L"255", def), RGB(255, 0, 0));
    EXPECT_EQ(d.GetColor(L"0xFF0000", def), RGB(0, 0, 255));
    EXPECT_EQ(d.GetColor(L"010", def), 8u);
    EXPECT_EQ(d.GetColor(L"", def), def);
    EXPECT_EQ(d.GetColor(L"red", def), RGB(255, 0, 0));
    EXPECT_EQ(d.GetColor(L"Red", def), def);
    EXPECT_EQ(d.GetColor(L"darkseagreen", def), RGB(0x8F, 0xBC, 0x8B));
    EXPECT_EQ(d.GetColor(L"lightgrey", def), RGB(0xD3, 0xD3, 0xD3));
    EXPECT_EQ(d.GetColor(L"lightgray", def), def);
    EXPECT_EQ(d.GetColor(L"buttonface", def), GetSysColor(COLOR_BTNFACE));
    d.SetColorName(L"brand", RGB(9, 8, 7));
    EXPECT_EQ(d.GetColor(L"brand", def), RGB(9, 8, 7));
    d.EnableOutput(FALSE);
    d.SetDisabledColor(RGB(100, 100, 100));
    EXPECT_EQ(d.GetColor(L"red", def), RGB(100, 100, 100));
    EXPECT_EQ(d.GetColor(L"nosuchname", def), RGB(100, 100, 100));
    EXPECT_EQ(d.GetColor(L"#FF0000", def), RGB(255, 0, 0));   // numeric colours keep their values
}

TEST(MarkupVocabulary, LengthsInUnitsPercentAndHtmlSizes)
{
    MarkupFixture f;
    f.Prepare(L"x");   // gives the drawer its DC
    CHtmlDrawer& d = f.drawer;
    const int dpi = GetDeviceCaps(f.DC(), LOGPIXELSY);
    EXPECT_EQ(d.GetLength(L"", 7, FALSE), 7);
    EXPECT_EQ(d.GetLength(L"50%", 200, FALSE), 100);
    EXPECT_EQ(d.GetLength(L"12px", 0, FALSE), 12);
    EXPECT_EQ(d.GetLength(L"-5px", 0, FALSE), 5);
    EXPECT_EQ(d.GetLength(L"12pt", 0, FALSE), (12 * dpi) / 72);
    EXPECT_EQ(d.GetLength(L"2cm", 0, FALSE), static_cast<int>((2 * dpi) / 2.54));
    EXPECT_EQ(d.GetLength(L"10mm", 0, FALSE), static_cast<int>((10 * dpi) / 25.4));
    EXPECT_EQ(d.GetLength(L"1in", 0, FALSE), dpi);
    EXPECT_EQ(d.GetLength(L"2pc", 0, FALSE), (2 * dpi) / 6);
    EXPECT_EQ(d.GetLength(L"3", 0, TRUE), 12);
    EXPECT_EQ(d.GetLength(L"3", 0, FALSE), 3);
    EXPECT_EQ(d.GetLength(L"7", 0, TRUE), 36);
    EXPECT_EQ(d.GetLength(L"8", 0, TRUE), 8);
    EXPECT_EQ(d.GetLength(L"0x10", 0, FALSE), 16);
    EXPECT_EQ(d.GetLength(L"abc", 5, FALSE), 0);
    if (dpi == 96) {
        EXPECT_EQ(d.GetLength(L"12pt", 0, FALSE), 16);
        EXPECT_EQ(d.GetLength(L"2cm", 0, FALSE), 75);
    }
    EXPECT_EQ(d.GetEffect(L"transparent", 3), -1);
    EXPECT_EQ(d.GetEffect(L"solid", 3), 0);
    EXPECT_EQ(d.GetEffect(L"metal", 3), 15);
    EXPECT_EQ(d.GetEffect(L"3vgradient", 3), 6);
    EXPECT_EQ(d.GetEffect(L"Metal", 3), 0);   // names are exact; the rest is a number
    EXPECT_EQ(d.GetEffect(L"9", 3), 9);
    EXPECT_EQ(d.GetEffect(L"", 3), 3);
}

TEST(MarkupVocabulary, TagTableAndScanning)
{
    CHtmlDrawer d;
    EXPECT_EQ(d.LookupTag(L"b").id, TagBold);
    EXPECT_EQ(d.LookupTag(L"/em").className, L"italic");
    EXPECT_EQ(d.LookupTag(L"h3").id, TagStyleClass);
    EXPECT_EQ(d.LookupTag(L"h3").className, L"h3");
    EXPECT_EQ(d.LookupTag(L"bottom").className, L"vcenter");
    EXPECT_EQ(d.LookupTag(L"a").id, TagLink);
    EXPECT_EQ(d.LookupTag(L"table").id, TagNone);
    EXPECT_EQ(d.LookupTag(L"B").id, TagNone);

    CMarkupString attrs(L" href=\"http://x y\" msg='go' tooltip=plain bare");
    int pos = 0;
    CMarkupString value;
    EXPECT_EQ(CHtmlDrawer::GetAttribute(attrs, pos, value), L"href");
    EXPECT_EQ(value, L"http://x y");
    EXPECT_EQ(CHtmlDrawer::GetAttribute(attrs, pos, value), L"msg");
    EXPECT_EQ(value, L"go");
    EXPECT_EQ(CHtmlDrawer::GetAttribute(attrs, pos, value), L"tooltip");
    EXPECT_EQ(value, L"plain");
    EXPECT_EQ(CHtmlDrawer::GetAttribute(attrs, pos, value), L"bare");
    EXPECT_EQ(value, L"");

    CMarkupString decl(L"font-family : \"Courier New\"; color:red");
    pos = 11;
    EXPECT_EQ(CHtmlDrawer::GetValueAfter(decl, pos, L':', L";"), L"Courier New");
    EXPECT_EQ(CHtmlDrawer::CountChar(L"a b c", L' '), 2);
    EXPECT_EQ(CHtmlDrawer::TrimRight(L"ab \t"), L"ab");
    EXPECT_EQ(CHtmlDrawer::TrimLeft(L"  ab "), L"ab ");

    CMarkupString text(L"x<<table <table a><table b></table></table> tail</table>");
    pos = 0;
    CHtmlDrawer::FindTag(text, pos, L"table");
    EXPECT_EQ(pos, 9);   // the escaped "<<table" is skipped
    pos += 6;
    CHtmlDrawer::FindTableEnd(text, pos);
    EXPECT_EQ(text.Mid(pos), L"</table> tail</table>");
    pos = 0;
    CHtmlDrawer::FindTag(text, pos, L"nothing");
    EXPECT_EQ(pos, text.Length());

    CMarkupString row(L"<td>a<table><tr><td>in</td></tr></table></td><td>b</td>");
    pos = 3;
    CHtmlDrawer::FindCellEnd(row, pos);
    EXPECT_EQ(row.Mid(pos, 9), L"</td><td>");
}
