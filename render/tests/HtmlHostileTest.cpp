// Hostile markup: every text is prepared and drawn without a crash, an exception, a freeze or a
// runaway of memory, and large but honest texts keep all their content.
#include "render/MarkupLimits.h"
#include "render/tests/MarkupTestSupport.h"
#include "tests/fuzz/HostileMarkup.h"
#include "tests/fuzz/Stopwatch.h"
#include "tests/support/TimeBounds.h"
#include <gtest/gtest.h>
#include <psapi.h>
#include <cstdlib>
#include <map>

namespace {
// Processor time, generous: the quadratic cases took from seconds to minutes. Wall time only
// catches a freeze, with room for a machine shared with many builds.
const double kCpuSecondsPerText = 3.0;
const double kWallSecondsPerText = 60.0;
const SIZE_T kMemoryBudget = 256u * 1024 * 1024;

SIZE_T PeakCommit()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakPagefileUsage;
}

SIZE_T Commit()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// Prepares and draws text as a host does, within the time bounds.
void RenderPromptly(MarkupFixture& f, const std::wstring& text, int maxWidth)
{
    const Stopwatch watch;
    PrepareAndDraw(f.drawer, f.DC(), text, maxWidth);
    if (TimeBoundsHold("processor and wall seconds per hostile text")) {
        EXPECT_LT(watch.CpuSeconds(), kCpuSecondsPerText);
        EXPECT_LT(watch.WallSeconds(), kWallSecondsPerText);
    }
}
}

TEST(HtmlHostile, EveryHostileTextIsPreparedAndDrawnPromptlyInBoundedMemory)
{
    MarkupFixture f(400, 300);
    SetMarkupDrawLogger(nullptr, nullptr);   // the log would only slow the timing down
    const PictureFixtures pictures;
    const SIZE_T base = Commit();
    for (const MarkupCase& c : HostileMarkupCases()) {
        SCOPED_TRACE(c.name);
        RenderPromptly(f, pictures.Fill(c.text), c.maxWidth);
        EXPECT_LT(PeakCommit() - base, kMemoryBudget);
    }
}

TEST(HtmlHostile, RandomMutationsOfMarkupAreDrawnPromptly)
{
    MarkupFixture f(400, 300);
    SetMarkupDrawLogger(nullptr, nullptr);
    const PictureFixtures pictures;
    const SIZE_T base = Commit();
    for (const MarkupCase& c : MutatedMarkupCases(23, 300)) {
        SCOPED_TRACE(c.name);
        RenderPromptly(f, pictures.Fill(c.text), c.maxWidth);
        EXPECT_LT(PeakCommit() - base, kMemoryBudget);
    }
}

TEST(HtmlHostile, LargeHonestTablesKeepEveryCell)
{
    MarkupFixture f;
    std::wstring row, rows;
    for (int i = 0; i < 30000; ++i) {
        row += L"<td>x</td>";
        rows += L"<tr><td>y</td></tr>";
    }
    const struct {
        std::wstring text;
        size_t columns, rows;
    } cases[] = {{L"<table><tr>" + row + L"</tr></table>", 30000, 1},
                 {L"<table>" + rows + L"</table>", 1, 30000},
                 {L"<table><tr><td colspan=900>a</td><td colspan=2>b</td></tr><tr><td>c</td></tr></table>", 902, 2}};
    for (const auto& c : cases) {
        f.Prepare(c.text.c_str());
        ASSERT_EQ(f.drawer.GetTables().size(), 1u);
        EXPECT_EQ(f.drawer.GetTables()[0].columnWidths.size(), c.columns);
        EXPECT_EQ(f.drawer.GetTables()[0].rowHeights.size(), c.rows);
    }
    // The cells are drawn in order where they lie: the first ones at the left, and when the table is
    // scrolled to its end, the last one at the canvas's right edge (none lost on the way).
    f.Prepare(cases[0].text.c_str());
    ASSERT_GT(f.size.cx, 30000);
    for (const int x : {0, 600 - static_cast<int>(f.size.cx)}) {
        SCOPED_TRACE(x);
        const auto texts = f.Draw(x, 0, f.size.cx, f.size.cy);
        int count = 0;
        LONG lastLeft = -1000000, lastRight = 0;
        for (const MarkupDrawRecord& r : texts)
            if (r.kind == MarkupDrawRecord::Text && r.text == L"x" && r.rect.right > 0 && r.rect.left < 600) {
                EXPECT_GT(r.rect.left, lastLeft);
                lastLeft = r.rect.left;
                lastRight = r.rect.right;
                ++count;
            }
        EXPECT_GT(count, 20);
        if (x != 0) {
            EXPECT_LE(lastRight, 600);
            EXPECT_GT(lastRight, 600 - 20);
        }
    }
}

TEST(HtmlHostile, SpansAndSizesPastTheBoundsAreCut)
{
    MarkupFixture f;
    f.Prepare(L"<table><tr><td colspan=1073741823>x</td></tr></table>");
    ASSERT_EQ(f.drawer.GetTables().size(), 1u);
    EXPECT_EQ(f.drawer.GetTables()[0].columnWidths.size(), static_cast<size_t>(kMaxTableSpan));

    f.Render(L"<font size=65536>big</font><font size=-65536>small</font>");
    ASSERT_EQ(f.Texts().size(), 2u);
    for (const MarkupDrawRecord& r : f.Texts())
        EXPECT_EQ(std::abs(r.font.lfHeight), kMaxMarkupFontHeight);

    f.Render(L"<hr size=1000000 width=80>");
    bool line = false;
    for (const MarkupDrawRecord& r : f.log)
        if (r.kind == MarkupDrawRecord::Line) {
            line = true;
            EXPECT_LE(r.font.lfHeight, CDrawManager::MaxPenWidth);   // the logged pen width
        }
    EXPECT_TRUE(line);

    // Tables nested past the bound are left out; the levels above them stay.
    std::wstring nested;
    for (int i = 0; i < kMaxTableDepth + 5; ++i)
        nested += L"<table><tr><td>" + std::to_wstring(i);
    MarkupFixture tall(600, 2000);   // room for every level that is drawn
    tall.Render(nested.c_str());
    EXPECT_NE(tall.AllText().find(L"|" + std::to_wstring(kMaxTableDepth - 1) + L"|"), std::wstring::npos);
    EXPECT_EQ(tall.AllText().find(L"|" + std::to_wstring(kMaxTableDepth) + L"|"), std::wstring::npos);
}

TEST(HtmlHostile, SizesThatWouldBeNegativeCountAsNothing)
{
    const PictureFixtures pictures;
    // Each text draws A, then something of a hostile size, then B, all inside one link.
    const wchar_t* const cases[] = {
        L"<a href=x>A<bmp handle=%BMP% width=4294967291 height=20>B</a>",
        L"<a href=x>A<bmp handle=%BMP% width=-50% height=-50%>B</a>",
        L"<a href=x>A<ilst handle=%BMP% cx=4294967291 cy=4294967291>B</a>",
        L"<a href=x>A<hr width=4294967291>B</a>",
        L"<a href=x>A<font size=4294967291>B</font></a>",
        L"<table cellpadding=4294967291 cellspacing=4294967291><tr><td width=4294967291><a href=x>A</a></td>"
        L"<td width=-4294967291><a href=x>B</a></td></tr></table>",
        L"<table><tr><td width=4294967291%><a href=x>A</a></td><td><a href=x>B</a></td></tr></table>",
    };
    for (const wchar_t* text : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(text)));
        MarkupFixture f;
        f.Render(pictures.Fill(text).c_str());
        EXPECT_GT(f.size.cx, 1);
        const auto texts = f.Texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].text, L"A");
        EXPECT_GE(texts[1].rect.left, texts[0].rect.right) << "B is drawn over A";
        ASSERT_FALSE(f.drawer.GetHotAreas().empty());
        for (const MarkupHotArea& area : f.drawer.GetHotAreas()) {
            EXPECT_LE(area.area.left, area.area.right);
            EXPECT_LE(area.area.top, area.area.bottom);
        }
    }
    // The vocabulary's lengths: none is negative.
    MarkupFixture f;
    EXPECT_EQ(f.drawer.GetLength(L"4294967291", 7, FALSE), 0);
    EXPECT_EQ(f.drawer.GetLength(L"-50%", 200, FALSE), 0);
    EXPECT_EQ(f.drawer.GetLength(L"2147483647", 7, FALSE), 2147483647);
}

TEST(HtmlHostile, ALongWordIsCutIntoLinesThatFitWithNothingLost)
{
    MarkupFixture f;
    const std::wstring word(20000, L'm');
    f.drawer.SetMaxWidth(150);
    f.Prepare(word.c_str());
    // Only lines inside the canvas are drawn: the text is drawn a canvas height further up each
    // time, and each line is taken from the first drawing that shows it.
    std::map<LONG, MarkupDrawRecord> lines;
    for (int page = 0; page * f.canvas.Height() < f.size.cy; ++page) {
        const int shift = page * f.canvas.Height();
        f.Draw(0, -shift, f.size.cx, f.size.cy);
        for (MarkupDrawRecord r : f.Texts()) {
            OffsetRect(&r.rect, 0, shift);
            lines.emplace(r.rect.top, r);
        }
    }
    size_t drawn = 0;
    LONG lastTop = -1;
    for (const auto& line : lines) {
        const MarkupDrawRecord& r = line.second;
        drawn += r.text.size();
        EXPECT_LE(r.rect.right - r.rect.left, 150);
        EXPECT_GT(r.rect.top, lastTop);
        lastTop = r.rect.top;
        // Each line holds the longest prefix that fits: one character more would not.
        if (drawn < word.size()) {
            EXPECT_GT(f.TextWidth(r.text + L"m", 16), 150);
        }
    }
    EXPECT_EQ(drawn, word.size());
}
