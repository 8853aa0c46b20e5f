#include "MarkupTestSupport.h"
#include <gtest/gtest.h>

namespace {
const UINT kHotMessage = WM_APP + 100;
const UINT kLinkMessage = WM_APP + 7;

// A message-only window that records the callback messages of a drawer.
struct CallbackWindow
{
    HWND hwnd = nullptr;
    std::vector<std::pair<UINT, WPARAM>> messages;
    std::wstring lastTarget;

    CallbackWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &CallbackWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MarkupCallbackTest";
        RegisterClassW(&wc);
        hwnd = CreateWindowW(L"MarkupCallbackTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CallbackWindow() { DestroyWindow(hwnd); }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CallbackWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && (msg == kHotMessage || msg == kLinkMessage)) {
            self->messages.push_back({msg, wParam});
            if (msg == kLinkMessage) {
                self->lastTarget = reinterpret_cast<const wchar_t*>(wParam);
                return 77;
            }
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
}

TEST(HtmlDrawer, PreparedSizeIsTheMeasuredTextPlusOne)
{
    MarkupFixture f;
    SIZE s = f.Prepare(L"Hello world");
    const TEXTMETRICW tm = f.Metrics(f.BodyHeight());
    EXPECT_EQ(s.cx, f.TextWidth(L"Hello world", f.BodyHeight()) + 1);
    EXPECT_EQ(s.cy, tm.tmHeight + 1);

    EXPECT_EQ(f.Prepare(nullptr).cx, 0);
    EXPECT_EQ(f.Prepare(L"").cy, 0);
    s = f.Prepare(L"<b></b><nosuchtag>");
    EXPECT_EQ(s.cx, 1);
    EXPECT_EQ(s.cy, 1);
    EXPECT_TRUE(f.drawer.GetText().empty());

    f.drawer.SetMaxWidth(300);
    s = f.Prepare(L"<hr width=500px>");
    EXPECT_EQ(s.cx, 301);
    f.drawer.SetMaxWidth(0);

    f.Prepare(L"first second");
    const wchar_t* tail = f.drawer.GetText().c_str() + 6;
    f.Prepare(tail);
    EXPECT_EQ(f.drawer.GetText(), L"second");
}

TEST(HtmlDrawer, TextDrawsInTheBodyClassAtTheRectangle)
{
    MarkupFixture f;
    f.Render(L"Plain", 10, 20);
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 1u);
    const MarkupDrawRecord& t = texts[0];
    EXPECT_EQ(t.text, L"Plain");
    EXPECT_EQ(t.rect.left, 10);
    EXPECT_EQ(t.rect.top, 20);
    EXPECT_EQ(t.font.lfHeight, f.BodyHeight());
    EXPECT_STREQ(t.font.lfFaceName, L"verdana");
    EXPECT_EQ(t.colour, RGB(0, 0, 0));
    // Something dark was really drawn inside the text's extent.
    int dark = 0;
    for (int y = t.rect.top; y < t.rect.bottom; ++y)
        for (int x = t.rect.left; x < t.rect.right; ++x)
            dark += f.Pixel(x, y) != RGB(255, 255, 255);
    EXPECT_GT(dark, 10);
    EXPECT_EQ(f.Pixel(5, 5), RGB(255, 255, 255));
}

TEST(HtmlDrawer, LinkAcrossTwoLinesLeavesTwoAreasOfOneNumber)
{
    MarkupFixture f;
    const int body = f.BodyHeight();
    f.drawer.SetMaxWidth(f.TextWidth(L"before link", body) + 2);
    f.Render(L"before <a msg=go>link text</a> <a href=\"http://example.invalid/\">next</a>");
    const auto& areas = f.drawer.GetHotAreas();
    ASSERT_GE(areas.size(), 3u);
    EXPECT_EQ(areas[0].linkNumber, 0);
    EXPECT_EQ(areas[1].linkNumber, 0);
    EXPECT_EQ(areas[0].kind, 2);
    EXPECT_EQ(areas[0].target, L"go");
    EXPECT_GT(areas[1].area.top, areas[0].area.top);   // second piece on the next line
    EXPECT_EQ(areas.back().linkNumber, 1);
    EXPECT_EQ(areas.back().kind, 1);
    // Drawing again gives the same areas, not twice as many.
    const size_t count = areas.size();
    f.Draw(0, 0, f.size.cx, f.size.cy);
    EXPECT_EQ(f.drawer.GetHotAreas().size(), count);
}

TEST(HtmlDrawer, HotLinkCallbackFollowsTheMouse)
{
    MarkupFixture f;
    CallbackWindow w;
    f.drawer.SetHotLinkCallback(w.hwnd, kHotMessage, 0);
    f.drawer.SetLinkCallback(w.hwnd, kLinkMessage, 5);
    const int body = f.BodyHeight();
    f.drawer.SetMaxWidth(f.TextWidth(L"aaa", body) + 4);
    f.Render(L"<a msg=first>aaa aaa</a><br><a msg=second>bbb</a>");
    const auto areas = f.drawer.GetHotAreas();
    ASSERT_EQ(areas.size(), 3u);

    POINT p = Centre(areas[0].area);
    f.drawer.OnSetCursor(&p);
    p = Centre(areas[1].area);   // another piece of the same link
    f.drawer.OnSetCursor(&p);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].second, 0u);
    p = Centre(areas[2].area);
    f.drawer.OnSetCursor(&p);
    POINT outside = {590, 390};
    f.drawer.OnSetCursor(&outside);
    f.drawer.OnSetCursor(&outside);
    ASSERT_EQ(w.messages.size(), 3u);
    EXPECT_EQ(w.messages[1].second, 1u);
    EXPECT_EQ(static_cast<int>(w.messages[2].second), -2);
    EXPECT_EQ(f.drawer.GetHotIndex(), -2);

    // Edges are inclusive.
    POINT corner = {areas[2].area.right, areas[2].area.bottom};
    EXPECT_EQ(f.drawer.HitTest(corner), 2);
    POINT past = {areas[2].area.right + 1, areas[2].area.bottom};
    EXPECT_NE(f.drawer.HitTest(past), 2);

    p = Centre(areas[2].area);
    EXPECT_EQ(f.drawer.OnLButtonDown(&p), 77);
    EXPECT_EQ(w.lastTarget, L"second");
    EXPECT_EQ(f.drawer.OnLButtonDown(&outside), -1);
}

TEST(HtmlDrawer, HoveredLinkDrawsInTheHoverClass)
{
    MarkupFixture f;
    f.Render(L"x <a msg=m>link</a>");
    ASSERT_EQ(f.Texts().size(), 2u);
    EXPECT_FALSE(f.Texts()[1].font.lfUnderline);
    EXPECT_EQ(f.Texts()[1].colour, RGB(0, 0, 255));
    POINT p = Centre(f.drawer.GetHotAreas()[0].area);
    f.drawer.OnSetCursor(&p);
    f.Render(L"x <a msg=m>link</a>");
    EXPECT_TRUE(f.Texts()[1].font.lfUnderline);
}

TEST(HtmlDrawer, TimerAdvancesAnimationRecords)
{
    CHtmlDrawer d;
    EXPECT_FALSE(d.OnTimer());
    d.GetAnimations().push_back(MarkupAnimation{0, 4, 0, 3});
    d.GetAnimations().push_back(MarkupAnimation{0, 0, 0, 1});   // not animated
    std::vector<int> frames;
    std::vector<BOOL> results;
    for (int i = 0; i < 13; ++i) {
        results.push_back(d.OnTimer());
        frames.push_back(d.GetAnimations()[0].frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0}));
    EXPECT_EQ(results, (std::vector<BOOL>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0}));
    EXPECT_EQ(d.GetAnimations()[1].frame, 0);
}

TEST(HtmlDrawer, ImageShadowSettings)
{
    CHtmlDrawer d;
    EXPECT_EQ(d.GetShadowColor(), RGB(128, 128, 128));
    d.SetImageShadow(4, 4, 0, TRUE, 7, 7);
    EXPECT_EQ(d.GetShadowColor(), RGB(255, 255, 255));
    d.SetImageShadow(4, 4, 100, TRUE, 7, 7);
    EXPECT_EQ(d.GetShadowColor(), RGB(0, 0, 0));
    d.SetImageShadow(4, 4, 250, TRUE, 7, 7);
    EXPECT_EQ(d.GetShadowColor(), RGB(0, 0, 0));
    EXPECT_NE(d.GetHandCursor(), nullptr);
}

TEST(HtmlDrawer, LinesOutsideTheClipBoxAreNotDrawnAndKeepTheirLinks)
{
    std::wstring text;
    for (int i = 0; i < 60; ++i)
        text += L"line " + std::to_wstring(i) + (i == 50 ? L" <a href=x>far link</a>" : L"") + L"<br>";
    // One fixture at a time: the drawing log goes to the last one made.
    std::vector<MarkupDrawRecord> tallTexts;
    std::vector<MarkupHotArea> tallAreas;
    {
        MarkupFixture tall(600, 2000);
        tall.Render(text.c_str());
        tallTexts = tall.Texts();
        tallAreas = tall.drawer.GetHotAreas();
    }
    MarkupFixture small(600, 100);
    small.Render(text.c_str());
    EXPECT_EQ(61u, tallTexts.size()) << "every line and the link";
    EXPECT_LT(small.Texts().size(), 10u) << "only what the canvas shows";
    ASSERT_EQ(tallAreas.size(), small.drawer.GetHotAreas().size());
    for (size_t i = 0; i < tallAreas.size(); ++i)
        EXPECT_TRUE(EqualRect(&tallAreas[i].area, &small.drawer.GetHotAreas()[i].area));
    // Moved up into view, the far line is drawn where the tall canvas has it.
    const RECT distant = tallTexts[51].rect;
    small.Draw(0, -distant.top + 10, small.size.cx, small.size.cy);
    bool found = false;
    for (const MarkupDrawRecord& r : small.Texts())
        found = found || (r.text == L"far link" && r.rect.left == distant.left && r.rect.top == 10);
    EXPECT_TRUE(found);
}
