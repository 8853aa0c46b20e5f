// Runs in the dialog-skinning test program: the animation control is replaced with the others.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <vfw.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/fuzz/AviWriter.h"
#include "tests/support/WindowPixels.h"
#include "uilib/skin/DialogSkinning.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

constexpr int kSize = 16;
const COLORREF kKey = RGB(0, 255, 0), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// An uncompressed 8-bit clip of two frames whose format leaves the colour count at 0 and whose
// stream header gives no buffer size. Frame 0: the top-left quarter in the key colour, the rest
// red; frame 1: blue with a key-coloured top-left pixel.
std::string TwoFrameClip()
{
    AviClip clip;
    clip.format = BitmapHeader(kSize, kSize, 8);
    clip.formatTail = Palette({kKey, kRed, kBlue});
    std::string frame0, frame1;
    for (int row = 0; row < kSize; ++row) {  // bottom-up rows
        int y = kSize - 1 - row;
        for (int x = 0; x < kSize; ++x) {
            frame0.push_back(x < kSize / 2 && y < kSize / 2 ? 0 : 1);
            frame1.push_back(x == 0 && y == 0 ? 0 : 2);
        }
    }
    clip.totalFrames = 2;
    clip.movi = RiffChunk("JUNK", "xx") + RiffChunk("00db", frame0) + RiffList("LIST", "rec ", RiffChunk("00db", frame1));
    return WriteAvi(clip);
}

std::vector<std::pair<int, int>> g_notes;  // id, code
// What the parent does on a notification besides noting it (control, code).
std::function<void(HWND, int)> g_onNote;

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        g_notes.push_back({LOWORD(wParam), HIWORD(wParam)});
        if (g_onNote)
            g_onNote(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
}

int Count(int code)
{
    int n = 0;
    for (auto& note : g_notes)
        n += note.second == code;
    return n;
}

class AnimationControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_notes.clear();
        g_onNote = nullptr;
        clip = folder.Write("clip.avi", TwoFrameClip());
        struct {
            DLGTEMPLATE header;
            WORD menu, cls, title;
        } t = {};
        t.header.style = WS_POPUP | WS_VISIBLE;
        t.header.cx = 10;
        t.header.cy = 10;
        dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.header, nullptr, DialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        SetWindowPos(dialog, nullptr, 0, 0, 200, 200, SWP_NOZORDER | SWP_NOMOVE);
        ASSERT_TRUE(IsSkinnedDialog(dialog));
    }
    void TearDown() override
    {
        g_onNote = nullptr;
        DestroyWindow(dialog);
    }

    HWND Animate(DWORD style, int cx = 40, int cy = 40)
    {
        return CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 50, 60, cx, cy, dialog,
                               reinterpret_cast<HMENU>(5), GetModuleHandleW(nullptr), nullptr);
    }
    BOOL Open(HWND control, const std::string& file)
    {
        std::wstring wide(file.begin(), file.end());
        return static_cast<BOOL>(SendMessageW(control, ACM_OPENW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
    }
    PixelImage Pixels(HWND control)
    {
        PumpFor(0);
        return CaptureScreenPixels(control);
    }

    TempFolder folder;
    std::string clip;
    HWND dialog = nullptr;
};

TEST_F(AnimationControl, AClipOpenedWithoutAutoplayShowsItsFirstFrameAndStops)
{
    HWND control = Animate(0);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(Open(control, clip));
    RECT r;
    GetClientRect(control, &r);
    EXPECT_EQ(r.right, kSize) << "sized to the clip";
    EXPECT_EQ(r.bottom, kSize);
    EXPECT_EQ(Count(ACN_START), 1);
    PumpFor(300);
    EXPECT_EQ(Count(ACN_STOP), 1) << "one tick, then stopped";
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PixelImage image = Pixels(control);
    EXPECT_EQ(image.At(12, 12), kRed) << "the 8-bit frame with a full palette";
    EXPECT_EQ(image.At(2, 2), kKey) << "opaque without ACS_TRANSPARENT";
    EXPECT_EQ(SendMessageW(control, ACM_STOP, 0, 0), 1);
}

// Every stop of an open clip is announced, whether it was playing or not; stopping nothing is no
// stop.
TEST_F(AnimationControl, EveryStopOfAnOpenClipSendsAcnStop)
{
    HWND control = Animate(0);
    ASSERT_TRUE(Open(control, clip));
    PumpFor(300);
    ASSERT_EQ(Count(ACN_STOP), 1) << "played its frame and stopped";
    EXPECT_EQ(SendMessageW(control, ACM_STOP, 0, 0), 1);
    EXPECT_EQ(Count(ACN_STOP), 2) << "ACM_STOP of a stopped clip";
    ASSERT_TRUE(Open(control, clip));
    EXPECT_EQ(Count(ACN_STOP), 3) << "another clip opened over it";
    PumpFor(300);
    EXPECT_EQ(SendMessageW(control, ACM_OPENW, 0, 0), 0);
    EXPECT_EQ(Count(ACN_STOP), 5) << "its own stop, then the close";
    EXPECT_EQ(SendMessageW(control, ACM_STOP, 0, 0), 0);
    EXPECT_EQ(SendMessageW(control, ACM_OPENW, 0, 0), 0);
    EXPECT_EQ(Count(ACN_STOP), 5) << "nothing open: nothing stopped";
    EXPECT_EQ(Count(ACN_START), 2);
}

// A parent that reacts to ACN_STOP by stopping again, opening the next clip or destroying the
// control gets out of its handler, and the control stays sound.
TEST_F(AnimationControl, AParentMayStopOpenOrDestroyOnAcnStop)
{
    HWND control = Animate(0);
    int depth = 0, deepest = 0;
    g_onNote = [&](HWND from, int code) {
        if (code != ACN_STOP || depth > 8)
            return;
        ++depth;
        deepest = std::max(deepest, depth);
        SendMessageW(from, ACM_STOP, 0, 0);
        Open(from, clip);
        --depth;
    };
    ASSERT_TRUE(Open(control, clip));
    PumpFor(300);
    EXPECT_EQ(deepest, 1) << "the stops the handler makes are not announced into it again";
    EXPECT_GE(Count(ACN_START), 2) << "the next clip was opened and started";

    g_onNote = [&](HWND from, int code) {
        if (code == ACN_STOP)
            DestroyWindow(from);
    };
    EXPECT_FALSE(Open(control, clip)) << "destroyed while its old clip closed";
    EXPECT_FALSE(IsWindow(control));
    HWND other = Animate(ACS_AUTOPLAY);
    ASSERT_TRUE(Open(other, clip));
    PumpFor(100);
    EXPECT_EQ(SendMessageW(other, ACM_STOP, 0, 0), 1);
    EXPECT_FALSE(IsWindow(other));
}

// Run-length frames, drawn by GDI ("RLE ") or by the system's decoder ("mrle"), each read as far as
// its own bytes go: a format that claims a huge image size still plays.
TEST_F(AnimationControl, RunLengthClipsPlayEachFrameFromItsOwnBytes)
{
    for (const char* handler : {"RLE ", "mrle"}) {
        SCOPED_TRACE(handler);
        AviClip clip;
        clip.handler = mmioFOURCC(handler[0], handler[1], handler[2], handler[3]);
        clip.format = BitmapHeader(kSize, kSize, 8, BI_RLE8);
        clip.format.biSizeImage = 0x7FFFFFFF;
        clip.formatTail = Palette({kKey, kRed, kBlue});
        clip.frames = {Rle8Frame(kSize, std::vector<BYTE>(kSize, 1)), Rle8Frame(kSize, std::vector<BYTE>(kSize, 2))};
        std::string file = folder.Write("rle.avi", WriteAvi(clip));
        HWND control = Animate(ACS_AUTOPLAY);
        ASSERT_TRUE(Open(control, file));
        bool sawRed = false, sawBlue = false;
        for (int i = 0; i < 20 && !(sawRed && sawBlue); ++i) {
            PumpFor(30);
            COLORREF c = Pixels(control).At(8, 8);
            sawRed |= c == kRed;
            sawBlue |= c == kBlue;
        }
        EXPECT_TRUE(sawRed && sawBlue) << "both frames play";
        DestroyWindow(control);
    }
}

TEST_F(AnimationControl, TransparentClipsShowTheDialogGradientThroughTheKeyColour)
{
    HWND control = Animate(ACS_TRANSPARENT);
    ASSERT_TRUE(Open(control, clip));
    PumpFor(200);
    PixelImage frame = Pixels(control);
    EXPECT_EQ(frame.At(12, 12), kRed);
    EXPECT_NE(frame.At(2, 2), kKey);
    // The key pixels hold the dialog's colour for that row, as the dialog shows beside the control.
    PixelImage beside = CaptureScreenPixels(dialog);
    COLORREF row = beside.At(20, 60 + 2);
    EXPECT_LE(abs(GetRValue(frame.At(2, 2)) - GetRValue(row)), 3);
    EXPECT_LE(abs(GetBValue(frame.At(2, 2)) - GetBValue(row)), 3);
}

TEST_F(AnimationControl, PlayChecksItsRangeAndKeepsARunningPlayback)
{
    HWND control = Animate(ACS_AUTOPLAY);
    ASSERT_TRUE(Open(control, clip));
    EXPECT_EQ(Count(ACN_START), 1);
    EXPECT_EQ(SendMessageW(control, ACM_PLAY, 1, MAKELPARAM(0, 0)), 1) << "running: kept";
    EXPECT_EQ(Count(ACN_START), 1);
    bool sawRed = false, sawBlue = false;
    for (int i = 0; i < 20 && !(sawRed && sawBlue); ++i) {
        PumpFor(30);
        COLORREF c = Pixels(control).At(12, 12);
        sawRed |= c == kRed;
        sawBlue |= c == kBlue;
    }
    EXPECT_TRUE(sawRed && sawBlue) << "both frames play, over and over";
    EXPECT_EQ(SendMessageW(control, ACM_STOP, 0, 0), 1);
    EXPECT_EQ(Count(ACN_STOP), 1);
    EXPECT_EQ(SendMessageW(control, ACM_PLAY, 1, MAKELPARAM(0, 2)), 0) << "past the last frame";
    EXPECT_EQ(SendMessageW(control, ACM_PLAY, 1, MAKELPARAM(1, 0)), 0) << "last before first";
    EXPECT_EQ(SendMessageW(control, ACM_PLAY, 1, MAKELPARAM(-5, 1)), 0) << "a negative first frame";
    EXPECT_EQ(SendMessageW(control, ACM_PLAY, 2, MAKELPARAM(1, -1)), 1) << "-1 is the last frame";
}

TEST_F(AnimationControl, OpeningNothingClosesTheClip)
{
    HWND control = Animate(0);
    ASSERT_TRUE(Open(control, clip));
    EXPECT_EQ(SendMessageW(control, ACM_OPENW, 0, 0), 0);
    EXPECT_EQ(SendMessageW(control, ACM_STOP, 0, 0), 0);
    EXPECT_EQ(SendMessageW(control, ACM_PLAY, 1, MAKELPARAM(0, 0)), 0);
    EXPECT_FALSE(Open(control, folder.File("missing.avi")));
    std::string broken = folder.Write("broken.avi", TwoFrameClip().substr(0, 60));
    EXPECT_FALSE(Open(control, broken));
    EXPECT_EQ(SendMessageW(control, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
}

TEST_F(AnimationControl, OnlyTheWindowStyleCountsForCentring)
{
    HWND control = Animate(ACS_CENTER);
    SetWindowLongW(control, GWL_EXSTYLE, WS_EX_TRANSPARENT);
    ASSERT_TRUE(Open(control, clip));
    RECT r;
    GetClientRect(control, &r);
    EXPECT_EQ(r.right, 40) << "centred clips keep the control's size";
    PumpFor(200);
    PixelImage image = Pixels(control);
    EXPECT_EQ(image.At(12 + 12, 12 + 12), kRed) << "drawn in the middle";
}

}  // namespace
