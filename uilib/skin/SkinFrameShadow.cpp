// The drop shadow beside a skinned frame: a click-through layered window behind it, painted from
// the window's shape.
#include <windows.h>

#include <vector>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/ShadowFill.h"
#include "uilib/skin/SkinFrame.h"

namespace FWSkin {

namespace {

const char kShadowClass[] = "~.~.~.~";

}  // namespace

void CSkinFrame::CreateShadowWindow()
{
    if (m_shadowWindow || !m_window)
        return;
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kShadowClass, &existing)) {
        WNDCLASSA wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kShadowClass;
        RegisterClassA(&wc);
    }
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    m_shadowWindow = CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, WS_POPUP, 0, 0, 0, 0,
                                     m_window, nullptr, instance, nullptr);
}

void CSkinFrame::DestroyShadowWindow()
{
    if (m_shadowWindow)
        DestroyWindow(m_shadowWindow);
    m_shadowWindow = nullptr;
}

bool CSkinFrame::ShadowShouldShow() const
{
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
    return (m_options & kOptionShadow) && (style & WS_VISIBLE) && !(style & (WS_MINIMIZE | WS_MAXIMIZE));
}

RECT CSkinFrame::ShadowRect() const
{
    RECT r;
    GetWindowRect(m_window, &r);
    const int s = m_shadow.size;
    return RECT{r.left + m_shadow.xOffset - s, r.top + m_shadow.yOffset - s, r.right + m_shadow.xOffset + s,
                r.bottom + m_shadow.yOffset + s};
}

void CSkinFrame::PaintShadow()
{
    if (!m_shadowWindow || !m_window)
        return;
    RECT window, at = ShadowRect();
    GetWindowRect(m_window, &window);
    int width = window.right - window.left, height = window.bottom - window.top;
    int cx = at.right - at.left, cy = at.bottom - at.top;
    if (cx <= 0 || cy <= 0 || width <= 0 || height <= 0)
        return;  // an empty shadow has no bitmap
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    bool hasRegion = GetWindowRgn(m_window, region) != ERROR;
    std::vector<ShadowSpan> spans = SpansOfRegion(hasRegion ? region : nullptr, width, height);
    DeleteObject(region);

    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateDib32(cx, cy, &bits);
    if (!bitmap)
        return;
    // The fill works top row first; the DIB keeps its rows bottom-up.
    std::vector<DWORD> pixels(static_cast<size_t>(cx) * cy);
    FillShadow(spans, width, height, m_shadow, pixels.data(), cx, cy);
    for (int y = 0; y < cy; ++y)
        memcpy(bits + static_cast<size_t>(cy - 1 - y) * cx, pixels.data() + static_cast<size_t>(y) * cx,
               cx * sizeof(DWORD));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT position = {at.left, at.top}, origin = {0, 0};
    SIZE size = {cx, cy};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_shadowWindow, screen, &position, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
}

void CSkinFrame::PlaceShadowWindow(bool repaint)
{
    if (!m_shadowWindow)
        return;
    if (!ShadowShouldShow()) {
        ShowWindow(m_shadowWindow, SW_HIDE);
        return;
    }
    RECT at = ShadowRect();
    SetWindowPos(m_shadowWindow, m_window, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    if (repaint)
        PaintShadow();
    ShowWindow(m_shadowWindow, SW_SHOWNA);
}

void CSkinFrame::UpdateShadowWindow()
{
    if (!(m_options & kOptionShadow)) {
        if (m_shadowWindow)
            ShowWindow(m_shadowWindow, SW_HIDE);
        return;
    }
    CreateShadowWindow();
    PlaceShadowWindow(true);
}

}  // namespace FWSkin
