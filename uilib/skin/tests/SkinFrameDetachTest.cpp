// A host that takes the skin away (or swaps it) from inside one of its window's own messages: the
// frame's procedure is still running then, and must not touch the frame it has given up.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinFrameApi.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/QuarantineHeap.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "tests/support/DialogWatcher.h"

namespace {

using namespace FWSkin;

constexpr UINT kSkinButton = 1234;  // FrameSkin's "Custom Button" at 42, 4 (16 x 16)
constexpr WPARAM kMenuCommand = 77;

// What the host does, and in which of its messages.
std::function<void(HWND)> g_action;
UINT g_trigger = 0;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool command = message == WM_COMMAND && (LOWORD(wParam) == kSkinButton || wParam == kMenuCommand);
    if (g_action && message == g_trigger && (message != WM_COMMAND || command))
        g_action(window);
    if (message == WM_COMMAND)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

const std::wstring& Skin()
{
    static const std::wstring path = TestSkinPath(L"FrameSkin.inf");
    return path;
}

void Detach(HWND window)
{
    EXPECT_EQ(SetWindowSkin(window, static_cast<const wchar_t*>(nullptr)), 1);
}

void FailToLoad(HWND window)
{
    EXPECT_EQ(SetWindowSkin(window, TestSkinPath(L"NoSuchSkin.inf").c_str()), 0);
}

void DetachAndAttachAgain(HWND window)
{
    Detach(window);
    EXPECT_EQ(SetWindowSkin(window, Skin().c_str()), 1);
}

// The skin button clicked as the system delivers it: a press on the frame, a release in client
// coordinates (FrameSkin's borders are 8 and 24).
void ClickSkinButton(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + 50, r.top + 12));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(50 - 8, 12 - 24));
}

void SendMenuCommand(HWND window)
{
    SendMessageW(window, WM_COMMAND, kMenuCommand, 0);
}

UINT PaintNotice()
{
    static const UINT message = RegisterWindowMessageA("SFWM_NOTIFY");
    return message;
}

// A frame paint with the notices on: the host hears the first one before the frame is drawn.
void PaintWithNotices(HWND window)
{
    SetSkinOptions(window, kOptionNotify);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

struct Scenario {
    const char* name;
    UINT trigger;  // 0: the frame's paint notice
    void (*action)(HWND);
    void (*deliver)(HWND);  // null: the window is destroyed
    bool skinnedAfter;
    bool keepsRegion;  // a failed load leaves the skin's region until the window sets another
};

const Scenario kScenarios[] = {
    {"skin button detaches", WM_COMMAND, Detach, ClickSkinButton, false, false},
    {"menu command detaches", WM_COMMAND, Detach, SendMenuCommand, false, false},
    {"skin button loads a missing skin", WM_COMMAND, FailToLoad, ClickSkinButton, false, true},
    {"menu command swaps the skin", WM_COMMAND, DetachAndAttachAgain, SendMenuCommand, true, true},
    {"paint notice detaches", 0, Detach, PaintWithNotices, false, false},
    {"clean-up in WM_DESTROY", WM_DESTROY, Detach, nullptr, false, false},
    {"clean-up in WM_NCDESTROY", WM_NCDESTROY, Detach, nullptr, false, false},
};

class Detaching : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLibraryAttached();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = L"DetachTestWindow";
        RegisterClassW(&wc);
    }
    void TearDown() override
    {
        g_action = nullptr;
        g_trigger = 0;
    }
    static HWND Make()
    {
        return CreateWindowExW(0, L"DetachTestWindow", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200,
                               150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
};

TEST_F(Detaching, FromInsideTheWindowsOwnMessagesTouchesNoFreedFrame)
{
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        for (int round = 0; round < 25; ++round) {
            HWND window = Make();
            ASSERT_NE(window, nullptr);
            const LONG_PTR hostProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
            QuarantineHeap::Arm();
            ASSERT_EQ(SetWindowSkin(window, Skin().c_str()), 1);
            ASSERT_EQ(AddSkinButton(window, "Custom Button", kSkinButton, L"tip"), 1);
            g_trigger = s.trigger ? s.trigger : PaintNotice();
            g_action = s.action;
            if (s.deliver)
                s.deliver(window);
            else
                DestroyWindow(window);
            g_action = nullptr;
            if (s.deliver) {
                EXPECT_EQ(CSkinFrame::FromWindow(window) != nullptr, s.skinnedAfter);
                if (!s.skinnedAfter) {
                    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), hostProc);
                }
                HRGN region = CreateRectRgn(0, 0, 0, 0);
                EXPECT_EQ(GetWindowRgn(window, region) != ERROR, s.keepsRegion);
                DeleteObject(region);
                DestroyWindow(window);
            }
            PumpMessagesFor(5);
            QuarantineHeap::Findings f = QuarantineHeap::Disarm();
            EXPECT_EQ(f.writtenAfterFree, 0) << "round " << round;
            EXPECT_EQ(f.freedTwice, 0) << "round " << round;
            EXPECT_GT(f.kept, 0) << "the frame's blocks went through the checked heap";
            if (f.writtenAfterFree || f.freedTwice)
                break;
        }
    }
}

TEST_F(Detaching, AWindowDetachedFromInsideACommandTakesASkinAgain)
{
    HWND window = Make();
    ASSERT_EQ(SetWindowSkin(window, Skin().c_str()), 1);
    ASSERT_EQ(AddSkinButton(window, "Custom Button", kSkinButton, L"tip"), 1);
    g_trigger = WM_COMMAND;
    g_action = Detach;
    ClickSkinButton(window);
    g_action = nullptr;
    ASSERT_EQ(CSkinFrame::FromWindow(window), nullptr);

    ASSERT_EQ(SetWindowSkin(window, Skin().c_str()), 1);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(r.left + 190, r.top + 12)), HTCLOSE);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200 - 16) << "the skin's borders again";
    DestroyWindow(window);
}

}  // namespace
