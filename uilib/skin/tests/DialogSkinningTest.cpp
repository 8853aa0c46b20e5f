// Global dialog skinning replaces class procedures for the whole process: every test here runs
// after one GlobalSubclassDialog with the scheme written below.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/WindowPixels.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DialogSkinning.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/tests/HookTargetDll.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

const COLORREF kTop = RGB(200, 0, 0), kBottom = RGB(0, 0, 200);
const COLORREF kText = RGB(0, 128, 0), kGrayText = RGB(128, 128, 0), kGroupText = RGB(0, 0, 128),
               kGroupFrame = RGB(255, 0, 255), kPushText = RGB(255, 255, 255);
// The push-button strip: five 20 x 20 cells, each its own colour inside a black rim as wide as
// the sizing margins: 1 left, 5 right, 2 top, 7 bottom (written left, right, top, bottom).
const DWORD kCellColours[5] = {0xFF606060, 0xFF00C000, 0xFF0000C0, 0xFF303030, 0xFFC00000};
const COLORREF kCellRgb[5] = {RGB(0x60, 0x60, 0x60), RGB(0, 0xC0, 0), RGB(0, 0, 0xC0), RGB(0x30, 0x30, 0x30),
                              RGB(0xC0, 0, 0)};
constexpr int kRimLeft = 1, kRimRight = 5, kRimTop = 2, kRimBottom = 7;
// Content margins, written "4, 9, 2, 6": left 4, right 9, top 2, bottom 6.
constexpr int kContentLeft = 4, kContentRight = 9, kContentTop = 2, kContentBottom = 6;

std::string PushButtonPng()
{
    std::vector<DWORD> argb(100 * 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) {
            int cx = x % 20;
            bool rim = cx < kRimLeft || cx >= 20 - kRimRight || y < kRimTop || y >= 20 - kRimBottom;
            argb[y * 100 + x] = rim ? 0xFF000000 : kCellColours[x / 20];
        }
    return EncodePng(100, 20, argb);
}

class SkinningEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        EnsureLibraryAttached();
        static TempFolder folder;
        folder.Write("push.png", PushButtonPng());
        std::string scheme = folder.Write("scheme.thm",
            "[Dialog]\r\nFrameShape = " + TestSkinPathA("FrameSkin.inf") + "\r\n"
            "Background = #C80000; #0000C8\r\nText = #008000\r\nGrayText = #808000\r\n"
            "GroupText = #000080\r\nGroupFrame = #FF00FF\r\n"
            "[PushButton]\r\nImageArea = 0, 0, 100, 20\r\nSizingMargins = 1, 5, 2, 7\r\n"
            "ContentMargins = 4, 9, 2, 6\r\nText = #FFFFFF\r\nImageFile = push.png\r\n");
        ASSERT_TRUE(LoadColorScheme(scheme.c_str(), 0));
        ASSERT_EQ(g_Colors.DialogBackgroundStart, kTop);
        ASSERT_NE(g_Scheme.dialogFrameShapeFile, nullptr);
        GlobalSubclassDialog();
        GlobalSubclassDialog();  // a second call changes nothing
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SkinningEnvironment);

// What the test dialogs' procedure does.
bool g_optOut = false;
HBRUSH g_ownBrush = nullptr;
std::vector<std::pair<int, int>> g_commands;  // id, code

INT_PTR CALLBACK TestDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case kMsgQuerySkinning:
        if (g_optOut)
            reinterpret_cast<DialogSkinRecord*>(lParam)->enabled = 0;
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(g_ownBrush);
    case WM_COMMAND:
        g_commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        return TRUE;
    }
    return FALSE;
}

struct Template {
    DLGTEMPLATE header;
    WORD menu, cls, title;
};

HWND CreateTestDialog(HWND parent, DWORD style, int cx, int cy)
{
    alignas(4) static Template t;
    t = Template{};
    t.header.style = style;
    t.header.cx = 10;
    t.header.cy = 10;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.header, parent, TestDialogProc, 0);
    if (dialog)
        SetWindowPos(dialog, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
    return dialog;
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int cx, int cy,
           int id, DWORD exStyle = 0)
{
    return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

PixelImage Screen(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    return CaptureScreenPixels(window);
}

bool Near(COLORREF a, COLORREF b, int tolerance = 8)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class DialogSkinning : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_optOut = false;
        g_ownBrush = nullptr;
        g_commands.clear();
    }
    void TearDown() override
    {
        for (HWND d : m_dialogs)
            if (IsWindow(d))
                DestroyWindow(d);
        if (g_ownBrush)
            DeleteObject(g_ownBrush);
        g_ownBrush = nullptr;
    }
    HWND Dialog(int cx = 200, int cy = 200)
    {
        HWND d = CreateTestDialog(nullptr, WS_POPUP | WS_VISIBLE, cx, cy);
        if (d)
            m_dialogs.push_back(d);
        return d;
    }
    std::vector<HWND> m_dialogs;
};

TEST_F(DialogSkinning, DialogsEraseWithTheSchemeGradient)
{
    HWND dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    DialogSkinRecord* record = DialogRecordOf(dialog);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->enabled, 1);
    PixelImage image = Screen(dialog);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(Near(image.At(100, 0), kTop)) << std::hex << image.At(100, 0);
    EXPECT_TRUE(Near(image.At(100, 199), kBottom)) << std::hex << image.At(100, 199);
    EXPECT_TRUE(Near(image.At(100, 100), RGB(100, 0, 100), 12)) << std::hex << image.At(100, 100);
    EXPECT_EQ(record->erased, 1);
}

TEST_F(DialogSkinning, ADialogThatOptsOutAndItsChildDialogsKeepTheSystemLook)
{
    g_optOut = true;
    HWND dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(DialogRecordOf(dialog), nullptr);
    EXPECT_EQ(DialogRecordOf(dialog)->enabled, 0);
    g_optOut = false;
    HWND inner = CreateTestDialog(dialog, WS_CHILD | WS_VISIBLE | DS_CONTROL, 100, 100);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(DialogRecordOf(inner)->enabled, 0) << "a child dialog follows its parent";
    PixelImage image = Screen(dialog);
    EXPECT_EQ(image.At(150, 150), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(image.At(50, 50), GetSysColor(COLOR_BTNFACE));
}

TEST_F(DialogSkinning, AChildDialogContinuesTheRootGradient)
{
    HWND dialog = Dialog();
    HWND inner = CreateTestDialog(dialog, WS_CHILD | WS_VISIBLE | DS_CONTROL, 100, 100);
    ASSERT_NE(inner, nullptr);
    SetWindowPos(inner, nullptr, 50, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(DialogRecordOf(inner)->enabled, 1);
    PixelImage image = Screen(dialog);
    // The row inside the child has the root's colour for that row, left of it and in it.
    EXPECT_TRUE(Near(image.At(60, 120), image.At(20, 120), 3)) << std::hex << image.At(60, 120);
    EXPECT_FALSE(Near(image.At(60, 85), kTop, 20)) << "not restarted at the child's top";
}

TEST_F(DialogSkinning, TheDialogsOwnBrushWinsOverTheGradient)
{
    g_ownBrush = CreateSolidBrush(RGB(0, 255, 255));
    HWND dialog = Dialog();
    PixelImage image = Screen(dialog);
    EXPECT_EQ(image.At(100, 10), RGB(0, 255, 255));
}

TEST_F(DialogSkinning, StaticTextDrawsOverTheGradientInTheSchemeColours)
{
    HWND dialog = Dialog();
    HWND label = Child(dialog, L"Static", L"WWWW WWWW", SS_LEFT, 10, 100, 150, 20, 10);
    HWND grey = Child(dialog, L"Static", L"WWWW WWWW", SS_LEFT | WS_DISABLED, 10, 140, 150, 20, 11);
    ASSERT_TRUE(label && grey);
    PixelImage image = Screen(dialog);
    EXPECT_GT(image.Count(kText, 10, 100, 160, 120), 10) << "text in [Dialog] Text";
    EXPECT_GT(image.Count(kGrayText, 10, 140, 160, 160), 10) << "disabled text in GrayText";
    // Beside the text the static shows the dialog's own gradient row.
    EXPECT_TRUE(Near(image.At(158, 118), image.At(180, 118), 3)) << std::hex << image.At(158, 118);
}

// A simple static leaves its background to the dialog, and still draws its text in the scheme's
// colours and drops the old text when it changes.
TEST_F(DialogSkinning, SimpleStaticTextChangesOverAFreshBackground)
{
    HWND dialog = Dialog();
    HWND label = Child(dialog, L"Static", L"WWWW WWWW", SS_SIMPLE, 10, 100, 150, 20, 12);
    ASSERT_NE(label, nullptr);
    PixelImage before = Screen(dialog);
    EXPECT_GT(before.Count(kText, 10, 100, 160, 120), 10) << "text in [Dialog] Text";
    EnableWindow(label, FALSE);
    Pump();
    PixelImage grey = CaptureScreenPixels(dialog);
    EXPECT_GT(grey.Count(kGrayText, 10, 100, 160, 120), 10) << "disabled: GrayText";
    EXPECT_EQ(grey.Count(kText, 10, 100, 160, 120), 0) << "not over the enabled text";
    SetWindowTextW(label, L"");
    Pump();
    PixelImage after = CaptureScreenPixels(dialog);
    EXPECT_EQ(after.Count(kGrayText, 10, 100, 160, 120), 0) << "the old text is gone";
    EXPECT_TRUE(Near(after.At(60, 110), after.At(180, 110), 3)) << "the dialog's gradient under it";
}

TEST_F(DialogSkinning, EditsWithAnEdgeKeepTheirBackgroundAndBareReadOnlyOnesShowTheGradient)
{
    HWND dialog = Dialog();
    HWND framed = Child(dialog, L"Edit", L"", ES_READONLY, 10, 20, 150, 24, 20, WS_EX_CLIENTEDGE);
    HWND bare = Child(dialog, L"Edit", L"", ES_READONLY, 10, 120, 150, 24, 21);
    ASSERT_TRUE(framed && bare);
    PixelImage image = Screen(dialog);
    EXPECT_FALSE(Near(image.At(100, 32), image.At(180, 32), 20)) << "edge: the system's read-only colour";
    EXPECT_TRUE(Near(image.At(100, 132), image.At(180, 132), 3)) << std::hex << image.At(100, 132);
}

TEST_F(DialogSkinning, GroupBoxesDrawCaptionAndRoundFrameInTheSchemeColours)
{
    HWND dialog = Dialog();
    HWND group = Child(dialog, L"Button", L"WWWW", BS_GROUPBOX, 10, 40, 180, 120, 30);
    ASSERT_NE(group, nullptr);
    PixelImage image = Screen(dialog);
    EXPECT_GT(image.Count(kGroupText, 15, 40, 100, 60), 5) << "caption";
    EXPECT_GT(image.Count(kGroupFrame, 10, 150, 190, 160), 100) << "bottom edge of the frame";
    EXPECT_EQ(image.Count(kGroupFrame, 10, 40, 12, 44), 0) << "rounded corner";
    EXPECT_TRUE(Near(image.At(100, 100), image.At(195, 100), 3)) << "the inside shows the gradient";
}

struct CheckCase {
    DWORD type;
    std::vector<int> clicksGive;  // BM_GETCHECK after each click
};

TEST_F(DialogSkinning, CheckBoxesAndRadioButtonsFollowTheStandardStateRules)
{
    HWND dialog = Dialog();
    const CheckCase cases[] = {
        {BS_AUTOCHECKBOX, {1, 0, 1}},
        {BS_AUTO3STATE, {1, 2, 0}},
        {BS_CHECKBOX, {0, 0}},
        {BS_AUTORADIOBUTTON, {1, 1}},
    };
    int id = 40;
    for (const CheckCase& c : cases) {
        HWND box = Child(dialog, L"Button", L"Check", c.type | WS_GROUP, 10, 10, 120, 20, ++id);
        ASSERT_NE(box, nullptr);
        for (size_t i = 0; i < c.clicksGive.size(); ++i) {
            g_commands.clear();
            SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), c.clicksGive[i]) << c.type << " click " << i;
            ASSERT_EQ(g_commands.size(), 1u);
            EXPECT_EQ(g_commands[0], std::make_pair(id, BN_CLICKED));
        }
        DestroyWindow(box);
    }
    HWND box = Child(dialog, L"Button", L"Check", BS_CHECKBOX, 10, 10, 120, 20, 50);
    SendMessageW(box, BM_SETCHECK, 7, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "any non-zero value is 1";
    HWND tri = Child(dialog, L"Button", L"Check", BS_3STATE, 10, 40, 120, 20, 51);
    SendMessageW(tri, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageW(tri, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    g_commands.clear();
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));  // released outside
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(DialogSkinning, AnAutoRadioButtonClearsTheOthersOfItsGroup)
{
    HWND dialog = Dialog();
    HWND a = Child(dialog, L"Button", L"A", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 80, 20, 61);
    HWND b = Child(dialog, L"Button", L"B", BS_AUTORADIOBUTTON, 10, 40, 80, 20, 62);
    HWND c = Child(dialog, L"Button", L"C", BS_AUTORADIOBUTTON, 10, 70, 80, 20, 63);
    HWND other = Child(dialog, L"Button", L"D", BS_AUTORADIOBUTTON | WS_GROUP, 10, 100, 80, 20, 64);
    SendMessageW(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(other, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(GetWindowLongW(a, GWL_STYLE) & WS_TABSTOP);
    SendMessageW(c, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageW(c, BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), 1) << "another group is left alone";
    EXPECT_FALSE(GetWindowLongW(a, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(SendMessageW(c, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

TEST_F(DialogSkinning, CheckBoxesDrawTheirGlyphAndTextOverTheGradient)
{
    HWND dialog = Dialog();
    HWND box = Child(dialog, L"Button", L"WWWW", BS_AUTOCHECKBOX, 10, 100, 120, 20, 70);
    PixelImage off = Screen(dialog);
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    PixelImage on = Screen(dialog);
    int differences = 0;
    for (int y = 100; y < 120; ++y)
        for (int x = 10; x < 10 + 13; ++x)
            differences += off.At(x, y) != on.At(x, y);
    EXPECT_GT(differences, 5) << "the check mark";
    EXPECT_GT(on.Count(kText, 30, 100, 130, 120), 5) << "text in the scheme's colour";
    EXPECT_TRUE(Near(on.At(125, 118), on.At(180, 118), 3)) << "background is the gradient";
}

TEST_F(DialogSkinning, PushButtonsDrawTheSchemeCellForTheirState)
{
    HWND dialog = Dialog();
    HWND button = Child(dialog, L"Button", L"", BS_PUSHBUTTON, 20, 60, 80, 30, 80);
    HWND def = Child(dialog, L"Button", L"", BS_DEFPUSHBUTTON, 20, 120, 80, 30, 81);
    ASSERT_TRUE(button && def);
    auto centre = [&](HWND b) {
        RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return CaptureClientPixels(b);
    };
    PixelImage normal = centre(button);
    EXPECT_EQ(normal.At(40, 15), kCellRgb[0]);
    EXPECT_EQ(normal.At(0, 0), RGB(0, 0, 0)) << "corner kept";
    // Each edge as wide as its own margin (the button is 80 x 30).
    EXPECT_EQ(normal.At(kRimLeft - 1, 15), RGB(0, 0, 0)) << "left edge";
    EXPECT_EQ(normal.At(kRimLeft, 15), kCellRgb[0]);
    EXPECT_EQ(normal.At(80 - kRimRight - 1, 15), kCellRgb[0]);
    EXPECT_EQ(normal.At(80 - kRimRight, 15), RGB(0, 0, 0)) << "right edge";
    EXPECT_EQ(normal.At(40, kRimTop - 1), RGB(0, 0, 0)) << "top edge";
    EXPECT_EQ(normal.At(40, kRimTop), kCellRgb[0]);
    EXPECT_EQ(normal.At(40, 30 - kRimBottom - 1), kCellRgb[0]);
    EXPECT_EQ(normal.At(40, 30 - kRimBottom), RGB(0, 0, 0)) << "bottom edge";
    EXPECT_EQ(centre(def).At(40, 15), kCellRgb[4]) << "default";
    SendMessageW(def, WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
    EXPECT_EQ(centre(def).At(40, 15), kCellRgb[1]) << "a hot default button shows the hot cell";
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(centre(button).At(40, 15), kCellRgb[2]);
    EnableWindow(button, FALSE);
    EXPECT_EQ(centre(button).At(40, 15), kCellRgb[3]);
    EnableWindow(button, TRUE);
    SendMessageW(button, BM_SETSTATE, FALSE, 0);

    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);

    g_commands.clear();
    SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0], std::make_pair(80, BN_CLICKED));
}

TEST_F(DialogSkinning, PushButtonTextAndIdealSize)
{
    HWND dialog = Dialog();
    HWND button = Child(dialog, L"Button", L"WWW", BS_PUSHBUTTON, 20, 60, 80, 30, 82);
    auto font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), font);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PixelImage image = CaptureClientPixels(button);
    EXPECT_GT(image.Count(kPushText, kContentLeft, kContentTop, 80 - kContentRight, 30 - kContentBottom), 5)
        << "caption in [PushButton] Text";

    HDC dc = GetDC(button);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent;
    GetTextExtentPoint32W(dc, L"WWW", 3, &extent);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(button, dc);
    SIZE ideal = {};
    ASSERT_TRUE(SendMessageW(button, 0x1601 /* BCM_GETIDEALSIZE */, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_EQ(ideal.cx, extent.cx + kContentLeft + kContentRight);
    EXPECT_EQ(ideal.cy, metrics.tmHeight + kContentTop + kContentBottom);
}

TEST_F(DialogSkinning, TrackbarsAskForTheBackgroundOncePerEraseAndPaint)
{
    HWND dialog = Dialog();
    HWND track = Child(dialog, TRACKBAR_CLASSW, L"", 0, 10, 60, 150, 30, 90);
    ASSERT_NE(track, nullptr);
    Screen(dialog);
    PixelImage image = Screen(dialog);  // a second erase-and-paint cycle
    // The trackbar's background is the dialog gradient, not the system face colour.
    EXPECT_TRUE(Near(image.At(12, 62), image.At(180, 62), 3)) << std::hex << image.At(12, 62) << " " << image.At(180, 62) << " " << image.At(80, 80) << " " << GetSysColor(COLOR_BTNFACE);
    auto* record = static_cast<TrackbarSkinRecord*>(GetPropW(track, MAKEINTATOM(g_atomGlobalSubclassData)));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->erasedBefore, 1);
    EXPECT_EQ(record->skipBackground, 0) << "cleared after each paint";
}

// During a framed dialog's initialisation other modules' AdjustWindowRectEx answers with the
// frame's borders; this program's own calls are the library's and reach the real function.
RECT g_adjusted;
BOOL g_adjustResult;
HWND g_grip;

BOOL AdjustFromOtherModule(RECT* rect)
{
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD);
    auto adjust = reinterpret_cast<AdjustFn>(
        reinterpret_cast<void*>(CallerGetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectEx")));
    return adjust(rect, WS_CAPTION | WS_SYSMENU, FALSE, 0);
}

INT_PTR CALLBACK FramedDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    g_adjusted = RECT{0, 0, 100, 50};
    g_adjustResult = AdjustFromOtherModule(&g_adjusted);
    g_grip = CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 0, 0, 16, 16, dialog,
                             nullptr, nullptr, nullptr);
    return TRUE;
}

// A captioned top-level dialog: it gets the scheme's frame.
HWND CaptionedDialog(DLGPROC proc)
{
    alignas(4) static Template t;
    t = Template{};
    t.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.header.cx = 100;
    t.header.cy = 60;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.header, nullptr, proc, 0);
}

TEST_F(DialogSkinning, ACaptionedDialogGetsTheSchemeFrameAndItsBordersDuringInitialisation)
{
    HWND dialog = CaptionedDialog(FramedDialogProc);
    ASSERT_NE(dialog, nullptr);
    m_dialogs.push_back(dialog);
    FWSkin::CSkinFrame* frame = FWSkin::CSkinFrame::FromWindow(dialog);
    ASSERT_NE(frame, nullptr) << "skinned with [Dialog] FrameShape";
    FWSkin::CSkinLayout* layout = frame->CurrentLayout();
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(g_adjustResult);
    EXPECT_EQ(g_adjusted.left, -layout->BorderLeft());
    EXPECT_EQ(g_adjusted.top, -layout->BorderTop());
    EXPECT_EQ(g_adjusted.right, 100 + layout->BorderRight());
    EXPECT_EQ(g_adjusted.bottom, 50 + layout->BorderBottom());
    EXPECT_FALSE(IsWindowVisible(g_grip)) << "the frame brings its own size handles";

    RECT after = {0, 0, 100, 50}, real = after;
    EXPECT_TRUE(AdjustFromOtherModule(&after));
    AdjustWindowRectEx(&real, WS_CAPTION | WS_SYSMENU, FALSE, 0);
    EXPECT_TRUE(EqualRect(&after, &real)) << "after the initialisation the real function answers";
}

// A framed dialog that, while it initialises, changes its frame style and resizes in the same
// step (as the resizable file dialog does) keeps its size: the skinned frame is the same for every
// style. A plain resize during the initialisation still counts.
SIZE g_sizeAfterFrameChange, g_sizeAfterResize;

SIZE WindowSizeOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

INT_PTR CALLBACK FrameChangingDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SIZE before = WindowSizeOf(dialog);
    SetWindowLongW(dialog, GWL_STYLE, GetWindowLongW(dialog, GWL_STYLE) | WS_THICKFRAME);
    SetWindowPos(dialog, nullptr, 0, 0, before.cx + 30, before.cy + 40,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_sizeAfterFrameChange = WindowSizeOf(dialog);
    SetWindowPos(dialog, nullptr, 0, 0, before.cx + 30, before.cy + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    g_sizeAfterResize = WindowSizeOf(dialog);
    return TRUE;
}

TEST_F(DialogSkinning, AFrameStyleChangeDuringInitialisationKeepsTheSkinnedSize)
{
    HWND dialog = CaptionedDialog(FrameChangingDialogProc);
    ASSERT_NE(dialog, nullptr);
    m_dialogs.push_back(dialog);
    ASSERT_NE(FWSkin::CSkinFrame::FromWindow(dialog), nullptr);
    SIZE now = WindowSizeOf(dialog);
    EXPECT_EQ(g_sizeAfterFrameChange.cx + 30, g_sizeAfterResize.cx) << "the frame change kept the size";
    EXPECT_EQ(g_sizeAfterFrameChange.cy + 40, g_sizeAfterResize.cy);
    EXPECT_EQ(now.cx, g_sizeAfterResize.cx) << "the plain resize stands";
    EXPECT_EQ(now.cy, g_sizeAfterResize.cy);
}

TEST_F(DialogSkinning, FileDialogSizeIsSeededOncePerExecutable)
{
    const wchar_t key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\CIDSizeMRU";
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
    SeedFileDialogSize(L"other.exe", 610, 225);
    SeedFileDialogSize(L"Lyrant.exe", 610, 225);
    SeedFileDialogSize(L"LYRANT.EXE", 610, 225);  // case-insensitive: already there
    HKEY k;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &k), ERROR_SUCCESS);
    DWORD list[4] = {};
    DWORD bytes = sizeof(list);
    ASSERT_EQ(RegQueryValueExW(k, L"MRUListEx", nullptr, nullptr, reinterpret_cast<BYTE*>(list), &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(bytes, 12u);
    EXPECT_EQ(list[0], 0u);
    EXPECT_EQ(list[1], 1u);
    EXPECT_EQ(list[2], 0xFFFFFFFFu);
    BYTE record[600] = {};
    bytes = sizeof(record);
    ASSERT_EQ(RegQueryValueExW(k, L"1", nullptr, nullptr, record, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, 592u);
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(record), L"Lyrant.exe");
    EXPECT_EQ(*reinterpret_cast<DWORD*>(record + 576), 610u);
    EXPECT_EQ(*reinterpret_cast<DWORD*>(record + 580), 225u);
    RegCloseKey(k);
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
}

}  // namespace
