#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

void LoadScheme(const TempFolder& folder, const std::string& text)
{
    std::string path = folder.Write("scheme.thm", text);
    ASSERT_TRUE(LoadColorScheme(path.c_str(), 0));
}

void LoadNoScheme()
{
    ASSERT_TRUE(LoadColorScheme(L"no-such-scheme.thm", 0));  // missing is no error
}

TEST(ColorScheme, DefaultsWithoutAFile)
{
    LoadNoScheme();
    EXPECT_EQ(g_Colors.WindowBorder, 0x800000u);
    EXPECT_EQ(g_Colors.WindowCaptionText, 0xFFFFFFu);
    EXPECT_EQ(g_Colors.WindowCaptionStart, 0xD68759u);
    EXPECT_EQ(g_Colors.WindowCaptionEnd, 0x933803u);
    // The table is read by offset: its fields are in their documented places.
    const COLORREF* fields = reinterpret_cast<const COLORREF*>(&g_Colors);
    EXPECT_EQ(fields[4], 0xFADAC4u);   // CommandBar BackgroundPlain
    EXPECT_EQ(fields[5], 0xF5BE9Eu);   // copy of the default set's background start
    EXPECT_EQ(fields[14], 0xF6F6F6u);  // Menu BackGround
    EXPECT_EQ(fields[25], 0x8CD5FFu);  // ToolBar CheckedStart
    EXPECT_EQ(fields[38], 0x933707u);  // StudioBar BackgroundStart
    EXPECT_EQ(fields[52], 0x804D33u);  // Preview BackgroundStart
    EXPECT_EQ(fields[54], 0xFADAC4u);  // Editor WindowBkg = CommandBar BackgroundPlain
    EXPECT_EQ(sizeof(COLORS) / sizeof(COLORREF), 79u);
    for (COLORREF c : {g_Colors.DialogFrameColor, g_Colors.DialogCaptionStart, g_Colors.DialogCaptionEnd,
                       g_Colors.DialogInactiveCaptionStart, g_Colors.DialogBackgroundEnd, g_Colors.DialogText,
                       g_Colors.DialogGroupFrame, g_Colors.DialogFooterBackground})
        EXPECT_EQ(c, kNoColor);
    EXPECT_EQ(g_Colors.EditorSeparator, 0xE2A981u);  // the default set's toolbar end
    EXPECT_EQ(g_Colors.ListViewBackground, GetSysColor(COLOR_WINDOW));
    const CommandBarColors& bar = g_Scheme.commandBar;
    EXPECT_EQ(bar.background.start, 0xF5BE9Eu);
    EXPECT_EQ(bar.background.end, 0xFADAC4u);
    EXPECT_TRUE(bar.background.horizontal);
    EXPECT_EQ(bar.gripperDark, 0x764127u);
    EXPECT_EQ(bar.toolbarStart, 0xFEECDDu);
    EXPECT_EQ(bar.toolbarLine, 0x9C613Bu);
    EXPECT_EQ(g_Scheme.commandBarView.toolbarEnd, bar.toolbarEnd);
    EXPECT_EQ(g_Scheme.viewWindowStyle, 0u);
}

TEST(ColorScheme, PairsAndFallbacks)
{
    TempFolder folder;
    LoadScheme(folder,
               "[Window]\nCaptionBackground = #102030\n"
               "[Group]\nCaptionStart = #010101\n"
               "[Menu]\nSideBar = #111111; #222222\n"
               "[ToolBar]\nText = #123456\nHotText = #654321\n"
               "[CommandBar]\nBackground = #0A0B0C\nBackgroundPlain = #ABCDEF\n"
               "[Dialog]\nCaption = #FF0000\n");
    EXPECT_EQ(g_Colors.WindowCaptionStart, 0x302010u);
    EXPECT_EQ(g_Colors.WindowCaptionEnd, 0x302010u);
    EXPECT_EQ(g_Colors.GroupCaptionStart, 0x010101u);
    EXPECT_EQ(g_Colors.GroupCaptionEnd, 0x933803u);  // the End key's own default
    EXPECT_EQ(g_Colors.MenuSideBarStart, 0x111111u);
    EXPECT_EQ(g_Colors.MenuSideBarEnd, 0x222222u);
    EXPECT_EQ(g_Colors.EditorBackground, 0x111111u);     // defaults name other values as just loaded
    EXPECT_EQ(g_Colors.EditorSelectedZone, 0x222222u);
    EXPECT_EQ(g_Colors.EditorWindowBkg, 0xEFCDABu);
    EXPECT_EQ(g_Colors.ToolBarSelectedText, 0x563412u);
    EXPECT_EQ(g_Colors.ToolBarHotText, 0x214365u);
    EXPECT_EQ(g_Scheme.commandBar.background.start, 0x0C0B0Au);
    EXPECT_EQ(g_Scheme.commandBar.background.end, 0x0C0B0Au);
    EXPECT_FALSE(g_Scheme.commandBar.background.horizontal);
    EXPECT_EQ(g_Colors.CommandBarBackgroundStart, 0x0C0B0Au);
    EXPECT_EQ(g_Scheme.commandBarView.background.start, 0x0C0B0Au);  // view set defaults to the default set
    EXPECT_EQ(g_Colors.DialogCaptionStart, 0x0000FFu);
    EXPECT_EQ(g_Colors.DialogCaptionEnd, 0x0000FFu);
    EXPECT_EQ(g_Colors.DialogInactiveCaptionStart, kNoColor);
}

TEST(ColorScheme, ReloadWithoutValuesRestoresDefaults)
{
    TempFolder folder;
    LoadScheme(folder,
               "[ViewWindow]\nStyle = Transparent\nBackground = #FF0000\n"
               "[CommandBar]\nStyle = transparent\n"
               "[PushButton]\nImageArea = 1 2 3 4\nImageLayout = Vertical\nImageFile = btn.png\n"
               "[TabControl]\nCustom = tabs.ini\n");
    EXPECT_EQ(g_Scheme.viewWindowStyle, kStyleTransparent);
    EXPECT_EQ(g_Scheme.commandBar.style, kStyleTransparent);
    EXPECT_EQ(g_Scheme.pushButtonImageArea.right, 3);
    EXPECT_TRUE(g_Scheme.pushButtonVertical);
    ASSERT_NE(g_Scheme.pushButtonImageFile, nullptr);
    ASSERT_NE(g_Scheme.tabControlFile, nullptr);
    EXPECT_STREQ(g_Scheme.path, (std::wstring(folder.Path().begin(), folder.Path().end()) + L"\\scheme.thm").c_str());

    LoadScheme(folder, "[Window]\nBorder = #000001\n");
    EXPECT_EQ(g_Scheme.viewWindowStyle, 0u);
    EXPECT_EQ(g_Scheme.commandBar.style, 0u);
    EXPECT_EQ(g_Scheme.viewWindowBackground.start, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(g_Scheme.pushButtonImageArea.right, 0);
    EXPECT_FALSE(g_Scheme.pushButtonVertical);
    EXPECT_EQ(g_Scheme.pushButtonImageFile, nullptr);
    EXPECT_EQ(g_Scheme.tabControlFile, nullptr);
    LoadNoScheme();
}

// --- background drawing through a chain of windows ---

struct Received {
    HWND window;
    UINT message;
    RECT rect;
    POINT origin;
};
std::vector<Received> g_received;
LRESULT g_drawAnswer = 0;  // what every window answers to "Glazier::DrawBkgnd"
HWND g_answerer = nullptr;  // the one window that answers non-zero, if any

LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GLZ_DRAWBKGND || message == WM_ERASEBKGND) {
        Received r = {window, message, {}, {}};
        if (message == WM_GLZ_DRAWBKGND)
            r.rect = *reinterpret_cast<const RECT*>(lParam);
        GetWindowOrgEx(reinterpret_cast<HDC>(wParam), &r.origin);
        g_received.push_back(r);
        if (message == WM_ERASEBKGND)
            return 5;
        return window == g_answerer ? 1 : g_drawAnswer;
    }
    if (message == kExplorerBarApplyScheme)
        return 77;
    return DefWindowProcW(window, message, wParam, lParam);
}

class BackgroundChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ChainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarnUITestChain";
        RegisterClassW(&wc);
        wc.lpszClassName = L"ExplorerBar";
        RegisterClassW(&wc);
        top = CreateWindowW(L"TarnUITestChain", L"top", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                            wc.hInstance, nullptr);
        ASSERT_NE(top, nullptr);
        middle = CreateWindowW(L"TarnUITestChain", L"", WS_CHILD, 5, 5, 200, 150, top, nullptr, wc.hInstance, nullptr);
        inner = CreateWindowW(L"TarnUITestChain", L"", WS_CHILD, 10, 20, 50, 50, middle, nullptr, wc.hInstance,
                              nullptr);
        ASSERT_NE(inner, nullptr);
        g_received.clear();
        g_drawAnswer = 0;
        g_answerer = nullptr;
    }
    void TearDown() override
    {
        DestroyWindow(top);
        LoadNoScheme();
    }
    HWND top = nullptr, middle = nullptr, inner = nullptr;
};

TEST_F(BackgroundChain, AnsweringParentStopsTheClimb)
{
    DibCanvas canvas(64, 64);
    g_answerer = middle;
    RECT area = {0, 0, 4, 4};
    EXPECT_EQ(DrawParentBackground(inner, canvas.Dc(), &area, 0), 1);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].window, middle);
    EXPECT_EQ(g_received[0].rect.left, 10);
    EXPECT_EQ(g_received[0].rect.top, 20);
    EXPECT_EQ(g_received[0].origin.x, 10);  // the DC already speaks the receiver's coordinates
    EXPECT_EQ(g_received[0].origin.y, 20);
    POINT after;
    GetWindowOrgEx(canvas.Dc(), &after);
    EXPECT_EQ(after.x, 0);
    EXPECT_EQ(after.y, 0);
}

TEST_F(BackgroundChain, SilentChainEndsInOneEraseOfTheDirectParent)
{
    DibCanvas canvas(64, 64);
    RECT area = {0, 0, 4, 4};
    EXPECT_EQ(DrawParentBackground(inner, canvas.Dc(), &area, 0), 5);
    ASSERT_EQ(g_received.size(), 3u);
    EXPECT_EQ(g_received[0].window, middle);
    EXPECT_EQ(g_received[1].window, top);
    EXPECT_EQ(g_received[1].message, WM_GLZ_DRAWBKGND);
    EXPECT_EQ(g_received[1].rect.left, 15);
    EXPECT_EQ(g_received[1].rect.top, 25);
    EXPECT_EQ(g_received[2].window, middle);
    EXPECT_EQ(g_received[2].message, static_cast<UINT>(WM_ERASEBKGND));
    EXPECT_EQ(DrawParentBackground(top, canvas.Dc(), &area, 0), 0);  // top-level: nobody to ask
}

TEST_F(BackgroundChain, FrameWindowKindPaintsWithoutAskingAndTransparentTopLevelPaintsNothing)
{
    TempFolder folder;
    LoadScheme(folder, "[FrameWindow]\nBackground = #FF0000\n[ViewWindow]\nStyle = Transparent\n");
    DibCanvas canvas(64, 64, 0x00123456);
    RECT area = {0, 0, 8, 8};
    EXPECT_EQ(glzDrawBackground(inner, canvas.Dc(), &area, L"framewindow"), 1);
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(canvas.Rgb(3, 3), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(9, 9), 0x123456u);

    canvas.Fill(0x00123456);
    EXPECT_EQ(glzDrawBackground(top, canvas.Dc(), &area, L"ViewWindow"), 0);
    EXPECT_EQ(canvas.Rgb(3, 3), 0x123456u);
    g_answerer = middle;
    EXPECT_EQ(glzDrawBackground(inner, canvas.Dc(), &area, static_cast<const wchar_t*>(nullptr)), 1);  // asks the parent instead
    EXPECT_EQ(g_received.size(), 1u);
}

TEST_F(BackgroundChain, OpaqueViewWindowIsPaintedOverTheClientHeight)
{
    TempFolder folder;
    LoadScheme(folder, "[ViewWindow]\nBackground = #000000; #0000FF\n");
    DibCanvas canvas(64, 64);
    EXPECT_EQ(glzDrawBackground(inner, canvas.Dc(), nullptr, L"ViewWindow"), 1);  // client 50x50
    EXPECT_EQ(canvas.Rgb(0, 0), 0x000000u);
    EXPECT_EQ(canvas.Rgb(0, 25), 0x00007Fu);  // 255 * 25 / 50, from the reference height
    EXPECT_EQ(canvas.Rgb(49, 49), 0x0000F9u);
    EXPECT_EQ(canvas.Rgb(50, 10), 0u);
    EXPECT_TRUE(g_received.empty());
}

TEST_F(BackgroundChain, ApplyColorSchemeByClass)
{
    HWND pane = CreateWindowW(L"ExplorerBar", L"", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(ApplyColorScheme(pane, 3, 0), 77);
    EXPECT_EQ(ApplyColorScheme(top, 3, 0), 0);
    EXPECT_EQ(ApplyColorScheme(nullptr, 3, 0), 0);
}

}  // namespace
