#include "tests/fuzz/HostileSkins.h"

#include <windows.h>

#include "tests/fuzz/Stopwatch.h"
#include "uilib/skin/SkinFrameApi.h"

namespace {

const wchar_t kClass[] = L"HostileSkinWindow";

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

SkinTrial TrySkin(const std::wstring& inf)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClass;
        registered = RegisterClassW(&wc) != 0;
    }
    SkinTrial trial;
    HWND window = CreateWindowExW(0, kClass, L"Hostile skin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return trial;
    Pump();
    const Stopwatch all;
    Stopwatch phase;
    trial.attached = SetWindowSkin(window, inf.c_str());
    Pump();
    trial.attachSeconds = phase.WallSeconds();
    RECT part = {};
    trial.skinned = GetSkinRect(window, static_cast<UINT>(-2), &part) != 0;

    phase = Stopwatch();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    trial.paintSeconds = phase.WallSeconds();

    phase = Stopwatch();
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
    Pump();
    SetWindowPos(window, nullptr, 0, 0, 40, 30, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
    Pump();
    trial.resizeSeconds = phase.WallSeconds();
    trial.cpuSeconds = all.CpuSeconds();

    DestroyWindow(window);
    Pump();
    return trial;
}
