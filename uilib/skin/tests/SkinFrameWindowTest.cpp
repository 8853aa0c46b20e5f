#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "uilib/skin/tests/PngPixels.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/PngLoader.h"
#include "uilib/skin/SkinBtn.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinFrameApi.h"
#include "uilib/skin/SkinTxt.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"

namespace {

using namespace FWSkin;

// Wine's theme paints its own caption over a skinned frame; the theme library reads the setting
// when it loads, so a run that finds it on switches it off and runs itself again.
struct ThemeOff {
    ThemeOff()
    {
        const wchar_t key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
        wchar_t value[8] = {};
        DWORD size = sizeof(value);
        LSTATUS read = RegGetValueW(HKEY_CURRENT_USER, key, L"ThemeActive", RRF_RT_REG_SZ, nullptr, value, &size);
        if (read == ERROR_SUCCESS && lstrcmpW(value, L"0") == 0)
            return;
        HKEY k;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr))
            return;
        RegSetValueExW(k, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"0"), 4);
        STARTUPINFOW si = {sizeof(si)};
        PROCESS_INFORMATION pi;
        std::wstring line = GetCommandLineW();
        DWORD code = 1;
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, INFINITE);
            GetExitCodeProcess(pi.hProcess, &code);
        }
        // Other programs of the run keep the theme they had.
        if (read == ERROR_SUCCESS)
            RegSetValueExW(k, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           (lstrlenW(value) + 1) * sizeof(wchar_t));
        else
            RegDeleteValueW(k, L"ThemeActive");
        RegCloseKey(k);
        ExitProcess(code);
    }
} g_themeOff;

struct Recorder {
    std::vector<WPARAM> sysCommands;
    std::vector<WPARAM> commands;
    std::vector<SkinFrameNotify> notifies;
} g_rec;

UINT NotifyMessage()
{
    static UINT message = RegisterWindowMessageA("SFWM_NOTIFY");
    return message;
}

LRESULT CALLBACK TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == NotifyMessage()) {
        g_rec.notifies.push_back(*reinterpret_cast<SkinFrameNotify*>(lParam));
        return 0;
    }
    switch (message) {
    case WM_SYSCOMMAND:
        g_rec.sysCommands.push_back(wParam & 0xFFF0);
        if ((wParam & 0xFFF0) == SC_CLOSE)
            return 0;  // the test closes its windows itself
        break;
    case WM_COMMAND:
        g_rec.commands.push_back(wParam);
        return 0;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        return 1;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK ClosingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(dialog);  // at once, from inside the frame's click
        return TRUE;
    }
    return FALSE;
}

// A dialog template in memory: no title, no controls.
HWND MakeDialog(DLGPROC proc)
{
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tmpl = {};
    tmpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    tmpl.t.x = 20;
    tmpl.t.y = 20;
    tmpl.t.cx = 120;
    tmpl.t.cy = 80;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tmpl.t, nullptr, proc, 0);
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

// The window's rectangle as the screen shows it, saved beside the tests for a look.
void SaveWindowShot(HWND window, const wchar_t* name)
{
    SavePixelsAsPng(CaptureScreenWindowPixels(window), ScreenshotFolder() + L"\\" + name);
}

void MoveMouse(int x, int y)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
    PumpMessagesFor(60);
}

void Click(int x, int y)
{
    MoveMouse(x, y);
    PumpMessagesFor(150);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    PumpMessagesFor(150);
    SendInput(1, &in[1], sizeof(INPUT));
    PumpMessagesFor(200);
    // A later click at the same place must not count as a double click.
    MoveMouse(x + 40, y + 100);
    PumpMessagesFor(GetDoubleClickTime() + 50);
}

class FrameWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLibraryAttached();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = L"FrameTestWindow";
        RegisterClassW(&wc);
        g_rec = Recorder();
        MoveMouse(900, 700);
    }
    void TearDown() override
    {
        for (HWND w : windows)
            if (IsWindow(w))
                DestroyWindow(w);
        PumpMessagesFor(30);
    }
    HWND Make(DWORD style, DWORD exStyle = 0, HWND parent = nullptr, int x = 100, int y = 100)
    {
        HWND w = CreateWindowExW(exStyle, L"FrameTestWindow", L"", style, x, y, 200, 150, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        windows.push_back(w);
        return w;
    }
    // A frame that dies with its window.
    CSkinFrame* Skin(HWND window, const wchar_t* skin = L"FrameSkin.inf")
    {
        auto* frame = new CSkinFrame;
        EXPECT_TRUE(frame->LoadSkin(TestSkinPath(skin).c_str()));
        EXPECT_EQ(frame->Attach(window, true), 1);
        ShowActive(window);
        return frame;
    }
    // Skinned through the export, as a host does it.
    CSkinFrame* HostSkin(HWND window, const wchar_t* skin)
    {
        EXPECT_EQ(SetWindowSkin(window, TestSkinPath(skin).c_str()), 1);
        ShowActive(window);
        return CSkinFrame::FromWindow(window);
    }
    void ShowActive(HWND window)
    {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        UpdateWindow(window);
        PumpMessagesFor(100);
    }
    POINT Screen(HWND window, int x, int y)
    {
        RECT r;
        GetWindowRect(window, &r);
        return POINT{r.left + x, r.top + y};
    }
    LRESULT Hit(HWND window, int x, int y)
    {
        POINT p = Screen(window, x, y);
        return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    std::vector<HWND> windows;
};

TEST_F(FrameWindow, AttachShapesTheWindowAndDetachRestoresIt)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    RECT systemClient;
    GetClientRect(window, &systemClient);
    CSkinFrame* frame = Skin(window, L"TestSkin.inf");
    EXPECT_EQ(GetPropA(window, kFramePropName), frame);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200 - 8 - 8);
    EXPECT_EQ(client.bottom, 150 - 24 - 8);

    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, actual), ERROR);
    HRGN expected = frame->Layout(1)->GetRegion(200, 150);
    EXPECT_TRUE(EqualRgn(actual, expected));

    // Each part's centre on the screen shows the skin's pixel, where no element covers it.
    PngPixels png(TestSkinPath(L"TestSkin.png"));
    int checked = 0;
    for (int i = 0; i < CSkinLayout::kPartCount; ++i) {
        CSkinImg* part = frame->Layout(1)->Part(i);
        RECT r = part->Rect(), s = part->Source();
        int x = r.left + r.right / 2, y = r.top + r.bottom / 2;
        bool covered = false;
        for (int e = 0; e < frame->ElementCount(); ++e) {
            RECT er = frame->Element(e)->WindowRect();
            covered |= PtInRect(&er, POINT{x, y}) != FALSE;
        }
        int sx = s.left + (x - r.left) % s.right, sy = s.top + (y - r.top) % s.bottom;
        if (covered || png.Alpha(sx, sy) != 255)
            continue;
        POINT p = Screen(window, x, y);
        EXPECT_EQ(ScreenPixel(p.x, p.y), png.Colour(sx, sy)) << CSkinLayout::PartName(i);
        ++checked;
    }
    EXPECT_GE(checked, 6);
    SaveWindowShot(window, L"frame_attached.png");

    EXPECT_EQ(frame->Attach(nullptr, true), 1);
    EXPECT_EQ(GetPropA(window, kFramePropName), nullptr);
    EXPECT_EQ(GetWindowRgn(window, actual), ERROR);
    GetClientRect(window, &client);
    EXPECT_TRUE(EqualRect(&client, &systemClient));
    delete frame;
    DeleteObject(actual);
    DeleteObject(expected);
}

TEST_F(FrameWindow, DialogKeepsItsClientSizeInsideTheSkin)
{
    HWND dialog = MakeDialog(ClosingDialogProc);
    windows.push_back(dialog);
    ASSERT_NE(dialog, nullptr);
    RECT before, after, window;
    GetClientRect(dialog, &before);
    Skin(dialog);
    GetClientRect(dialog, &after);
    GetWindowRect(dialog, &window);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(window.right - window.left, before.right + 16);
    EXPECT_EQ(window.bottom - window.top, before.bottom + 32);
}

struct HitCase {
    int x, y;
    LRESULT code;
};

TEST_F(FrameWindow, HitTestTable)
{
    // FrameSkin at 200 x 150: minimize 62..78, maximize 80..96, close 182..198 (y 4..20).
    HWND sizable = Make(WS_OVERLAPPEDWINDOW);
    Skin(sizable);
    const int frameX = GetSystemMetrics(SM_CXFRAME);
    const HitCase thick[] = {
        {100, 75, HTCLIENT},       {30, 12, HTCAPTION},      {70, 12, HTMINBUTTON},
        {88, 12, HTMAXBUTTON},     {190, 12, HTCLOSE},       {100, 0, HTTOP},
        {0, 0, HTTOPLEFT},         {199, 0, HTTOPRIGHT},     {0, 75, HTLEFT},
        {199, 75, HTRIGHT},        {100, 149, HTBOTTOM},     {0, 149, HTBOTTOMLEFT},
        {199, 149, HTBOTTOMRIGHT}, {frameX + 1, 75, HTBORDER},
    };
    for (const HitCase& c : thick)
        EXPECT_EQ(Hit(sizable, c.x, c.y), c.code) << "sizable " << c.x << "," << c.y;

    HWND fixed = Make(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, nullptr, 320, 100);
    Skin(fixed);
    const HitCase thin[] = {{0, 75, HTBORDER}, {100, 0, HTCAPTION}, {100, 149, HTBORDER}, {190, 12, HTCLOSE}};
    for (const HitCase& c : thin)
        EXPECT_EQ(Hit(fixed, c.x, c.y), c.code) << "fixed " << c.x << "," << c.y;

    HWND parent = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, nullptr, 100, 300);
    SetWindowPos(parent, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, parent, 10, 10);
    Skin(child);
    const HitCase inChild[] = {{0, 75, HTBORDER}, {100, 10, HTBORDER}, {190, 12, HTBORDER}, {100, 75, HTCLIENT}};
    for (const HitCase& c : inChild)
        EXPECT_EQ(Hit(child, c.x, c.y), c.code) << "child " << c.x << "," << c.y;

    HWND mirrored = Make(WS_OVERLAPPEDWINDOW, WS_EX_LAYOUTRTL, nullptr, 540, 100);
    Skin(mirrored);
    // Mirrored: the close button sits on the left, the sizing codes follow the screen.
    const HitCase rtl[] = {{9, 12, HTCLOSE}, {0, 75, HTLEFT}, {199, 75, HTRIGHT}, {0, 149, HTBOTTOMLEFT},
                           {100, 75, HTCLIENT}};
    for (const HitCase& c : rtl)
        EXPECT_EQ(Hit(mirrored, c.x, c.y), c.code) << "mirrored " << c.x << "," << c.y;
}

TEST_F(FrameWindow, HoverFadesInAndClicksSendTheirCommands)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = Skin(window);
    ASSERT_TRUE(frame->AddChild("Custom Button", 1234, true, nullptr));
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PngPixels png(TestSkinPath(L"TestSkin.png"));
    POINT close = Screen(window, 190, 12);
    EXPECT_EQ(ScreenPixel(close.x, close.y), png.Colour(138, 8)) << "normal";
    MoveMouse(close.x, close.y);
    PumpMessagesFor(300);  // four fade steps of 20 ms
    EXPECT_EQ(ScreenPixel(close.x, close.y), png.Colour(154, 8)) << "hot";

    Click(close.x, close.y);
    ASSERT_EQ(g_rec.sysCommands.size(), 1u);
    EXPECT_EQ(g_rec.sysCommands[0], static_cast<WPARAM>(SC_CLOSE));

    POINT custom = Screen(window, 50, 12);
    Click(custom.x, custom.y);
    ASSERT_EQ(g_rec.commands.size(), 1u);
    EXPECT_EQ(g_rec.commands[0], 1234u);

    // A press that leaves the button before the release is no click.
    MoveMouse(custom.x, custom.y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof(in));
    PumpMessagesFor(60);
    auto* button = dynamic_cast<CSkinBtnBase*>(frame->FindElement(1234));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->HasState(kStatePushed));
    // Leaving while held lets the picture go up; a busy machine may take a few moves for it.
    for (int i = 0; i < 20 && button->HasState(kStatePushed); ++i)
        MoveMouse(custom.x, custom.y + 60 + i);
    EXPECT_FALSE(button->HasState(kStatePushed));
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
    PumpMessagesFor(60);
    EXPECT_EQ(g_rec.commands.size(), 1u);
    EXPECT_EQ(frame->Captured(), nullptr);

    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    MoveMouse(900, 700);
    PumpMessagesFor(600);  // the non-client leave arrives late
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(close.x, close.y), png.Colour(186, 8)) << "disabled";
}

TEST_F(FrameWindow, ADialogThatDestroysItselfOnCloseTakesTheFrameAlong)
{
    HWND dialog = MakeDialog(ClosingDialogProc);
    ASSERT_NE(dialog, nullptr);
    Skin(dialog);
    RECT r;
    GetWindowRect(dialog, &r);
    Click(r.right - 10, r.top + 12);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(FrameWindow, MaximizeUsesTheFullScreenLayoutAndSwapsTheButtons)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = Skin(window);
    CSkinBase* maximize = frame->FindElement(SC_MAXIMIZE);
    CSkinBase* restore = frame->FindElement(SC_RESTORE);
    ASSERT_NE(maximize, nullptr);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(frame->LayoutKind(), 1);
    EXPECT_FALSE(maximize->HasStyle(kStyleHidden));
    EXPECT_TRUE(restore->HasStyle(kStyleHidden));

    ShowWindow(window, SW_MAXIMIZE);
    PumpMessagesFor(100);
    EXPECT_EQ(frame->LayoutKind(), 2);
    EXPECT_TRUE(maximize->HasStyle(kStyleHidden));
    EXPECT_FALSE(restore->HasStyle(kStyleHidden));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, region), ERROR) << "no region while maximized";

    ShowWindow(window, SW_RESTORE);
    PumpMessagesFor(100);
    EXPECT_EQ(frame->LayoutKind(), 1);
    EXPECT_FALSE(maximize->HasStyle(kStyleHidden));
    EXPECT_NE(GetWindowRgn(window, region), ERROR);
    DeleteObject(region);

    MINMAXINFO info = {};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_GE(info.ptMinTrackSize.x, 40);
    EXPECT_GE(info.ptMinTrackSize.y, 48);
}

TEST_F(FrameWindow, TitleShowsInTheCaptionText)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = Skin(window);
    auto* caption = dynamic_cast<CSkinTxt*>(frame->FindElement(kCaptionId));
    ASSERT_NE(caption, nullptr);
    RECT r = caption->WindowRect();
    auto textPixels = [&] {
        int count = 0;
        POINT o = Screen(window, 0, 0);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                COLORREF c = ScreenPixel(o.x + x, o.y + y);  // dark like the caption's colour
                count += GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
            }
        return count;
    };
    int before = textPixels();
    EXPECT_EQ(before, 0);
    EXPECT_TRUE(SetWindowTextW(window, L"W"));
    UpdateWindow(window);
    PumpMessagesFor(100);
    EXPECT_STREQ(caption->Text(), L"W");
    EXPECT_GT(textPixels(), 5);
    SaveWindowShot(window, L"frame_title.png");
    wchar_t title[8];
    GetWindowTextW(window, title, 8);
    EXPECT_STREQ(title, L"W");
}

TEST_F(FrameWindow, NotifyRecordsComeInPairsAroundEachPaint)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = Skin(window);
    frame->SetOptions(kOptionNotify);
    g_rec.notifies.clear();
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(g_rec.notifies.size(), 2u);
    const SkinFrameNotify& first = g_rec.notifies[0];
    const SkinFrameNotify& second = g_rec.notifies[1];
    EXPECT_EQ(first.size, sizeof(void*) == 4 ? 36u : 40u);
    EXPECT_EQ(first.one, 1u);
    EXPECT_EQ(first.zero, 0u);
    EXPECT_EQ(first.stage, kNotifyBeforePaint);
    EXPECT_EQ(second.stage, kNotifyAfterPaint);
    EXPECT_EQ(first.dc, second.dc);
    EXPECT_NE(first.dc, nullptr);
    EXPECT_TRUE(first.window.left == 0 && first.window.top == 0 && first.window.right == 200 &&
                first.window.bottom == 150);
    frame->SetOptions(0);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(g_rec.notifies.size(), 2u);
}

TEST_F(FrameWindow, PrintWithTheNonClientFlagMatchesTheScreen)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = Skin(window);
    DibCanvas canvas(200, 150, 0xFF00FF);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_NONCLIENT);
    HRGN region = frame->CreateWindowRegion();
    int compared = 0, differing = 0;
    POINT o = Screen(window, 0, 0);
    auto check = [&](int x, int y) {
        if (!PtInRegion(region, x, y))
            return;
        DWORD p = canvas.Rgb(x, y);
        ++compared;
        differing += ScreenPixel(o.x + x, o.y + y) != RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    };
    for (int x = 0; x < 200; x += 3)
        check(x, 2), check(x, 12), check(x, 146);
    for (int y = 24; y < 126; y += 5)
        check(2, y), check(196, y);
    EXPECT_GT(compared, 100);
    EXPECT_EQ(differing, 0);
    DeleteObject(region);
}

TEST_F(FrameWindow, ToolTipTextIsCopiedWithTheCallersSize)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = Skin(window);
    RECT r = {30, 4, 50, 20};
    ASSERT_TRUE(frame->AddToolTip(77, &r, L"a tooltip longer than the buffer"));
    wchar_t buffer[8];
    for (wchar_t& c : buffer)
        c = 0x7777;
    EXPECT_EQ(frame->GetToolTipText(77, buffer, 4), 3);
    EXPECT_STREQ(buffer, L"a t");
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(buffer[i], 0x7777);
    EXPECT_EQ(frame->GetToolTipText(78, buffer, 4), 0);
}

TEST_F(FrameWindow, StatusBarStaysAtTheBottomThroughPartChangesAndResizes)
{
    // FrameSkin's bar: its left image (6 x 12) lies 4 pixels into the BottomLeft corner.
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    HostSkin(window, L"FrameSkin.inf");
    ASSERT_EQ(AddSkinSbPart(window, 7, -1, L"ready", nullptr, nullptr), 0);
    ASSERT_EQ(AddSkinSbPart(window, 8, -2, L"auto", nullptr, nullptr), 1);
    PngPixels png(TestSkinPath(L"TestSkin.png"));
    const COLORREF leftEnd = png.Colour(132, 26);
    auto expectBarAt = [&](int top, int width, const char* when) {
        RECT bar = {};
        ASSERT_EQ(GetSkinRect(window, static_cast<UINT>(kStatusBarId), &bar), 1) << when;
        EXPECT_EQ(bar.top, top) << when;
        EXPECT_EQ(bar.bottom, top + 12) << when;
        EXPECT_EQ(bar.right, width) << when;
        CSkinSbPart* part = CSkinFrame::FromWindow(window)->StatusBar()->GetPart(0);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->Rect().top, top) << when;
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        POINT p = Screen(window, 2, top + 6);
        EXPECT_EQ(ScreenPixel(p.x, p.y), leftEnd) << when;
    };
    expectBarAt(130, 200, "added");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SetSkinSbPartText(window, 0, L"busy"), 1);
        EXPECT_EQ(SetSkinSbPartText(window, 1, "narrow text"), 1);
        EXPECT_EQ(SetSkinSbPartImage(window, 1, "Statusbar.Separator Image"), 1);
    }
    expectBarAt(130, 200, "texts and images changed");
    SetWindowPos(window, nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessagesFor(50);
    expectBarAt(160, 260, "resized");
    EXPECT_EQ(SetSkinSbPartImage(window, 1, nullptr), 1);
    expectBarAt(160, 260, "image removed");
}

HWND BorderOf(CSkinFrame* frame)
{
    return frame->LayeredBorder() ? frame->LayeredBorder()->Window() : nullptr;
}

// Opaque pixels of the caption (TopMiddle, tiled from x 20) on the screen, against the picture.
int CaptionMismatches(HWND window, const PngPixels& png, int* compared)
{
    RECT r;
    GetWindowRect(window, &r);
    int wrong = 0;
    *compared = 0;
    const int sy = std::max<int>(2, 2 - r.top);  // a maximized window may start above the screen
    for (int x = 100; x < 400 && x < r.right - r.left - 20; x += 7) {
        int sx = 20 + (x - 20) % 80;
        if (png.Alpha(sx, sy) != 255 || r.left + x < 0)
            continue;
        ++*compared;
        wrong += ScreenPixel(r.left + x, r.top + sy) != png.Colour(sx, sy);
    }
    return wrong;
}

TEST_F(FrameWindow, TranslucentSkinPaintsItsCaptionWhileMaximized)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = HostSkin(window, L"TestSkinTranslucentButtons.inf");
    ASSERT_NE(BorderOf(frame), nullptr);
    PngPixels png(TestSkinPath(L"TestSkin.png"));
    ShowWindow(window, SW_MAXIMIZE);
    PumpMessagesFor(200);
    ASSERT_TRUE(IsZoomed(window));
    EXPECT_EQ(BorderOf(frame), nullptr) << "no layered border while maximized";
    int compared = 0;
    EXPECT_EQ(CaptionMismatches(window, png, &compared), 0);
    EXPECT_GT(compared, 20);
    SaveWindowShot(window, L"frame_translucent_maximized.png");

    // Painted again on activation changes and repaints, not only once.
    SetSkinOptions(window, kOptionAlwaysActive);
    SendMessageW(window, WM_NCACTIVATE, FALSE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(CaptionMismatches(window, png, &compared), 0);

    ShowWindow(window, SW_RESTORE);
    PumpMessagesFor(200);
    EXPECT_NE(BorderOf(frame), nullptr) << "the border comes back";
}

TEST_F(FrameWindow, HoverEndsWhenTheLayeredBorderGoesUnderThePointer)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    CSkinFrame* frame = HostSkin(window, L"TestSkinTranslucentButtons.inf");
    auto* minimize = dynamic_cast<CSkinBtnBase*>(frame->FindElement(SC_MINIMIZE));
    ASSERT_NE(minimize, nullptr);
    ASSERT_NE(BorderOf(frame), nullptr);
    POINT over = Screen(window, 70, 12);
    MoveMouse(over.x, over.y);
    PumpMessagesFor(200);
    ASSERT_TRUE(minimize->HasState(kStateHot)) << "the border hands its mouse on";

    // Maximized, the border dies with the pointer on it; the button is elsewhere now.
    ShowWindow(window, SW_MAXIMIZE);
    PumpMessagesFor(200);
    ASSERT_TRUE(IsZoomed(window));
    EXPECT_FALSE(minimize->HasState(kStateHot));
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r = minimize->WindowRect();
    PngPixels png(TestSkinPath(L"TestSkin.png"));
    POINT at = Screen(window, r.left + 8, r.top + 8);
    EXPECT_EQ(ScreenPixel(at.x, at.y), png.Colour(138, 8)) << "painted cool";

    // Restored, hovering and leaving works again.
    ShowWindow(window, SW_RESTORE);
    PumpMessagesFor(200);
    over = Screen(window, 70, 12);
    MoveMouse(over.x, over.y);
    PumpMessagesFor(200);
    EXPECT_TRUE(minimize->HasState(kStateHot));
    MoveMouse(900, 700);
    for (int i = 0; i < 20 && minimize->HasState(kStateHot); ++i)
        PumpMessagesFor(100);  // the non-client leave arrives late
    EXPECT_FALSE(minimize->HasState(kStateHot));
}

}  // namespace
