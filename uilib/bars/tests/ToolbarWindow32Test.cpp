#include <gtest/gtest.h>

#include <vector>

#include "uilib/bars/ToolbarWindow32.h"
#include "uilib/bars/tests/BarsTestSupport.h"

namespace {

// The command ids that TB_SETBUTTONINFOA was sent a NULL text for.
std::vector<int> g_nullTexts;
WNDPROC g_toolbarProc = nullptr;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TB_SETBUTTONINFOA) {
        const auto* info = reinterpret_cast<const TBBUTTONINFOA*>(lParam);
        if ((info->dwMask & TBIF_TEXT) && !info->pszText && info->cbSize == sizeof(TBBUTTONINFOA))
            g_nullTexts.push_back(static_cast<int>(wParam));
    }
    return CallWindowProcW(g_toolbarProc, window, message, wParam, lParam);
}

// The protected filler, reachable from the tests.
class TestToolbar : public CToolbarWindow32 {
public:
    using CToolbarWindow32::SetButtons;
};

class ToolbarWindow32Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        RECT rect = {0, 0, 400, 30};
        ASSERT_TRUE(toolbar.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE, rect, host.Get(), 100));
    }
    TBBUTTON Button(int index)
    {
        TBBUTTON button = {};
        EXPECT_TRUE(toolbar.GetButton(index, &button));
        return button;
    }
    std::string Text(int id)
    {
        char text[256] = {};
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = text;
        info.cchText = sizeof(text);
        toolbar.GetButtonInfo(id, &info);
        return text;
    }

    HostWindow host;
    TestToolbar toolbar;
};

TEST_F(ToolbarWindow32Test, CreateMakesAToolbarChildWithTheId)
{
    char className[64] = {};
    GetClassNameA(toolbar, className, sizeof(className));
    EXPECT_STREQ(className, "ToolbarWindow32");
    EXPECT_EQ(GetDlgCtrlID(toolbar), 100);
    EXPECT_EQ(GetParent(toolbar), host.Get());
    TestToolbar copy;
    copy = toolbar;  // copies share the window
    EXPECT_EQ(static_cast<HWND>(copy), static_cast<HWND>(toolbar));
}

TEST_F(ToolbarWindow32Test, SetButtonsNumbersImagesAndMakesSeparators)
{
    const WORD ids[] = {5, 0, 7};
    ASSERT_EQ(toolbar.SetButtons(ids, 3), 1);
    ASSERT_EQ(toolbar.GetButtonCount(), 3);
    EXPECT_EQ(Button(0).idCommand, 5);
    EXPECT_EQ(Button(0).iBitmap, 0);
    EXPECT_EQ(Button(0).fsStyle, 0);
    EXPECT_EQ(Button(0).fsState, TBSTATE_ENABLED);
    EXPECT_EQ(Button(1).fsStyle, BTNS_SEP);
    EXPECT_EQ(Button(1).iBitmap, 8);
    EXPECT_EQ(Button(1).idCommand, 0);
    EXPECT_EQ(Button(2).idCommand, 7);
    EXPECT_EQ(Button(2).iBitmap, 1);

    const WORD other[] = {9};
    ASSERT_EQ(toolbar.SetButtons(other, 1), 1);  // replaces the old buttons
    ASSERT_EQ(toolbar.GetButtonCount(), 1);
    EXPECT_EQ(Button(0).idCommand, 9);

    EXPECT_EQ(toolbar.SetButtons(ids, 0), 0);  // nothing to set: the buttons stay
    EXPECT_EQ(toolbar.GetButtonCount(), 1);
}

TEST_F(ToolbarWindow32Test, ShowToolBarTextTakesTheWordAfterTheLastNewline)
{
    const WORD ids[] = {5, 0, 7};
    ASSERT_EQ(toolbar.SetButtons(ids, 3), 1);
    TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<char*>("Before");
    toolbar.SetButtonInfo(7, &info);

    toolbar.ShowToolBarText(GetModuleHandleW(nullptr), TRUE);
    EXPECT_EQ(Text(5), "Open");
    EXPECT_EQ(Text(7), "Before");  // no newline: the text stays

    // Hiding sends every plain button a NULL text (what the toolbar makes of it is its own affair).
    g_nullTexts.clear();
    g_toolbarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
    toolbar.ShowToolBarText(GetModuleHandleW(nullptr), FALSE);
    SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_toolbarProc));
    EXPECT_EQ(g_nullTexts, (std::vector<int>{5, 7}));
}

TEST_F(ToolbarWindow32Test, ThirtyTwoBitStripGivesAnUnmaskedAlphaList)
{
    ASSERT_EQ(toolbar.LoadImageList(GetModuleHandleW(nullptr), "STRIP32", 6, 0), 1);
    HIMAGELIST list = toolbar.GetImageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, toolbar.m_imageList);
    EXPECT_EQ(ImageList_GetImageCount(list), 6);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    // Drawn over white: the transparent half shows white through its alpha, the opaque half blue.
    DibCanvas canvas(16, 16, 0xFFFFFFFF);
    ImageList_Draw(list, 2, canvas.Dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.Rgb(2, 8), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(12, 8), 0xFFFFFFu);
    ImageList_Destroy(list);
}

TEST_F(ToolbarWindow32Test, EightBitStripGivesSilverAsTransparent)
{
    ASSERT_EQ(toolbar.LoadImageList(GetModuleHandleW(nullptr), "STRIP8", 6, 0), 1);
    HIMAGELIST list = toolbar.GetImageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 6);
    DibCanvas canvas(16, 16, 0xFF00FF00);
    ImageList_Draw(list, 4, canvas.Dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.Rgb(2, 8), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(12, 8), 0x00FF00u);  // silver masked out: the green ground shows
    ImageList_Destroy(list);
}

TEST_F(ToolbarWindow32Test, LoadToolBarFillsButtonsAndImagesFromTheResource)
{
    ASSERT_EQ(toolbar.LoadToolBar(GetModuleHandleW(nullptr), "TOOLS", 0), 1);
    ASSERT_EQ(toolbar.GetButtonCount(), 3);
    EXPECT_EQ(Button(2).idCommand, 7);
    HIMAGELIST list = toolbar.GetImageList();
    ASSERT_NE(list, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 48);  // the 96-pixel strip cut into its two images
    EXPECT_EQ(cy, 16);
    ImageList_Destroy(list);
}

TEST_F(ToolbarWindow32Test, BrokenToolbarResourcesAreRefused)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(toolbar.LoadToolBar(self, "NOSUCHTOOLBAR", 0), 0);
    // Separators only: no image to cut the strip into (no division by zero).
    EXPECT_EQ(toolbar.LoadToolBar(self, "ONLYSEPARATORS", 0), 0);
    EXPECT_EQ(toolbar.GetImageList(), nullptr);
    EXPECT_EQ(toolbar.LoadImageList(self, "STRIP32", 0, 0), 0);
    // A count beyond the resource's end is not read past it.
    EXPECT_EQ(toolbar.LoadToolBar(self, "OVERLONG", 0), 0);
    EXPECT_EQ(toolbar.LoadImageList(self, "NOSUCHBITMAP", 6, 0), 0);
}

TEST_F(ToolbarWindow32Test, WrappedMessagesReachTheToolbar)
{
    const WORD ids[] = {5, 0, 7};
    ASSERT_EQ(toolbar.SetButtons(ids, 3), 1);
    EXPECT_TRUE(toolbar.CheckButton(7, TRUE));
    EXPECT_TRUE(toolbar.IsButtonChecked(7));
    EXPECT_TRUE(toolbar.EnableButton(5, FALSE));
    EXPECT_FALSE(toolbar.IsButtonEnabled(5));
    EXPECT_TRUE(toolbar.HideButton(7, TRUE));
    EXPECT_TRUE(toolbar.IsButtonHidden(7));
    EXPECT_EQ(toolbar.CommandToIndex(7), 2);
    EXPECT_TRUE(toolbar.SetCmdID(0, 11));
    EXPECT_EQ(toolbar.CommandToIndex(11), 0);
    EXPECT_TRUE(toolbar.DeleteButton(1));
    EXPECT_EQ(toolbar.GetButtonCount(), 2);
}

}  // namespace
