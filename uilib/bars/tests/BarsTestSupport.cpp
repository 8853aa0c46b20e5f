#include "uilib/bars/tests/BarsTestSupport.h"

#include <gtest/gtest.h>

#include "uilib/skin/ColorScheme.h"

namespace {
const wchar_t kHostClass[] = L"TarnBarsTestHost";

ATOM RegisterHost()
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kHostClass;
        atom = RegisterClassW(&wc);
    }
    return atom;
}
}  // namespace

HostWindow::HostWindow(int width, int height)
{
    RegisterHost();
    m_window = CreateWindowExW(0, kHostClass, L"bars test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                               width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    PumpMessagesFor(50);
}

HostWindow::~HostWindow()
{
    DestroyWindow(m_window);
}

HWND HostWindow::AddChild(const wchar_t* className, const wchar_t* text, int x, int y, int cx, int cy,
                          DWORD style, DWORD exStyle)
{
    return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, m_window,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void PumpMessagesFor(int ms)
{
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

void RepaintNow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessagesFor(60);
}

PixelImage CaptureWindowPixels(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    PixelImage image;
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[static_cast<size_t>(y) * width + x] = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

void LoadSchemeText(const TempFolder& folder, const std::string& text)
{
    std::string path = folder.Write("scheme.thm", text);
    ASSERT_TRUE(LoadColorScheme(path.c_str(), 0));
}
