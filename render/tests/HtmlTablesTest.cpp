#include "MarkupTestSupport.h"
#include <gtest/gtest.h>

namespace {
std::vector<MarkupDrawRecord> Records(const MarkupFixture& f, MarkupDrawRecord::Kind kind)
{
    std::vector<MarkupDrawRecord> out;
    for (const auto& r : f.log)
        if (r.kind == kind)
            out.push_back(r);
    return out;
}
}

TEST(HtmlTables, BorderedTableFramesItselfAndItsCells)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    const int w1 = f.TextWidth(L"x", body), w2 = f.TextWidth(L"yy", body);
    const int h = f.Metrics(body).tmHeight;
    SIZE s = f.Prepare(L"<table border=1 bordercolor=red cellpadding=2><tr><td>x</td><td>yy</td></tr></table>");
    // Columns are the cells' outer widths (content + 2 x (border + padding)); the table adds its border.
    const int c1 = w1 + 6, c2 = w2 + 6;
    EXPECT_EQ(s.cx - 1, -1 + (c1 + 1) + (c2 + 1) + 2);
    EXPECT_EQ(s.cy - 1, -1 + (h + 6 + 1) + 2);
    ASSERT_EQ(f.drawer.GetTables().size(), 1u);
    EXPECT_EQ(f.drawer.GetTables()[0].columnWidths, (std::vector<int>{c1, c2}));

    f.Draw(0, 0, s.cx - 1, s.cy - 1);
    auto frames = Records(f, MarkupDrawRecord::Frame);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].rect.left, 0);
    EXPECT_EQ(frames[0].rect.right, s.cx - 1);
    EXPECT_EQ(frames[0].value, 1);
    EXPECT_EQ(frames[0].colour, RGB(255, 0, 0));
    EXPECT_EQ(frames[1].rect.left, 1);
    EXPECT_EQ(frames[1].rect.right, 1 + c1);
    EXPECT_EQ(frames[2].rect.left, 1 + c1 + 1);
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect.left, 1 + 1 + 2);
    EXPECT_EQ(texts[0].rect.top, 1 + 1 + 2);
    EXPECT_EQ(f.Pixel(0, (s.cy - 1) / 2), RGB(255, 0, 0));
    EXPECT_EQ(f.Pixel(1, (s.cy - 1) / 2), RGB(255, 0, 0));   // the cell's frame inside it
    EXPECT_EQ(f.Pixel(2, (s.cy - 1) / 2), RGB(255, 255, 255));
}

TEST(HtmlTables, BorderStylesAndWidths)
{
    struct Case { const wchar_t* markup; int style; int width; } cases[] = {
        {L"<table borderstyle=dotted><tr><td>a</td></tr></table>", 3, 1},
        {L"<table border=3><tr><td>a</td></tr></table>", 1, 3},
        {L"<table border=3 borderstyle=double><tr><td>a</td></tr></table>", 6, 1},
        {L"<table borderstyle=solid border=0><tr><td>a</td></tr></table>", 0, 0},
        {L"<table border=0 borderstyle=solid><tr><td>a</td></tr></table>", 1, 1},
    };
    for (const auto& c : cases) {
        MarkupFixture f;
        f.Render(c.markup);
        auto frames = Records(f, MarkupDrawRecord::Frame);
        if (c.style == 0) {
            EXPECT_TRUE(frames.empty()) << c.markup;
            continue;
        }
        ASSERT_FALSE(frames.empty()) << c.markup;
        EXPECT_EQ(frames[0].value, c.style) << c.markup;
        EXPECT_EQ(frames[0].font.lfHeight, c.width) << c.markup;
    }
    // The double frame: lines at 0 and 2, with a gap between them.
    MarkupFixture d;
    d.Render(L"<table border=3 borderstyle=double><tr><td>aaaa</td></tr></table>");
    const int midY = d.size.cy / 2;
    EXPECT_EQ(d.Pixel(0, midY), RGB(0, 0, 0));
    EXPECT_EQ(d.Pixel(1, midY), RGB(255, 255, 255));
    EXPECT_EQ(d.Pixel(2, midY), RGB(0, 0, 0));
    // Dotted: the left edge alternates.
    MarkupFixture t;
    t.Render(L"<table borderstyle=dotted><tr><td>aaaa<br>bbbb</td></tr></table>");
    int drawn = 0, blank = 0;
    for (int y = 2; y < t.size.cy - 3; ++y)
        (t.Pixel(0, y) == RGB(255, 255, 255) ? blank : drawn)++;
    EXPECT_GT(drawn, 2);
    EXPECT_GT(blank, 2);
    // A cell's own border of 5 still frames it with one pixel.
    MarkupFixture c;
    c.Render(L"<table><tr><td border=5>a</td></tr></table>");
    auto frames = Records(c, MarkupDrawRecord::Frame);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].font.lfHeight, 1);
}

TEST(HtmlTables, BackgroundsAndDisabledOutput)
{
    MarkupFixture f;
    f.Render(L"<table bgcolor=#00FF00 border=1><tr><td>aaaa</td></tr></table>");
    auto fills = Records(f, MarkupDrawRecord::Fill);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0].value, 0);
    EXPECT_EQ(f.Pixel(f.size.cx - 4, 2), RGB(0, 255, 0));

    MarkupFixture g;
    g.Render(L"<table bgcolor=#00FF00 bgeffect=vgradient bgendcolor=blue><tr><td>a</td></tr></table>");
    fills = Records(g, MarkupDrawRecord::Fill);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills[0].value, 2);

    MarkupFixture d;
    d.drawer.EnableOutput(FALSE);
    d.drawer.SetDisabledColor(RGB(90, 90, 90));
    d.Render(L"<table bgcolor=#00FF00 border=1 bordercolor=red><tr><td>a</td></tr></table>");
    EXPECT_TRUE(Records(d, MarkupDrawRecord::Fill).empty());
    auto frames = Records(d, MarkupDrawRecord::Frame);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].colour, RGB(90, 90, 90));
}

TEST(HtmlTables, FixedColumnsAlignAndLooseColumnsStretch)
{
    MarkupFixture f;
    // The table's alignment is inherited by its cells' text unless a cell sets its own.
    f.Prepare(L"<table align=center><tr><td width=50 align=left>a</td><td width=60 align=left>b</td></tr></table>");
    f.Draw(0, 0, 400, 100);
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 2u);
    const int W = -1 + 51 + 61;
    EXPECT_EQ(texts[0].rect.left, (400 - W) / 2);
    EXPECT_EQ(texts[1].rect.left, (400 - W) / 2 + 51);

    MarkupFixture g;
    g.Prepare(L"<table><tr><td>a</td><td>b</td></tr></table>");
    const auto widths = g.drawer.GetTables()[0].columnWidths;
    g.Draw(0, 0, 400, 100);
    texts = g.Texts();
    ASSERT_EQ(texts.size(), 2u);
    const int natural = -1 + widths[0] + 1 + widths[1] + 1;
    const int first = widths[0] + (400 - natural) / 2;
    EXPECT_EQ(texts[1].rect.left, first + 1);
}

TEST(HtmlTables, SpannedCellsWidenTheirColumns)
{
    MarkupFixture f;
    f.Prepare(L"<table><tr><td colspan=2 width=200>wide</td></tr><tr><td width=20>a</td><td width=30>b</td></tr>"
              L"</table>");
    ASSERT_EQ(f.drawer.GetTables().size(), 1u);
    const MarkupTable& t = f.drawer.GetTables()[0];
    EXPECT_EQ(t.columnWidths, (std::vector<int>{95, 105}));
    EXPECT_EQ(t.cells[0][1].colspan, -1);   // the slot the span covers
    EXPECT_EQ(t.fixedColumns, (std::vector<int>{1, 1}));

    MarkupFixture r;
    const int h = r.Metrics(r.BodyHeight()).tmHeight;
    r.Prepare(L"<table><tr><td rowspan=2 height=100>tall</td><td>a</td></tr><tr><td>b</td></tr></table>");
    const MarkupTable& rt = r.drawer.GetTables()[0];
    ASSERT_EQ(rt.rowHeights.size(), 2u);
    EXPECT_EQ(rt.rowHeights[0] + rt.rowHeights[1], 100);
    EXPECT_EQ(rt.rowHeights[1], h + (100 - 2 * h) / 2);
    r.Draw(0, 0, r.size.cx, r.size.cy);
    EXPECT_EQ(r.AllText(), L"tall|a|b|");
}

TEST(HtmlTables, NestedTablesAndSurroundingRuns)
{
    MarkupFixture f;
    const int h = f.Metrics(f.BodyHeight()).tmHeight;
    f.Render(L"above<table border=1><tr><td>out<table border=1><tr><td>in</td></tr></table></td></tr></table>below");
    EXPECT_EQ(f.AllText(), L"above|out|in|below|");
    ASSERT_EQ(f.drawer.GetTables().size(), 2u);
    auto texts = f.Texts();
    EXPECT_EQ(texts[1].rect.top, h + 1 + 1);
    EXPECT_GT(texts[2].rect.top, texts[1].rect.top);
    EXPECT_GT(texts[3].rect.top, texts[2].rect.top + h);
    EXPECT_EQ(texts[3].rect.left, 0);

    MarkupFixture e;   // broken markup never stops the layout
    e.Render(L"<table><td>stray</td><tr><td>x<tr>y</table>z<table>");
    EXPECT_NE(e.AllText().find(L"z"), std::wstring::npos);
}

TEST(HtmlTables, ANestedTablesRowsAndCellsAreItsOwn)
{
    // The outer table has one row and one column; the inner one's two rows and three columns count
    // for the inner table only, so the outer one gets no empty rows or columns beside its cell.
    MarkupFixture f;
    f.Render(L"<table cellspacing=4><tr><td><table><tr><td>a</td><td>b</td><td>c</td></tr><tr><td>d</td></tr>"
             L"</table></td></tr></table>");
    const auto& tables = f.drawer.GetTables();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].cells.size(), 1u);
    EXPECT_EQ(tables[0].columnWidths.size(), 1u);
    EXPECT_EQ(tables[1].cells.size(), 2u);
    EXPECT_EQ(tables[1].columnWidths.size(), 3u);
    // One cell and its spacing: the outer table is as wide as its column and no wider.
    EXPECT_EQ(f.size.cx - 1, 4 - 1 + tables[0].columnWidths[0] + 4 + 1);
}

TEST(HtmlTables, CellsOutsideTheClipBoxAreSteppedOverWithoutShiftingTheOthers)
{
    // Wrapped plain cells (skipped when hidden), link cells, and plain cells inside a link (both
    // kept for their hot areas); the text after the tables must land where it always does.
    std::wstring text = L"<table border=1>";
    for (int r = 0; r < 40; ++r)
        text += L"<tr><td width=60 align=center>row " + std::to_wstring(r) + L" has words that wrap</td><td><a href=x>link " +
                std::to_wstring(r) + L"</a></td></tr>";
    text += L"</table><a href=y><table>";
    for (int r = 0; r < 10; ++r)
        text += L"<tr><td>linked " + std::to_wstring(r) + L"</td></tr>";
    text += L"</table></a><p align=center>after the tables, also wrapped into more than one line of text";

    MarkupFixture whole(400, 4000);
    whole.drawer.SetMaxWidth(200);
    const SIZE size = whole.Prepare(text.c_str());
    ASSERT_GT(size.cy, 600);
    ASSERT_LT(size.cy, 4000);
    whole.Draw(0, 0, size.cx, size.cy);
    const std::vector<MarkupHotArea> wholeAreas = whole.drawer.GetHotAreas();

    // A small canvas scrolled to the end: the first rows lie above it.
    MarkupFixture part(400, 300);
    part.drawer.SetMaxWidth(200);
    part.Prepare(text.c_str());
    const int offset = 300 - size.cy;
    part.Draw(0, offset, size.cx, size.cy);

    std::vector<MarkupDrawRecord> expected;
    for (const MarkupDrawRecord& r : whole.Texts())
        if (r.rect.bottom + offset > 0)
            expected.push_back(r);
    std::vector<MarkupDrawRecord> drawn;
    for (const MarkupDrawRecord& r : part.Texts())
        if (r.rect.bottom > 0)
            drawn.push_back(r);
    ASSERT_EQ(drawn.size(), expected.size());
    ASSERT_FALSE(drawn.empty());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i].text, expected[i].text);
        EXPECT_EQ(drawn[i].rect.left, expected[i].rect.left);
        EXPECT_EQ(drawn[i].rect.top, expected[i].rect.top + offset);
    }
    EXPECT_NE(drawn.back().text.find(L"text"), std::wstring::npos);
    // Fewer pieces were drawn than the whole table has: the hidden cells were stepped over.
    EXPECT_LT(part.Texts().size(), whole.Texts().size());
    ASSERT_EQ(part.drawer.GetHotAreas().size(), wholeAreas.size());
    for (size_t i = 0; i < wholeAreas.size(); ++i)
        EXPECT_EQ(part.drawer.GetHotAreas()[i].area.top, wholeAreas[i].area.top + offset);
}
