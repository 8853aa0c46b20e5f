#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "uilib/bars/InterfaceFactory.h"
#include "uilib/bars/Menu.h"
#include "uilib/bars/MenuXP.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

using Glazier::CMenu;

constexpr COLORREF kBackground = RGB(240, 240, 240);
constexpr COLORREF kSelectedBar = RGB(0, 255, 255);
constexpr COLORREF kFrame = RGB(255, 0, 255);
constexpr COLORREF kSideBar = RGB(128, 128, 0);
constexpr COLORREF kSeparator = RGB(0, 128, 0);
constexpr COLORREF kCheckMark = RGB(255, 0, 0);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kIconColour = RGB(0x20, 0xC0, 0x40);

const char kScheme[] =
    "[Menu]\nBackGround = #F0F0F0\nSelectedBar = #00FFFF\nFrame = #FF00FF\nSideBar = #808000\n"
    "Separator = #008000\nCheckMark = #FF0000\nSelectedMark = #0000FF\nText = #000000\nSelectedText = #000000\n";

constexpr UINT kOpen = 101, kSave = 102, kDefault = 103, kInner = 201;

// Answers "MenuXP::GetImage" with the test icon and counts the questions.
struct ImageOwner {
    static int asked;
    static HICON icon;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_MENUXP_GETIMAGE) {
            ++asked;
            auto* image = reinterpret_cast<Glazier::MENUXPIMAGE*>(lParam);
            if (icon) {
                image->type = Glazier::kMenuImageIcon;
                image->handle = icon;
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};
int ImageOwner::asked = 0;
HICON ImageOwner::icon = nullptr;

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadSchemeText(folder, kScheme);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ImageOwner::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TarnMenuTestOwner";
        RegisterClassW(&wc);
        owner = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ImageOwner::asked = 0;
        ImageOwner::icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), L"GREEN", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        inner = CreatePopupMenu();
        AppendMenuW(inner, MF_STRING, kInner, L"Inner");
        menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, kOpen, L"Open\tCtrl+O");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kSave, L"Save");
        AppendMenuW(menu, MF_STRING, kDefault, L"Save");
        SetMenuDefaultItem(menu, kDefault, FALSE);
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), L"More");
        object.PrepareMenu(menu, owner);
    }
    void TearDown() override
    {
        DestroyMenu(menu);
        DestroyWindow(owner);
        DestroyIcon(ImageOwner::icon);
        LoadColorScheme(L"no-such-scheme.thm", 0);
    }

    MEASUREITEMSTRUCT Measure(UINT id)
    {
        MEASUREITEMSTRUCT item = {};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        object.MeasureItem(&item);
        return item;
    }
    // Draws one item into the canvas over its whole size.
    void Draw(DibCanvas& canvas, UINT id, UINT state, HMENU in = nullptr)
    {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        item.itemState = state;
        item.hDC = canvas.Dc();
        item.hwndItem = reinterpret_cast<HWND>(in ? in : menu);
        item.rcItem = {0, 0, canvas.Width(), canvas.Height()};
        object.DrawItem(&item);
    }
    static bool HasInk(DibCanvas& canvas, int left, int right, int top, int bottom, COLORREF ink)
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (canvas.Rgb(x, y) == DibColor(ink))
                    return true;
        return false;
    }

    TempFolder folder;
    HWND owner = nullptr;
    HMENU menu = nullptr;
    HMENU inner = nullptr;
    CMenu object;
};

TEST_F(MenuTest, PrepareMakesEveryItemOwnerDrawnSubmenusToo)
{
    EXPECT_EQ(object.GetMenu(), menu);
    for (HMENU m : {menu, inner})
        for (int i = 0; i < GetMenuItemCount(m); ++i) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            ASSERT_TRUE(GetMenuItemInfoW(m, i, TRUE, &info));
            EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
        }
}

TEST_F(MenuTest, MeasuresSeparatorsTextAndBoldDefaults)
{
    MEASUREITEMSTRUCT separator = Measure(0);
    EXPECT_EQ(separator.itemWidth, 0u);
    EXPECT_EQ(separator.itemHeight, 5u);
    MEASUREITEMSTRUCT save = Measure(kSave);
    MEASUREITEMSTRUCT bold = Measure(kDefault);
    EXPECT_GE(save.itemHeight, 20u);  // the 16-pixel icon row and two margins of 2
    EXPECT_GT(bold.itemWidth, save.itemWidth);
    // Text width plus 2 text margins (8), the icon column (16 + 2 x 4) and 21 for arrow room.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, object.GetMenuFont());
    RECT box = {};
    DrawTextW(dc, L"Save", -1, &box, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(static_cast<int>(save.itemWidth), box.right + 16 + 24 + 21);
}

TEST_F(MenuTest, NormalItemHasSideBarIconAndTextOnTheBackground)
{
    DibCanvas canvas(200, 22);
    Draw(canvas, kSave, 0);
    EXPECT_EQ(canvas.Rgb(1, 1), DibColor(kSideBar));
    EXPECT_EQ(canvas.Rgb(12, 10), DibColor(kIconColour));  // the owner's icon at (4, 2)
    EXPECT_EQ(canvas.Rgb(190, 10), DibColor(kBackground));
    EXPECT_TRUE(HasInk(canvas, 32, 80, 0, 22, kText));
    EXPECT_EQ(ImageOwner::asked, 1);
}

TEST_F(MenuTest, SelectedItemIsFramedWithoutSideBar)
{
    DibCanvas canvas(200, 22);
    Draw(canvas, kSave, ODS_SELECTED);
    EXPECT_EQ(canvas.Rgb(0, 10), DibColor(kFrame));
    EXPECT_EQ(canvas.Rgb(199, 10), DibColor(kFrame));
    EXPECT_EQ(canvas.Rgb(2, 20), DibColor(kSelectedBar));
    EXPECT_EQ(canvas.Rgb(190, 10), DibColor(kSelectedBar));
}

TEST_F(MenuTest, TabSplitsTextIntoLeftAndRightAlignedParts)
{
    DibCanvas canvas(300, 22);
    Draw(canvas, kOpen, 0);
    EXPECT_TRUE(HasInk(canvas, 32, 80, 0, 22, kText));       // "Open"
    EXPECT_TRUE(HasInk(canvas, 220, 279, 0, 22, kText));     // "Ctrl+O" ends 21 pixels in
    EXPECT_FALSE(HasInk(canvas, 279, 300, 0, 22, kText));
    EXPECT_FALSE(HasInk(canvas, 110, 200, 0, 22, kText));
}

TEST_F(MenuTest, SeparatorShowsSideBarAndLine)
{
    DibCanvas canvas(200, 5);
    Draw(canvas, 0, 0);
    EXPECT_EQ(canvas.Rgb(1, 2), DibColor(kSideBar));
    EXPECT_EQ(canvas.Rgb(100, 2), DibColor(kSeparator));
    EXPECT_EQ(canvas.Rgb(100, 1), DibColor(kBackground));
}

TEST_F(MenuTest, CheckedItemGetsBoxedTickInXpStyleOnly)
{
    DibCanvas canvas(200, 22);
    Draw(canvas, kSave, ODS_CHECKED);
    EXPECT_EQ(canvas.Rgb(2, 0), DibColor(kFrame));      // the box grown by 2 around (4, 2, 16 x 16)
    EXPECT_EQ(canvas.Rgb(5, 5), DibColor(kCheckMark));
    EXPECT_EQ(ImageOwner::asked, 0);                    // checked items show no icon

    EXPECT_EQ(object.SetStyle(FALSE), 13);
    DibCanvas plain(200, 22);
    Draw(plain, kSave, ODS_CHECKED);
    EXPECT_NE(plain.Rgb(3, 3), DibColor(kCheckMark));  // no box
    EXPECT_EQ(plain.Rgb(1, 1), DibColor(kBackground)); // and no side bar
    Draw(plain, kSave, 0);
    EXPECT_EQ(ImageOwner::asked, 0);                    // icons are not asked for
    EXPECT_EQ(object.SetStyle(TRUE), 16);
}

TEST_F(MenuTest, SelectedSubmenuItemGetsItsArrow)
{
    DibCanvas canvas(200, 22);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_MENU;
    item.itemID = reinterpret_cast<UINT_PTR>(inner);
    item.itemState = ODS_SELECTED;
    item.hDC = canvas.Dc();
    item.hwndItem = reinterpret_cast<HWND>(menu);
    item.rcItem = {0, 0, 200, 22};
    SelectObject(canvas.Dc(), GetStockObject(BLACK_PEN));
    object.DrawItem(&item);
    const int y0 = (22 - 7) / 2 - 1;
    EXPECT_EQ(canvas.Rgb(190, y0 + 3), 0u);  // the arrow's tall first line
    EXPECT_EQ(canvas.Rgb(193, y0 + 3), 0u);  // its one-pixel tip
    EXPECT_EQ(canvas.Rgb(190, y0 + 8), DibColor(kSelectedBar));
}

TEST_F(MenuTest, FactoryMenusShareFontsThatGoWithTheLast)
{
    auto* first = static_cast<Glazier::IMenu*>(glzCreateInstance(Glazier::IID_IMenu));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->AddRef(), 2u);
    EXPECT_EQ(first->Release(), 1u);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(first->QueryInterface(Glazier::IID_ICommandBar, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(first->GetMenuFont(), object.GetMenuFont());
    EXPECT_EQ(first->Release(), 0u);
    HFONT shared = object.GetMenuFont();
    EXPECT_NE(GetObjectType(shared), 0u);  // the fixture's menu still holds it
}

TEST_F(MenuTest, WrapperCopiesDoNotShareTheirMenuObject)
{
    CMenuXP a;
    a.PrepareMenu(menu, owner);
    {
        CMenuXP b(a);
        EXPECT_EQ(static_cast<HMENU>(b), menu);
        EXPECT_NE(b.Menu(), a.Menu());
    }
    EXPECT_EQ(CMenuXP::m_hfontMenu, object.GetMenuFont());
    MEASUREITEMSTRUCT item = {};
    item.CtlType = ODT_MENU;
    item.itemID = 0;
    a.MeasureItem(&item);
    EXPECT_EQ(item.itemHeight, 5u);
}

TEST_F(MenuTest, WrapperCopiesMeasureAndDrawTheOriginalsMenu)
{
    CMenuXP original;
    original.PrepareMenu(menu, owner);
    CMenuXP constructed(original);
    CMenuXP assigned;
    assigned = original;
    auto measure = [](CMenuXP& wrapper, UINT id) {
        MEASUREITEMSTRUCT item = {};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        wrapper.MeasureItem(&item);
        return std::make_pair(item.itemWidth, item.itemHeight);
    };
    for (CMenuXP* copy : {&constructed, &assigned}) {
        for (UINT id : {0u, kOpen, kSave, kDefault})
            EXPECT_EQ(measure(*copy, id), measure(original, id)) << id;
        ImageOwner::asked = 0;
        DibCanvas canvas(200, 22);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_MENU;
        item.itemID = kSave;
        item.hDC = canvas.Dc();
        item.hwndItem = reinterpret_cast<HWND>(menu);
        item.rcItem = {0, 0, 200, 22};
        copy->DrawItem(&item);
        EXPECT_EQ(ImageOwner::asked, 1);  // the original's owner is asked for the icon
        EXPECT_EQ(canvas.Rgb(12, 10), DibColor(kIconColour));
    }
}

// Closes the tracked popup from inside its loop and notes what the owner saw meanwhile.
std::vector<UINT> g_ownerSaw;
WNDPROC g_ownerProc = nullptr;
LRESULT CALLBACK RecordingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM || message == WM_DRAWITEM)
        g_ownerSaw.push_back(message);
    if (message == WM_ENTERIDLE)
        EndMenu();
    return CallWindowProcW(g_ownerProc, window, message, wParam, lParam);
}

void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

class CountingMenu : public CMenu {
public:
    int measured = 0;
    void MeasureItem(MEASUREITEMSTRUCT* item) override
    {
        ++measured;
        CMenu::MeasureItem(item);
    }
};

TEST(MenuTracking, PopupOwnerDrawGoesToTheMenuAndTheOwnerIsRestored)
{
    HostWindow host(200, 100);
    g_ownerSaw.clear();
    g_ownerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(host.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingOwnerProc)));
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, kOpen, L"Open");
    CountingMenu tracked;
    SetForegroundWindow(host.Get());
    UINT_PTR timer = SetTimer(nullptr, 0, 300, CloseMenuTimer);
    tracked.TrackPopupMenuEx(popup, TPM_RETURNCMD, 50, 50, host.Get(), nullptr);
    KillTimer(nullptr, timer);
    EXPECT_EQ(GetWindowLongPtrW(host.Get(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingOwnerProc));
    EXPECT_GT(tracked.measured, 0);
    EXPECT_TRUE(g_ownerSaw.empty());
    SetWindowLongPtrW(host.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_ownerProc));
    DestroyMenu(popup);
}

}  // namespace

namespace {

TEST(MenuFonts, SharedFontsAreDeletedWithTheLastMenu)
{
    auto* menu = static_cast<Glazier::IMenu*>(glzCreateInstance(Glazier::IID_IMenu));
    ASSERT_NE(menu, nullptr);
    HFONT font = menu->GetMenuFont();
    HFONT bold = Glazier::CMenu::BoldMenuFont();
    ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    LOGFONTW normal = {}, heavy = {};
    GetObjectW(font, sizeof(normal), &normal);
    GetObjectW(bold, sizeof(heavy), &heavy);
    EXPECT_EQ(heavy.lfWeight, normal.lfWeight + 300 > 900 ? 900 : normal.lfWeight + 300);
    EXPECT_EQ(menu->Release(), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(bold), 0u);
}

}  // namespace
