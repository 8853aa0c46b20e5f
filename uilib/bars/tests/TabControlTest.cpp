#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "uilib/bars/TabControl.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00,
                kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF, kGrey = 0xFF808080;

// The skin: normal parts red | green | blue (24 high), selected parts yellow (26 high), hot parts
// cyan, an icon strip of two 8 x 8 magenta icons, a grey background middle.
std::string SkinPng()
{
    const int w = 64, h = 30;
    std::vector<DWORD> px(w * h, 0);
    auto fill = [&](int x0, int width, int height, DWORD c) {
        for (int y = 0; y < height; ++y)
            for (int x = x0; x < x0 + width; ++x)
                px[y * w + x] = c;
    };
    fill(0, 4, 24, kRed);
    fill(4, 4, 24, kGreen);
    fill(8, 4, 24, kBlue);
    fill(12, 12, 26, kYellow);
    fill(24, 12, 24, kCyan);
    fill(40, 16, 8, kMagenta);
    fill(56, 4, 20, kGrey);
    return EncodePng(w, h, px);
}

std::string Description(const std::string& general, const std::string& extra = "")
{
    return "[General]\nImage = tabs.png\n" + general +
           "Text Margins = 6, 2, 6, 2\n"
           "[Item]\nLeft = 0, 0, 4, 24\nMiddle = 4, 0, 4, 24\nRight = 8, 0, 4, 24\nText Color = 0, 0, 0\n"
           "[Hot Item]\nLeft = 24, 0, 4, 24\nMiddle = 28, 0, 4, 24\nRight = 32, 0, 4, 24\n"
           "[Selected Item]\nLeft = 12, 0, 4, 26\nMiddle = 16, 0, 4, 26\nRight = 20, 0, 4, 26\n"
           "[Hot Selected Item]\nLeft = 12, 0, 4, 26\nMiddle = 16, 0, 4, 26\nRight = 20, 0, 4, 26\n" +
           extra;
}

class TabControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.Write("tabs.png", SkinPng());
        SetCursorPos(1000, 760);  // no hot tab
    }
    HWND MakeTabs(DWORD style, std::initializer_list<const wchar_t*> texts)
    {
        HWND tab = host.AddChild(WC_TABCONTROLW, L"", 10, 10, 400, 120, style | WS_CLIPSIBLINGS);
        SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        int i = 0;
        for (const wchar_t* text : texts) {
            TCITEMW item = {};
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = const_cast<wchar_t*>(text);
            item.iImage = -1;
            SendMessageW(tab, TCM_INSERTITEMW, i++, reinterpret_cast<LPARAM>(&item));
        }
        return tab;
    }
    std::string Write(const std::string& text) { return folder.Write("tabs.ini", text); }
    RECT ItemRect(HWND tab, int index)
    {
        RECT r = {};
        SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static DWORD Rgb(DWORD argb) { return argb & 0xFFFFFF; }

    TempFolder folder;
    HostWindow host;
};

TEST_F(TabControlTest, TabsAreSizedByTextMarginsAndTheLeftPart)
{
    HWND tab = MakeTabs(TCS_FIXEDWIDTH, {L"One", L"A much longer tab text"});
    ASSERT_EQ(CustomizeTabControl(tab, Write(Description("")).c_str()), 1);
    SIZE longest = GetTextExtent(tab, L"A much longer tab text", static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    RECT r = ItemRect(tab, 1);
    EXPECT_EQ(r.right - r.left, longest.cx + 12);
    EXPECT_EQ(r.bottom - r.top, 20);  // the 24-pixel left part minus 4
}

TEST_F(TabControlTest, PaintsPartsWithTheSelectedTabLastAndWider)
{
    HWND tab = MakeTabs(0, {L"One", L"Two", L"Three"});
    ASSERT_EQ(CustomizeTabControl(tab, Write(Description("Background Color = 10, 20, 30\n")).c_str()), 1);
    SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    DibCanvas canvas(400, 120);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    RECT first = ItemRect(tab, 0), second = ItemRect(tab, 1), third = ItemRect(tab, 2);
    EXPECT_EQ(canvas.Rgb(1, 5), Rgb(kRed));            // the first tab starts at 0
    EXPECT_EQ(canvas.Rgb(second.left - 2, 5), Rgb(kYellow));  // the selected tab over it, 2 wider
    EXPECT_EQ(canvas.Rgb(second.left - 3, 5), Rgb(kBlue));
    EXPECT_EQ(canvas.Rgb(second.left + 8, 5), Rgb(kYellow));
    EXPECT_EQ(canvas.Rgb(third.right - 1, 5), Rgb(kBlue));
    EXPECT_EQ(canvas.Rgb(third.left + 6, 5), Rgb(kGreen));
    EXPECT_EQ(canvas.Rgb(third.right + 20, 5), 0x0A141Eu);  // the row's background colour
    EXPECT_EQ(canvas.Rgb(200, 90), 0xFFFFFFu);              // the body's default highlight
}

TEST_F(TabControlTest, BackgroundImageFillsTheRowRightOfTheTabs)
{
    HWND tab = MakeTabs(0, {L"One"});
    ASSERT_EQ(CustomizeTabControl(
                  tab, Write(Description("", "[Background]\nType = Stretch\nMiddle = 56, 0, 4, 20\n")).c_str()),
              1);
    DibCanvas canvas(400, 120);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    RECT only = ItemRect(tab, 0);
    EXPECT_EQ(canvas.Rgb(only.right + 5, 5), Rgb(kGrey));
    EXPECT_EQ(canvas.Rgb(390, 5), Rgb(kGrey));
}

TEST_F(TabControlTest, TranslucentBackgroundShowsTheParent)
{
    HWND tab = MakeTabs(0, {L"One"});
    ASSERT_EQ(CustomizeTabControl(tab, Write(Description("Background Color = #00102030\n"
                                                         "Highlight Background Color = #80FFFFFF\n"))
                                           .c_str()),
              1);
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(tab, kTabControlGetColor, 0, 0)), 0x00302010u);
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(tab, kTabControlGetColor, 1, 0)), 0x80FFFFFFu);
    EXPECT_EQ(SendMessageW(tab, kTabControlGetColor, 2, 0), 0);
    DibCanvas canvas(400, 120, 0xFF000000);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    RECT only = ItemRect(tab, 0);
    EXPECT_EQ(canvas.Rgb(only.right + 20, 5), 0xFFFFFFu);  // the host's white, not black
}

TEST_F(TabControlTest, ColoursAreOpaqueUnlessTheyGiveAnAlpha)
{
    // Over the host's white: "#RRGGBB" and "r, g, b" paint their colour, "#AARRGGBB" blends it over
    // the parent's look, and a translucent body leaves an opaque row its colour.
    struct Case {
        const char* colours;
        DWORD background;  // as 0x464 answers it
        DWORD row;         // a row pixel right of the tabs, 0x00RRGGBB
        DWORD body;
    } cases[] = {
        {"Background Color = #102030\nHighlight Background Color = #405060\n", 0xFF302010, 0x102030, 0x405060},
        {"Background Color = 16, 32, 48\n", 0xFF302010, 0x102030, 0xFFFFFF},
        {"Background Color = #80FF0000\n", 0x800000FF, 0xFF7F7F, 0xFFFFFF},
        {"Background Color = #102030\nHighlight Background Color = #80000000\n", 0xFF302010, 0x102030, 0x7F7F7F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colours);
        HWND tab = MakeTabs(0, {L"One"});
        ASSERT_EQ(CustomizeTabControl(tab, Write(Description(c.colours)).c_str()), 1);
        EXPECT_EQ(static_cast<DWORD>(SendMessageW(tab, kTabControlGetColor, 0, 0)), c.background);
        DibCanvas canvas(400, 120, 0xFF000000);
        SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        RECT only = ItemRect(tab, 0);
        auto withinOne = [](DWORD a, DWORD b) {
            for (int shift = 0; shift < 24; shift += 8)
                if (abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 1)
                    return false;
            return true;
        };
        EXPECT_PRED2(withinOne, canvas.Rgb(only.right + 20, 5), c.row);
        EXPECT_PRED2(withinOne, canvas.Rgb(200, 90), c.body);
        DestroyWindow(tab);
    }
}

TEST_F(TabControlTest, StripIconsAreDrawnLeftOfTheText)
{
    HWND tab = MakeTabs(0, {L"One"});
    TCITEMW item = {};
    item.mask = TCIF_IMAGE;
    item.iImage = 1;
    SendMessageW(tab, TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ASSERT_EQ(CustomizeTabControl(tab, Write(Description("", "[Item Images]\nNormal = 40, 0, 8, 8\n"
                                                             "Selected = 40, 0, 8, 8\n"))
                                           .c_str()),
              1);
    SendMessageW(tab, TCM_SETCURSEL, -1, 0);
    DibCanvas canvas(400, 120);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    RECT r = ItemRect(tab, 0);
    int magenta = 0, firstX = -1;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (canvas.Rgb(x, y) == Rgb(kMagenta)) {
                ++magenta;
                if (firstX < 0 || x < firstX)
                    firstX = x;
            }
    EXPECT_EQ(magenta, 64);  // one 8 x 8 icon: the second of the strip
    EXPECT_LT(firstX, (r.left + r.right) / 2);
}

TEST_F(TabControlTest, FailuresLeaveOrRemoveTheCustomisation)
{
    HWND tab = MakeTabs(0, {L"One"});
    const LONG_PTR original = GetWindowLongPtrW(tab, GWLP_WNDPROC);
    EXPECT_EQ(CustomizeTabControl(tab, folder.File("missing.ini").c_str()), 0);
    EXPECT_EQ(GetWindowLongPtrW(tab, GWLP_WNDPROC), original);
    ASSERT_EQ(CustomizeTabControl(tab, Write(Description("")).c_str()), 1);
    EXPECT_NE(GetWindowLongPtrW(tab, GWLP_WNDPROC), original);
    ASSERT_EQ(CustomizeTabControl(tab, Write(Description("")).c_str()), 1);  // re-reads in place
    std::string noImage = Description("");
    noImage.replace(noImage.find("tabs.png"), 8, "none.png");
    EXPECT_EQ(CustomizeTabControl(tab, Write(noImage).c_str()), 0);
    EXPECT_EQ(GetWindowLongPtrW(tab, GWLP_WNDPROC), original);
    EXPECT_EQ(GetPropW(tab, L"Glazier::TabControl"), nullptr);
    EXPECT_TRUE(DestroyWindow(tab));
}

TEST_F(TabControlTest, ColourSchemeAppliesItsTabControlDescription)
{
    HWND tab = MakeTabs(0, {L"One"});
    Write(Description("Background Color = 10, 20, 30\n"));
    LoadSchemeText(folder, "[TabControl]\nCustom = tabs.ini\n");
    EXPECT_EQ(ApplyColorScheme(tab, 0, 0), 1);
    EXPECT_EQ(static_cast<DWORD>(SendMessageW(tab, kTabControlGetColor, 0, 0)), 0xFF1E140Au);
    LoadColorScheme(L"no-such-scheme.thm", 0);
    HWND other = MakeTabs(0, {L"Two"});
    EXPECT_EQ(ApplyColorScheme(other, 0, 0), 0);  // no description named
}

}  // namespace
