// The HTML static control on a real window: where its text lands, links, hover, disabled look, font,
// text buffer protocol, shape and timer, read back as pixels and messages.
#include "framework/WindowImpl.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowPixels.h"
#include "widgets/HtmlStatic.h"
#include "widgets/tests/DrawnText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr UINT kLinkMessage = WM_APP + 5;

// A plain host window that records the link callbacks of its children.
class CHostWindow : public CWindowImpl<CHostWindow>
{
public:
    struct Call { std::wstring text; LPARAM lParam; };
    std::vector<Call> calls;

    BEGIN_MSG_MAP(CHostWindow)
        MESSAGE_HANDLER(kLinkMessage, OnLink)
    END_MSG_MAP()

    LRESULT OnLink(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        calls.push_back({reinterpret_cast<const wchar_t*>(wParam), lParam});
        return 1;
    }
};

struct Box { int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; bool Empty() const { return right < 0; } };

// The bounding box of every pixel that is not the background.
Box InkBox(const PixelImage& image, COLORREF background)
{
    Box box;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((image.At(x, y) & 0xFFFFFF) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

class HtmlStaticTest : public ::testing::Test
{
protected:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 100;

    void SetUp() override
    {
        RECT rect = {40, 40, 440, 240};
        ASSERT_NE(nullptr, host.Create(nullptr, rect, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN));
    }
    void TearDown() override
    {
        if (host.IsWindow())
            host.DestroyWindow();
    }

    // A control on white with black text.
    HWND MakeControl(DWORD style, const wchar_t* text)
    {
        RECT rect = {10, 10, 10 + kWidth, 10 + kHeight};
        HWND hWnd = control.Create(host, rect, text, WS_CHILD | WS_VISIBLE | style, 0, 100);
        if (hWnd) {
            control.SetBkColor(kWhite);
            control.SetTextColor(kBlack);
        }
        return hWnd;
    }
    PixelImage Paint()
    {
        control.Invalidate(FALSE);
        control.UpdateWindow();
        return CaptureClientPixels(control);
    }
    // The centre of the first drawn piece of the first link, in client coordinates.
    POINT LinkPoint()
    {
        const auto& areas = control.GetDrawer().GetHotAreas();
        if (areas.empty())
            return POINT{-1, -1};
        const RECT& r = areas.front().area;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    CHostWindow host;
    CHtmlStatic control;
};

TEST_F(HtmlStaticTest, AlignmentFromFlagsOrStyleMovesTheTextsInkWhereItBelongs)
{
    enum Where { kStart, kCentre, kEnd };
    struct Case { const char* name; DWORD style; UINT flags; int marginX; int marginY; Where h; Where v; };
    const Case cases[] = {
        {"left style, top", SS_LEFT, 0, 0, 0, kStart, kStart},
        {"centre style", SS_CENTER, 0, 0, 0, kCentre, kStart},
        {"right style", SS_RIGHT, 0, 0, 0, kEnd, kStart},
        {"centre image centres vertically", SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, kStart, kCentre},
        {"flags beat the style", SS_RIGHT, CHtmlStatic::kAlignHCenter | CHtmlStatic::kAlignVCenter, 0, 0, kCentre,
         kCentre},
        {"right bottom with margins", SS_LEFT, CHtmlStatic::kAlignRight | CHtmlStatic::kAlignBottom, 20, 10, kEnd,
         kEnd},
        {"left top with margins", SS_CENTER, CHtmlStatic::kAlignLeft | CHtmlStatic::kAlignTop, 20, 10, kStart,
         kStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, MakeControl(c.style, L"<b>Wide text</b>"));
        control.SetMargins(c.marginX, c.marginY);
        control.SetAlign(c.flags);
        const Box ink = InkBox(Paint(), kWhite);
        ASSERT_FALSE(ink.Empty()) << "nothing drawn";
        const int inkWidth = ink.right - ink.left;
        const int inkHeight = ink.bottom - ink.top;
        EXPECT_LT(inkWidth, kWidth / 2);
        const int tolerance = 4;
        switch (c.h) {
        case kStart: EXPECT_NEAR(c.marginX, ink.left, tolerance); break;
        case kCentre: EXPECT_NEAR(kWidth / 2, (ink.left + ink.right) / 2, tolerance); break;
        case kEnd: EXPECT_NEAR(kWidth - c.marginX, ink.right, tolerance); break;
        }
        // Text leaves room above and below its ink (ascent, descent): looser vertically.
        switch (c.v) {
        case kStart: EXPECT_NEAR(c.marginY, ink.top, 2 * tolerance); break;
        case kCentre: EXPECT_NEAR(kHeight / 2, (ink.top + ink.bottom) / 2, 2 * tolerance); break;
        case kEnd: EXPECT_NEAR(kHeight - c.marginY, ink.bottom, 2 * tolerance); break;
        }
        EXPECT_GT(inkHeight, 4);
        control.DestroyWindow();
    }
}

TEST_F(HtmlStaticTest, ContentWiderThanTheControlIsCutAtItsEdge)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFTNOWORDWRAP, L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"));
    Paint();
    const RECT& content = control.GetContentRect();
    EXPECT_EQ(0, content.left);
    EXPECT_EQ(kWidth, content.right) << "limited to the client width";
    const Box ink = InkBox(Paint(), kWhite);
    EXPECT_GT(ink.right, kWidth - 20) << "one line to the edge, not wrapped";
    EXPECT_LT(ink.bottom, kHeight / 2);
}

TEST_F(HtmlStaticTest, UnwrappedTextAlignsWithinTheWholeWidth)
{
    struct Case { const wchar_t* text; int marginX; int inkRight; } cases[] = {
        {L"<right>end</right>", 0, kWidth - 1},
        {L"<right>end</right>", 10, kWidth - 10 - 1},
        {L"<center>mid</center>", 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marginX);
        ASSERT_NE(nullptr, MakeControl(SS_LEFTNOWORDWRAP, c.text));
        control.SetMargins(c.marginX, 0);
        const Box ink = InkBox(Paint(), kWhite);
        ASSERT_FALSE(ink.Empty());
        EXPECT_GE(control.GetContentRect().right - control.GetContentRect().left, kWidth - 2 * c.marginX - 1);
        if (c.inkRight >= 0)
            EXPECT_NEAR(c.inkRight, ink.right, 4);
        else
            EXPECT_NEAR(kWidth / 2, (ink.left + ink.right) / 2, 4);
        control.DestroyWindow();
    }
}

TEST_F(HtmlStaticTest, MessageLinkClickReachesTheParentsCallbackAndADisabledControlIgnoresIt)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L""));
    control.SetHyperlink(L"Press here", L"hello there", TRUE);
    control.SetLinkCallback(kLinkMessage, 77);
    Paint();
    const POINT at = LinkPoint();
    ASSERT_GE(at.x, 0) << "the link left no hot area";

    control.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ASSERT_EQ(1u, host.calls.size());
    EXPECT_EQ(L"hello there", host.calls[0].text);
    EXPECT_EQ(77, host.calls[0].lParam);

    control.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x + 500, at.y)) ;
    EXPECT_EQ(1u, host.calls.size()) << "a point outside the link";

    control.EnableWindow(FALSE);
    Paint();
    control.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(1u, host.calls.size()) << "disabled controls take no clicks";
}

TEST_F(HtmlStaticTest, HyperlinkTargetCannotRewriteTheLink)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L""));
    control.SetHyperlink(L"Press here", L"say \"hi\"> <b>bold</b> & more", TRUE);
    control.SetLinkCallback(kLinkMessage, 5);
    {
        const CDrawnText drawn;
        Paint();
        EXPECT_EQ(L"Press here", drawn.Text()) << "nothing of the target spills into the text";
    }
    ASSERT_EQ(1u, control.GetDrawer().GetHotAreas().size());
    const POINT at = LinkPoint();
    control.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ASSERT_EQ(1u, host.calls.size());
    EXPECT_EQ(L"say %22hi%22%3E <b%3Ebold</b%3E & more", host.calls[0].text);
}

TEST_F(HtmlStaticTest, DisabledControlDrawsItsColoursInTheDisabledColour)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L"<b>Plain</b> <font color=red>red</font> <a href=\"x\">link</a>"));
    const COLORREF red = RGB(255, 0, 0);
    PixelImage enabled = Paint();
    EXPECT_GT(enabled.Count(kBlack, 0, 0, kWidth, kHeight), 0);
    EXPECT_GT(enabled.Count(red, 0, 0, kWidth, kHeight), 0);

    const COLORREF grey = RGB(0x70, 0x80, 0x90);
    control.GetDrawer().SetDisabledColor(grey);
    control.EnableWindow(FALSE);
    PixelImage disabled = Paint();
    EXPECT_GT(disabled.Count(grey, 0, 0, kWidth, kHeight), 20);
    EXPECT_EQ(0, disabled.Count(kBlack, 0, 0, kWidth, kHeight));
    EXPECT_EQ(0, disabled.Count(red, 0, 0, kWidth, kHeight));
    EXPECT_EQ(0, disabled.Count(RGB(0, 0, 255), 0, 0, kWidth, kHeight));
}

TEST_F(HtmlStaticTest, HoverShowsTheHandAndTheHoverColourAndLeavingRestoresTheLinkColour)
{
    const COLORREF linkBlue = RGB(0, 0, 255);
    const COLORREF hoverRed = RGB(255, 0, 0);
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L""));
    control.SetHyperlink(L"Hover me", L"http://example.invalid/", FALSE);
    control.SetLinkStyle(linkBlue, FALSE, hoverRed, TRUE);
    PixelImage before = Paint();
    EXPECT_GT(before.Count(linkBlue, 0, 0, kWidth, kHeight), 0);
    EXPECT_EQ(0, before.Count(hoverRed, 0, 0, kWidth, kHeight));

    POINT at = LinkPoint();
    ASSERT_GE(at.x, 0);
    control.ClientToScreen(&at);
    ASSERT_TRUE(PlaceCursor(at));
    EXPECT_TRUE(control.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(control.m_hWnd),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(control.GetDrawer().GetHandCursor(), GetCursor());
    PixelImage hovered = CaptureClientPixels(control);
    EXPECT_GT(hovered.Count(hoverRed, 0, 0, kWidth, kHeight), 0);
    EXPECT_EQ(0, hovered.Count(linkBlue, 0, 0, kWidth, kHeight));

    ASSERT_TRUE(PlaceCursor(POINT{at.x, at.y + 150}));
    control.SendMessage(WM_MOUSELEAVE);
    PixelImage left = CaptureClientPixels(control);
    EXPECT_GT(left.Count(linkBlue, 0, 0, kWidth, kHeight), 0);
    EXPECT_EQ(0, left.Count(hoverRed, 0, 0, kWidth, kHeight));
}

TEST_F(HtmlStaticTest, LinkTooltipHoldsOneToolWhateverTheMouseDoes)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L"<a href=\"x\" tooltip=\"First tip\">first</a> plain "
                                            L"<a msg=\"y\" tooltip=\"Second tip\">second</a>"));
    Paint();
    const auto areas = control.GetDrawer().GetHotAreas();
    ASSERT_EQ(2u, areas.size());
    HWND tip = control.GetToolTipWindow();
    ASSERT_NE(nullptr, tip);
    auto move = [&](int x, int y) { control.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); };
    auto count = [&] { return static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)); };
    auto tool = [&](RECT* rect) {
        static wchar_t text[80];
        text[0] = 0;
        TOOLINFOW info = {};
        info.cbSize = sizeof(info);
        info.hwnd = control;
        info.uId = 1234;
        info.lpszText = text;
        SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
        if (rect)
            *rect = info.rect;
        SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
        return std::wstring(text);
    };
    for (int x = areas[0].area.left + 1; x < areas[0].area.right; x += 3)
        move(x, (areas[0].area.top + areas[0].area.bottom) / 2);
    EXPECT_EQ(1, count());
    RECT rect;
    EXPECT_EQ(L"First tip", tool(&rect));
    EXPECT_TRUE(EqualRect(&rect, &areas[0].area));

    // Straight onto the second link: the one tool follows it.
    for (int i = 0; i < 5; ++i)
        move(areas[1].area.left + 2 + i, (areas[1].area.top + areas[1].area.bottom) / 2);
    EXPECT_EQ(1, count());
    EXPECT_EQ(L"Second tip", tool(&rect));
    EXPECT_TRUE(EqualRect(&rect, &areas[1].area));

    move(areas[1].area.right + 5, kHeight - 2);   // off every link
    EXPECT_EQ(0, count());
}

TEST_F(HtmlStaticTest, SetFontKeepsFontsItDidNotMakeAndDescribesThemToTheRenderer)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L"text"));
    HFONT dialogFont = CreateFontW(-13, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HFONT otherFont = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    control.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
    EXPECT_EQ(dialogFont, reinterpret_cast<HFONT>(control.SendMessage(WM_GETFONT)));
    const std::wstring body = control.GetDrawer().GetStyleClass(L"body");
    EXPECT_NE(std::wstring::npos, body.find(L"font-size:-13pt")) << std::string(body.begin(), body.end());
    EXPECT_NE(std::wstring::npos, body.find(L"font-family:Tahoma"));
    EXPECT_NE(std::wstring::npos, body.find(L"font-weight:700"));
    EXPECT_NE(std::wstring::npos, body.find(L"font-style:italic"));

    control.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(otherFont), TRUE);
    control.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(stock), TRUE);
    control.DestroyWindow();
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(dialogFont));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(otherFont));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(stock));
    DeleteObject(dialogFont);
    DeleteObject(otherFont);
}

TEST_F(HtmlStaticTest, WindowTextRoundTripsAndASmallBufferGetsNoMoreThanItHolds)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L"<b>created</b>"));
    EXPECT_EQ(L"<b>created</b>", std::wstring(control.GetText())) << "the creation text becomes the content";
    control.SetBitmap(static_cast<HBITMAP>(nullptr));
    EXPECT_TRUE(control.IsImage());
    ASSERT_TRUE(SetWindowTextW(control, L"abcdefghij"));
    EXPECT_FALSE(control.IsImage()) << "text again";
    EXPECT_EQ(10, GetWindowTextLengthW(control));

    wchar_t buffer[12];
    std::fill(buffer, buffer + 12, L'#');
    EXPECT_EQ(4, control.SendMessage(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(L"abcd", std::wstring(buffer));
    for (int i = 5; i < 12; ++i)
        EXPECT_EQ(L'#', buffer[i]) << "written past the buffer at " << i;
    EXPECT_EQ(0, control.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(L'a', buffer[0]);
    EXPECT_EQ(10, control.SendMessage(WM_GETTEXT, 12, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(L"abcdefghij", std::wstring(buffer));
}

TEST_F(HtmlStaticTest, RoundedFrameFollowsTheControlThroughAResize)
{
    const COLORREF frameRed = RGB(220, 0, 0);
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L""));
    control.SetFrame(frameRed, 1, 1);
    control.SetRoundedCorners(30, 30);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(control, probe));
    EXPECT_FALSE(PtInRegion(probe, 0, 0)) << "the corner is cut";
    EXPECT_TRUE(PtInRegion(probe, kWidth / 2, kHeight / 2));

    // The system frees the region it holds when the size changes; the frame must not go with it.
    control.SetWindowPos(nullptr, 0, 0, kWidth - 100, kHeight + 50, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_NE(ERROR, GetWindowRgn(control, probe));
    RECT box;
    GetRgnBox(probe, &box);
    EXPECT_EQ(kWidth - 100, box.right - box.left + (box.right - box.left > kWidth - 100 ? -1 : 0));
    DeleteObject(probe);
    PixelImage image = Paint();
    const int midY = (kHeight + 50) / 2;
    EXPECT_EQ(frameRed, image.At(0, midY) & 0xFFFFFF) << "left edge";
    EXPECT_EQ(frameRed, image.At(kWidth - 101, midY) & 0xFFFFFF) << "right edge";
    EXPECT_EQ(kWhite, image.At((kWidth - 100) / 2, midY) & 0xFFFFFF);

    control.SetFrame(frameRed, 0, 0);
    PixelImage plain = Paint();
    EXPECT_EQ(kWhite, plain.At(0, midY) & 0xFFFFFF) << "a zero width removes the frame";
}

TEST_F(HtmlStaticTest, AnimationRunsTheTimerUntilAStillImageReplacesIt)
{
    ASSERT_NE(nullptr, MakeControl(SS_LEFT, L""));
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 64, 16);
    ReleaseDC(nullptr, screen);
    control.SetAnimation(strip, 40, CHtmlStatic::kNoColor, 16, 16);
    EXPECT_TRUE(control.IsImage());
    EXPECT_TRUE(KillTimer(control, CHtmlStatic::kAnimationTimer)) << "the animation started its timer";

    control.SetAnimation(strip, 40);
    control.SetBitmap(strip);
    EXPECT_FALSE(KillTimer(control, CHtmlStatic::kAnimationTimer)) << "a bitmap stops it";
    control.DestroyWindow();
    DeleteObject(strip);
}

TEST_F(HtmlStaticTest, ScreenshotOfADialogWithLinkBoldAndColouredText)
{
    // A dialog-like window with a static of its own, taken over by the control.
    CHostWindow dialog;
    RECT rect = {200, 150, 620, 330};
    ASSERT_NE(nullptr, dialog.Create(nullptr, rect, L"About Lyrant",
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN));
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12, 380, 110, dialog,
                                 nullptr, nullptr, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    CHtmlStatic about;
    ASSERT_TRUE(about.SubclassWindow(label));
    about.SetBkColor(GetSysColor(COLOR_BTNFACE));
    about.SetText(L"<b>Lyrant</b> routes live audio to your speakers.<br>"
                  L"<font color=0x2020C0>Three channels</font>, <i>pitch shift</i> and meters.<br><br>"
                  L"Visit <a href=\"http://example.invalid/\">the home page</a> for news.");
    about.SetLinkStyle(RGB(0, 0, 255), TRUE, RGB(255, 0, 0), TRUE);
    dialog.UpdateWindow();
    about.UpdateWindow();
    PumpMessagesFor(100);

    PixelImage shot = CaptureScreenWindowPixels(dialog);
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(SavePixelsAsPng(shot, ScreenshotFolder() + L"\\html_static_dialog.png"));
    PixelImage client = CaptureClientPixels(label);
    EXPECT_GT(client.Count(RGB(0, 0, 255), 0, 0, client.width, client.height), 0) << "the link";
    EXPECT_GT(client.Count(RGB(0xC0, 0x20, 0x20), 0, 0, client.width, client.height), 0) << "the coloured text";
    dialog.DestroyWindow();
}

}  // namespace
