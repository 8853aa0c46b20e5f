#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/WindowPixels.h"
#include "uilib/skin/SkinButton.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

// Four 24 x 16 parts side by side. Normal is red with a transparent 4-pixel margin on its left
// and top, so its clickable area is (4, 4)-(24, 16); the others are opaque.
constexpr int kCx = 24, kCy = 16, kMargin = 4;
constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080;
const COLORREF kParentColour = RGB(255, 255, 0);

std::string ButtonPng()
{
    std::vector<DWORD> argb(4 * kCx * kCy);
    for (int y = 0; y < kCy; ++y)
        for (int x = 0; x < 4 * kCx; ++x) {
            int part = x / kCx, px = x % kCx;
            DWORD c = part == 0 ? ((px < kMargin || y < kMargin) ? 0 : kRed)
                      : part == 1 ? kGreen
                      : part == 2 ? kBlue
                                  : kGrey;
            argb[y * 4 * kCx + x] = c;
        }
    return EncodePng(4 * kCx, kCy, argb);
}

const char kDescription[] =
    "[General]\r\nImage = button.png\r\n"
    "[Play]\r\nNormal = 0, 0, 24, 16\r\nHot = 24, 0, 24, 16\r\nPushed = 48, 0, 24, 16\r\n"
    "Disabled = 72, 0, 24, 16\r\n"
    "[Ghost]\r\nNormal = 0, 0, 4, 16\r\nHot = 24, 0, 4, 16\r\nPushed = 48, 0, 4, 16\r\n";

struct Command {
    WORD id, code;
    HWND from;
};
std::vector<Command> g_commands;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        g_commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(kParentColour);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class SkinButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkinButtonTestParent";
        RegisterClassW(&wc);
        m_parent = CreateWindowExW(0, wc.lpszClassName, L"parent", WS_POPUP | WS_VISIBLE, 100, 100, 200, 120,
                                   nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_parent, nullptr);
        folder.Write("button.png", ButtonPng());
        description = folder.Write("button.txt", kDescription);
        g_commands.clear();
    }
    void TearDown() override { DestroyWindow(m_parent); }

    HWND Create(const char* name = "Play")
    {
        return CreateSkinButton(m_parent, 7, description.c_str(), name, 10, 20);
    }
    // The button's pixel at (x, y) as it is on the screen after a paint.
    COLORREF PixelAt(HWND button, int x, int y)
    {
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PixelImage image = CaptureClientPixels(button);
        return image.Empty() ? CLR_INVALID : image.At(x, y);
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    int Clicks(WORD id = 7) const
    {
        int n = 0;
        for (const Command& c : g_commands)
            n += c.id == id && c.code == BN_CLICKED;
        return n;
    }

    TempFolder folder;
    std::string description;
    HWND m_parent = nullptr;
};

TEST_F(SkinButton, TakesItsImageSizeAndDrawsOverTheParentBackground)
{
    HWND button = Create();
    ASSERT_NE(button, nullptr);
    RECT r;
    GetWindowRect(button, &r);
    EXPECT_EQ(r.right - r.left, kCx);
    EXPECT_EQ(r.bottom - r.top, kCy);
    MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&r), 1);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(PixelAt(button, 1, 1), kParentColour) << "transparent pixels show the parent";
    EXPECT_EQ(PixelAt(button, 12, 10), RGB(255, 0, 0));
}

TEST_F(SkinButton, EachStateDrawsItsPart)
{
    HWND button = Create();
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_MOUSEMOVE, 0, At(12, 10));
    EXPECT_EQ(PixelAt(button, 1, 1), RGB(0, 255, 0)) << "hot";
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(PixelAt(button, 1, 1), RGB(0, 0, 255)) << "pushed before hot";
    EnableWindow(button, FALSE);
    EXPECT_EQ(PixelAt(button, 1, 1), RGB(128, 128, 128)) << "disabled before all";
    EnableWindow(button, TRUE);
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(PixelAt(button, 12, 10), RGB(255, 0, 0)) << "normal again";
}

TEST_F(SkinButton, APressCountsOnlyOverTheOpaqueArea)
{
    HWND button = Create();
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));  // the transparent margin
    EXPECT_NE(GetCapture(), button);
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    SendMessageW(button, WM_LBUTTONUP, 0, At(2, 2));
    EXPECT_EQ(Clicks(), 0);

    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(12, 10));
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(PixelAt(button, 12, 10), RGB(0, 0, 255));
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, At(40, 10));  // dragged out: pops up
    EXPECT_NE(PixelAt(button, 12, 10), RGB(0, 0, 255));
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, At(12, 10));  // back in: pushed again
    EXPECT_EQ(PixelAt(button, 12, 10), RGB(0, 0, 255));
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, At(40, 10));
    SendMessageW(button, WM_LBUTTONUP, 0, At(40, 10));  // released outside: nothing
    EXPECT_NE(GetCapture(), button);
    EXPECT_EQ(Clicks(), 0);

    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(12, 10));
    SendMessageW(button, WM_LBUTTONUP, 0, At(12, 10));
    ASSERT_EQ(Clicks(), 1);
    EXPECT_EQ(g_commands.back().from, button);
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
}

// The clickable area is the box of the Normal part's opaque pixels: a part with none is
// clickable nowhere, by mouse, keyboard or BM_CLICK.
TEST_F(SkinButton, ANormalPartWithoutOpaquePixelsIsClickableNowhere)
{
    HWND button = Create("Ghost");
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_MOUSEMOVE, 0, At(2, 8));
    EXPECT_EQ(PixelAt(button, 2, 8), kParentColour) << "never hot";
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 8));
    EXPECT_NE(GetCapture(), button);
    SendMessageW(button, WM_LBUTTONUP, 0, At(2, 8));
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks(), 0);
}

TEST_F(SkinButton, LosingTheCaptureMidPressPopsUpWithoutAClick)
{
    HWND button = Create();
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(12, 10));
    ReleaseCapture();
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    SendMessageW(button, WM_LBUTTONUP, 0, At(12, 10));
    EXPECT_EQ(Clicks(), 0);
}

// Keyboard and BM_CLICK act inside the clickable area, so a picture with transparent corners
// (here the top-left margin) still clicks.
TEST_F(SkinButton, SpaceAndClickMessageClickEvenWithATransparentCorner)
{
    HWND button = Create();
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(PixelAt(button, 12, 10), RGB(0, 0, 255));
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(Clicks(), 1);
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0);  // a release without a press
    EXPECT_EQ(Clicks(), 1);
    DWORD start = GetTickCount();
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_GE(GetTickCount() - start, 90u);
    EXPECT_EQ(Clicks(), 2);
}

TEST_F(SkinButton, NotifyStyleAddsFocusAndDoubleClickNotifications)
{
    HWND plain = Create();
    ASSERT_NE(plain, nullptr);
    SetFocus(plain);
    EXPECT_EQ(SendMessageW(plain, BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS);
    SendMessageW(plain, WM_LBUTTONDBLCLK, MK_LBUTTON, At(12, 10));  // as a press
    EXPECT_EQ(GetCapture(), plain);
    SendMessageW(plain, WM_LBUTTONUP, 0, At(12, 10));
    EXPECT_EQ(Clicks(), 1);
    SetFocus(m_parent);
    EXPECT_EQ(g_commands.size(), 1u) << "no focus notifications without BS_NOTIFY";

    SetWindowLongW(plain, GWL_STYLE, GetWindowLongW(plain, GWL_STYLE) | BS_NOTIFY);
    g_commands.clear();
    SetFocus(plain);
    SendMessageW(plain, WM_LBUTTONDBLCLK, MK_LBUTTON, At(12, 10));
    SetFocus(m_parent);
    ASSERT_EQ(g_commands.size(), 3u);
    EXPECT_EQ(g_commands[0].code, BN_SETFOCUS);
    EXPECT_EQ(g_commands[1].code, BN_DOUBLECLICKED);
    EXPECT_EQ(g_commands[2].code, BN_KILLFOCUS);
}

TEST_F(SkinButton, TooltipShowsTheWindowTextCutAt80Characters)
{
    HWND button = Create();
    ASSERT_NE(button, nullptr);
    std::string text(100, 'x');
    SetWindowTextA(button, text.c_str());
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = nullptr;
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(button, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::string(info.szText), std::string(79, 'x'));
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
}

TEST_F(SkinButton, MissingDescriptionSectionOrImageGivesNoButton)
{
    EXPECT_EQ(Create("NoSuchButton"), nullptr);
    EXPECT_EQ(Create(nullptr), nullptr);
    EXPECT_EQ(CreateSkinButton(m_parent, 7, folder.File("none.txt").c_str(), "Play", 0, 0), nullptr);
    std::string noImage = folder.Write("noimage.txt", "[General]\r\nImage = missing.png\r\n[Play]\r\nNormal = 0,0,4,4\r\n");
    EXPECT_EQ(CreateSkinButton(m_parent, 7, noImage.c_str(), "Play", 0, 0), nullptr);
    EXPECT_EQ(GetWindow(m_parent, GW_CHILD), nullptr) << "nothing left behind";
}

TEST_F(SkinButton, ConvertingADialogButtonKeepsItsIdPlaceTextAndState)
{
    HWND before = CreateWindowExW(0, L"BUTTON", L"first", WS_CHILD | WS_VISIBLE, 0, 0, 30, 20, m_parent,
                                  reinterpret_cast<HMENU>(3), nullptr, nullptr);
    HWND old = CreateWindowExW(0, L"BUTTON", L"Play it", WS_CHILD | WS_VISIBLE | BS_NOTIFY | WS_DISABLED, 50,
                               60, 80, 25, m_parent, reinterpret_cast<HMENU>(9), nullptr, nullptr);
    CreateWindowExW(0, L"BUTTON", L"last", WS_CHILD | WS_VISIBLE, 0, 90, 30, 20, m_parent,
                    reinterpret_cast<HMENU>(4), nullptr, nullptr);
    // Failure leaves the old control where it was.
    EXPECT_EQ(ConvertButtonToSkinButton(m_parent, 9, description.c_str(), "NoSuchButton"), nullptr);
    EXPECT_EQ(GetDlgItem(m_parent, 9), old);

    HWND fresh = ConvertButtonToSkinButton(m_parent, 9, description.c_str(), "Play");
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(GetDlgItem(m_parent, 9), fresh);
    char cls[32];
    GetClassNameA(fresh, cls, sizeof(cls));
    EXPECT_STREQ(cls, "SkinButton");
    EXPECT_EQ(GetWindow(fresh, GW_HWNDPREV), before) << "in the old control's place in Z order";
    RECT r;
    GetWindowRect(fresh, &r);
    MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, kCx);
    wchar_t text[32];
    GetWindowTextW(fresh, text, 32);
    EXPECT_STREQ(text, L"Play it");
    EXPECT_FALSE(IsWindowEnabled(fresh));

    EnableWindow(fresh, TRUE);
    SetFocus(fresh);  // the copied BS_NOTIFY counts
    SendMessageW(fresh, WM_LBUTTONDOWN, MK_LBUTTON, At(12, 10));
    SendMessageW(fresh, WM_LBUTTONUP, 0, At(12, 10));
    ASSERT_GE(g_commands.size(), 2u);
    EXPECT_EQ(g_commands.front().code, BN_SETFOCUS);
    EXPECT_EQ(Clicks(9), 1) << "the dialog's command handling sees the same id";
}

}  // namespace
