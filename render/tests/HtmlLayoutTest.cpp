#include "MarkupTestSupport.h"
#include <gtest/gtest.h>

namespace {
const MarkupDrawRecord* FindPiece(const std::vector<MarkupDrawRecord>& texts, const std::wstring& text)
{
    for (const auto& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}
}

TEST(HtmlLayout, BoldDoublesTheWeightUpToNineHundred)
{
    MarkupFixture f;
    f.Render(L"n<b>one<b>two<b>three</b></b></b>n");
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].font.lfWeight, 400);
    EXPECT_EQ(texts[1].font.lfWeight, 800);
    EXPECT_EQ(texts[2].font.lfWeight, 900);
    EXPECT_EQ(texts[3].font.lfWeight, 900);
    EXPECT_EQ(texts[4].font.lfWeight, 400);
    // Pieces follow each other on the line.
    EXPECT_EQ(texts[1].rect.left, texts[0].rect.right);
}

TEST(HtmlLayout, MismatchedClosingTagsAreIgnored)
{
    MarkupFixture f;
    f.Render(L"<i>one</b>two</i>three");
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_TRUE(texts[0].font.lfItalic);
    EXPECT_TRUE(texts[1].font.lfItalic);
    EXPECT_FALSE(texts[2].font.lfItalic);
    f.Render(L"<i>a<em>b</i>c");   // "em" and "i" share their record name
    texts = f.Texts();
    EXPECT_FALSE(texts[1].font.lfItalic);
    EXPECT_TRUE(texts[2].font.lfItalic);
}

TEST(HtmlLayout, FontTagAttributes)
{
    MarkupFixture f;
    f.Render(L"<i><font style=b-iu face=Arial size=20px color=#FF0000>x</font><font style=-b weight=bold>y</font>"
             L"<font weight=lighter bkgnd=yellow>z</font></i>");
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].font.lfWeight, 700);
    EXPECT_FALSE(texts[0].font.lfItalic);
    EXPECT_TRUE(texts[0].font.lfUnderline);
    EXPECT_STREQ(texts[0].font.lfFaceName, L"Arial");
    EXPECT_EQ(texts[0].font.lfHeight, 20);
    EXPECT_EQ(texts[0].colour, RGB(255, 0, 0));
    EXPECT_EQ(texts[1].font.lfWeight, 700);   // "-b" then weight=bold
    EXPECT_TRUE(texts[1].font.lfItalic);
    EXPECT_EQ(texts[2].font.lfWeight, 100);
    // An opaque yellow background behind z.
    EXPECT_EQ(f.Pixel(texts[2].rect.left, texts[2].rect.top), RGB(255, 255, 0));

    MarkupFixture g;
    g.Render(L"<font style=-b>w</font>");
    EXPECT_EQ(g.Texts()[0].font.lfWeight, 400);
}

TEST(HtmlLayout, LineBreaksAdvanceByLineHeights)
{
    MarkupFixture f;
    const int lineHeight = f.Metrics(f.BodyHeight()).tmHeight;
    f.Render(L"a<br>b<br 3>c</br>d<br=2>e<br><br>g");
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0].rect.top, 0);
    EXPECT_EQ(texts[1].rect.top, lineHeight);
    EXPECT_EQ(texts[2].rect.top, 4 * lineHeight);
    EXPECT_EQ(texts[3].rect.top, 5 * lineHeight);   // a closing "br" breaks like an opening one
    EXPECT_EQ(texts[4].rect.top, 7 * lineHeight);
    EXPECT_EQ(texts[5].rect.top, 9 * lineHeight);   // the empty line takes the font's height
    EXPECT_EQ(texts[5].rect.left, 0);
    EXPECT_EQ(f.size.cy, 10 * lineHeight + 1);
}

TEST(HtmlLayout, WordWrapCases)
{
    const int lineHeight = MarkupFixture().Metrics(MarkupFixture().BodyHeight()).tmHeight;
    struct Case { const wchar_t* text; const wchar_t* roomFor; std::wstring expected; } cases[] = {
        {L"first second", L"second", L"first|second|"},
        {L"aa bb", L"aa b", L"aa|bb|"},
        {L"abc.def", L"abc.", L"abc.|def|"},
        {L"a-b-c", L"a-b", L"a-b-|c|"},
        {L"mmmmmmmmmm", L"mmmm", L"mmmm|mmmm|mm|"},
        {L" mmmmmmmm", L"mmmm", L" mmm|mmmm|m|"},
    };
    for (const auto& c : cases) {
        MarkupFixture f;
        const int room = f.TextWidth(c.roomFor, f.BodyHeight());
        f.drawer.SetMaxWidth(room);
        f.Render(c.text);
        EXPECT_EQ(f.AllText(), c.expected) << c.text;
        auto texts = f.Texts();
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].rect.top, static_cast<int>(i) * lineHeight) << c.text << " " << i;
            EXPECT_EQ(texts[i].rect.left, 0) << c.text << " " << i;
        }
    }
}

TEST(HtmlLayout, WordThatDoesNotFitMovesWholeToTheNextLine)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    const int lineHeight = f.Metrics(body).tmHeight;
    f.drawer.SetMaxWidth(f.TextWidth(L"longword", body) + 2);
    f.Render(L"ab<u>longword</u>");
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].text, L"longword");
    EXPECT_EQ(texts[1].rect.left, 0);
    EXPECT_EQ(texts[1].rect.top, lineHeight);
}

TEST(HtmlLayout, TabsMoveToStopsOf32)
{
    MarkupFixture f;
    f.Render(L"<hr width=10px><t>A<br><t 3>B<br><t=0>C");
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].rect.left, 32);
    EXPECT_EQ(texts[1].rect.left, 96);
    EXPECT_EQ(texts[2].rect.left, 32);
}

TEST(HtmlLayout, AlignmentsOffsetLinesInTheDrawingRectangle)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    const int w = f.TextWidth(L"mid", body);
    f.Prepare(L"<center>mid</center><br><right>end</right>");
    f.Draw(0, 0, 300, 100);
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect.left, (300 - w) / 2);
    EXPECT_EQ(texts[1].rect.left, 300 - f.TextWidth(L"end", body));
}

TEST(HtmlLayout, JustifiedLinesFillTheWidthExceptTheLast)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    const int room = f.TextWidth(L"aaa bbb ccc dd", body);
    f.drawer.SetMaxWidth(room);
    f.Prepare(L"<justify>aaa bbb ccc d eee ffff ggg h ii</justify>");
    f.Draw(0, 0, room, 200);
    auto texts = f.Texts();
    ASSERT_GE(texts.size(), 3u);
    for (size_t i = 0; i + 1 < texts.size(); ++i)
        EXPECT_NEAR(texts[i].rect.right, room, 1) << i;
    const auto& last = texts.back();
    EXPECT_EQ(last.rect.right, f.TextWidth(last.text, body));
    EXPECT_LT(last.rect.right, room - 5);
}

TEST(HtmlLayout, PercentRulesWidenTheRun)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    const int shortW = f.TextWidth(L"ab", body);
    const int longW = f.TextWidth(L"a much longer line", body);
    SIZE s = f.Prepare(L"<hr width=50%>ab<br>a much longer line");
    EXPECT_EQ(s.cx - 1, std::max(longW, 1 + shortW + longW / 2));
    // The rule is drawn at half the drawing rectangle's width, centred on the line's height.
    f.Draw(0, 0, 200, 100);
    const MarkupDrawRecord* line = nullptr;
    for (const auto& r : f.log)
        if (r.kind == MarkupDrawRecord::Line)
            line = &r;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->rect.left, 0);
    EXPECT_EQ(line->rect.right, 100);
    const int lineHeight = f.drawer.GetLines()[0].height;
    EXPECT_EQ(line->rect.top, lineHeight / 2);
    EXPECT_GE(lineHeight, 9);
}

TEST(HtmlLayout, TransformsDisabledOutputAndSpans)
{
    MarkupFixture f;
    f.drawer.SetStyleClass(L".shout", L"text-transform:uppercase; color:green");
    f.drawer.SetStyleClass(L".title", L"text-transform:capitalize");
    f.Render(L"<span class=shout>abc</span> <span class=title>one two</span><h1>Head</h1>");
    auto texts = f.Texts();
    ASSERT_NE(FindPiece(texts, L"ABC"), nullptr);
    EXPECT_EQ(FindPiece(texts, L"ABC")->colour, RGB(0, 128, 0));
    EXPECT_NE(FindPiece(texts, L"One Two"), nullptr);
    const MarkupDrawRecord* head = FindPiece(texts, L"Head");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->font.lfWeight, 700);

    f.drawer.EnableOutput(FALSE);
    f.drawer.SetDisabledColor(RGB(120, 121, 122));
    f.Render(L"<font color=#FF0000>x</font><a msg=m>y</a>");
    for (const auto& t : f.Texts())
        EXPECT_EQ(t.colour, RGB(120, 121, 122)) << t.text;
}

TEST(HtmlLayout, EscapedLessThanDrawsAsOneCharacter)
{
    MarkupFixture f;
    f.Render(L"a &lt; b &amp; c");
    EXPECT_EQ(f.AllText(), L"a < b & c|");
    f.Render(L"unclosed <b tag");
    EXPECT_EQ(f.AllText(), L"unclosed|");   // the line's trailing space is not drawn
}

TEST(HtmlLayout, DrawingKeepsTheMeasuredLineBreaks)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    const int lineHeight = f.Metrics(body).tmHeight;
    f.drawer.SetMaxWidth(f.TextWidth(L"aaa bbb", body));
    f.Prepare(L"aaa bbb ccc <justify>ddd eee fff ggg hhh</justify>");
    const size_t lines = f.drawer.GetLines().size();
    f.Draw(0, 0, f.size.cx, 300);
    const int lastTop = f.Texts().back().rect.top;
    EXPECT_GE(lastTop, 3 * lineHeight);
    // A wider (or narrower) drawing rectangle than the measured one does not wrap again.
    const int measured = f.size.cx;
    for (int width : {measured, measured + 1, 400, measured / 2}) {
        f.Draw(0, 0, width, 300);
        auto texts = f.Texts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0].text, L"aaa bbb") << width;
        EXPECT_EQ(texts[1].text, L"ccc ") << width;
        EXPECT_EQ(texts.back().rect.top, lastTop) << width;
        EXPECT_EQ(f.drawer.GetLines().size(), lines);
    }
}
