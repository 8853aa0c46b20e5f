#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "tests/support/Screenshot.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/bars/tests/CommandBarDemo.h"

namespace {

constexpr int kFile = 0, kEdit = 1, kView = 2, kHelp = 3;

std::wstring ButtonText(HWND bar, int command)
{
    wchar_t text[200] = {};
    if (SendMessageW(bar, TB_GETBUTTONTEXTW, command, 0) >= 200)
        return L"(too long)";
    SendMessageW(bar, TB_GETBUTTONTEXTW, command, reinterpret_cast<LPARAM>(text));
    return text;
}

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo.FillBands();
        demo.Settle();
    }
    // Each popup that opens takes the next key of the script (posted: the menu's own loop reads it).
    void Script(std::initializer_list<WPARAM> keys)
    {
        script.assign(keys);
        demo.onPopup = [this](HMENU) {
            if (!script.empty()) {
                PostKey(demo.MenuBar(), script.front());
                script.pop_front();
            }
        };
    }

    CommandBarDemo demo;
    std::deque<WPARAM> script;
};

TEST_F(MenuBarTest, ButtonsCarryTheTopLevelItemsAndTheirStates)
{
    HWND bar = demo.MenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 4);
    EXPECT_EQ(ButtonText(bar, kFile), L"&File");
    EXPECT_EQ(ButtonText(bar, kHelp), L"&Help");
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, kEdit, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, kView, 0));
    SIZE used = {};
    SendMessageW(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&used));
    REBARBANDINFOA band = demo.Band(Glazier::kMenuBandId, RBBIM_CHILD | RBBIM_STYLE | RBBIM_CHILDSIZE);
    EXPECT_EQ(band.hwndChild, bar);
    EXPECT_TRUE(band.fStyle & RBBS_BREAK);
    EXPECT_EQ(static_cast<LONG>(band.cxMinChild), used.cx);  // the bar was sized to its buttons
    EXPECT_EQ(static_cast<LONG>(band.cyMinChild), used.cy);
}

TEST_F(MenuBarTest, AnItemWithoutTextDoesNotShiftTheLabelsAfterIt)
{
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&File");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Edit");
    ASSERT_TRUE(demo.Bar().SetMenu(menu));
    HWND bar = demo.MenuBar();
    EXPECT_EQ(ButtonText(bar, 0), L"&File");
    EXPECT_EQ(ButtonText(bar, 1), L"");
    EXPECT_EQ(ButtonText(bar, 2), L"&Edit");
    EXPECT_EQ(demo.Band(Glazier::kMenuBandId, RBBIM_CHILD).hwndChild, bar);
    // No menu removes the band.
    EXPECT_FALSE(demo.Bar().SetMenu(nullptr));
    EXPECT_EQ(SendMessageA(demo.Rebar(), RB_IDTOINDEX, Glazier::kMenuBandId, 0), -1);
    DestroyMenu(menu);
}

TEST_F(MenuBarTest, AltTracksTheButtonsWithArrowsThatWrapAndEscapeEnds)
{
    HWND bar = demo.MenuBar();
    demo.PostProbe();  // the first enabled item is hot when tracking starts
    for (WPARAM key : {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_LEFT, VK_LEFT}) {
        PostKey(bar, key);
        demo.PostProbe();
    }
    PostKey(bar, VK_ESCAPE);
    EXPECT_TRUE(demo.Bar().OnSysCommand(SC_KEYMENU, 0));  // returns when tracking ends
    // File, Edit, Help (View is disabled), File (wrapped), Help (wrapped back), Edit.
    EXPECT_EQ(demo.hotItems, (std::vector<int>{kFile, kEdit, kHelp, kFile, kHelp, kEdit}));
    EXPECT_EQ(SendMessageW(bar, TB_GETHOTITEM, 0, 0), -1);
    EXPECT_TRUE(demo.popups.empty());
}

TEST_F(MenuBarTest, AltFOpensTheFirstPopupAndArrowsMoveBetweenPopups)
{
    Script({VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_LEFT, VK_ESCAPE});
    EXPECT_TRUE(demo.Bar().OnSysCommand(SC_KEYMENU, 'f'));
    ASSERT_TRUE(PumpUntil([&] { return demo.popups.size() >= 5 && script.empty(); }));
    PumpMessagesFor(200);
    EXPECT_EQ(demo.popups, (std::vector<HMENU>{demo.Popup(kFile), demo.Popup(kEdit), demo.Popup(kHelp),
                                               demo.Popup(kFile), demo.Popup(kHelp)}));
    EXPECT_FALSE(SendMessageW(demo.MenuBar(), TB_ISBUTTONPRESSED, kHelp, 0));
    EXPECT_EQ(demo.Bar().OnSysCommand(SC_KEYMENU, 'q'), FALSE);  // no item has that accelerator
    EXPECT_EQ(demo.Bar().OnSysCommand(SC_CLOSE, 0), FALSE);
}

TEST_F(MenuBarTest, KeyboardTrackingOpensPopupsAndChoosingAnItemReachesTheApplication)
{
    HWND bar = demo.MenuBar();
    // Alt, Down opens File; Escape returns to the bar with File hot; Right, Down opens Edit, whose
    // first item is chosen with Down and Return. The bar's keys are queued behind the popup's end.
    demo.onPopup = [&, step = 0](HMENU) mutable {
        if (step++ == 0) {
            PostKey(bar, VK_ESCAPE);
            demo.PostWork([bar] {
                PostKey(bar, VK_RIGHT);
                PostKey(bar, VK_DOWN);
            });
        } else {
            PostKey(bar, VK_DOWN);
            PostKey(bar, VK_RETURN);
        }
    };
    PostKey(bar, VK_DOWN);
    EXPECT_TRUE(demo.Bar().OnSysCommand(SC_KEYMENU, 0));
    ASSERT_TRUE(PumpUntil([&] { return !demo.commands.empty(); }));
    EXPECT_EQ(demo.popups, (std::vector<HMENU>{demo.Popup(kFile), demo.Popup(kEdit)}));
    EXPECT_EQ(demo.commands, (std::vector<UINT>{kCmdCut}));
}

TEST_F(MenuBarTest, ClickingACommandItemPostsItsCommand)
{
    constexpr UINT kGo = 501;
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&File");
    AppendMenuW(menu, MF_STRING, kGo, L"&Go");
    ASSERT_TRUE(demo.Bar().SetMenu(menu));
    HWND bar = demo.MenuBar();
    RECT go = {};
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&go));
    const LPARAM inside = MAKELPARAM((go.left + go.right) / 2, (go.top + go.bottom) / 2);
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageW(bar, WM_LBUTTONUP, 0, inside);
    ASSERT_TRUE(PumpUntil([&] { return !demo.commands.empty(); }));
    EXPECT_EQ(demo.commands, (std::vector<UINT>{kGo}));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONPRESSED, 1, 0));

    // Released outside the button: no command.
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(go.right + 200, go.bottom + 50));
    PumpMessagesFor(300);
    EXPECT_EQ(demo.commands.size(), 1u);
    DestroyMenu(menu);
}

TEST_F(MenuBarTest, ClickingAPopupItemOpensItsMenuBelowTheButton)
{
    HWND bar = demo.MenuBar();
    RECT edit = {};
    SendMessageW(bar, TB_GETITEMRECT, kEdit, reinterpret_cast<LPARAM>(&edit));
    bool wasPressed = false;
    demo.onPopup = [&](HMENU) {
        wasPressed = SendMessageW(bar, TB_ISBUTTONPRESSED, kEdit, 0) != 0;
        PostKey(bar, VK_ESCAPE);
        PostKey(bar, VK_ESCAPE);  // the second leaves the bar's own loop
    };
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edit.left + 3, edit.top + 3));
    ASSERT_TRUE(PumpUntil([&] { return !demo.popups.empty(); }));
    PumpMessagesFor(300);
    EXPECT_EQ(demo.popups, (std::vector<HMENU>{demo.Popup(kEdit)}));
    EXPECT_TRUE(wasPressed);
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONPRESSED, kEdit, 0));
    // A disabled item opens nothing.
    RECT view = {};
    SendMessageW(bar, TB_GETITEMRECT, kView, reinterpret_cast<LPARAM>(&view));
    PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(view.left + 3, view.top + 3));
    PumpMessagesFor(300);
    EXPECT_EQ(demo.popups.size(), 1u);
}

void CALLBACK ShootAndClose(HWND, UINT, UINT_PTR id, DWORD);
CommandBarDemo* g_shotDemo = nullptr;
bool g_shotSaved = false;

void CALLBACK ShootAndClose(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_shotSaved = SavePixelsAsPng(CaptureScreenPixels(g_shotDemo->Window()),
                                  ScreenshotFolder() + L"\\command_bar_menu_popup.png");
    PostKey(g_shotDemo->MenuBar(), VK_ESCAPE);
}

TEST_F(MenuBarTest, ScreenshotOfAnOpenPopup)
{
    g_shotDemo = &demo;
    g_shotSaved = false;
    EXPECT_TRUE(SavePixelsAsPng(CaptureScreenPixels(demo.Window()), ScreenshotFolder() + L"\\command_bar.png"));
    demo.onPopup = [](HMENU) { SetTimer(nullptr, 0, 400, ShootAndClose); };
    EXPECT_TRUE(demo.Bar().OnSysCommand(SC_KEYMENU, 'f'));
    ASSERT_TRUE(PumpUntil([] { return g_shotSaved; }));
    PumpMessagesFor(200);
    EXPECT_EQ(demo.popups, (std::vector<HMENU>{demo.Popup(kFile)}));
}

}  // namespace
