#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <functional>
#include <string>
#include <vector>

#include "uilib/skin/ShadowSettingsIds.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinFrameApi.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "tests/support/DialogWatcher.h"

namespace {

using namespace FWSkin;

std::string Narrow(const std::wstring& s)
{
    return std::string(s.begin(), s.end());
}

class Exports : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLibraryAttached();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"ExportsTestWindow";
        RegisterClassW(&wc);
    }
    void TearDown() override
    {
        for (HWND w : windows)
            if (IsWindow(w))
                DestroyWindow(w);
        PumpMessagesFor(30);
    }
    HWND Make(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int x = 100, int y = 100)
    {
        HWND w = CreateWindowExW(0, L"ExportsTestWindow", L"", style, x, y, 200, 150, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        windows.push_back(w);
        return w;
    }
    std::vector<HWND> windows;
    const std::wstring frameSkin = TestSkinPath(L"FrameSkin.inf");
};

struct Call {
    const char* name;
    int unskinned;  // on a window without a skin
    int missing;    // on a skinned window, for an id or index that names nothing
    int hit;        // on the skinned window with the elements below
    std::function<int(HWND, bool missing)> run;
};

// Ids of the elements the table works on: a text, a button, a status-bar part.
constexpr UINT kText = 500, kButton = 1234, kPart = 77, kNothing = 4242;

std::vector<Call> Calls()
{
    auto id = [](bool missing, UINT hit) { return missing ? kNothing : hit; };
    auto index = [](bool missing) { return missing ? 9u : 0u; };
    return {
        {"AddSkinText wide", 0, 0, 1,
         [](HWND w, bool m) { return AddSkinText(w, m ? "No Such Text" : "Caption Text", 600, L"more"); }},
        {"AddSkinText narrow", 0, 0, 1,
         [](HWND w, bool m) { return AddSkinText(w, m ? "No Such Text" : "Caption Text", 601, "more"); }},
        {"AddSkinChild of no kind", 0, 0, 0, [](HWND w, bool) { return AddSkinChild(w, "Statusbar", 602, L""); }},
        {"IsSkinChildVisible", 0, 0, 1, [=](HWND w, bool m) { return IsSkinChildVisible(w, id(m, kText)); }},
        {"ShowSkinChild", 0, 0, 1, [=](HWND w, bool m) { return ShowSkinChild(w, id(m, kText), TRUE); }},
        {"IsSkinButtonEnabled", 0, 0, 1, [=](HWND w, bool m) { return IsSkinButtonEnabled(w, id(m, kButton)); }},
        {"EnableSkinButton", 0, 0, 1, [=](HWND w, bool m) { return EnableSkinButton(w, id(m, kButton), TRUE); }},
        {"EnableSkinButton on a text", 0, 0, 0, [](HWND w, bool) { return EnableSkinButton(w, kText, TRUE); }},
        {"SetSkinText wide", 0, 0, 1, [=](HWND w, bool m) { return SetSkinText(w, id(m, kText), L"hello"); }},
        {"SetSkinText narrow", 0, 0, 1, [=](HWND w, bool m) { return SetSkinText(w, id(m, kText), "hello"); }},
        {"SetSkinText on a button", 0, 0, 0, [](HWND w, bool) { return SetSkinText(w, kButton, L"x"); }},
        {"GetSkinText wide", 0, 0, 5,
         [=](HWND w, bool m) {
             wchar_t b[16];
             return GetSkinText(w, id(m, kText), b, 16);
         }},
        {"GetSkinText narrow", 0, 0, 5,
         [=](HWND w, bool m) {
             char b[16];
             return GetSkinText(w, id(m, kText), b, 16);
         }},
        {"GetSkinChildText length", 0, 0, 5,
         [=](HWND w, bool m) { return GetSkinChildText(w, id(m, kText), static_cast<wchar_t*>(nullptr), 0); }},
        {"GetSkinRect", 0, 0, 1,
         [=](HWND w, bool m) {
             RECT r;
             return GetSkinRect(w, id(m, kButton), &r);
         }},
        {"SetSkinRect", 0, 0, 1,
         [=](HWND w, bool m) {
             RECT r = {42, 4, 58, 20};
             return SetSkinRect(w, id(m, kButton), &r, TRUE);
         }},
        {"SetSkinRect inside out", 0, 0, 0,
         [](HWND w, bool) {
             RECT r = {58, 4, 42, 20};
             return SetSkinRect(w, kButton, &r, TRUE);
         }},
        {"SetSkinChildToolTip", 0, 0, 1,
         [=](HWND w, bool m) { return SetSkinChildToolTip(w, id(m, kButton), L"tip!"); }},
        {"GetSkinChildToolTip", 0, 0, 4,
         [=](HWND w, bool m) {
             wchar_t b[16] = {};
             return GetSkinChildToolTip(w, id(m, kButton), b, 16);
         }},
        {"GetSkinChildBitmap", 0, 0, 1,
         [=](HWND w, bool m) {
             HBITMAP b = GetSkinChildBitmap(w, id(m, kButton), 0);
             BITMAP info = {};
             GetObjectW(b, sizeof(info), &info);
             DeleteObject(b);
             return b && info.bmWidth == 16 && info.bmBitsPixel == 24 ? 1 : 0;
         }},
        {"GetSkinSbPartIndex", -1, -1, 0, [=](HWND w, bool m) { return GetSkinSbPartIndex(w, id(m, kPart)); }},
        {"GetSkinSbPartCount", 0, 1, 1, [](HWND w, bool) { return GetSkinSbPartCount(w); }},
        {"SetSkinSbPartText", 0, 0, 1, [=](HWND w, bool m) { return SetSkinSbPartText(w, index(m), L"ready"); }},
        {"GetSkinSbPartText", 0, 0, 5,
         [=](HWND w, bool m) {
             wchar_t b[16];
             return GetSkinSbPartText(w, index(m), b, 16);
         }},
        {"SetSkinSbPartImage", 0, 0, 1,
         [=](HWND w, bool m) { return SetSkinSbPartImage(w, index(m), "Statusbar.Separator Image"); }},
        {"GetSkinSbPartImage", 0, 0, 25,
         [=](HWND w, bool m) {
             char b[64];
             return GetSkinSbPartImage(w, index(m), b, 64);
         }},
        {"SetSkinSbPartToolTip", 0, 0, 1,
         [=](HWND w, bool m) { return SetSkinSbPartToolTip(w, index(m), L"part tip"); }},
        {"GetSkinSbPartToolTip", 0, 0, 8,
         [=](HWND w, bool m) {
             wchar_t b[16] = {};
             return GetSkinSbPartToolTip(w, index(m), b, 16);
         }},
        {"RemoveSkinSbPart", 0, 0, 1, [=](HWND w, bool m) { return RemoveSkinSbPart(w, index(m)); }},
        {"SetSkinShadowParameters", 0, 1, 1,
         [](HWND w, bool) { return SetSkinShadowParameters(w, 400, 5, -50, 3, 4, RGB(1, 2, 3)); }},
        {"GetSkinShadowParameters", 0, 1, 1,
         [](HWND w, bool) {
             int d = 0, s = 0;
             return GetSkinShadowParameters(w, &d, nullptr, &s, nullptr, nullptr, nullptr) && d == 255 && s == -20;
         }},
        {"SetSkinOptions", 0, 1, 1, [](HWND w, bool) { return SetSkinOptions(w, kOptionAlwaysActive); }},
        {"GetSkinOptions", 0, 2, 2, [](HWND w, bool) { return static_cast<int>(GetSkinOptions(w)); }},
    };
}

TEST_F(Exports, EveryExportOnAnUnskinnedWindowAMissingIdAndAHit)
{
    HWND plain = Make();
    for (const Call& c : Calls())
        EXPECT_EQ(c.run(plain, false), c.unskinned) << c.name << " unskinned";
    EXPECT_EQ(AddSkinSbPart(plain, kPart, 40, L"part", nullptr, nullptr), -1);
    EXPECT_EQ(SkinShadowSettingsDlg(plain), nullptr);
    EXPECT_EQ(GetPropA(plain, kFramePropName), nullptr);

    HWND skinned = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320);
    ASSERT_EQ(SetWindowSkin(skinned, frameSkin.c_str()), 1);
    ASSERT_EQ(AddSkinText(skinned, "Caption Text", kText, L"first"), 1);
    ASSERT_EQ(AddSkinButton(skinned, "Custom Button", kButton, static_cast<const wchar_t*>(nullptr)), 1);
    ASSERT_EQ(AddSkinSbPart(skinned, kPart, 40, L"part", nullptr, nullptr), 0);
    for (const Call& c : Calls())
        EXPECT_EQ(c.run(skinned, true), c.missing) << c.name << " missing";
    for (const Call& c : Calls())
        EXPECT_EQ(c.run(skinned, false), c.hit) << c.name << " hit";
    EXPECT_EQ(GetSkinSbPartCount(skinned), 0);
}

TEST_F(Exports, NarrowAndWideFormsGiveTheSameResults)
{
    HWND window = Make();
    ASSERT_EQ(SetWindowSkin(window, Narrow(frameSkin).c_str()), 1);
    EXPECT_EQ(AddSkinText(window, "Caption Text", kText, "caf\xE9"), 1);  // ANSI: e acute
    wchar_t wide[16];
    EXPECT_EQ(GetSkinText(window, kText, wide, 16), 4);
    EXPECT_STREQ(wide, L"caf\u00E9");
    char narrow[16];
    EXPECT_EQ(GetSkinText(window, kText, narrow, 16), 4);
    EXPECT_STREQ(narrow, "caf\xE9");
    unsigned short other[16];
    EXPECT_EQ(GetSkinText(window, kText, other, 16), 4);
    EXPECT_EQ(SetSkinText(window, kText, reinterpret_cast<const unsigned short*>(L"wide")), 1);
    EXPECT_EQ(GetSkinChildText(window, kText, narrow, 16), 4);
    EXPECT_STREQ(narrow, "wide");
    // A narrow buffer without room for the terminator: nothing, and empty.
    EXPECT_EQ(GetSkinText(window, kText, narrow, 4), 0);
    EXPECT_STREQ(narrow, "");
    EXPECT_EQ(GetSkinText(window, kText, wide, 3), 2);
    EXPECT_STREQ(wide, L"wi");
    EXPECT_EQ(SetSkinText(window, kText, static_cast<const char*>(nullptr)), 1);
    EXPECT_EQ(GetSkinText(window, kText, wide, 16), 0);
    EXPECT_EQ(AddSkinSbPart(window, kPart, -1, "narrow part", nullptr, nullptr), 0);
    EXPECT_EQ(SetSkinSbPartText(window, 0, "changed"), 1);
    EXPECT_EQ(GetSkinSbPartText(window, 0, wide, 16), 7);
    EXPECT_STREQ(wide, L"changed");
}

TEST_F(Exports, SetWindowSkinAttachesReplacesAndRemoves)
{
    HWND window = Make();
    LONG_PTR ownProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
    EXPECT_EQ(SetWindowSkin(window, static_cast<const wchar_t*>(nullptr)), 0);

    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    CSkinFrame* frame = CSkinFrame::FromWindow(window);
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
    EXPECT_NE(frame->FindElement(SC_MAXIMIZE), nullptr);

    // A second description replaces the first on the same frame.
    ASSERT_EQ(SetWindowSkin(window, TestSkinPath(L"TestSkin.inf").c_str()), 1);
    EXPECT_EQ(CSkinFrame::FromWindow(window), frame);
    EXPECT_EQ(frame->FindElement(SC_MAXIMIZE), nullptr);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200 - 16);

    // A missing description: the window loses its skin entirely.
    EXPECT_EQ(SetWindowSkin(window, TestSkinPath(L"NoSuchSkin.inf").c_str()), 0);
    EXPECT_EQ(GetPropA(window, kFramePropName), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(AddSkinText(window, "Caption Text", kText, L"x"), 0);

    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(window, region), ERROR);
    EXPECT_EQ(SetWindowSkin(window, static_cast<const wchar_t*>(nullptr)), 1);
    EXPECT_EQ(GetWindowRgn(window, region), ERROR) << "the region goes with the skin";
    EXPECT_EQ(GetPropA(window, kFramePropName), nullptr);

    // The narrow form's null path is the empty one: it fails, and takes an existing skin along.
    ASSERT_EQ(SetWindowSkin(window, Narrow(frameSkin).c_str()), 1);
    EXPECT_EQ(SetWindowSkin(window, static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(GetPropA(window, kFramePropName), nullptr);
    DeleteObject(region);
}

TEST_F(Exports, ShadowWindowFollowsTheWindowAndGoesWithTheSkin)
{
    HWND window = Make();
    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    CSkinFrame* frame = CSkinFrame::FromWindow(window);
    EXPECT_EQ(frame->ShadowWindow(), nullptr) << "no [Shadow] in the description";
    ASSERT_EQ(SetSkinShadowParameters(window, 150, 5, 4, 6, 7, RGB(0, 0, 0)), 1);
    ASSERT_EQ(SetSkinOptions(window, kOptionShadow), 1);
    HWND shadow = frame->ShadowWindow();
    ASSERT_NE(shadow, nullptr);
    char cls[32] = {};
    GetClassNameA(shadow, cls, 32);
    EXPECT_STREQ(cls, "~.~.~.~");
    EXPECT_EQ(GetWindowLongW(shadow, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT),
              WS_EX_LAYERED | WS_EX_TRANSPARENT);
    auto expectPlaced = [&](const char* when) {
        RECT w, s;
        GetWindowRect(window, &w);
        GetWindowRect(shadow, &s);
        EXPECT_TRUE(IsWindowVisible(shadow)) << when;
        EXPECT_EQ(s.left, w.left + 6 - 4) << when;
        EXPECT_EQ(s.top, w.top + 7 - 4) << when;
        EXPECT_EQ(s.right, w.right + 6 + 4) << when;
        EXPECT_EQ(s.bottom, w.bottom + 7 + 4) << when;
    };
    expectPlaced("shown");
    // Click-through: a point of the shadow alone belongs to what lies below it.
    RECT w;
    GetWindowRect(window, &w);
    EXPECT_NE(WindowFromPoint(POINT{w.right + 5, w.bottom + 5}), shadow);

    SetWindowPos(window, nullptr, 150, 120, 260, 180, SWP_NOZORDER | SWP_NOACTIVATE);
    expectPlaced("moved and sized");
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(shadow)) << "minimized";
    ShowWindow(window, SW_RESTORE);
    expectPlaced("restored");
    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_FALSE(IsWindowVisible(shadow)) << "maximized";
    ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(shadow)) << "hidden";
    ShowWindow(window, SW_SHOW);
    expectPlaced("shown again");

    // Replacing the skin and removing it take the shadow along.
    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    EXPECT_FALSE(IsWindow(shadow));
    SetSkinOptions(window, kOptionShadow);
    shadow = CSkinFrame::FromWindow(window)->ShadowWindow();
    ASSERT_TRUE(IsWindow(shadow));
    SetWindowSkin(window, static_cast<const wchar_t*>(nullptr));
    EXPECT_FALSE(IsWindow(shadow));
}

// The mouse of a caption drag, sent from its own thread while the move loop runs.
DWORD WINAPI DragThread(void* p)
{
    POINT at = *static_cast<POINT*>(p);
    auto send = [](DWORD flags, int x, int y) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        SendInput(1, &in, sizeof(in));
        Sleep(60);
    };
    send(MOUSEEVENTF_LEFTDOWN, at.x, at.y);
    for (int i = 1; i <= 6; ++i)
        send(0, at.x + 5 * i, at.y + 3 * i);
    send(MOUSEEVENTF_LEFTUP, at.x + 30, at.y + 18);
    return 0;
}

TEST_F(Exports, TranslucentSkinHasALayeredBorderThatMovesWithTheWindow)
{
    HWND window = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200);
    ASSERT_EQ(SetWindowSkin(window, TestSkinPath(L"TestSkinTranslucent.inf").c_str()), 1);
    CSkinFrame* frame = CSkinFrame::FromWindow(window);
    ASSERT_NE(frame->LayeredBorder(), nullptr);
    HWND border = frame->LayeredBorder()->Window();
    ASSERT_NE(border, nullptr);
    char cls[32] = {};
    GetClassNameA(border, cls, 32);
    EXPECT_STREQ(cls, "Glazier::LayeredBorder");
    EXPECT_EQ(GetWindow(border, GW_OWNER), window);
    EXPECT_NE(GetWindowLongW(border, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    // A layered border and a drop shadow never go together.
    SetSkinOptions(window, kOptionShadow);
    EXPECT_EQ(GetSkinOptions(window) & kOptionShadow, 0u);
    EXPECT_EQ(frame->ShadowWindow(), nullptr);

    auto same = [&](const char* when) {
        RECT w, b;
        GetWindowRect(window, &w);
        GetWindowRect(border, &b);
        EXPECT_TRUE(EqualRect(&w, &b)) << when << ": window " << w.left << "," << w.top << " border " << b.left
                                       << "," << b.top;
    };
    PumpMessagesFor(100);
    same("attached");
    // The window's region is the room inside the borders.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, region), ERROR);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_TRUE(box.left == 10 && box.top == 24 && box.right == 200 - 8 && box.bottom == 150 - 8)
        << box.left << "," << box.top << "," << box.right << "," << box.bottom;
    DeleteObject(region);

    SetWindowPos(window, nullptr, 0, 0, 240, 170, SWP_NOMOVE | SWP_NOZORDER);
    same("sized");

    // A drag on the caption: the input comes from another thread while the move loop runs here.
    RECT start;
    GetWindowRect(window, &start);
    POINT grab = {start.left + 60, start.top + 10};
    SetCursorPos(grab.x, grab.y);
    PumpMessagesFor(100);
    HANDLE thread = CreateThread(nullptr, 0, DragThread, &grab, 0, nullptr);
    for (int i = 0; i < 40 && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT; ++i)
        PumpMessagesFor(50);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    PumpMessagesFor(200);
    RECT moved;
    GetWindowRect(window, &moved);
    EXPECT_EQ(moved.left - start.left, 30);
    EXPECT_EQ(moved.top - start.top, 18);
    same("dragged");
}

TEST_F(Exports, ShadowSettingsDialogSetsTheParametersAndGoesWhenCancelled)
{
    HWND window = Make();
    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    HWND dialog = SkinShadowSettingsDlg(window);
    ASSERT_NE(dialog, nullptr);
    windows.push_back(dialog);
    EXPECT_NE(GetSkinOptions(window) & kOptionShadow, 0u);
    EXPECT_NE(CSkinFrame::FromWindow(window)->ShadowWindow(), nullptr);
    const struct {
        int id, low, high, value;
    } sliders[] = {{IDC_SHADOW_SIZE, -20, 20, -7},      {IDC_SHADOW_OFFSET_X, -20, 20, 11},
                   {IDC_SHADOW_OFFSET_Y, -20, 20, -3},  {IDC_SHADOW_SHARPNESS, 0, 20, 9},
                   {IDC_SHADOW_DARKNESS, 0, 255, 77},   {IDC_SHADOW_RED, 0, 255, 10},
                   {IDC_SHADOW_GREEN, 0, 255, 20},      {IDC_SHADOW_BLUE, 0, 255, 30}};
    // The trackbars stand in this order from the top, with their ranges and the current values.
    int lastTop = -1;
    for (const auto& s : sliders) {
        HWND bar = GetDlgItem(dialog, s.id);
        ASSERT_NE(bar, nullptr) << s.id;
        RECT r;
        GetWindowRect(bar, &r);
        EXPECT_GT(r.top, lastTop) << s.id;
        lastTop = r.top;
        EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMIN, 0, 0), s.low) << s.id;
        EXPECT_EQ(SendMessageW(bar, TBM_GETRANGEMAX, 0, 0), s.high) << s.id;
        SendMessageW(bar, TBM_SETPOS, TRUE, s.value);
    }
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_SHADOW_DARKNESS, TBM_GETPOS, 0, 0), 77);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 77),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SHADOW_DARKNESS)));
    int d = 0, p = 0, s = 0, x = 0, y = 0;
    COLORREF c = 0;
    ASSERT_EQ(GetSkinShadowParameters(window, &d, &p, &s, &x, &y, &c), 1);
    EXPECT_EQ(d, 77);
    EXPECT_EQ(p, 9);
    EXPECT_EQ(s, -7);
    EXPECT_EQ(x, 11);
    EXPECT_EQ(y, -3);
    EXPECT_EQ(c, RGB(10, 20, 30));
    // The global dialog skinning's question: this dialog keeps the system's frame.
    DWORD keep = 1;
    SendMessageW(dialog, 0x8294, 0, reinterpret_cast<LPARAM>(&keep));
    EXPECT_EQ(keep, 0u);
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(dialog));
}

COLORREF ScreenPixel(POINT p)
{
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST_F(Exports, SetSkinRectOnALayoutPartLaysTheFrameOutAgain)
{
    // FrameSkin at 200 x 150: TopMiddle (-3) at 20..180, the minimize and maximize buttons anchored
    // to it at 62 and 80.
    HWND window = Make();
    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    auto hit = [&](int x, int y) {
        RECT r;
        GetWindowRect(window, &r);
        return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
    };
    auto inRegion = [&](int x, int y) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        bool in = GetWindowRgn(window, region) != ERROR && PtInRegion(region, x, y);
        DeleteObject(region);
        return in;
    };
    const UINT topMiddle = static_cast<UINT>(-3);
    EXPECT_EQ(hit(85, 12), HTMAXBUTTON);
    EXPECT_TRUE(inRegion(25, 10));

    RECT moved = {30, 0, 190, 24};
    ASSERT_EQ(SetSkinRect(window, topMiddle, &moved, TRUE), 1);
    RECT r = {};
    ASSERT_EQ(GetSkinRect(window, topMiddle, &r), 1);
    EXPECT_TRUE(EqualRect(&r, &moved));
    ASSERT_EQ(GetSkinRect(window, SC_MINIMIZE, &r), 1);
    EXPECT_EQ(r.left, 72) << "an element anchored to the part follows it";
    EXPECT_EQ(hit(85, 12), HTMINBUTTON);
    EXPECT_FALSE(inRegion(25, 10)) << "the region follows the part";
    EXPECT_TRUE(inRegion(185, 10));

    // The next size places the part afresh, and its elements with it.
    SetWindowPos(window, nullptr, 0, 0, 260, 170, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(GetSkinRect(window, SC_MINIMIZE, &r), 1);
    EXPECT_EQ(r.left, 62);
    ASSERT_EQ(GetSkinRect(window, topMiddle, &r), 1);
    EXPECT_EQ(r.left, 20);
    EXPECT_TRUE(inRegion(25, 10));

    // Without redraw the elements keep their true offsets as well.
    ASSERT_EQ(SetSkinRect(window, topMiddle, &moved, FALSE), 1);
    SetWindowPos(window, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(GetSkinRect(window, SC_MINIMIZE, &r), 1);
    EXPECT_EQ(r.left, 62);
}

TEST_F(Exports, SetSkinRectOnAnInnerCornerPieceKeepsItAtItsCorner)
{
    // FrameSkin's BottomLeft corner (20 x 24) reaches past the 8-pixel borders: its inner piece
    // (-16, 12 x 16) lies at (0, 102) of the client area of a 200 x 150 window.
    HWND window = Make();
    ASSERT_EQ(SetWindowSkin(window, frameSkin.c_str()), 1);
    UpdateWindow(window);
    PumpMessagesFor(50);
    const UINT piece = static_cast<UINT>(-16);
    RECT r = {};
    ASSERT_EQ(GetSkinRect(window, piece, &r), 1);
    EXPECT_TRUE(r.left == 0 && r.top == 102 && r.right == 12 && r.bottom == 118);
    POINT beside = {16, 106};  // right of the piece as it was
    ClientToScreen(window, &beside);
    const COLORREF gray = RGB(128, 128, 128);
    EXPECT_EQ(ScreenPixel(beside), gray);

    RECT wider = {5, 5, 25, 15};
    ASSERT_EQ(SetSkinRect(window, piece, &wider, TRUE), 1);
    UpdateWindow(window);
    PumpMessagesFor(50);
    ASSERT_EQ(GetSkinRect(window, piece, &r), 1);
    EXPECT_TRUE(r.left == 0 && r.top == 102 && r.right == 20 && r.bottom == 112)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_NE(ScreenPixel(beside), gray) << "drawn at its corner with the fresh size";
}

// Live GDI objects of the process. Wine answers GetGuiResources with 0, but its handle table takes
// a bare index: every slot that names an object is counted.
int GdiObjectCount()
{
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(count);
    int count = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    return count;
}

SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;  // Wine: the latter only
}

TEST_F(Exports, SetWindowSkinOnNoWindowLeavesNothingBehind)
{
    HWND gone = Make();
    DestroyWindow(gone);
    auto round = [&] {
        EXPECT_EQ(SetWindowSkin(static_cast<HWND>(nullptr), frameSkin.c_str()), 0);
        EXPECT_EQ(SetWindowSkin(gone, frameSkin.c_str()), 0);
        EXPECT_EQ(SetWindowSkin(gone, Narrow(frameSkin).c_str()), 0);
    };
    for (int i = 0; i < 20; ++i)
        round();  // caches and heaps settle
    const int gdiBefore = GdiObjectCount();
    const SIZE_T bytesBefore = CommittedBytes();
    for (int i = 0; i < 300; ++i)
        round();
    EXPECT_EQ(GdiObjectCount(), gdiBefore);
    const SIZE_T bytesAfter = CommittedBytes();
    EXPECT_GT(bytesBefore, 0u);
    EXPECT_LT(bytesAfter, bytesBefore + 256 * 1024) << bytesBefore << " -> " << bytesAfter;
}

}  // namespace
