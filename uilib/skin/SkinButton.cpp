#include "uilib/skin/SkinButton.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <new>
#include <string>

#include "uilib/skin/ClassReplacements.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/OffscreenDC.h"
#include "uilib/skin/Profile.h"

namespace {

constexpr UINT kToolId = 1;
constexpr int kTipTextChars = 80;
constexpr DWORD kClickPauseMs = 100;

// The description's own relative name is taken in the executable's folder.
void ResolveDescriptionPath(const char* file, char* path)
{
    if (!PathIsRelativeA(file)) {
        lstrcpynA(path, file, MAX_PATH);
        return;
    }
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    PathRemoveFileSpecA(folder);
    if (!PathCombineA(path, folder, file))
        lstrcpynA(path, file, MAX_PATH);
}

bool HasArea(const RECT& xywh)
{
    return xywh.right > 0 && xywh.bottom > 0;
}

}  // namespace

bool CSkinButton::RegisterClass()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = WindowProc;
    wc.cbWndExtra = sizeof(CSkinButton*);
    wc.hInstance = GetLibraryModule() ? GetLibraryModule() : GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kSkinButtonClass;
    return RegisterLibraryClassA(&wc) != 0;
}

LRESULT CALLBACK CSkinButton::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* button = reinterpret_cast<CSkinButton*>(GetWindowLongPtrA(window, 0));
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        button = new (std::nothrow) CSkinButton(window, static_cast<DWORD>(create->style));
        if (!button)
            return FALSE;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(button));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!button)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        // Later messages (WM_NCDESTROY) find no object.
        SetWindowLongPtrA(window, 0, 0);
        delete button;
        return 0;
    }
    return button->Handle(message, wParam, lParam);
}

CSkinButton::~CSkinButton()
{
    if (m_tooltip && IsWindow(m_tooltip))
        DestroyWindow(m_tooltip);
    if (m_background)
        DeleteObject(m_background);
    m_skin.Free();
}

LRESULT CSkinButton::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return Load(static_cast<const SkinButtonParams*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams))
                   ? 0
                   : -1;
    case WM_SETFOCUS:
        SetBit(kFocused, true);
        if (m_style & BS_NOTIFY)
            Notify(BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        SetBit(kFocused, false);
        if ((m_state & kTracking) && GetCapture() == m_window)
            ReleaseCapture();
        if (m_style & BS_NOTIFY)
            Notify(BN_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        InvalidateRect(m_window, nullptr, FALSE);
        return 0;
    case WM_STYLECHANGED:
        // Copied styles (BS_NOTIFY) count from the moment they are set.
        if (wParam == static_cast<WPARAM>(GWL_STYLE))
            m_style = reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew;
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_window, &ps);
        Paint(dc);
        EndPaint(m_window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(m_window, &p);
        if (PtInRect(&m_area, p)) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOA) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            GetWindowTextA(m_window, info->szText, kTipTextChars);
            info->lpszText = info->szText;
        } else if (header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            GetWindowTextW(m_window, info->szText, kTipTextChars);
            info->lpszText = info->szText;
        }
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case BM_GETSTATE:
        return ((m_state & kPushed) ? BST_PUSHED : 0) | ((m_state & kFocused) ? BST_FOCUS : 0);
    case BM_SETSTATE:
        SetBit(kPushed, wParam != 0);
        return 0;
    case BM_CLICK: {
        LPARAM point = KeyPoint();
        if (InArea(point)) {
            OnButtonDown();
            Sleep(kClickPauseMs);
            OnButtonUp(point);
        } else {
            Sleep(kClickPauseMs);
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            SetBit(kPushed, true);
            m_state |= kTracking;
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            OnButtonUp(KeyPoint());
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        RelayToTip(message, wParam, lParam);
        OnMouseMove(wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        RelayToTip(message, wParam, lParam);
        if (InArea(lParam))
            OnButtonDown();
        return 0;
    case WM_LBUTTONDBLCLK:
        RelayToTip(message, wParam, lParam);
        if (InArea(lParam)) {
            if (m_style & BS_NOTIFY)
                Notify(BN_DOUBLECLICKED);
            else
                OnButtonDown();
        }
        return 0;
    case WM_LBUTTONUP:
        RelayToTip(message, wParam, lParam);
        OnButtonUp(lParam);
        return 0;
    case WM_MOUSELEAVE:
        RelayToTip(message, wParam, lParam);
        // The request is used up either way; a new move asks again.
        m_leaveRequested = false;
        if (GetCapture() != m_window)
            SetBit(kHot, false);
        return 0;
    case WM_CAPTURECHANGED:
        RelayToTip(message, wParam, lParam);
        if (m_state & kTracking) {
            m_state &= ~kTracking;
            SetBit(kPushed, false);
        }
        return 0;
    }
    return DefWindowProcA(m_window, message, wParam, lParam);
}

bool CSkinButton::Load(const SkinButtonParams* params)
{
    if (!params || !params->file || !params->name)
        return false;
    char path[MAX_PATH];
    ResolveDescriptionPath(params->file, path);
    CProfileReader reader;
    if (!reader.Load(path, false) || !reader.SelectSection("General"))
        return false;
    char* image = reader.GetFilePath(nullptr, "Image");
    bool loaded = image && m_skin.Load(image);
    free(image);
    if (!loaded || !reader.SelectSection(params->name))
        return false;
    reader.GetRect("Normal", &m_normal);
    reader.GetRect("Hot", &m_hot);
    reader.GetRect("Pushed", &m_pushed);
    reader.GetRect("Disabled", &m_disabled);

    SetWindowPos(m_window, nullptr, 0, 0, m_normal.right, m_normal.bottom,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    if (HasArea(m_normal)) {
        m_skin.GetRegionBox(&m_area, &m_normal);
        OffsetRect(&m_area, -m_normal.left, -m_normal.top);
    }

    m_tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (m_tooltip) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_window;
        tool.uId = kToolId;
        tool.rect = m_area;
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageA(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 2 * m_normal.right);
    }
    return true;
}

void CSkinButton::CaptureParentBackground(HDC like)
{
    if (HBITMAP copy = CopyParentBackground(m_window, like)) {
        if (m_background)
            DeleteObject(m_background);
        m_background = copy;
    }
}

void CSkinButton::Paint(HDC dc)
{
    RECT client;
    GetClientRect(m_window, &client);
    COffscreenDC buffer;
    HDC mem = buffer.Begin(dc, &client, 0, nullptr, false, 255);
    if (!mem)
        return;
    CaptureParentBackground(dc);
    if (m_background)
        BlitBitmap(mem, 0, 0, client.right, client.bottom, m_background);
    const RECT& part = !IsWindowEnabled(m_window) ? m_disabled
                       : (m_state & kPushed)      ? m_pushed
                       : (m_state & kHot)         ? m_hot
                                                  : m_normal;
    if (HasArea(part)) {
        POINT at = {0, 0};
        m_skin.DrawPart(mem, &at, &part, 255);
    }
    buffer.End();
}

void CSkinButton::SetBit(DWORD bit, bool on)
{
    DWORD state = on ? (m_state | bit) : (m_state & ~bit);
    if (state == m_state)
        return;
    m_state = state;
    InvalidateRect(m_window, nullptr, FALSE);
}

bool CSkinButton::InArea(LPARAM point) const
{
    POINT p = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    return PtInRect(&m_area, p) != FALSE;
}

LPARAM CSkinButton::KeyPoint() const
{
    // The top-left point of the clickable area: a button whose picture has transparent corners
    // still clicks from the keyboard. An empty area gives a point outside it.
    return MAKELPARAM(m_area.left, m_area.top);
}

void CSkinButton::Notify(WORD code)
{
    SendMessageA(GetParent(m_window), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(m_window), code), reinterpret_cast<LPARAM>(m_window));
}

void CSkinButton::RelayToTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_tooltip)
        return;
    MSG msg = {m_window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    DWORD pos = GetMessagePos();
    msg.pt = POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    SendMessageA(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void CSkinButton::OnMouseMove(WPARAM keys, LPARAM point)
{
    if (GetCapture() != m_window) {
        SetBit(kHot, InArea(point));
        if (!m_leaveRequested) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_window, 0};
            m_leaveRequested = TrackMouseEvent(&track) != FALSE;
        }
    } else if (keys & MK_LBUTTON) {
        SetBit(kPushed, InArea(point));
    }
}

void CSkinButton::OnButtonDown()
{
    SetCapture(m_window);
    SetFocus(m_window);
    m_state |= kTracking;
    SetBit(kPushed, true);
}

void CSkinButton::OnButtonUp(LPARAM point)
{
    if (!(m_state & kTracking))
        return;
    m_state &= ~kTracking;
    bool pushed = (m_state & kPushed) != 0;
    SetBit(kPushed, false);
    if (GetCapture() == m_window)
        ReleaseCapture();
    // Last: the parent may destroy the button while it handles the click.
    if (pushed && InArea(point))
        Notify(BN_CLICKED);
}

HWND WINAPI CreateSkinButton(HWND parent, UINT id, const char* file, const char* name, int x, int y)
{
    if (!CSkinButton::RegisterClass())
        return nullptr;
    if (!file)
        file = g_Scheme.customButtonsFile;
    if (!file || !name)
        return nullptr;
    SkinButtonParams params = {file, name};
    return CreateWindowExA(0, kSkinButtonClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr),
                           &params);
}

HWND WINAPI ConvertButtonToSkinButton(HWND dialog, UINT id, const char* file, const char* name)
{
    HWND old = GetDlgItem(dialog, static_cast<int>(id));
    if (!old)
        return nullptr;
    RECT rect;
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    HWND fresh = CreateSkinButton(dialog, id, file, name, rect.left, rect.top);
    if (!fresh)
        return nullptr;
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    int length = GetWindowTextLengthW(old);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(old, &text[0], length + 1);
    SetWindowTextW(fresh, text.c_str());
    if (GetWindowLongW(old, GWL_STYLE) & BS_NOTIFY)
        SetWindowLongW(fresh, GWL_STYLE, GetWindowLongW(fresh, GWL_STYLE) | BS_NOTIFY);
    if (!IsWindowEnabled(old))
        EnableWindow(fresh, FALSE);
    DestroyWindow(old);
    return fresh;
}
