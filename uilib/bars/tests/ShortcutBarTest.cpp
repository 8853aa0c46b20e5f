#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/Screenshot.h"
#include "uilib/bars/BarInterfaces.h"
#include "uilib/bars/InterfaceFactory.h"
#include "uilib/bars/ShortcutBar.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

using Glazier::IShortcutBar;

constexpr UINT kBarId = 42;
constexpr int kBarWidth = 230;

// The bar's parent: keeps the notifications the bar sends it.
struct Reports {
    static std::vector<NMLISTVIEW> changes;
    static std::vector<NMITEMACTIVATE> clicks;
    static std::vector<HWND> senders;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NOTIFY) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code == LVN_ITEMCHANGED) {
                changes.push_back(*reinterpret_cast<NMLISTVIEW*>(lParam));
                senders.push_back(header->hwndFrom);
            } else if (header->code == static_cast<UINT>(NM_CLICK)) {
                clicks.push_back(*reinterpret_cast<NMITEMACTIVATE*>(lParam));
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};
std::vector<NMLISTVIEW> Reports::changes;
std::vector<NMITEMACTIVATE> Reports::clicks;
std::vector<HWND> Reports::senders;

HWND MakeParent()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Reports::Proc;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"TarnShortcutParent";
        RegisterClassW(&wc);
        registered = true;
    }
    return CreateWindowExW(0, L"TarnShortcutParent", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 30, 30,
                           kBarWidth + 40, 340, nullptr, nullptr, nullptr, nullptr);
}

HBITMAP SolidBitmap(int width, int height, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

int ItemTop(HWND list, int item)
{
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
    return rect.top;
}

// A skin image of three columns of ten pixels (left, middle, right parts), 40 pixels high, one
// band per state: normal red / green / blue, selected yellow / cyan / magenta.
std::string SkinPng()
{
    const DWORD bands[2][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, {0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF}};
    std::vector<DWORD> pixels(30 * 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 30; ++x)
            pixels[y * 30 + x] = bands[y / 40][x / 10];
    return EncodePng(30, 80, pixels);
}

std::string Description(const std::string& image, const std::string& background)
{
    return "[General]\nImage=" + image + "\nBackground Color=" + background +
           "\nButton Gap=4\n"
           "[Item]\nLeft=0,0,10,40\nMiddle=10,0,10,40\nRight=20,0,10,40\nText Color=#000000\n"
           "[Selected Item]\nLeft=0,40,10,40\nMiddle=10,40,10,40\nRight=20,40,10,40\n"
           "[Hot Selected Item]\nLeft=0,40,10,40\nMiddle=10,40,10,40\nRight=20,40,10,40\n";
}

class ShortcutBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reports::changes.clear();
        Reports::clicks.clear();
        Reports::senders.clear();
        parent = MakeParent();
        bar = static_cast<IShortcutBar*>(glzCreateInstance(Glazier::IID_IShortcutBar));
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override
    {
        if (bar)
            bar->Release();
        DestroyWindow(parent);
        LoadColorScheme(static_cast<const wchar_t*>(nullptr), 0);  // back to the defaults
    }
    void Create(BOOL large, HBITMAP top = nullptr, int height = 300)
    {
        ASSERT_TRUE(bar->Create(parent, kBarId, large, top, nullptr, nullptr, nullptr));
        window = bar->GetHwnd();
        ASSERT_NE(window, nullptr);
        SetWindowPos(window, nullptr, 0, 0, kBarWidth, height, SWP_NOZORDER);
        pager = FindWindowExW(window, nullptr, WC_PAGESCROLLERW, nullptr);
        list = pager ? FindWindowExW(pager, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
        ASSERT_NE(list, nullptr);
    }
    void AddButtons(int count)
    {
        for (int i = 0; i < count; ++i) {
            std::wstring text = L"Button " + std::to_wstring(i);
            ASSERT_EQ(bar->AddIconItem(LoadIconW(nullptr, IDI_APPLICATION), text.c_str()), i);
        }
    }
    RECT PagerRect() const
    {
        RECT r;
        GetWindowRect(pager, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND parent = nullptr;
    IShortcutBar* bar = nullptr;
    HWND window = nullptr, pager = nullptr, list = nullptr;
};

TEST_F(ShortcutBarTest, PagerHoldsTheButtonsBelowTheTopBitmapAndScrollsByEightPixels)
{
    Create(FALSE, SolidBitmap(kBarWidth, 60, RGB(200, 0, 0)));
    AddButtons(10);
    const RECT pagerRect = PagerRect();
    EXPECT_EQ(pagerRect.top, 60);
    EXPECT_EQ(pagerRect.bottom - pagerRect.top, 240);  // the rest of 300, not the 440 of the buttons
    EXPECT_EQ(ItemTop(list, 1) - ItemTop(list, 0), 44);
    EXPECT_EQ(bar->GetHeight(), 60 + 10 * 44);
    EXPECT_EQ(bar->GetWidth(), kBarWidth + 2);

    // One press on the pager's lower button scrolls by one step.
    RECT client;
    GetClientRect(pager, &client);
    const LPARAM below = MAKELPARAM(client.right / 2, client.bottom + 3);
    EXPECT_EQ(SendMessageW(pager, PGM_GETBUTTONSTATE, 0, PGB_BOTTOMORRIGHT), PGF_NORMAL);
    SendMessageW(pager, WM_LBUTTONDOWN, MK_LBUTTON, below);
    SendMessageW(pager, WM_LBUTTONUP, 0, below);
    EXPECT_EQ(SendMessageW(pager, PGM_GETPOS, 0, 0), 8);

    RepaintNow(parent);
    PixelImage p = CaptureScreenPixels(window);
    EXPECT_EQ(p.At(100, 30), RGB(200, 0, 0));  // the top bitmap
}

TEST_F(ShortcutBarTest, ButtonHeightFollowsTheButtonSize)
{
    Create(TRUE);
    AddButtons(2);
    HFONT font = nullptr;
    {
        LOGFONTW lf = {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfWeight = FW_BOLD;
        font = CreateFontIndirectW(&lf);
    }
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text = {};
    GetTextExtentPoint32W(dc, L"Ag", 2, &text);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    DeleteObject(font);
    EXPECT_EQ(ItemTop(list, 1) - ItemTop(list, 0), 2 * text.cy + 37);
    // Everything fits: the pager is as high as the buttons and sits at the top.
    const RECT pagerRect = PagerRect();
    EXPECT_EQ(pagerRect.top, 0);
    EXPECT_EQ(pagerRect.bottom, 2 * (2 * text.cy + 37));
}

TEST_F(ShortcutBarTest, QuickSelectionsGiveOneReportFromTheBar)
{
    Create(FALSE);
    AddButtons(8);
    EXPECT_TRUE(bar->SelectItem(2, TRUE));
    EXPECT_TRUE(bar->SelectItem(5, TRUE));  // before the posted report arrives
    PumpMessagesFor(50);
    ASSERT_EQ(Reports::changes.size(), 1u);
    EXPECT_EQ(Reports::senders[0], window);
    EXPECT_EQ(Reports::changes[0].hdr.idFrom, kBarId);
    EXPECT_EQ(Reports::changes[0].iItem, 2);
    EXPECT_EQ(Reports::changes[0].uNewState, static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(Reports::changes[0].uOldState, 0u);
    EXPECT_EQ(Reports::changes[0].uChanged, static_cast<UINT>(LVIF_STATE));

    EXPECT_TRUE(bar->SelectItem(7, TRUE));  // the report went out: the next one counts again
    PumpMessagesFor(50);
    ASSERT_EQ(Reports::changes.size(), 2u);
    EXPECT_EQ(Reports::changes[1].iItem, 7);
    EXPECT_TRUE(bar->SelectItem(7, FALSE));
    PumpMessagesFor(50);
    EXPECT_EQ(Reports::changes.size(), 2u);  // deselecting is not reported

    wchar_t text[32];
    EXPECT_TRUE(bar->GetItemText(7, text, 32));
    EXPECT_STREQ(text, L"Button 7");
    EXPECT_TRUE(bar->GetItemText(7, text, 4));
    EXPECT_STREQ(text, L"But");
}

TEST_F(ShortcutBarTest, ClickOnAButtonIsForwardedAndReported)
{
    Create(FALSE);
    AddButtons(3);
    UpdateWindow(parent);
    const LPARAM point = MAKELPARAM(60, ItemTop(list, 1) + 20);
    // The list view waits for the button's release inside the press: queue it first.
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PumpMessagesFor(80);
    ASSERT_EQ(Reports::clicks.size(), 1u);
    EXPECT_EQ(Reports::clicks[0].iItem, 1);
    ASSERT_EQ(Reports::changes.size(), 1u);
    EXPECT_EQ(Reports::changes[0].iItem, 1);
}

TEST_F(ShortcutBarTest, SchemeColoursPaintButtonsLinesAndBackground)
{
    TempFolder folder;
    LoadSchemeText(folder,
                   "[StudioBar]\nBackgroundStart=#405060\nBackgroundEnd=#405060\nNormalStart=#102030\n"
                   "NormalEnd=#102030\nSelectedStart=#C08000\nSelectedEnd=#C08000\nLine=#FF00FF\n");
    Create(FALSE);
    AddButtons(3);
    bar->SelectItem(1, TRUE);
    SetFocus(parent);  // selected without the focus: the plain selected look
    RepaintNow(parent);
    PixelImage p = CaptureScreenPixels(window);
    EXPECT_EQ(p.At(150, 5), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(p.At(150, 43), RGB(0xFF, 0x00, 0xFF));  // the frame between two buttons
    EXPECT_EQ(p.At(150, 44 + 5), RGB(0xC0, 0x80, 0x00));
    EXPECT_EQ(p.At(150, 250), RGB(0x40, 0x50, 0x60));  // below the buttons
    SavePixelsAsPng(p, ScreenshotFolder() + L"\\shortcut_bar.png");
}

TEST_F(ShortcutBarTest, DescriptionFilePaintsButtonsFromTheSkinAndStaysFirst)
{
    TempFolder folder;
    folder.Write("skin.png", SkinPng());
    const std::string first = folder.Write("bar.inf", Description("skin.png", "#FFFFFF"));
    const std::string second = folder.Write("other.inf", Description("skin.png", "#000000"));
    Create(FALSE);
    AddButtons(3);
    EXPECT_FALSE(bar->HasDescription());
    const std::wstring wide(first.begin(), first.end());
    ASSERT_TRUE(bar->LoadDescriptionW(wide.c_str()));
    EXPECT_TRUE(bar->HasDescription());
    EXPECT_TRUE(bar->LoadDescription(second.c_str()));  // answered, but the first look stays
    bar->SelectItem(1, TRUE);
    SetFocus(parent);
    RepaintNow(parent);
    EXPECT_EQ(ItemTop(list, 1) - ItemTop(list, 0), 44);  // gap + the left part's height

    PixelImage p = CaptureClientPixels(list);
    RECT client;
    GetClientRect(list, &client);
    struct Probe {
        int x, y;
        COLORREF colour;
    } probes[] = {
        {3, 5, RGB(255, 0, 0)},                  // left part
        {100, 5, RGB(0, 255, 0)},                // middle, tiled
        {client.right - 3, 5, RGB(0, 0, 255)},   // right part at the right edge
        {100, 42, RGB(255, 255, 255)},           // the gap in the first file's background
        {3, 44 + 5, RGB(255, 255, 0)},           // the selected button's parts
        {100, 44 + 5, RGB(0, 255, 255)},
        {client.right - 3, 44 + 5, RGB(255, 0, 255)},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(p.At(probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;
}

TEST_F(ShortcutBarTest, DescriptionFailuresLeaveTheSchemeLook)
{
    TempFolder folder;
    const std::string noImage = folder.Write("bar.inf", Description("missing.png", "#FFFFFF"));
    Create(FALSE);
    EXPECT_FALSE(bar->LoadDescription(nullptr));
    EXPECT_FALSE(bar->LoadDescriptionW(nullptr));
    EXPECT_FALSE(bar->LoadDescription(folder.File("absent.inf").c_str()));
    EXPECT_FALSE(bar->LoadDescription(noImage.c_str()));
    EXPECT_FALSE(bar->HasDescription());
}

TEST_F(ShortcutBarTest, ReleasingTheObjectTakesItsWindowAlong)
{
    Create(FALSE);
    AddButtons(2);
    EXPECT_EQ(bar->AddRef(), 2u);
    EXPECT_EQ(bar->Release(), 1u);
    EXPECT_EQ(bar->Release(), 0u);
    bar = nullptr;
    EXPECT_FALSE(IsWindow(window));
    PumpMessagesFor(30);  // nothing left to reach a freed object
}

TEST_F(ShortcutBarTest, ObjectOutlivesAWindowDestroyedWithItsParent)
{
    Create(FALSE);
    AddButtons(2);
    bar->SelectItem(0, TRUE);  // a report posted to a window about to go
    DestroyWindow(parent);
    parent = nullptr;
    PumpMessagesFor(30);
    EXPECT_EQ(bar->GetHwnd(), nullptr);
    EXPECT_EQ(bar->AddItem(0, L"late"), -1);
    EXPECT_FALSE(bar->SelectItem(0, TRUE));
    EXPECT_EQ(bar->GetHeight(), 0);
}

TEST_F(ShortcutBarTest, CopiedBitmapPartsSetTheWidth)
{
    HBITMAP top = SolidBitmap(300, 50, RGB(0, 0, 200));
    const RECT part = {20, 10, 220, 40};  // 200 x 30
    ASSERT_TRUE(bar->Create(parent, kBarId, FALSE, top, &part, top, nullptr));
    DeleteObject(top);  // the bar keeps copies
    EXPECT_EQ(bar->GetWidth(), 200 + 2);  // the narrower of the two
    window = bar->GetHwnd();
    SetWindowPos(window, nullptr, 0, 0, kBarWidth, 300, SWP_NOZORDER);
    RepaintNow(parent);
    PixelImage p = CaptureScreenPixels(window);
    EXPECT_EQ(p.At(100, 15), RGB(0, 0, 200));   // the top part
    EXPECT_EQ(p.At(100, 290), RGB(0, 0, 200));  // the whole bottom bitmap, at the bottom
    EXPECT_EQ(bar->CopyBitmapPart(nullptr, &part), nullptr);
}

}  // namespace
