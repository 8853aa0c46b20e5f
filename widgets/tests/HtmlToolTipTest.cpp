// The markup tooltip on a real desktop: delays, hiding, placement and flipping at the screen's edge,
// drawn text, toolbar and menu tips, the owner's notification.
#include "framework/WindowImpl.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowPixels.h"
#include "widgets/HtmlToolTip.h"
#include "widgets/tests/DrawnText.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <algorithm>
#include <string>

namespace {

// A window the tips belong to; it can rewrite a tip's record when told one is about to show.
class CToolWindow : public CWindowImpl<CToolWindow>
{
public:
    int notifications = 0;
    UINT notifiedId = 0;
    const wchar_t* replacement = nullptr;
    bool recolour = false;             // the owner paints the tip in its own colour
    COLORREF colour = 0;
    DWORD behaviour = 0;               // and gives it these behaviour flags

    CHtmlToolTip* relayTo = nullptr;

    BEGIN_MSG_MAP(CToolWindow)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouse)
    END_MSG_MAP()

    // The host's part: its mouse messages go to the tooltip.
    LRESULT OnMouse(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (relayTo && GetCurrentMessage())
            relayTo->RelayEvent(GetCurrentMessage());
        bHandled = FALSE;
        return 0;
    }

    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
    {
        auto* notify = reinterpret_cast<HtmlToolTipNotify*>(lParam);
        if (notify->header.code != CHtmlToolTip::kNotifyCode) {
            bHandled = FALSE;
            return 0;
        }
        ++notifications;
        notifiedId = notify->toolId;
        if (replacement)
            notify->record->text = replacement;
        if (recolour)
            std::fill(notify->record->colors, notify->record->colors + 3, colour);
        if (behaviour)
            notify->record->behaviour = behaviour;
        return 0;
    }
};

// A window behind the tips: green on its left half, blue on its right. The tests relay its mouse
// moves themselves, once the cursor has settled: a late event of the display server can put the
// cursor back for a moment, and a tip that follows would follow it.
class CBackdrop : public CWindowImpl<CBackdrop>
{
public:
    static constexpr COLORREF kLeft = RGB(0, 160, 0);
    static constexpr COLORREF kRight = RGB(0, 0, 200);

    BEGIN_MSG_MAP(CBackdrop)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnErase)
    END_MSG_MAP()

    LRESULT OnErase(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        RECT client;
        GetClientRect(&client);
        RECT left = client, right = client;
        left.right = right.left = client.right / 2;
        HBRUSH green = CreateSolidBrush(kLeft), blue = CreateSolidBrush(kRight);
        FillRect(reinterpret_cast<HDC>(wParam), &left, green);
        FillRect(reinterpret_cast<HDC>(wParam), &right, blue);
        DeleteObject(green);
        DeleteObject(blue);
        return 1;
    }
};

POINT Centre(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class HtmlToolTipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RECT rect = {100, 100, 340, 200};
        ASSERT_NE(nullptr, tools.Create(nullptr, rect, L"tools", WS_POPUP | WS_VISIBLE));
        ASSERT_NE(nullptr, tip.Create(tools));
        tools.relayTo = &tip;
    }
    void TearDown() override
    {
        if (tip.IsWindow())
            tip.DestroyWindow();
        if (tools.IsWindow())
            tools.DestroyWindow();
    }

    // Puts the cursor there and relays the move as the host's message loop would.
    void MoveTo(POINT screen)
    {
        EXPECT_TRUE(PlaceCursor(screen));
        MSG msg = {tools, WM_MOUSEMOVE, 0, 0, GetTickCount(), screen};
        tip.RelayEvent(&msg);
    }
    bool Visible() const { return IsWindowVisible(tip.m_hWnd) != FALSE; }

    CToolWindow tools;
    CHtmlToolTip tip;
};

TEST_F(HtmlToolTipTest, TipShowsAfterTheInitialDelayAndHidesAfterTheAutomaticHideDelay)
{
    EXPECT_EQ(500u, tip.GetDelayTime(CHtmlToolTip::kDelayInitial));
    EXPECT_EQ(5000u, tip.GetDelayTime(CHtmlToolTip::kDelayAutoPop));
    tip.AddTool(tools, L"<b>Routes</b> the channel", nullptr, 7);
    MoveTo(Centre(tools));
    const DWORD start = GetTickCount();
    PumpMessagesFor(250);
    EXPECT_FALSE(Visible()) << "shown before the initial delay";
    ASSERT_TRUE(PumpMessagesUntil([&] { return Visible(); }, 5000));
    const DWORD shownAfter = GetTickCount() - start;
    EXPECT_GE(shownAfter, 450u);
    EXPECT_EQ(CHtmlToolTip::kShown, tip.GetState()) << "no fade with steps of 0";
    EXPECT_EQ(7u, tip.GetDisplayedTool().id);

    const DWORD shown = GetTickCount();
    ASSERT_TRUE(PumpMessagesUntil([&] { return !Visible(); }, 15000));
    const DWORD hiddenAfter = GetTickCount() - shown;
    EXPECT_GE(hiddenAfter, 4800u);
    EXPECT_EQ(CHtmlToolTip::kHidden, tip.GetState());
    EXPECT_EQ(100, tip.GetTransparency()) << "ended fully transparent";
}

TEST_F(HtmlToolTipTest, MovingBeforeTheDelayRestartsItAndMovingOffAllToolsHides)
{
    tip.SetDelayTime(CHtmlToolTip::kDelayInitial, 400);
    tip.AddTool(tools, L"tip text");
    POINT at = Centre(tools);
    MoveTo(at);
    PumpMessagesFor(250);
    at.x += 5;
    MoveTo(at);   // the same tool, before its tip came: the delay starts again
    PumpMessagesFor(250);
    EXPECT_FALSE(Visible()) << "the first move's delay should not count";
    POINT cursor = {};
    ASSERT_TRUE(PumpMessagesUntil([&] { return Visible(); }, 5000))
        << "state " << tip.GetState() << ", cursor " << (GetCursorPos(&cursor), cursor.x) << "," << cursor.y
        << " expected " << at.x << "," << at.y;

    MoveTo(POINT{at.x, at.y + 400});   // off the tool window
    EXPECT_FALSE(Visible()) << "hidden at once";
    EXPECT_EQ(CHtmlToolTip::kHidden, tip.GetState());
    PumpMessagesFor(600);
    EXPECT_FALSE(Visible()) << "and nothing comes back";
}

TEST_F(HtmlToolTipTest, KeysAndButtonsHideTheTipButButtonUpDoesNot)
{
    const UINT hiding[] = {WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONDBLCLK, WM_MOUSEWHEEL, WM_KEYDOWN,
                           WM_SYSKEYDOWN, WM_NCLBUTTONDOWN, WM_LBUTTONDOWN};
    HtmlToolInfo record;
    record.text = L"tip text";
    const POINT at = {300, 300};
    for (UINT message : hiding) {
        SCOPED_TRACE(message);
        tip.ShowHelpTooltip(at, record);
        ASSERT_TRUE(Visible());
        MSG up = {tools, WM_LBUTTONUP, 0, 0, 0, at};
        tip.RelayEvent(&up);
        EXPECT_TRUE(Visible()) << "button up";
        MSG msg = {tools, message, 0, 0, 0, at};
        tip.RelayEvent(&msg);
        EXPECT_FALSE(Visible());
        EXPECT_EQ(CHtmlToolTip::kHidden, tip.GetState());
    }
}

TEST_F(HtmlToolTipTest, FadeStepsFadeTheTipInAndOut)
{
    tip.SetDelayTime(CHtmlToolTip::kDelayFadeIn, 30);
    tip.SetDelayTime(CHtmlToolTip::kDelayFadeOut, 30);
    HtmlToolInfo record;
    record.text = L"fading";
    tip.ShowHelpTooltip(POINT{300, 300}, record);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(CHtmlToolTip::kAppearing, tip.GetState());
    EXPECT_EQ(100, tip.GetTransparency()) << "starts invisible";
    ASSERT_TRUE(PumpMessagesUntil([&] { return tip.GetState() == CHtmlToolTip::kShown; }, 5000));
    EXPECT_EQ(0, tip.GetTransparency());

    tip.HideTooltip();
    EXPECT_EQ(CHtmlToolTip::kHiding, tip.GetState());
    EXPECT_TRUE(Visible()) << "still fading out";
    ASSERT_TRUE(PumpMessagesUntil([&] { return !Visible(); }, 5000));
    EXPECT_EQ(CHtmlToolTip::kHidden, tip.GetState());
}

TEST(HtmlToolTipPlacement, DirectionFlipsAtTheScreensEdges)
{
    CHtmlToolTip tip;   // geometry only: no window needed
    const RECT screen = {0, 0, 1000, 700};
    const SIZE body = {200, 80};
    struct Case { const char* name; int direction; POINT at; int expected; };
    const Case cases[] = {
        {"room below", 0x10, {500, 300}, 0x10},
        {"right edge opens to the left", 0x10, {980, 300}, 0x12},
        {"left edge opens to the right", 0x12, {30, 300}, 0x10},
        {"bottom edge opens above", 0x10, {500, 690}, 0x00},
        {"bottom right corner", 0x10, {975, 690}, 0x02},
        {"top edge opens below", 0x01, {500, 5}, 0x11},
        {"right side at the right edge goes left", 0x30, {950, 300}, 0x20},
        {"left side at the left edge goes right", 0x20, {30, 300}, 0x30},
        {"right side at the bottom aligns upward", 0x30, {500, 680}, 0x32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int direction = c.direction;
        RECT bodyInWindow;
        POINT anchor;
        const RECT target = {c.at.x, c.at.y, c.at.x, c.at.y};
        const RECT window = tip.PlaceTip(body, target, screen, &direction, &bodyInWindow, &anchor);
        EXPECT_EQ(c.expected, direction);
        EXPECT_GE(window.left, screen.left);
        EXPECT_GE(window.top, screen.top);
        EXPECT_LE(window.right, screen.right);
        EXPECT_LE(window.bottom, screen.bottom);
        EXPECT_EQ(body.cx, bodyInWindow.right - bodyInWindow.left);
        EXPECT_EQ(body.cy, bodyInWindow.bottom - bodyInWindow.top);
        // The tip opens on its side of the target.
        switch (direction & 0xF0) {
        case 0x00: EXPECT_LE(window.bottom, c.at.y); break;
        case 0x10: EXPECT_GE(window.top, c.at.y); break;
        case 0x20: EXPECT_LE(window.right, c.at.x); break;
        case 0x30: EXPECT_GE(window.left, c.at.x); break;
        }
    }
}

TEST_F(HtmlToolTipTest, BalloonDrawsItsTextFillAndBorderInsideItsShapeAndTellsTheOwnerFirst)
{
    const COLORREF fill = RGB(255, 255, 225);
    const COLORREF border = RGB(40, 40, 40);
    const COLORREF textBlue = RGB(0, 0, 200);
    tip.SetColorBk(fill);
    tip.SetBorder(border, 1, 1);
    tip.SetNotify(TRUE);
    tools.replacement = L"<font color=0xC80000 size=5><b>Channel A</b></font><br>Routes live audio.";
    HtmlToolInfo record;
    record.id = 42;
    record.text = L"replaced by the owner";
    const POINT at = {300, 300};
    tip.ShowHelpTooltip(at, record);
    ASSERT_TRUE(Visible());
    PumpMessagesFor(100);
    EXPECT_EQ(1, tools.notifications);
    EXPECT_EQ(42u, tools.notifiedId);

    RECT window;
    tip.GetWindowRect(&window);
    EXPECT_EQ(0x10, tip.GetShownDirection());
    EXPECT_GE(window.top, at.y) << "below the point";
    PixelImage pixels = CaptureScreenPixels(tip);
    ASSERT_FALSE(pixels.Empty());
    EXPECT_TRUE(SavePixelsAsPng(pixels, ScreenshotFolder() + L"\\html_balloon_tooltip.png"));
    const RECT& body = tip.GetBodyRect();
    EXPECT_GT(pixels.Count(textBlue, body.left, body.top, body.right, body.bottom), 20) << "the text";
    EXPECT_GT(pixels.Count(fill, body.left, body.top, body.right, body.bottom),
              (body.right - body.left) * (body.bottom - body.top) / 3) << "the fill";
    EXPECT_GT(pixels.Count(border, body.left, body.top, body.right, body.bottom), 50) << "the border";
    // The shape: rounded corners cut, the body and its shadow (offset 6, 6) in.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(tip, shape));
    EXPECT_FALSE(PtInRegion(shape, body.left, body.top));
    EXPECT_TRUE(PtInRegion(shape, (body.left + body.right) / 2, (body.top + body.bottom) / 2));
    EXPECT_TRUE(PtInRegion(shape, body.right + 3, (body.top + body.bottom) / 2)) << "the shadow";
    DeleteObject(shape);
    // Whatever lies under the cut corner shows there, not the fill.
    EXPECT_NE(fill, pixels.At(body.left, body.top + 1) & 0xFFFFFF);
    // The anchor, above the body, shares its fill.
    EXPECT_GT(pixels.Count(fill, body.left, 0, body.right, body.top), 20) << "the anchor";

    tip.OnMenuSelect(0, MF_SEPARATOR, GetSystemMenu(tools, FALSE));
    EXPECT_FALSE(Visible()) << "a menu separator hides the tip";
}

TEST_F(HtmlToolTipTest, DiagnosticTableShowsOtherWindowsTextsAsTheyStand)
{
    const wchar_t title[] = L"<a href=\"x\">Click</a></td> &lt;&amp;";
    HWND other = CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    const CMarkupString markup = tip.BuildDiagnosticText(other, POINT{1, 2});
    CHtmlDrawer reference;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 600);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SIZE size = {0, 0};
    reference.PrepareOutput(dc, markup.c_str(), &size);
    std::wstring drawn;
    {
        const CDrawnText texts;
        RECT rect = {0, 0, size.cx, size.cy};
        reference.DrawPreparedOutput(dc, &rect);
        drawn = texts.Text();
    }
    EXPECT_NE(std::wstring::npos, drawn.find(title)) << std::string(drawn.begin(), drawn.end());
    EXPECT_TRUE(reference.GetHotAreas().empty()) << "the title made a link";
    EXPECT_EQ(4u, reference.GetTables().size()) << "the title changed the table";
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(other);
}

TEST(HtmlToolTipTimers, AnimationPeriodZeroBeforeCreationStartsNoTimer)
{
    for (UINT period : {0u, 40u}) {
        CHtmlToolTip tip;
        tip.SetDelayTime(CHtmlToolTip::kDelayAnimation, period);
        ASSERT_NE(nullptr, tip.Create(nullptr));
        EXPECT_EQ(period != 0, KillTimer(tip, CHtmlToolTip::kAnimationTimer) != FALSE) << period;
        tip.DestroyWindow();
    }
}

COLORREF ScreenPixel(POINT at)
{
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour & 0xFFFFFF;
}

// The colour most of the tip's body has, read from the screen.
COLORREF BodyColour(CHtmlToolTip& tip, int x)
{
    PixelImage pixels = CaptureScreenPixels(tip);
    const RECT& body = tip.GetBodyRect();
    return pixels.Empty() ? CLR_INVALID : pixels.At(x < 0 ? body.right + x : body.left + x,
                                                     (body.top + body.bottom) / 2 + 2) & 0xFFFFFF;
}

TEST_F(HtmlToolTipTest, EachToolHasItsOwnLooksAndTheOwnerHasTheLastWord)
{
    const COLORREF own = RGB(255, 255, 160);
    const COLORREF tool = RGB(250, 180, 180);
    const COLORREF owner = RGB(170, 240, 170);
    tip.SetColorBk(own);
    tip.SetBorder(RGB(0, 0, 0), 0, 0);
    tip.SetImageShadow(0, 0, 50, FALSE, 7, 7);
    struct Case
    {
        const char* name;
        DWORD mask;
        int effect;
        bool ownerRecolours;
        COLORREF left, right;   // the body's colour near its left and right ends
    } cases[] = {
        {"the tooltip's own", 0, 0, false, own, own},
        {"the tool's colours", HtmlToolInfo::kMaskColors, 0, false, tool, tool},
        {"the owner's colours", 0, 0, true, owner, owner},
        {"the tool's effect", HtmlToolInfo::kMaskEffect | HtmlToolInfo::kMaskColors, EffectHGradient, false,
         RGB(255, 0, 0), RGB(0, 0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HtmlToolInfo record;
        record.text = L"A tip wide enough to show a gradient from end to end";
        record.mask = c.mask;
        record.effect = c.effect;
        if (c.effect == EffectHGradient) {
            record.colors[0] = record.colors[1] = RGB(255, 0, 0);
            record.colors[2] = RGB(0, 0, 255);
        } else {
            std::fill(record.colors, record.colors + 3, tool);
        }
        tools.recolour = c.ownerRecolours;
        tools.colour = owner;
        tip.SetNotify(c.ownerRecolours ? tools.m_hWnd : nullptr);
        tip.ShowHelpTooltip(POINT{300, 300}, record);
        ASSERT_TRUE(Visible());
        PumpMessagesFor(50);
        const COLORREF left = BodyColour(tip, 3);
        const COLORREF right = BodyColour(tip, -4);
        if (c.effect == EffectHGradient) {
            EXPECT_GT(GetRValue(left), 200);
            EXPECT_LT(GetBValue(left), 60);
            EXPECT_LT(GetRValue(right), 60);
            EXPECT_GT(GetBValue(right), 200);
        } else {
            EXPECT_EQ(c.left, left);
            EXPECT_EQ(c.right, right);
        }
        tip.HideTooltip();
    }
}

TEST_F(HtmlToolTipTest, ShadowIsSoftAndFollowsTheTipOverWhatItCovers)
{
    CBackdrop backdrop;
    RECT area = {150, 250, 850, 550};
    ASSERT_NE(nullptr, backdrop.Create(nullptr, area, L"backdrop", WS_POPUP | WS_VISIBLE));
    backdrop.UpdateWindow();
    tip.AddTool(backdrop, L"<b>Follows</b> the mouse", nullptr, 3);
    tip.SetDelayTime(CHtmlToolTip::kDelayInitial, 20);
    struct Case { const char* name; bool ownerSaysFollow; } cases[] = {{"the tooltip's flag", false},
                                                                       {"the owner's flag", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tip.SetBehaviour(c.ownerSaysFollow ? 0u : static_cast<DWORD>(CHtmlToolTip::kFollowMouse));
        tools.behaviour = c.ownerSaysFollow ? static_cast<DWORD>(CHtmlToolTip::kFollowMouse) : 0u;
        tip.SetNotify(tools.m_hWnd);
        const POINT start = {area.left + 60, area.top + 40};
        MSG msg = {backdrop, WM_MOUSEMOVE, 0, 0, GetTickCount(), start};
        ASSERT_TRUE(PlaceCursor(start));
        tip.RelayEvent(&msg);
        ASSERT_TRUE(PumpMessagesUntil([&] { return Visible(); }, 5000));
        PumpMessagesFor(50);
        const RECT& body = tip.GetBodyRect();
        const int y = (body.top + body.bottom) / 2 + 4;
        PixelImage before = CaptureScreenPixels(tip);
        ASSERT_FALSE(before.Empty());
        const COLORREF inner = before.At(body.right + 1, y) & 0xFFFFFF;
        const COLORREF outer = before.At(body.right + 5, y) & 0xFFFFFF;
        EXPECT_LT(GetGValue(inner), GetGValue(CBackdrop::kLeft) * 3 / 4) << "darkened";
        EXPECT_GT(GetGValue(outer), GetGValue(inner) + 10) << "softer toward its edge";

        RECT was;
        tip.GetWindowRect(&was);
        const POINT moved = {start.x + 400, start.y + 10};   // onto the blue half
        // The display shows what the backdrop painted a moment after it painted it.
        ASSERT_TRUE(PumpMessagesUntil([&] { return ScreenPixel(POINT{was.right + 410, was.bottom}) == CBackdrop::kRight; },
                                      3000));
        msg.pt = moved;
        ASSERT_TRUE(PlaceCursor(moved));
        tip.RelayEvent(&msg);
        PumpMessagesFor(50);
        ASSERT_TRUE(Visible()) << "the tip follows instead of hiding";
        RECT now;
        tip.GetWindowRect(&now);
        EXPECT_EQ(was.left + 400, now.left);
        EXPECT_EQ(was.top + 10, now.top);
        // Read once the display has the tip's new picture (it reaches the screen a moment later).
        COLORREF shadow = 0;
        PumpMessagesUntil([&] {
            PixelImage after = CaptureScreenPixels(tip);
            shadow = after.Empty() ? 0 : after.At(body.right + 1, y) & 0xFFFFFF;
            return GetBValue(shadow) > 40;
        }, 2000);
        EXPECT_GT(GetBValue(shadow), 40) << "the shadow darkens the blue it now lies on";
        EXPECT_LT(GetGValue(shadow), 20) << "not the green it was first shown on";
        tip.HideTooltip();
        ASSERT_TRUE(PlaceCursor(POINT{area.left + 5, area.bottom + 100}));
        msg.pt = POINT{area.left + 5, area.bottom + 100};
        tip.RelayEvent(&msg);
    }
    backdrop.DestroyWindow();
}

TEST_F(HtmlToolTipTest, ToolbarButtonExplainsItselfWithTheSecondLineOfItsString)
{
    InitCommonControls();
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_TOP,
                                   0, 0, 0, 0, tools, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, toolbar);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[2] = {};
    buttons[0].iBitmap = I_IMAGENONE;
    buttons[0].idCommand = 40002;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].iString = reinterpret_cast<INT_PTR>(L"Save");
    buttons[1] = buttons[0];
    buttons[1].idCommand = 40001;
    buttons[1].iString = reinterpret_cast<INT_PTR>(L"Open");
    SendMessageW(toolbar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    tip.AddToolBar(toolbar);
    tip.SetDelayTime(CHtmlToolTip::kDelayInitial, 50);

    RECT button;
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button)));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    MoveTo(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    ASSERT_TRUE(PumpMessagesUntil([&] { return Visible(); }, 5000));
    EXPECT_EQ(L"Opens a file", std::wstring(tip.GetDisplayedTool().text));
    EXPECT_EQ(40001u, tip.GetDisplayedTool().id);
    RECT window;
    tip.GetWindowRect(&window);
    EXPECT_GE(window.top, button.bottom) << "the tip points at the button from below";
    EXPECT_EQ(button.bottom, tip.GetAnchorPoint().y);
}

}  // namespace
