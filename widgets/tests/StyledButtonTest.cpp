// The owner-drawn button on real windows: attaching, setters, drawing read back from the screen,
// and clicks.
#include "framework/WindowImpl.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/WindowPixels.h"
#include "widgets/StyledButton.h"
#include "widgets/tests/DestroyIconCount.h"

#include <gdiplus.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kIconId = 218;
constexpr COLORREF kIconRed = RGB(200, 30, 30);
constexpr COLORREF kIconGrey = RGB(81, 81, 81);     // luma of the red
constexpr COLORREF kNormalBack = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kActiveBack = RGB(0x40, 0x80, 0xC0);
constexpr COLORREF kParentGreen = RGB(0, 200, 0);
constexpr UINT kMenuCallback = WM_APP + 5;
constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 30;

class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};
const auto* const s_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// A dialog-like parent: reflects notifications, paints green in WM_ERASEBKGND, logs commands.
class CParent : public CWindowImpl<CParent>
{
public:
    std::vector<std::wstring> log;
    int repeatCommands = 0;
    int repeatId = -1;
    HMENU expectedSubmenu = nullptr;

    BEGIN_MSG_MAP(CParent)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(kMenuCallback, OnMenuCallback)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(&client);
        HBRUSH green = ::CreateSolidBrush(kParentGreen);
        ::FillRect(dc, &client, green);
        ::DeleteObject(green);
        return 1;
    }
    LRESULT OnMenuCallback(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        log.push_back(L"callback " + std::to_wstring(lParam) +
                      (reinterpret_cast<HMENU>(wParam) == expectedSubmenu ? L" submenu" : L" other"));
        // Choose the first item once the menu is tracking (keyboard input goes to the menu loop).
        PostMessage(WM_KEYDOWN, VK_DOWN, 0);
        PostMessage(WM_KEYDOWN, VK_RETURN, 0);
        return 0;
    }
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
    {
        if (LOWORD(wParam) == repeatId) {
            ++repeatCommands;
            return 0;
        }
        if (lParam == 0) {
            log.push_back(L"command " + std::to_wstring(LOWORD(wParam)));
            return 0;
        }
        bHandled = FALSE;   // a control's notification: reflect it
        return 0;
    }
};

class StyledButtonFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RECT rect = {20, 20, 320, 220};
        // Topmost, with the pointer resting on the button: windows of other test programs on the
        // same desktop must not come between the button and the mouse.
        ASSERT_NE(nullptr, parent.Create(nullptr, rect, L"parent", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST));
        parent.UpdateWindow();
        ::SetForegroundWindow(parent);
    }
    void TearDown() override { parent.DestroyWindow(); }

    HWND MakeButton(DWORD style, const wchar_t* text = L"", int id = 100)
    {
        POINT centre = {20 + kButtonWidth / 2, 20 + kButtonHeight / 2};
        parent.ClientToScreen(&centre);
        ::SetCursorPos(centre.x, centre.y);
        return ::CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | style, 20, 20, kButtonWidth,
                                 kButtonHeight, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                 nullptr);
    }
    // The button's tooltip window: owned by its top-level window.
    HWND ButtonTooltip() const
    {
        HWND tip = nullptr;
        for (HWND w = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w != nullptr;
             w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr))
            if (::GetWindow(w, GW_OWNER) == parent.m_hWnd)
                tip = w;
        return tip;
    }
    PixelImage Paint(CStyledButton& button)
    {
        button.Invalidate();
        button.UpdateWindow();
        return CaptureClientPixels(button);
    }
    CParent parent;
};

struct AttachCase
{
    const char* name;
    DWORD style;
    int kind;
    bool checkBox;
    bool pushLike;
    bool isDefault;
    LRESULT checkAfterSet;
};

TEST_F(StyledButtonFixture, AttachingRemembersTheKindAndMakesTheButtonOwnerDrawn)
{
    const AttachCase cases[] = {
        {"push", BS_PUSHBUTTON, 0, false, false, false, 0},
        {"default push", BS_DEFPUSHBUTTON, 0, false, false, true, 0},
        {"auto check box", BS_AUTOCHECKBOX, BS_AUTOCHECKBOX, true, false, false, 1},
        // Not a check box and not push-like: it becomes a push button, and bit 0 of its type
        // (BS_DEFPUSHBUTTON) makes it a default one.
        {"auto radio", BS_AUTORADIOBUTTON, 0, false, false, true, 0},
        {"push-like check box", BS_AUTOCHECKBOX | BS_PUSHLIKE, BS_AUTOCHECKBOX, true, false, false, 1},
        {"push-like radio", BS_AUTORADIOBUTTON | BS_PUSHLIKE, BS_AUTORADIOBUTTON, false, true, false, 1},
        {"group box", BS_GROUPBOX, BS_GROUPBOX, true, false, false, 1},
    };
    for (const AttachCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hWnd = MakeButton(c.style);
        CStyledButton button;
        EXPECT_EQ(CStyledButton::kKindUnattached, button.GetKind());
        ASSERT_TRUE(button.SubclassWindow(hWnd));
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), ::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK);
        EXPECT_EQ(c.kind, button.GetKind());
        EXPECT_EQ(c.checkBox, button.IsCheckBoxMode());
        EXPECT_EQ(c.pushLike, button.IsPushLike());
        EXPECT_EQ(c.isDefault, button.GetDefault());
        EXPECT_EQ(0, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
        ::SendMessageW(hWnd, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(c.checkAfterSet, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
        EXPECT_FALSE(CStyledButton().SubclassWindow(hWnd)) << "already attached";
        ::DestroyWindow(hWnd);
    }
}

TEST_F(StyledButtonFixture, ButtonOfItsOwnIsSetUpAtCreation)
{
    CStyledButton button;
    RECT rect = {10, 10, 70, 40};
    HWND hWnd = button.Create(parent, rect, L"own", 130, BS_AUTOCHECKBOX);
    ASSERT_NE(nullptr, hWnd);
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    EXPECT_STREQ(L"LyrantStyledButton", name);
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), style & BS_TYPEMASK);
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              style & (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    EXPECT_EQ(BS_AUTOCHECKBOX, button.GetKind());
    EXPECT_TRUE(button.IsCheckBoxMode());
    EXPECT_EQ(130, ::GetDlgCtrlID(hWnd));
}

TEST_F(StyledButtonFixture, CursorTooltipStyleAndSizeMessages)
{
    HWND hWnd = MakeButton(BS_PUSHBUTTON, L"tip");
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(hWnd));

    EXPECT_TRUE(::SendMessageW(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());

    // The tip is a tooltip window (owned by the button's top-level window) holding the text.
    EXPECT_EQ(kStyledButtonOk, button.SetTooltipText(L"Pitch"));
    HWND tip = ButtonTooltip();
    ASSERT_NE(nullptr, tip);
    wchar_t text[32] = {};
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hWnd;
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(L"Pitch", text);

    // The dialog manager's default-button changes keep the button owner-drawn.
    ::SendMessageW(hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(button.GetDefault());
    EXPECT_EQ(static_cast<LONG>(BS_OWNERDRAW), ::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK);
    ::SendMessageW(hWnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button.GetDefault());

    ASSERT_EQ(kStyledButtonOk, button.SetIconFromResource(kIconId, 0));
    button.SizeToContent();
    RECT client;
    ::GetClientRect(hWnd, &client);
    EXPECT_EQ(16, client.right);
    EXPECT_EQ(16, client.bottom);
}

TEST_F(StyledButtonFixture, SettersAnswerWithTheirResultCodes)
{
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(MakeButton(BS_PUSHBUTTON)));
    COLORREF colour = 0;

    EXPECT_EQ(kStyledButtonBadColorIndex, button.SetColor(6, RGB(1, 2, 3)));
    EXPECT_EQ(kStyledButtonOk, button.SetColor(5, RGB(1, 2, 3)));
    EXPECT_EQ(kStyledButtonBadColorIndex, button.GetColor(6, &colour));
    EXPECT_EQ(kStyledButtonOk, button.GetColor(5, &colour));
    EXPECT_EQ(RGB(1, 2, 3), colour);

    EXPECT_EQ(kStyledButtonBadColorIndex, button.OffsetColor(6, 10));
    EXPECT_EQ(kStyledButtonBadColorOffset, button.OffsetColor(0, 256));
    EXPECT_EQ(kStyledButtonBadColorOffset, button.OffsetColor(0, -256));
    button.SetColor(0, RGB(10, 128, 250));
    EXPECT_EQ(kStyledButtonOk, button.OffsetColor(0, 20));
    button.GetColor(0, &colour);
    EXPECT_EQ(RGB(30, 148, 255), colour) << "clamped at 255";
    EXPECT_EQ(kStyledButtonOk, button.OffsetColor(0, -255));
    button.GetColor(0, &colour);
    EXPECT_EQ(RGB(0, 0, 0), colour) << "clamped at 0";
    button.SetDefaultColors();
    button.GetColor(4, &colour);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), colour);

    EXPECT_EQ(kStyledButtonBadPressedStyle, button.SetPressedStyle(2));
    EXPECT_EQ(kStyledButtonOk, button.SetPressedStyle(1));
    EXPECT_EQ(1u, button.SetAutoRepeat(true, 50));

    EXPECT_EQ(kStyledButtonLoadFailed, button.SetIcon(nullptr, nullptr));
    EXPECT_EQ(kStyledButtonLoadFailed, button.SetIconFromResource(4321, 0));
    EXPECT_EQ(kStyledButtonOk, button.SetIconFromResource(kIconId, -2));
    EXPECT_EQ(kStyledButtonOk, button.SetIconFromResource(kIconId, kIconId));
    EXPECT_EQ(kStyledButtonLoadFailed, button.SetBitmaps(nullptr, 0, nullptr, 0));
    EXPECT_EQ(kStyledButtonLoadFailed, button.SetCursorFromResource(4321));

    button.SetTextAlign(2);
    EXPECT_EQ(static_cast<UINT>(DT_RIGHT), button.GetTextAlign());
    button.SetTextAlign(3);
    EXPECT_EQ(static_cast<UINT>(DT_RIGHT), button.GetTextAlign()) << "above 2 is ignored";
    button.SetAlign(2);
    button.SetAlign(4);
    EXPECT_EQ(2, button.GetAlign()) << "above 3 is ignored";
}

// Where the pixels of one colour are: count and bounding box.
struct ColourSpot
{
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
ColourSpot FindColour(const PixelImage& image, COLORREF colour)
{
    ColourSpot spot;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y) == colour) {
                ++spot.count;
                if (x < spot.left) spot.left = x;
                if (y < spot.top) spot.top = y;
                if (x + 1 > spot.right) spot.right = x + 1;
                if (y + 1 > spot.bottom) spot.bottom = y + 1;
            }
    return spot;
}

enum class State { kNormal, kHover, kPressed, kDisabled };

struct DrawCase
{
    const char* name;
    State state;
    COLORREF iconColour;      // 0: no icon colour expected (disabled: embossed)
    int shift;                // the pressed offset
    COLORREF background;
};

TEST_F(StyledButtonFixture, DrawsItsStatesWithAndWithoutVisualStyles)
{
    const DrawCase cases[] = {
        {"normal", State::kNormal, kIconGrey, 0, kNormalBack},
        {"hover", State::kHover, kIconRed, 0, kActiveBack},
        {"pressed", State::kPressed, kIconRed, 1, kActiveBack},
        {"disabled", State::kDisabled, 0, 0, kNormalBack},
    };
    for (bool styles : {true, false}) {
        for (const DrawCase& c : cases) {
            SCOPED_TRACE(std::string(styles ? "styles on, " : "styles off, ") + c.name);
            HWND hWnd = MakeButton(BS_PUSHBUTTON);
            if (!styles)
                ::SetWindowTheme(hWnd, L" ", L" ");   // visual styles off for this window: no theme class matches
            CStyledButton button;
            ASSERT_TRUE(button.SubclassWindow(hWnd));
            EXPECT_EQ(styles, button.GetTheme() != nullptr);
            ASSERT_EQ(kStyledButtonOk, button.SetIconFromResource(kIconId, -2));
            button.SetColor(CStyledButton::kBackgroundNormal, kNormalBack);
            button.SetColor(CStyledButton::kBackgroundActive, kActiveBack);
            if (c.state == State::kHover) {
                ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(kButtonWidth / 2, kButtonHeight / 2));
                EXPECT_TRUE(button.IsHovered());
            } else if (c.state == State::kPressed) {
                ::SendMessageW(hWnd, BM_SETSTATE, TRUE, 0);
            } else if (c.state == State::kDisabled) {
                ::EnableWindow(hWnd, FALSE);
            }
            PixelImage image = Paint(button);
            ASSERT_FALSE(image.Empty());
            const int left = (kButtonWidth - 16) / 2 + c.shift;
            const int top = (kButtonHeight - 16) / 2 + c.shift;
            if (c.iconColour != 0) {
                ColourSpot icon = FindColour(image, c.iconColour);
                EXPECT_EQ(256, icon.count);
                EXPECT_EQ(left, icon.left);
                EXPECT_EQ(top, icon.top);
                EXPECT_EQ(left + 16, icon.right);
                EXPECT_EQ(top + 16, icon.bottom);
            } else {
                EXPECT_EQ(0, FindColour(image, kIconRed).count);
                EXPECT_EQ(0, FindColour(image, kIconGrey).count);
                // Embossed: the icon's shape in the shadow colour.
                EXPECT_GT(image.Count(::GetSysColor(COLOR_3DSHADOW), left, top, left + 17, top + 17), 100);
            }
            if (!styles) {
                // Inside the border, beside the icon: the background slot of the state.
                EXPECT_EQ(c.background, image.At(6, kButtonHeight / 2));
            }
            if (c.state == State::kHover)
                ::ReleaseCapture();
            ::DestroyWindow(hWnd);
        }
    }
}

// Pixels of the caption colour (the font may smooth its edges: strongly blue counts).
ColourSpot FindBlueText(const PixelImage& image)
{
    ColourSpot spot;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const COLORREF c = image.At(x, y);
            if (GetBValue(c) > 150 && GetRValue(c) < 100 && GetGValue(c) < 100) {
                ++spot.count;
                if (x < spot.left) spot.left = x;
                if (y < spot.top) spot.top = y;
                if (x + 1 > spot.right) spot.right = x + 1;
                if (y + 1 > spot.bottom) spot.bottom = y + 1;
            }
        }
    return spot;
}

TEST_F(StyledButtonFixture, AlignmentPlacesTheIconAgainstTheCaption)
{
    constexpr int kWide = 100;
    struct Case { BYTE align; int iconLeft; int iconTop; };
    // Margins 3; the caption keeps clear of the icon except when it is drawn over it (3).
    const Case cases[] = {{0, 3, 7}, {1, (kWide - 16) / 2, 3}, {2, kWide - 3 - 16, 7}, {3, 3, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.align));
        HWND hWnd = MakeButton(BS_PUSHBUTTON, L"Go");
        ::MoveWindow(hWnd, 20, 20, kWide, kButtonHeight, TRUE);
        ::SetWindowTheme(hWnd, L" ", L" ");
        CStyledButton button;
        ASSERT_TRUE(button.SubclassWindow(hWnd));
        button.SetIconFromResource(kIconId, 0);
        button.SetColor(CStyledButton::kBackgroundNormal, kNormalBack);
        button.SetColor(CStyledButton::kTextNormal, RGB(0, 0, 255));
        button.SetAlign(c.align);
        PixelImage image = Paint(button);
        ColourSpot icon = FindColour(image, kIconRed);
        EXPECT_EQ(256, icon.count);
        EXPECT_EQ(c.iconLeft, icon.left);
        EXPECT_EQ(c.iconTop, icon.top);
        ColourSpot text = FindBlueText(image);
        ASSERT_GT(text.count, 5);
        if (c.align == 0) EXPECT_GE(text.left, icon.right + 3);
        if (c.align == 1) EXPECT_GE(text.top, icon.bottom);
        if (c.align == 2) EXPECT_LE(text.right, icon.left - 3);
        ::DestroyWindow(hWnd);
    }
}

TEST_F(StyledButtonFixture, DisabledCaptionIsEmbossed)
{
    HWND hWnd = MakeButton(BS_PUSHBUTTON, L"Hello");
    ::SetWindowTheme(hWnd, L" ", L" ");
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    button.SetColor(CStyledButton::kBackgroundNormal, kNormalBack);
    button.SetColor(CStyledButton::kTextNormal, RGB(0, 0, 255));
    PixelImage enabled = Paint(button);
    EXPECT_GT(FindBlueText(enabled).count, 5);
    ::EnableWindow(hWnd, FALSE);
    PixelImage disabled = Paint(button);
    EXPECT_EQ(0, FindBlueText(disabled).count);
    const COLORREF light = ::GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    const int inside[4] = {3, 3, kButtonWidth - 3, kButtonHeight - 3};
    EXPECT_GT(disabled.Count(shadow, inside[0], inside[1], inside[2], inside[3]), 5);
    EXPECT_GT(disabled.Count(light, inside[0], inside[1], inside[2], inside[3]), 5);
}

TEST_F(StyledButtonFixture, MaskedBitmapLeavesItsMaskColourTransparent)
{
    constexpr COLORREF kMagenta = RGB(255, 0, 255);
    constexpr COLORREF kGreen = RGB(0, 160, 0);
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    RECT centre = {4, 4, 12, 12};
    HBRUSH magenta = ::CreateSolidBrush(kMagenta);
    HBRUSH green = ::CreateSolidBrush(kGreen);
    ::FillRect(dc, &all, magenta);
    ::FillRect(dc, &centre, green);
    ::DeleteObject(magenta);
    ::DeleteObject(green);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);

    HBITMAP copy = static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));

    HWND hWnd = MakeButton(BS_PUSHBUTTON);
    ::SetWindowTheme(hWnd, L" ", L" ");
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    button.SetColor(CStyledButton::kBackgroundNormal, kNormalBack);
    const int cornerX = (kButtonWidth - 16) / 2 + 1;
    const int cornerY = (kButtonHeight - 16) / 2 + 1;

    ASSERT_EQ(kStyledButtonOk, button.SetBitmaps(bitmap, kMagenta, nullptr, 0));
    PixelImage image = Paint(button);
    EXPECT_EQ(64, FindColour(image, kGreen).count);
    EXPECT_EQ(0, FindColour(image, kMagenta).count);
    EXPECT_EQ(kNormalBack, image.At(cornerX, cornerY));

    // A grey "out" copy, shown while the button is neither hovered nor pressed, keeps the mask.
    ASSERT_EQ(kStyledButtonOk, button.SetBitmaps(copy, kMagenta, CStyledButton::GreyBitmap(), 0));
    image = Paint(button);
    EXPECT_EQ(64, FindColour(image, RGB(94, 94, 94)).count);   // luma of the green
    EXPECT_EQ(0, FindColour(image, kGreen).count);
    EXPECT_EQ(kNormalBack, image.At(cornerX, cornerY));
}

TEST_F(StyledButtonFixture, ThemedCheckBoxDrawsItsMarkInTheLeftSquare)
{
    HWND hWnd = MakeButton(BS_AUTOCHECKBOX, L"Go");
    CStyledButton button;
    button.UseToolbarTheme(false);   // the "BUTTON" class has the check-box part
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    ASSERT_NE(nullptr, button.GetTheme());
    button.SetColor(CStyledButton::kBackgroundNormal, kNormalBack);
    button.SetColor(CStyledButton::kBackgroundActive, kNormalBack);
    button.SetColor(CStyledButton::kTextNormal, RGB(0, 0, 255));
    button.SetColor(CStyledButton::kTextActive, RGB(0, 0, 255));
    PixelImage unchecked = Paint(button);
    ::SendMessageW(hWnd, BM_SETCHECK, BST_CHECKED, 0);
    PixelImage checked = Paint(button);
    int markDiffers = 0;
    int restDiffers = 0;
    for (int y = 0; y < kButtonHeight; ++y)
        for (int x = 0; x < kButtonWidth; ++x)
            if (unchecked.At(x, y) != checked.At(x, y))
                ++(x < 20 ? markDiffers : restDiffers);
    EXPECT_GT(markDiffers, 0) << "the mark shows the checked state";
    EXPECT_EQ(0, restDiffers);
    EXPECT_GE(FindBlueText(unchecked).left, 20) << "the caption comes after the mark";
    EXPECT_LT(unchecked.Count(kNormalBack, 0, 0, 20, kButtonHeight), 20 * kButtonHeight) << "a mark is drawn";
}

TEST_F(StyledButtonFixture, TransparentButtonShowsTheParentBackgroundPaintedInEraseBackground)
{
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(MakeButton(BS_PUSHBUTTON)));
    button.DrawTransparent(true);
    button.Invalidate();
    button.UpdateWindow();   // asks the parent for its background, then repaints with it
    PixelImage image = Paint(button);
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(kParentGreen, image.At(6, kButtonHeight / 2));
    EXPECT_EQ(kParentGreen, image.At(kButtonWidth - 6, 6));
    EXPECT_TRUE(button.HasBackgroundCopy());
    ::MoveWindow(button, 20, 20, kButtonWidth + 10, kButtonHeight, FALSE);
    EXPECT_FALSE(button.HasBackgroundCopy()) << "a new size asks again";
}

TEST_F(StyledButtonFixture, ImageStripWithoutFramesIsDrawnAsOneFrame)
{
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(MakeButton(BS_PUSHBUTTON)));
    auto* strip = new Gdiplus::Bitmap(16, 16, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(strip);
        graphics.Clear(Gdiplus::Color(255, 200, 30, 30));
    }
    EXPECT_EQ(kStyledButtonOk, button.SetImage(strip, 0));
    PixelImage image = Paint(button);
    EXPECT_EQ(256, FindColour(image, kIconRed).count);
}

TEST_F(StyledButtonFixture, CheckBoxClickToggles)
{
    CStyledButton button;
    HWND hWnd = MakeButton(BS_AUTOCHECKBOX, L"check");
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    for (LRESULT expected : {1, 0, 1}) {
        ::SendMessageW(hWnd, BM_CLICK, 0, 0);
        PumpMessagesFor(50);
        EXPECT_EQ(expected, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
        EXPECT_EQ(static_cast<int>(expected), button.GetCheck());
    }
}

TEST_F(StyledButtonFixture, MenuCallbackComesBeforeTrackingAndTheChosenCommandAfter)
{
    HMENU menu = ::CreateMenu();
    HMENU submenu = ::CreatePopupMenu();
    ::AppendMenuW(submenu, MF_STRING, 501, L"First");
    ::AppendMenuW(submenu, MF_STRING, 502, L"Second");
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), L"menu");
    parent.expectedSubmenu = submenu;

    CStyledButton button;
    HWND hWnd = MakeButton(BS_PUSHBUTTON, L"menu");
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    button.SetMenu(menu);
    button.SetMenuCallback(parent, kMenuCallback, 77);
    ::SendMessageW(hWnd, BM_CLICK, 0, 0);
    PumpMessagesFor(100);
    ASSERT_EQ(2u, parent.log.size());
    EXPECT_EQ(L"callback 77 submenu", parent.log[0]);
    EXPECT_EQ(L"command 501", parent.log[1]);
    ::DestroyMenu(menu);
}

TEST_F(StyledButtonFixture, AutoRepeatSendsTheCommandWhileHeld)
{
    CStyledButton button;
    HWND hWnd = MakeButton(BS_PUSHBUTTON, L"repeat", 120);
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    parent.repeatId = 120;
    button.SetAutoRepeat(true, 40);
    // Not flat: no hover capture of its own, so only the press holds the mouse.
    button.SetFlat(false);
    const LPARAM inside = MAKELPARAM(kButtonWidth / 2, kButtonHeight / 2);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PumpMessagesFor(300);
    const int whileHeld = parent.repeatCommands;
    EXPECT_GE(whileHeld, 3);
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, inside);
    const int atRelease = parent.repeatCommands;
    EXPECT_LE(atRelease, whileHeld + 1) << "the release clicks once";
    PumpMessagesFor(200);
    EXPECT_EQ(atRelease, parent.repeatCommands);
}

// A four-frame state image of solid colours: normal, hot, pressed, disabled.
Gdiplus::Bitmap* StateImage(const COLORREF (&colours)[4])
{
    auto* image = new Gdiplus::Bitmap(4 * 8, kButtonHeight, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(image);
    for (int i = 0; i < 4; ++i) {
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(colours[i]), GetGValue(colours[i]), GetBValue(colours[i])));
        graphics.FillRectangle(&brush, i * 8, 0, 8, kButtonHeight);
    }
    return image;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST_F(StyledButtonFixture, BackgroundImageShowsThroughBelowFullAlphaAndItsDropDownPartApart)
{
    const COLORREF frames[4] = {RGB(200, 100, 100), RGB(100, 200, 100), RGB(100, 100, 200), RGB(128, 128, 128)};
    const LPARAM centre = MAKELPARAM(kButtonWidth / 2, kButtonHeight / 2);
    {
        CStyledButton button;
        ASSERT_TRUE(button.SubclassWindow(MakeButton(BS_PUSHBUTTON)));
        button.SetColor(CStyledButton::kBackgroundActive, kNormalBack);
        ::SendMessageW(button, WM_MOUSEMOVE, 0, centre);   // hot: frame 1
        button.SetBkImage(StateImage(frames));
        EXPECT_EQ(frames[1], Paint(button).At(10, 10)) << "opaque at full alpha";
        button.SetBkImage(StateImage(frames), 128);
        // Half the frame over the background, the frame's blue channel times 1.1.
        const double a = 128 / 255.0;
        const COLORREF expected = RGB(100 * a + 0xE0 * (1 - a), 200 * a + 0xE0 * (1 - a), 110 * a + 0xE0 * (1 - a));
        const COLORREF got = Paint(button).At(10, 10);
        EXPECT_TRUE(Near(expected, got, 3)) << std::hex << got << " for " << expected;
        ::ReleaseCapture();
    }
    CStyledButton button;
    HWND hWnd = MakeButton(BS_PUSHBUTTON);
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    HMENU menu = ::CreateMenu();
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), L"menu");
    button.SetMenu(menu);
    button.SetBkImage(StateImage(frames));
    POINT arrow = {kButtonWidth - 5, kButtonHeight / 2};
    ::ClientToScreen(hWnd, &arrow);
    ASSERT_TRUE(PlaceCursor(arrow));
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(kButtonWidth - 5, kButtonHeight / 2));
    PixelImage overArrow = Paint(button);
    EXPECT_EQ(frames[1], overArrow.At(kButtonWidth - 3, 5)) << "the drop-down part is hot";
    EXPECT_EQ(frames[0], overArrow.At(8, 8)) << "the rest is not";
    POINT main = {10, kButtonHeight / 2};
    ::ClientToScreen(hWnd, &main);
    ASSERT_TRUE(PlaceCursor(main));
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, kButtonHeight / 2));
    PixelImage overMain = Paint(button);
    EXPECT_EQ(frames[1], overMain.At(8, 8));
    EXPECT_EQ(frames[1], overMain.At(kButtonWidth - 3, 5)) << "hovering the button lights it all";
    ::ReleaseCapture();
    ::DestroyMenu(menu);
}

HICON ColourIcon()
{
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 16,
                                           16, 0));
}

TEST_F(StyledButtonFixture, IconsItOwnsAreDestroyedOnceAndNoneIsLeftBehind)
{
    CStyledButton button;
    ASSERT_TRUE(button.SubclassWindow(MakeButton(BS_PUSHBUTTON)));
    // One icon for both states is one icon.
    HICON both = ColourIcon();
    ASSERT_NE(nullptr, both);
    CountDestroyIconOf(both);
    EXPECT_EQ(kStyledButtonOk, button.SetIcon(both, both));
    EXPECT_EQ(256, FindColour(Paint(button), kIconRed).count);
    button.SetIcon(ColourIcon(), nullptr);
    EXPECT_EQ(1, DestroyIconCount());

    // An "in" that is no icon: the "out" given with it goes too.
    HICON out = ColourIcon();
    CountDestroyIconOf(out);
    EXPECT_EQ(kStyledButtonLoadFailed, button.SetIcon(nullptr, out));
    EXPECT_EQ(1, DestroyIconCount());

    // A monochrome icon has no grey or darker copy.
    BYTE bits[32 * 2];
    for (int i = 0; i < 32; ++i) {
        bits[i] = 0x0F;        // AND mask
        bits[32 + i] = 0xF0;   // XOR mask
    }
    for (HICON sentinel : {CStyledButton::GreyIcon(), CStyledButton::DarkerIcon()}) {
        HICON mono = ::CreateIcon(::GetModuleHandleW(nullptr), 16, 16, 1, 1, bits, bits + 32);
        ASSERT_NE(nullptr, mono);
        CountDestroyIconOf(mono);
        EXPECT_EQ(kStyledButtonLoadFailed, button.SetIcon(mono, sentinel));
        EXPECT_EQ(1, DestroyIconCount()) << "and the button keeps no half of it";
    }
}

TEST_F(StyledButtonFixture, DisabledCheckBoxAnswersIndeterminateAndKeepsItsState)
{
    CStyledButton button;
    HWND hWnd = MakeButton(BS_AUTOCHECKBOX, L"check");
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    ::SendMessageW(hWnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
    ::EnableWindow(hWnd, FALSE);
    EXPECT_EQ(BST_INDETERMINATE, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, button.GetCheck());
    ::EnableWindow(hWnd, TRUE);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(hWnd, BM_GETCHECK, 0, 0));

    CStyledButton push;
    HWND plain = MakeButton(BS_PUSHBUTTON, L"push", 101);
    ASSERT_TRUE(push.SubclassWindow(plain));
    ::EnableWindow(plain, FALSE);
    EXPECT_EQ(0, ::SendMessageW(plain, BM_GETCHECK, 0, 0));
}

TEST_F(StyledButtonFixture, TooltipToolFollowsTheButtonsSize)
{
    CStyledButton button;
    HWND hWnd = MakeButton(BS_PUSHBUTTON, L"tip");
    ASSERT_TRUE(button.SubclassWindow(hWnd));
    ASSERT_EQ(kStyledButtonOk, button.SetTooltipText(L"Pitch"));
    HWND tip = ButtonTooltip();
    ASSERT_NE(nullptr, tip);
    ::MoveWindow(hWnd, 20, 20, 130, 45, TRUE);
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hWnd;
    tool.uId = 1;
    ASSERT_TRUE(::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(130, tool.rect.right - tool.rect.left);
    EXPECT_EQ(45, tool.rect.bottom - tool.rect.top);
}

// A window procedure of someone else's: the button is theirs.
class CTakenButton : public CWindowImpl<CTakenButton>
{
public:
    BEGIN_MSG_MAP(CTakenButton)
    END_MSG_MAP()
};

TEST_F(StyledButtonFixture, AButtonThatCannotBeTakenOverKeepsDrawingItself)
{
    HWND hWnd = MakeButton(BS_PUSHBUTTON, L"theirs");
    CTakenButton theirs;
    ASSERT_TRUE(theirs.SubclassWindow(hWnd));
    CStyledButton button;
    EXPECT_FALSE(button.SubclassWindow(hWnd));
    EXPECT_EQ(static_cast<LONG>(BS_PUSHBUTTON), ::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(CStyledButton::kKindUnattached, button.GetKind());
    EXPECT_EQ(nullptr, button.GetTheme());
    theirs.UnsubclassWindow();
}

}  // namespace
