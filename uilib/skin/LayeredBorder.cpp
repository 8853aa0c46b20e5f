#include "uilib/skin/LayeredBorder.h"

#include <windowsx.h>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/DwmAttribute.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/SkinFrame.h"

namespace FWSkin {

namespace {

const char kBorderClass[] = "Glazier::LayeredBorder";
constexpr DWORD kDwmNonClientRenderingPolicy = 2;
constexpr DWORD kDwmNcrpDisabled = 1;
constexpr UINT kMoveCommand = SC_MOVE | HTCAPTION;

bool RegisterBorderClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &CLayeredBorder::Proc;
    wc.hInstance = GetLibraryModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kBorderClass;
    return RegisterLibraryClassA(&wc) != 0;
}

}  // namespace

HWND CLayeredBorder::Skinned() const
{
    return m_frame ? m_frame->GetWindow() : nullptr;
}

void CLayeredBorder::Show(bool show)
{
    if (!show) {
        Destroy();
        return;
    }
    HWND skinned = Skinned();
    if (!m_window && skinned) {
        if (!RegisterBorderClass())
            return;
        DWORD exStyle = WS_EX_LAYERED | (GetWindowLongW(skinned, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
        DWORD style = WS_POPUP | (GetWindowLongW(skinned, GWL_STYLE) &
                                  (WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        CreateWindowExA(exStyle, kBorderClass, nullptr, style, 0, 0, 0, 0, skinned, nullptr, GetLibraryModule(), this);
        if (m_window)
            SetDwmWindowAttribute(m_window, kDwmNonClientRenderingPolicy, kDwmNcrpDisabled);
    }
    if (m_window && skinned && IsWindowVisible(skinned))
        ShowWindow(m_window, SW_SHOWNA);
}

void CLayeredBorder::Destroy()
{
    if (m_window) {
        HWND window = m_window;
        DestroyWindow(window);
    }
    m_window = nullptr;
    m_repaintPosted = false;
}

void CLayeredBorder::Paint(int x, int y, int cx, int cy, UINT flags)
{
    if (!m_window || !m_frame)
        return;
    if (flags & kBorderCurrentSize) {
        RECT r;
        GetWindowRect(m_window, &r);
        cx = r.right - r.left, cy = r.bottom - r.top;
    }
    if (cx <= 0 || cy <= 0)
        return;
    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateDib32(cx, cy, &bits);
    if (!bitmap)
        return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (GetWindowLongW(m_window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)
        SetLayout(memory, LAYOUT_RTL);
    CSkinLayout* layout = m_frame->CurrentLayout();
    if (layout)
        ExcludeClipRect(memory, layout->BorderLeft(), layout->BorderTop(), cx - layout->BorderRight(),
                        cy - layout->BorderBottom());
    m_frame->Paint(memory, 255);
    POINT position = {x, y}, origin = {0, 0};
    SIZE size = {cx, cy};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_window, screen, (flags & kBorderKeepPosition) ? nullptr : &position, &size, memory,
                        &origin, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
}

void CLayeredBorder::RepaintAll()
{
    Paint(0, 0, 0, 0, kBorderKeepPosition | kBorderCurrentSize);
}

void CLayeredBorder::PostRepaint()
{
    if (!m_window || m_repaintPosted)
        return;
    m_repaintPosted = PostMessageA(m_window, kBorderRepaintMessage, 0, 0) != FALSE;
}

bool CLayeredBorder::TrackLeave()
{
    if (!m_window)
        return false;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, m_window, 0};
    m_tracking = TrackMouseEvent(&track) != FALSE;
    return m_tracking;
}

bool CLayeredBorder::RunMoveLoop(HWND window, UINT command, int, int)
{
    if ((command & 0xFFFF) != kMoveCommand || !m_window)
        return false;
    HWND border = m_window;
    RECT start;
    GetWindowRect(window, &start);
    RECT now = start;
    POINT last;
    GetCursorPos(&last);
    auto moveBoth = [&](const RECT& to) {
        HDWP defer = BeginDeferWindowPos(2);
        UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
        if (defer)
            defer = DeferWindowPos(defer, window, nullptr, to.left, to.top, 0, 0, flags);
        if (defer && IsWindow(border))
            defer = DeferWindowPos(defer, border, nullptr, to.left, to.top, 0, 0, flags);
        if (defer)
            EndDeferWindowPos(defer);
    };
    SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
    SetCapture(window);
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the thread's own loop still ends
            break;
        }
        if (got < 0 || !IsWindow(window))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            POINT cursor;
            GetCursorPos(&cursor);
            OffsetRect(&now, cursor.x - last.x, cursor.y - last.y);
            last = cursor;
            moveBoth(now);
            continue;
        }
        if (msg.message == WM_LBUTTONUP)
            break;
        if (msg.message == WM_CANCELMODE || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            moveBoth(start);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (GetCapture() == window)
        ReleaseCapture();
    if (IsWindow(window))
        SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    return true;
}

LRESULT CALLBACK CLayeredBorder::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* owner = static_cast<CLayeredBorder*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        if (owner)
            owner->m_window = window;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<CLayeredBorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT CLayeredBorder::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = m_window;
    HWND skinned = Skinned();
    switch (message) {
    case WM_NCHITTEST:
    case WM_SETCURSOR:
        return skinned ? SendMessageW(skinned, message, message == WM_SETCURSOR ? reinterpret_cast<WPARAM>(skinned)
                                                                                  : wParam, lParam)
                       : 0;
    case WM_NCMOUSEMOVE:
    case WM_SYSCOMMAND:
        if (skinned)
            SendMessageW(skinned, message, wParam, lParam);
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (skinned)
            SendMessageW(skinned, message, wParam, lParam);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCMOUSELEAVE:
        m_tracking = false;
        if (skinned)
            SendMessageW(skinned, WM_NCMOUSELEAVE, 0, 0);
        return 0;
    case WM_NCPAINT:
        RepaintAll();
        return DefWindowProcA(window, message, wParam, lParam);
    case kBorderRepaintMessage:
        m_repaintPosted = false;
        RepaintAll();
        return 0;
    case WM_NCDESTROY: {
        if (m_tracking && skinned)
            SendMessageW(skinned, WM_NCMOUSELEAVE, 0, 0);
        m_tracking = false;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (m_window == window)
            m_window = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace FWSkin
