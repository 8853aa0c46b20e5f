#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "uilib/bars/CommandBarXP.h"
#include "uilib/bars/InterfaceFactory.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/bars/tests/CommandBarDemo.h"
#include "uilib/skin/ColorScheme.h"

namespace {

using Glazier::CCommandBar;
using Glazier::ICommandBar;

const char kStateKey[] = "Software\\Tarnwick\\LyrantTests\\CommandBar";
const char kParentProp[] = "CmdBar::ParentSubclassing";

// The band toolbar's object, as the rebar holds it.
CToolBarXP* BandObject(const CommandBarDemo& demo, UINT id)
{
    return reinterpret_cast<CToolBarXP*>(demo.Band(id, RBBIM_LPARAM).lParam);
}

TEST(CommandBarFactory, MakesACountedCommandBarThatLeavesItsWindowsAsItFoundThem)
{
    HostWindow host(300, 120);
    const LONG_PTR hostProc = GetWindowLongPtrW(host.Get(), GWLP_WNDPROC);
    auto* bar = static_cast<ICommandBar*>(glzCreateInstance(Glazier::IID_ICommandBar));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->AddRef(), 2u);
    EXPECT_EQ(bar->Release(), 1u);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(bar->QueryInterface(Glazier::IID_IMenu, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(bar->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, bar);
    EXPECT_EQ(bar->Release(), 1u);

    ASSERT_TRUE(bar->Create(0, host.Get(), 77, true));
    HWND rebar = bar->GetHwnd();
    char name[32] = {};
    GetClassNameA(rebar, name, sizeof(name));
    EXPECT_STREQ(name, "ReBarWindow32");
    EXPECT_EQ(GetDlgCtrlID(rebar), 77);
    EXPECT_EQ(GetWindowLongW(rebar, GWL_STYLE) & 0x56008240, 0x56008240);
    EXPECT_NE(GetPropA(host.Get(), kParentProp), nullptr);
    EXPECT_NE(GetWindowLongPtrW(host.Get(), GWLP_WNDPROC), hostProc);

    EXPECT_EQ(bar->Release(), 0u);
    EXPECT_TRUE(IsWindow(rebar));  // the rebar stays; the subclasses go
    EXPECT_EQ(GetWindowLongPtrW(rebar, GWLP_USERDATA), 0);
    EXPECT_EQ(GetPropA(host.Get(), kParentProp), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(host.Get(), GWLP_WNDPROC), hostProc);
}

TEST(CommandBarFacade, CopiesShareOneObjectAndTheLastOneDeletesIt)
{
    HostWindow host(300, 120);
    auto* first = new CCommandBarXP();
    ASSERT_TRUE(first->Create(0, host.Get(), 5, false));
    CCommandBarXP copy(*first);
    EXPECT_EQ(static_cast<HWND>(copy), static_cast<HWND>(*first));
    EXPECT_EQ(copy.Object(), first->Object());
    delete first;  // the copy still works on the shared object
    HWND toolbar = host.AddChild(TOOLBARCLASSNAMEW, nullptr, 0, 0, 100, 24, TBSTYLE_FLAT | CCS_NORESIZE);
    EXPECT_TRUE(copy.SetToolBar(toolbar));
    EXPECT_EQ(SendMessageA(copy, RB_GETBANDCOUNT, 0, 0), 1);
}

class CommandBarTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kStateKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            for (int i = 0; i < 6; ++i)
                RegDeleteValueA(key, ("demo #" + std::to_string(i)).c_str());
            RegCloseKey(key);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, kStateKey);
    }
};

TEST_F(CommandBarTest, BandsHoldTheMenuTheMainToolbarAndAddedToolbars)
{
    CommandBarDemo demo;
    demo.FillBands();
    EXPECT_EQ(demo.BandIds(), (std::vector<UINT>{1, 2, 10}));
    EXPECT_EQ(GetParent(demo.Tools()), demo.Rebar());
    EXPECT_EQ(GetWindowLongW(demo.Tools(), GWL_STYLE) & 0xFFFF, 0x9944);
    EXPECT_TRUE(SendMessageW(demo.Tools(), TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    REBARBANDINFOA tools = demo.Band(2, RBBIM_STYLE | RBBIM_CHILD);
    REBARBANDINFOA format = demo.Band(10, RBBIM_STYLE | RBBIM_CHILD);
    EXPECT_EQ(tools.hwndChild, demo.Tools());
    EXPECT_EQ(format.hwndChild, demo.Format());
    EXPECT_TRUE(tools.fStyle & RBBS_BREAK);  // the main toolbar starts a row
    EXPECT_FALSE(format.fStyle & RBBS_BREAK);
    for (UINT style : {tools.fStyle, format.fStyle})
        EXPECT_EQ(style & (RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS), static_cast<UINT>(RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS));
    EXPECT_EQ(BandObject(demo, 2)->m_hWnd, demo.Tools());
    EXPECT_EQ(BandObject(demo, 10)->m_hWnd, demo.Format());
}

TEST_F(CommandBarTest, SeparatorsBecomeLinePairsOrGaps)
{
    CommandBarDemo demo;
    TBBUTTON wide = {};
    wide.iBitmap = 20;
    wide.fsStyle = BTNS_SEP;
    SendMessageW(demo.Tools(), TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&wide));
    demo.FillBands();
    struct Case {
        int index;
        DWORD flags;
        int width;
    };
    for (const Case& c : {Case{2, kLayoutSeparator, 8}, Case{6, kLayoutSeparator, 8}, Case{8, 0x8000u, 20}}) {
        TBBUTTON button = {};
        ASSERT_TRUE(SendMessageW(demo.Tools(), TB_GETBUTTON, c.index, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.fsStyle & BTNS_SEP, 0) << c.index;
        auto* layout = reinterpret_cast<TBBUTTONLAYOUT*>(button.dwData);
        ASSERT_NE(layout, nullptr) << c.index;
        EXPECT_EQ(layout->flags, c.flags) << c.index;
        RECT rect = {};
        SendMessageW(demo.Tools(), TB_GETITEMRECT, c.index, reinterpret_cast<LPARAM>(&rect));
        EXPECT_EQ(rect.right - rect.left, c.width) << c.index;
    }
    TBBUTTON open = {};
    SendMessageW(demo.Tools(), TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&open));
    EXPECT_TRUE(open.fsStyle & BTNS_AUTOSIZE);
    EXPECT_EQ(open.dwData, 0u);
}

TEST_F(CommandBarTest, ChevronsNeedTheParentSubclassAndLetBandsShrinkToNothing)
{
    for (bool subclass : {true, false}) {
        CommandBarDemo demo(560, 320, subclass);
        demo.FillBands();
        SIZE used = {};
        SendMessageW(demo.Tools(), TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&used));
        REBARBANDINFOA band = demo.Band(2, RBBIM_STYLE | RBBIM_CHILDSIZE | RBBIM_IDEALSIZE);
        EXPECT_EQ((band.fStyle & RBBS_USECHEVRON) != 0, subclass);
        EXPECT_EQ(static_cast<LONG>(band.cxMinChild), subclass ? 0 : used.cx) << subclass;
        RECT last = {};
        SendMessageW(demo.Tools(), TB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&last));
        EXPECT_EQ(static_cast<LONG>(band.cyMinChild), std::max(used.cy, last.bottom));  // the buttons fit
        EXPECT_EQ(static_cast<LONG>(band.cxIdeal), used.cx - 4);  // comctl32 before 6.0
    }
}

TEST_F(CommandBarTest, DeferredRowBreakWaitsForTheLayout)
{
    CommandBarDemo demo;
    demo.Bar().SetToolBar(demo.Tools());
    demo.Bar().DeferLayout(TRUE);
    demo.Bar().AddToolBar(demo.Format(), TRUE, 3);
    EXPECT_FALSE(demo.Band(13, RBBIM_STYLE).fStyle & RBBS_BREAK);
    EXPECT_EQ(demo.Band(13, RBBIM_IDEALSIZE).cxIdeal, 0u);  // not measured yet
    demo.Bar().DeferLayout(FALSE);
    EXPECT_TRUE(demo.Band(13, RBBIM_STYLE).fStyle & RBBS_BREAK);
    SIZE used = {};
    SendMessageW(demo.Format(), TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&used));
    EXPECT_EQ(static_cast<LONG>(demo.Band(13, RBBIM_IDEALSIZE).cxIdeal), used.cx);  // measured, on every version
}

TEST_F(CommandBarTest, AToolbarAddedBeforeTheMainOneKeepsItsOwnObject)
{
    CommandBarDemo demo;
    demo.Bar().AddToolBar(demo.Format(), FALSE, 0);
    CToolBarXP* format = BandObject(demo, 10);
    demo.Bar().SetToolBar(demo.Tools());
    EXPECT_EQ(BandObject(demo, 10), format);
    EXPECT_EQ(format->m_hWnd, demo.Format());
    EXPECT_NE(BandObject(demo, 2), format);
    EXPECT_EQ(BandObject(demo, 2)->m_hWnd, demo.Tools());
}

TEST_F(CommandBarTest, ToolbarNotificationsReachTheApplication)
{
    CommandBarDemo demo;
    demo.FillBands();
    // One toolbar made as the rebar's own child (it remembers no parent), one as the window's.
    HWND inner = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | CCS_NORESIZE, 0, 0, 50, 20,
                                 demo.Rebar(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(demo.Bar().AddToolBar(inner, TRUE, 4));
    for (HWND toolbar : {inner, demo.Tools()}) {
        demo.notifications.clear();
        NMHDR header = {toolbar, 1, static_cast<UINT>(TBN_HOTITEMCHANGE)};
        SendMessageW(demo.Rebar(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(std::count(demo.notifications.begin(), demo.notifications.end(),
                             static_cast<UINT>(TBN_HOTITEMCHANGE)),
                  1);
    }
}

TEST_F(CommandBarTest, ShowingHidingAndRemovingBands)
{
    CommandBarDemo demo;
    demo.FillBands();
    EXPECT_TRUE(demo.Bar().ShowToolBar(demo.Format(), FALSE));  // it was visible
    EXPECT_TRUE(demo.Band(10, RBBIM_STYLE).fStyle & RBBS_HIDDEN);
    EXPECT_FALSE(demo.Bar().ShowToolBar(demo.Format(), TRUE));  // it was hidden
    demo.Bar().Show(0, FALSE);
    EXPECT_TRUE(demo.Band(10, RBBIM_STYLE).fStyle & RBBS_HIDDEN);
    demo.Bar().Show(0, TRUE);
    EXPECT_FALSE(demo.Band(10, RBBIM_STYLE).fStyle & RBBS_HIDDEN);
    HWND stranger = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD, 0, 0, 10, 10, demo.Window(), nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    EXPECT_TRUE(demo.Bar().ShowToolBar(stranger, TRUE));  // no band: the asked value
    EXPECT_FALSE(demo.Bar().RemoveToolBar(stranger));
    EXPECT_TRUE(demo.Bar().RemoveToolBar(demo.Format()));
    EXPECT_EQ(demo.BandIds(), (std::vector<UINT>{1, 2}));
}

struct BandState {
    UINT id;
    UINT breaks;
    UINT cx;
    bool operator==(const BandState& o) const { return id == o.id && breaks == o.breaks && cx == o.cx; }
};
std::vector<BandState> Layout(const CommandBarDemo& demo)
{
    std::vector<BandState> state;
    for (UINT id : demo.BandIds()) {
        REBARBANDINFOA info = demo.Band(id, RBBIM_STYLE | RBBIM_SIZE);
        state.push_back({id, info.fStyle & RBBS_BREAK, info.cx});
    }
    return state;
}

TEST_F(CommandBarTest, SavedLayoutComesBackAfterTheUserMovesBands)
{
    CommandBarDemo demo;
    demo.FillBands();
    // The user drags the second toolbar in front of the main one, on a row of its own.
    SendMessageA(demo.Rebar(), RB_MOVEBAND, 2, 1);
    REBARBANDINFOA change = Glazier::RebarBandInfo(RBBIM_STYLE | RBBIM_SIZE);
    change.fStyle = demo.Band(10, RBBIM_STYLE).fStyle | RBBS_BREAK;
    change.cx = 150;
    SendMessageA(demo.Rebar(), RB_SETBANDINFOA, 1, reinterpret_cast<LPARAM>(&change));
    const std::vector<BandState> saved = Layout(demo);
    ASSERT_EQ(demo.BandIds(), (std::vector<UINT>{1, 10, 2}));
    ASSERT_TRUE(demo.Bar().SaveState(kStateKey, "demo"));

    BYTE record[100] = {};
    DWORD type = 0, size = sizeof(record);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStateKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueExA(key, "demo #1", nullptr, &type, record, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(size, 80u);
    const auto* fields = reinterpret_cast<const DWORD*>(record);
    EXPECT_EQ(fields[0], 80u);      // cbSize
    EXPECT_EQ(fields[1], 0x141u);   // style, size and id
    EXPECT_EQ(fields[11], 150u);    // cx
    EXPECT_EQ(fields[13], 10u);     // wID
    EXPECT_EQ(fields[8], 0u);       // no window handle is stored

    SendMessageA(demo.Rebar(), RB_MOVEBAND, 1, 2);
    change.fStyle &= ~RBBS_BREAK;
    change.cx = 60;
    SendMessageA(demo.Rebar(), RB_SETBANDINFOA, 2, reinterpret_cast<LPARAM>(&change));
    ASSERT_EQ(demo.BandIds(), (std::vector<UINT>{1, 2, 10}));
    ASSERT_TRUE(demo.Bar().LoadState(kStateKey, "demo"));
    EXPECT_EQ(Layout(demo), saved);
}

TEST_F(CommandBarTest, RecordsOfTheWrongSizeOrTypeAreIgnored)
{
    CommandBarDemo demo;
    demo.FillBands();
    SendMessageA(demo.Rebar(), RB_MOVEBAND, 2, 1);
    ASSERT_TRUE(demo.Bar().SaveState(kStateKey, "demo"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStateKey, 0, KEY_READ | KEY_WRITE, &key), ERROR_SUCCESS);
    DWORD fullSize = 80;
    BYTE full[80] = {};
    RegQueryValueExA(key, "demo #1", nullptr, nullptr, full, &fullSize);
    RegSetValueExA(key, "demo #1", 0, REG_BINARY, full, 76);
    const DWORD number = 10;
    RegSetValueExA(key, "demo #2", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegCloseKey(key);
    SendMessageA(demo.Rebar(), RB_MOVEBAND, 1, 2);
    ASSERT_TRUE(demo.Bar().LoadState(kStateKey, "demo"));
    EXPECT_EQ(demo.BandIds(), (std::vector<UINT>{1, 2, 10}));
    EXPECT_FALSE(demo.Bar().LoadState("Software\\Tarnwick\\LyrantTests\\NoSuchKey", "demo"));
}

// Colours no default uses, each its own.
const char kScheme[] =
    "[CommandBar]\nBackground = #102030\nGripperLight = #FF0000\nGripperDark = #0000FF\n"
    "BarStart = #00FF00\nBarEnd = #00FF00\nBarLine = #FF00FF\n"
    "[Group]\nBackground = #C0C000\n";
constexpr COLORREF kBackground = RGB(0x10, 0x20, 0x30);
constexpr COLORREF kLight = RGB(255, 0, 0);
constexpr COLORREF kDark = RGB(0, 0, 255);
constexpr COLORREF kBand = RGB(0, 255, 0);
constexpr COLORREF kLine = RGB(255, 0, 255);

TEST_F(CommandBarTest, BackgroundBandsAndGrippersInTheSchemeColours)
{
    TempFolder folder;
    LoadSchemeText(folder, kScheme);
    {
        CommandBarDemo demo;
        demo.FillBands();
        demo.Settle();
        PixelImage p = CaptureScreenPixels(demo.Rebar());
        ASSERT_FALSE(p.Empty());
        const RECT tools = demo.BandRect(2);
        const RECT menu = demo.BandRect(1);
        const int ideal = static_cast<int>(demo.Band(2, RBBIM_IDEALSIZE).cxIdeal);
        const int fillRight = std::min<int>(tools.right, tools.left + ideal + 14);
        const int middle = (tools.top + tools.bottom) / 2;
        const int dotY = tools.top + (tools.bottom - tools.top - 15) / 2;
        EXPECT_EQ(p.At(p.width - 2, 2), kBackground);  // right of the menu bar's buttons
        EXPECT_EQ(p.At(tools.left + 2, middle), kBand);
        EXPECT_EQ(p.At(tools.left, tools.top), kBackground);  // the corner is cut
        EXPECT_EQ(p.At(fillRight - 1, middle), kLine);
        EXPECT_EQ(p.At(tools.left + 20, tools.bottom - 1), kLine);
        // A band wider than its buttons: its background stops after them.
        ASSERT_LT(fillRight + 2, tools.right);
        EXPECT_EQ(p.At(fillRight + 2, middle), kBackground);
        EXPECT_EQ(p.At(tools.left + 4, dotY), kDark);
        EXPECT_EQ(p.At(tools.left + 6, dotY + 2), kLight);
        EXPECT_EQ(p.At(tools.left + 4, dotY + 4), kDark);  // the second of four dots
        // The menu band has grippers but no band background.
        const int menuDotY = menu.top + (menu.bottom - menu.top - 15) / 2;
        EXPECT_EQ(p.At(menu.left + 4, menuDotY), kDark);
        EXPECT_EQ(p.At(menu.left + 2, (menu.top + menu.bottom) / 2), kBackground);
    }
    {
        // The facade pushes its options before each band: a group background and no grippers.
        HostWindow host(400, 100);
        CCommandBarXP bar;
        ASSERT_TRUE(bar.Create(0, host.Get(), 1, false));
        bar.GroupBackground(true);
        bar.DrawGripper(false);
        HWND toolbar = host.AddChild(TOOLBARCLASSNAMEW, nullptr, 0, 0, 100, 24, TBSTYLE_FLAT | CCS_NORESIZE);
        ASSERT_TRUE(bar.SetToolBar(toolbar));
        MoveWindow(bar, 0, 0, 400, 40, TRUE);
        RepaintNow(host.Get());
        PixelImage p = CaptureScreenPixels(bar);
        RECT band = {};
        SendMessageA(bar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&band));
        EXPECT_EQ(p.At(p.width - 2, 1), RGB(0xC0, 0xC0, 0x00));
        const int dotY = band.top + (band.bottom - band.top - 15) / 2;
        EXPECT_EQ(p.At(band.left + 4, dotY), kBand);
    }
    LoadColorScheme(L"no-such-scheme.thm", 0);
}

TEST_F(CommandBarTest, ChevronMenuHoldsExactlyTheClippedButtons)
{
    CommandBarDemo demo(120, 200);
    HMENU appMenu = CreatePopupMenu();
    AppendMenuW(appMenu, MF_STRING, 991, L"Recent");
    demo.dropDown = appMenu;
    demo.FillBands(false);
    // The last button drops down the application's own menu.
    TBBUTTONINFOW style = {};
    style.cbSize = sizeof(style);
    style.dwMask = TBIF_STYLE;
    style.fsStyle = BTNS_WHOLEDROPDOWN;
    SendMessageW(demo.Tools(), TB_SETBUTTONINFOW, kCmdAbout, reinterpret_cast<LPARAM>(&style));
    demo.Settle();

    RECT client = {};
    GetClientRect(demo.Tools(), &client);
    const int count = static_cast<int>(SendMessageW(demo.Tools(), TB_BUTTONCOUNT, 0, 0));
    std::vector<UINT> expected;  // command ids, 0 for separators
    for (int i = 0; i < count; ++i) {
        RECT item = {};
        SendMessageW(demo.Tools(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        if (item.right <= client.right && expected.empty())
            continue;
        TBBUTTON button = {};
        SendMessageW(demo.Tools(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        expected.push_back(static_cast<UINT>(button.idCommand));
    }
    ASSERT_FALSE(expected.empty());
    ASSERT_LT(expected.size(), static_cast<size_t>(count));  // some buttons fit

    std::vector<UINT> shown;
    std::vector<int> textLengths;
    HMENU submenu = nullptr;
    demo.onPopup = [&](HMENU popup) {
        if (!shown.empty() || popup == appMenu)
            return;
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_ID | MIIM_FTYPE;
            GetMenuItemInfoW(popup, i, TRUE, &info);
            shown.push_back((info.fType & MFT_SEPARATOR) ? 0 : info.wID);
            textLengths.push_back(GetMenuStringW(popup, i, nullptr, 0, MF_BYPOSITION));
            if (GetSubMenu(popup, i))
                submenu = GetSubMenu(popup, i);
        }
        PostKey(demo.Window(), VK_ESCAPE);
    };
    const int band = static_cast<int>(SendMessageA(demo.Rebar(), RB_IDTOINDEX, 2, 0));
    SendMessageA(demo.Rebar(), RB_PUSHCHEVRON, band, 0);
    ASSERT_TRUE(PumpUntil([&] { return !shown.empty(); }));
    PumpMessagesFor(200);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(submenu, appMenu);
    for (int length : textLengths)
        EXPECT_EQ(length, 0);  // the application answered a string id without a module
    EXPECT_TRUE(IsMenu(appMenu));  // the application's menu outlives the popup
    EXPECT_EQ(GetMenuItemCount(appMenu), 1);
    DestroyMenu(appMenu);
}

// The toolbar's own procedure, under whatever the library installs: counts the probe it is sent.
UINT ProbeMessage()
{
    static const UINT probe = RegisterWindowMessageW(L"TarnTest.ToolbarProbe");
    return probe;
}
int g_probes = 0;
WNDPROC g_toolbarOwnProc = nullptr;
LRESULT CALLBACK ProbeCountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ProbeMessage()) {
        ++g_probes;
        return 1;
    }
    return CallWindowProcW(g_toolbarOwnProc, window, message, wParam, lParam);
}

TEST(CommandBarHost, AToolbarAddedAgainSitsInOneBandUnderOneSubclass)
{
    TempFolder folder;
    LoadSchemeText(folder, "[ToolBar]\nChecked = #FF0000\nFrame = #FF00FF\n");
    using Steps = std::function<void(ICommandBar*, HWND, std::unique_ptr<CToolBarXP>&)>;
    auto ownXp = [](HWND toolbar, std::unique_ptr<CToolBarXP>& own) {
        own.reset(new CToolBarXP());
        own->m_hWnd = toolbar;
        own->AutoCustomDraw(FALSE);
    };
    struct Case {
        const char* name;
        Steps steps;
    } cases[] = {
        {"removed and added again",
         [](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>&) {
             bar->AddToolBar(tb, FALSE, 0);
             bar->RemoveToolBar(tb);
             bar->AddToolBar(tb, FALSE, 0);
         }},
        {"added twice",
         [](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>&) {
             bar->AddToolBar(tb, FALSE, 0);
             bar->AddToolBar(tb, TRUE, 1);
         }},
        {"main, then added",
         [](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>&) {
             bar->SetToolBar(tb);
             bar->AddToolBar(tb, FALSE, 0);
         }},
        {"added, then main",
         [](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>&) {
             bar->AddToolBar(tb, FALSE, 0);
             bar->SetToolBar(tb);
         }},
        {"main, removed, main again",
         [](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>&) {
             bar->SetToolBar(tb);
             bar->RemoveToolBar(tb);
             bar->SetToolBar(tb);
         }},
        {"the host's own XP toolbar",
         [&](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>& own) {
             ownXp(tb, own);
             bar->SetToolBar(tb);
             bar->AddToolBar(tb, FALSE, 0);
         }},
        {"the host's own XP toolbar, dropped while in a band",
         [&](ICommandBar* bar, HWND tb, std::unique_ptr<CToolBarXP>& own) {
             ownXp(tb, own);
             bar->AddToolBar(tb, FALSE, 0);
             own.reset();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostWindow host(400, 100);
        HWND toolbar = host.AddChild(TOOLBARCLASSNAMEW, nullptr, 0, 0, 100, 24, TBSTYLE_FLAT | CCS_NORESIZE);
        SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = 1;
        button.fsState = TBSTATE_ENABLED | TBSTATE_CHECKED;
        button.iString = -1;
        SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        g_toolbarOwnProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProbeCountingProc)));

        auto* bar = static_cast<ICommandBar*>(glzCreateInstance(Glazier::IID_ICommandBar));
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(bar->Create(0, host.Get(), 1, true));
        std::unique_ptr<CToolBarXP> own;
        c.steps(bar, toolbar, own);

        HWND rebar = bar->GetHwnd();
        int bands = 0;
        for (int i = 0, n = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0)); i < n; ++i) {
            REBARBANDINFOA info = Glazier::RebarBandInfo(RBBIM_CHILD);
            SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info));
            bands += info.hwndChild == toolbar ? 1 : 0;
        }
        EXPECT_EQ(bands, 1);
        g_probes = 0;
        EXPECT_EQ(SendMessageW(toolbar, ProbeMessage(), 0, 0), 1);  // no procedure calls itself
        EXPECT_EQ(g_probes, 1);
        EXPECT_TRUE(IsWindowVisible(toolbar));
        MoveWindow(rebar, 0, 0, 400, 40, TRUE);
        RepaintNow(host.Get());
        PixelImage p = CaptureScreenPixels(toolbar);
        RECT item = {};
        SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        ASSERT_FALSE(p.Empty());
        EXPECT_EQ(p.At(item.left + 5, item.top + 5), RGB(255, 0, 0));  // painted by the library

        EXPECT_EQ(bar->Release(), 0u);
        own.reset();
        EXPECT_EQ(GetWindowLongPtrW(toolbar, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(ProbeCountingProc));
    }
    LoadColorScheme(L"no-such-scheme.thm", 0);
}

}  // namespace
