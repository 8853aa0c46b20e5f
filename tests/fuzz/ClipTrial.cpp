#include "tests/fuzz/HostileClips.h"

#include <windows.h>
#include <commctrl.h>

#include "tests/fuzz/Stopwatch.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DialogSkinning.h"

namespace {

// More ticks than any case has frames worth drawing: the control is driven, not waited for.
constexpr int kTicks = 40;
constexpr UINT_PTR kPlayTimer = 1;

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

INT_PTR CALLBACK TrialDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

HWND SkinnedDialog()
{
    alignas(4) static struct {
        DLGTEMPLATE header;
        WORD menu, cls, title;
    } t;
    t = {};
    t.header.style = WS_POPUP | WS_VISIBLE;
    t.header.cx = 200;
    t.header.cy = 150;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.header, nullptr, TrialDialogProc, 0);
}

void Tick(HWND control, int times)
{
    for (int i = 0; i < times && IsWindow(control); ++i)
        SendMessageW(control, WM_TIMER, kPlayTimer, 0);
}

}  // namespace

void PrepareClipTrials()
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring scheme = std::wstring(folder) + L"lyrant_fuzz_clips.thm";
    const char text[] = "[Dialog]\r\nBackground = #C80000; #0000C8\r\n";
    HANDLE file = CreateFileW(scheme.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
        CloseHandle(file);
    }
    LoadColorScheme(scheme.c_str(), 0);
    GlobalSubclassDialog();
}

ClipTrial TryClip(const std::wstring& path)
{
    ClipTrial trial;
    HWND dialog = SkinnedDialog();
    if (!dialog)
        return trial;
    const Stopwatch watch;
    const DWORD styles[] = {ACS_TRANSPARENT | ACS_AUTOPLAY, ACS_CENTER};
    for (DWORD style : styles) {
        HWND control = CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 10, 10, 60, 40, dialog,
                                       reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
        if (!control)
            continue;
        const bool opened = SendMessageW(control, ACM_OPENW, 0, reinterpret_cast<LPARAM>(path.c_str())) != 0;
        trial.opened |= opened;
        Tick(control, kTicks);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageW(control, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, static_cast<WORD>(-1)));
        Tick(control, kTicks);
        SendMessageW(control, ACM_PLAY, 2, MAKELPARAM(1, 3));
        Tick(control, 4);
        SendMessageW(control, ACM_STOP, 0, 0);
        SetWindowPos(control, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        DestroyWindow(control);
    }
    DestroyWindow(dialog);
    Pump();
    trial.seconds = watch.WallSeconds();
    trial.cpuSeconds = watch.CpuSeconds();
    return trial;
}
