#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "uilib/bars/ToolBarXP.h"
#include "uilib/bars/WindowsVersion.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

constexpr COLORREF kChecked = RGB(255, 0, 0);
constexpr COLORREF kHot = RGB(0, 255, 0);
constexpr COLORREF kSelected = RGB(0, 0, 255);
constexpr COLORREF kFrame = RGB(255, 0, 255);
constexpr COLORREF kSeparatorDark = RGB(0, 128, 0);
constexpr COLORREF kSeparatorLight = RGB(128, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

const char kScheme[] =
    "[ToolBar]\nChecked = #FF0000\nHot = #00FF00\nSelected = #0000FF\nFrame = #FF00FF\n"
    "SeparatorDark = #008000\nSeparatorLight = #800000\n";

// Counts what reaches the toolbar's own procedure below the XP subclass.
std::vector<UINT> g_seen;
WNDPROC g_toolbarProc = nullptr;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back(message);
    return CallWindowProcW(g_toolbarProc, window, message, wParam, lParam);
}

class ToolBarXPTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadSchemeText(folder, kScheme);
        RECT rect = {0, 0, 500, 40};
        ASSERT_TRUE(toolbar.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, rect,
                                   host.Get(), 100));
        SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(40, 30));
        toolbar.SetBitmapSize(SIZE{16, 16});
    }
    void TearDown() override { LoadColorScheme(L"no-such-scheme.thm", 0); }

    void AddButtons(std::initializer_list<int> ids)
    {
        for (int id : ids) {
            TBBUTTON button = {};
            button.iBitmap = I_IMAGENONE;
            button.idCommand = id;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
            button.iString = -1;
            ASSERT_TRUE(toolbar.AddButtons(1, &button));
        }
    }
    void SetWidth(int id, int width)
    {
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(width);
        ASSERT_TRUE(toolbar.SetButtonInfo(id, &info));
    }
    int Width(int id)
    {
        RECT r = {};
        toolbar.GetRect(id, &r);
        return r.right - r.left;
    }
    LRESULT Layout(WPARAM which, const TBBUTTONLAYOUT& layout)
    {
        return SendMessageW(toolbar, WM_SETTBBUTTONLAYOUT, which, reinterpret_cast<LPARAM>(&layout));
    }
    static TBBUTTONLAYOUT MakeLayout(DWORD flags, HWND child = nullptr)
    {
        TBBUTTONLAYOUT layout = {};
        layout.size = sizeof(layout);
        layout.flags = flags;
        layout.child = child;
        return layout;
    }
    PixelImage Pixels()
    {
        RepaintNow(host.Get());
        return CaptureClientPixels(toolbar);
    }

    TempFolder folder;
    HostWindow host;
    CToolBarXP toolbar;
};

TEST_F(ToolBarXPTest, ButtonStatesGetTheirGradientAndFrame)
{
    AddButtons({1, 2, 3, 4});
    toolbar.AutoCustomDraw();
    toolbar.CheckButton(1, TRUE);
    toolbar.CheckButton(3, TRUE);
    toolbar.PressButton(4, TRUE);
    toolbar.SetHotItem(1);
    PixelImage p = Pixels();
    RECT r1, r2, r4;
    toolbar.GetItemRect(0, &r1);
    toolbar.GetItemRect(1, &r2);
    toolbar.GetItemRect(3, &r4);
    EXPECT_EQ(p.At(r1.left + 5, r1.top + 5), kChecked);
    EXPECT_EQ(p.At(r1.left, r1.top + 5), kFrame);
    EXPECT_EQ(p.At(r2.left + 5, r2.top + 5), kHot);
    EXPECT_EQ(p.At(r4.left + 5, r4.top + 5), kSelected);
    toolbar.SetHotItem(0);  // checked and hot together: the selected gradient
    p = Pixels();
    EXPECT_EQ(p.At(r1.left + 5, r1.top + 5), kSelected);
}

TEST_F(ToolBarXPTest, SeparatorLayoutPaintsTwoLines)
{
    AddButtons({1, 2});
    toolbar.AutoCustomDraw();
    TBBUTTONLAYOUT layout = MakeLayout(kLayoutSeparator);
    ASSERT_EQ(Layout(2, layout), 1);
    PixelImage p = Pixels();
    RECT r;
    toolbar.GetItemRect(1, &r);
    EXPECT_EQ(p.At(r.left + 3, r.top + 1), kSeparatorDark);
    EXPECT_EQ(p.At(r.left + 4, r.top + 2), kSeparatorLight);
    EXPECT_EQ(p.At(r.left + 4, r.top + 1), p.At(r.left + 10, r.top + 10));  // the light one starts lower
}

TEST_F(ToolBarXPTest, RightButtonNeverReachesTheToolbar)
{
    g_seen.clear();
    g_toolbarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
    toolbar.AutoCustomDraw(FALSE);
    SendMessageW(toolbar, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), WM_RBUTTONDOWN), 0);
    EXPECT_EQ(std::count(g_seen.begin(), g_seen.end(), WM_MOUSEMOVE), 1);
}

TEST_F(ToolBarXPTest, ShortOrMissingLayoutIsRefused)
{
    AddButtons({1, 2});
    toolbar.AutoCustomDraw(FALSE);
    TBBUTTONLAYOUT layout = MakeLayout(kLayoutStretch);
    layout.size = 36;
    EXPECT_EQ(Layout(1, layout), 0);
    const int before = Width(1);
    EXPECT_EQ(SendMessageW(toolbar, WM_SETTBBUTTONLAYOUT, 1, 0), 0);
    layout.size = sizeof(layout);
    EXPECT_EQ(Layout(99, layout), 0);  // no such command
    EXPECT_EQ(Width(1), before);
    TBBUTTON button = {};
    toolbar.GetButton(0, &button);
    EXPECT_EQ(button.dwData, 0u);
}

TEST_F(ToolBarXPTest, StretchedButtonTakesTheRestOfTheWidth)
{
    AddButtons({1, 2, 3});
    toolbar.AutoCustomDraw(FALSE);
    SetWidth(1, 100);
    SetWidth(2, 40);
    SetWidth(3, 180);
    ASSERT_EQ(toolbar.GetToolbarSize().cx, 320);  // the other buttons use 280 of 500
    TBBUTTONLAYOUT layout = MakeLayout(kLayoutStretch);
    ASSERT_EQ(Layout(2, layout), 1);
    EXPECT_EQ(Width(2), 220);

    SetWidth(1, 400);  // the others now use more than the width
    layout.byIndex = 1;
    ASSERT_EQ(Layout(1, layout), 1);
    EXPECT_EQ(Width(2), 1);
}

TEST_F(ToolBarXPTest, EmbeddedChildFollowsItsButtonWithItsMargins)
{
    AddButtons({1, 2});
    toolbar.AutoCustomDraw(FALSE);
    HWND child = host.AddChild(L"STATIC", L"", 0, 0, 10, 10);
    TBBUTTONLAYOUT layout = MakeLayout(0, child);
    layout.left = 2;
    layout.top = 3;
    layout.right = 4;
    layout.bottom = 5;
    ASSERT_EQ(Layout(2, layout), 1);
    EXPECT_EQ(GetParent(child), static_cast<HWND>(toolbar));
    auto expectPlaced = [&] {
        RECT item, placed;
        toolbar.GetRect(2, &item);
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, toolbar, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, item.left + 2);
        EXPECT_EQ(placed.top, item.top + 3);
        EXPECT_EQ(placed.right, item.right - 4);
        EXPECT_EQ(placed.bottom, item.bottom - 5);
    };
    expectPlaced();
    SetWidth(1, 90);  // the button moves; the child follows at the next resize
    SetWindowPos(toolbar, nullptr, 0, 0, 480, 40, SWP_NOMOVE | SWP_NOZORDER);
    expectPlaced();
    DestroyWindow(toolbar);  // frees the records
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(ToolBarXPTest, HostDataInButtonLParamsIsNeitherReadNorFreed)
{
    // The host keeps its own data in the buttons: a block that looks like a separator's layout
    // record, a small number, and a block on a button it then lays out.
    auto* lookalike = static_cast<TBBUTTONLAYOUT*>(malloc(sizeof(TBBUTTONLAYOUT)));
    auto* laidOut = static_cast<TBBUTTONLAYOUT*>(malloc(sizeof(TBBUTTONLAYOUT)));
    ASSERT_TRUE(lookalike && laidOut);
    *lookalike = MakeLayout(kLayoutSeparator);
    *laidOut = MakeLayout(0);
    const TBBUTTONLAYOUT lookalikeCopy = *lookalike, laidOutCopy = *laidOut;
    const DWORD_PTR data[] = {reinterpret_cast<DWORD_PTR>(lookalike), 5, reinterpret_cast<DWORD_PTR>(laidOut)};
    for (int i = 0; i < 3; ++i) {
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = i + 1;
        button.fsState = TBSTATE_ENABLED | TBSTATE_CHECKED;
        button.dwData = data[i];
        button.iString = -1;
        ASSERT_TRUE(toolbar.AddButtons(1, &button));
    }
    toolbar.AutoCustomDraw();
    ASSERT_EQ(Layout(3, MakeLayout(kLayoutSeparator)), 1);  // the layout takes that button's lParam

    PixelImage p = Pixels();
    RECT r[3];
    for (int i = 0; i < 3; ++i)
        toolbar.GetItemRect(i, &r[i]);
    EXPECT_EQ(p.At(r[0].left + 5, r[0].top + 5), kChecked);  // a checked button, not a separator
    EXPECT_EQ(p.At(r[1].left + 5, r[1].top + 5), kChecked);
    EXPECT_EQ(p.At(r[2].left + 3, r[2].top + 1), kSeparatorDark);
    TBBUTTON first = {};
    toolbar.GetButton(0, &first);
    EXPECT_EQ(first.dwData, data[0]);

    DestroyWindow(toolbar);  // frees the library's own record only
    EXPECT_EQ(memcmp(lookalike, &lookalikeCopy, sizeof(TBBUTTONLAYOUT)), 0);
    EXPECT_EQ(memcmp(laidOut, &laidOutCopy, sizeof(TBBUTTONLAYOUT)), 0);
    free(lookalike);
    free(laidOut);
}

TEST_F(ToolBarXPTest, NonWindowChildIsStoredOnly)
{
    AddButtons({1});
    toolbar.AutoCustomDraw(FALSE);
    TBBUTTONLAYOUT layout = MakeLayout(0, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(Layout(1, layout), 1);
    TBBUTTON button = {};
    toolbar.GetButton(0, &button);
    ASSERT_NE(button.dwData, 0u);
    EXPECT_EQ(reinterpret_cast<TBBUTTONLAYOUT*>(button.dwData)->child, reinterpret_cast<HWND>(0x1234));
}

TEST_F(ToolBarXPTest, DestructorUnsubclassesToolbarAndParent)
{
    const LONG_PTR toolbarProc = GetWindowLongPtrW(toolbar, GWLP_WNDPROC);
    const LONG_PTR parentProc = GetWindowLongPtrW(host.Get(), GWLP_WNDPROC);
    {
        CToolBarXP other;
        other.m_hWnd = toolbar;
        other.AutoCustomDraw(TRUE);
        EXPECT_NE(GetWindowLongPtrW(toolbar, GWLP_WNDPROC), toolbarProc);
        EXPECT_NE(GetWindowLongPtrW(host.Get(), GWLP_WNDPROC), parentProc);
        EXPECT_EQ(GetPropA(host.Get(), "CToolBarXP"), &other);
    }
    EXPECT_EQ(GetWindowLongPtrW(toolbar, GWLP_WNDPROC), toolbarProc);
    EXPECT_EQ(GetWindowLongPtrW(host.Get(), GWLP_WNDPROC), parentProc);
    EXPECT_EQ(GetPropA(host.Get(), "CToolBarXP"), nullptr);
}

TEST_F(ToolBarXPTest, TwoToolbarsOnOneParentBothPaint)
{
    AddButtons({1});
    CToolBarXP second;
    RECT rect = {0, 50, 500, 90};
    ASSERT_TRUE(second.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, rect,
                              host.Get(), 101));
    SendMessageW(second, TB_SETBUTTONSIZE, 0, MAKELONG(40, 30));
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = 1;
    button.fsState = TBSTATE_ENABLED | TBSTATE_CHECKED;
    button.iString = -1;
    second.AddButtons(1, &button);
    toolbar.CheckButton(1, TRUE);
    toolbar.AutoCustomDraw();
    second.AutoCustomDraw();
    RepaintNow(host.Get());
    for (HWND bar : {static_cast<HWND>(toolbar), static_cast<HWND>(second)}) {
        PixelImage p = CaptureClientPixels(bar);
        RECT r;
        SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(p.At(r.left + 5, r.top + 5), kChecked);
    }
}

TEST_F(ToolBarXPTest, UsedSizeByLastVisibleButtonBeforeXp)
{
    AddButtons({1, 2, 3});
    SetWidth(1, 50);
    SetWidth(2, 60);
    SetWidth(3, 70);
    toolbar.HideButton(3, TRUE);
    OverrideWindowsVersion(5, 0);
    RECT second;
    toolbar.GetItemRect(1, &second);
    SIZE used = toolbar.GetToolbarSize();
    OverrideWindowsVersion(0, 0);
    EXPECT_EQ(used.cx, second.right);
    EXPECT_EQ(used.cy, second.bottom);
}

}  // namespace
