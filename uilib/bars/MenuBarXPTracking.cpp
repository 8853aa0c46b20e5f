// The menu bar's tracking: the keyboard loop over its buttons, popups opened below them, the
// message filter that moves between popups, and plain command buttons clicked with the mouse.
#include <windowsx.h>

#include "uilib/bars/MenuBarXP.h"

namespace {

// One bar tracks a popup at a time; nested tracking keeps the outer values and puts them back.
CMenuBarXP* g_popupBar = nullptr;
HHOOK g_filterHook = nullptr;
HHOOK g_activateHook = nullptr;

BOOL KeyboardCuesOn()
{
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    return cues;
}

// A mouse message's point in the bar's client coordinates.
POINT MousePointIn(HWND bar, const MSG& msg)
{
    POINT point = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    MapWindowPoints(msg.hwnd, bar, &point, 1);
    return point;
}

}  // namespace

bool CMenuBarXP::IsEnabled(int item)
{
    return (SendMessageW(m_hWnd, TB_GETSTATE, item, 0) & TBSTATE_ENABLED) != 0;
}

int CMenuBarXP::NextEnabled(int start, int direction)
{
    int i = start;
    for (int n = 0; n < m_count; ++n) {
        if (i < 0 || i >= m_count)
            i = direction > 0 ? 0 : m_count - 1;
        else
            i = (i + direction + m_count) % m_count;
        if (i == start)
            return -1;
        if (IsEnabled(i))
            return i;
    }
    return -1;
}

int CMenuBarXP::HitTestClient(POINT point)
{
    return static_cast<int>(SendMessageW(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
}

void CMenuBarXP::ReleaseCurrentButton()
{
    if (m_current >= 0)
        PressButton(m_current, FALSE);
}

void CMenuBarXP::PostCommandOf(int item)
{
    PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(GetMenuItemID(m_hMenu, item), 0), 0);
}

void CMenuBarXP::RedrawBar()
{
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CALLBACK CMenuBarXP::ActivateWatch(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && reinterpret_cast<CWPRETSTRUCT*>(lParam)->message == WM_ACTIVATEAPP)
        PostThreadMessageW(GetCurrentThreadId(), WM_CANCELMODE, 0, 0);
    return CallNextHookEx(g_activateHook, code, wParam, lParam);
}

BOOL CMenuBarXP::TrackMenuBar(BOOL keyboard, int item)
{
    if (!m_hWnd || !IsWindow(m_hWnd) || !m_hMenu)
        return FALSE;
    if (item >= 0 && GetMenuItemID(m_hMenu, item) != static_cast<UINT>(-1))
        return FALSE;
    HHOOK outerHook = g_activateHook;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, ActivateWatch, nullptr, GetCurrentThreadId());
    g_activateHook = hook;

    m_menu.SetShowAccelerators(keyboard || KeyboardCuesOn());
    RedrawBar();
    SendMessageW(GetParent(m_hWnd), WM_INITMENU, reinterpret_cast<WPARAM>(m_hMenu), 0);
    m_endTracking = false;
    m_leftByKeyboard = false;
    if (item < 0) {
        SetHot(NextEnabled(-1, 1));
    } else {
        m_current = item;
        SetHot(item);
        PostMessageW(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    }

    while (!m_endTracking) {
        if (m_leftByKeyboard) {
            // Back from a popup closed with Escape: arrows go on from its button. Once only, or
            // the next round would undo the arrow's move.
            SetHot(m_current);
            m_leftByKeyboard = false;
        }
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // keeps the program's exit code
            break;
        }
        switch (msg.message) {
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            SetHot(-1);
            DispatchMessageA(&msg);
            m_endTracking = true;
            break;
        case WM_KEYDOWN:
            switch (msg.wParam) {
            case VK_RETURN:
            case VK_UP:
            case VK_DOWN: {
                const int hot = Hot();
                SetHot(-1);
                m_current = hot;
                OpenPopup(msg.wParam == VK_RETURN);
                break;
            }
            case VK_MENU:
            case VK_F10:
            case VK_ESCAPE:
                SetHot(-1);
                m_endTracking = true;
                break;
            case VK_LEFT:
            case VK_RIGHT:
                SetHot(NextEnabled(Hot(), msg.wParam == VK_LEFT ? -1 : 1));
                break;
            default: {
                UINT id = 0;
                if (SendMessageA(m_hWnd, TB_MAPACCELERATORA, msg.wParam, reinterpret_cast<LPARAM>(&id))) {
                    m_current = static_cast<int>(id);
                    SetHot(-1);
                    OpenPopup(TRUE);
                } else {
                    MessageBeep(static_cast<UINT>(-1));
                }
                break;
            }
            }
            break;
        case WM_SYSKEYDOWN:
            if (msg.wParam == VK_MENU) {
                SetHot(-1);
                m_endTracking = true;
            } else {
                DispatchMessageA(&msg);
            }
            break;
        case WM_CANCELMODE:
            SetHot(-1);
            m_endTracking = true;
            break;
        case WM_MOUSEMOVE: {
            POINT point = msg.pt;
            ScreenToClient(m_hWnd, &point);
            const int hit = HitTestClient(point);
            if (hit >= 0 && hit < m_count && hit != Hot())
                SetHot(IsEnabled(hit) ? hit : -1);
            break;
        }
        default:
            DispatchMessageA(&msg);
            break;
        }
    }

    m_menu.SetShowAccelerators(KeyboardCuesOn());
    RedrawBar();
    UnhookWindowsHookEx(hook);
    g_activateHook = outerHook;
    return TRUE;
}

void CMenuBarXP::OpenPopup(BOOL execute)
{
    if (m_current < 0 || m_current >= m_count)
        return;
    HMENU submenu = GetSubMenu(m_hMenu, m_current);
    if (!submenu) {
        if (execute) {
            PostCommandOf(m_current);
            m_endTracking = true;
        }
        return;
    }
    const int pressed = m_current;
    PressButton(pressed, TRUE);
    RECT button = {};
    GetItemRect(pressed, &button);
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    IntersectRect(&params.rcExclude, &button, &desktop);

    CMenuBarXP* outerBar = g_popupBar;
    HHOOK outerHook = g_filterHook;
    g_popupBar = this;
    g_filterHook = SetWindowsHookExW(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId());
    m_menu.PrepareMenu(submenu, m_hWnd);
    m_leftByKeyboard = false;
    // A popup appearing under a still mouse sends a move: that one must not switch popups.
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(m_hWnd, &cursor);
    m_lastX = cursor.x;
    m_lastY = cursor.y;
    const int x = (GetWindowLongW(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? button.right : button.left;
    TrackPopupMenuEx(submenu, TPM_VERTICAL | TPM_RIGHTBUTTON, x, button.bottom, m_hWnd, &params);
    PressButton(pressed, FALSE);
    UnhookWindowsHookEx(g_filterHook);
    g_filterHook = outerHook;
    g_popupBar = outerBar;

    MSG queued;
    const bool reopen = PeekMessageW(&queued, m_hWnd, WM_MENUBAR_OPENPOPUP, WM_MENUBAR_OPENPOPUP, PM_NOREMOVE);
    if (!m_leftByKeyboard && !reopen)
        m_endTracking = true;
}

LRESULT CALLBACK CMenuBarXP::MessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_MENU && g_popupBar && g_popupBar->FilterMessage(reinterpret_cast<MSG*>(lParam)))
        return TRUE;
    return CallNextHookEx(g_filterHook, code, wParam, lParam);
}

bool CMenuBarXP::FilterMessage(MSG* msg)
{
    switch (msg->message) {
    case WM_KEYDOWN:
        if (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT) {
            ReleaseCurrentButton();
            const int next = NextEnabled(m_current, msg->wParam == VK_LEFT ? -1 : 1);
            if (next >= 0)
                m_current = next;
            PostMessageW(m_hWnd, WM_CANCELMODE, 0, 0);
            PostMessageW(m_hWnd, WM_MENUBAR_OPENPOPUP, 0, 0);
            return true;
        }
        if (msg->wParam == VK_ESCAPE) {
            PostMessageW(m_hWnd, WM_CANCELMODE, 0, 0);
            m_leftByKeyboard = true;
            return true;
        }
        return false;
    case WM_MENUSELECT:
        SendMessageW(GetParent(m_hWnd), WM_MENUSELECT, msg->wParam, msg->lParam);
        return true;
    case WM_MOUSEMOVE: {
        const POINT point = MousePointIn(m_hWnd, *msg);
        if (point.x == m_lastX && point.y == m_lastY)
            return true;
        m_lastX = point.x;
        m_lastY = point.y;
        const int hit = HitTestClient(point);
        if (hit < 0 || hit >= m_count || hit == m_current)
            return false;
        if (m_current >= 0) {
            ReleaseCurrentButton();
            SendMessageW(m_hWnd, WM_CANCELMODE, 0, 0);
        }
        if (IsEnabled(hit)) {
            m_current = hit;
            PostMessageW(m_hWnd, WM_MENUBAR_OPENPOPUP, 0, 0);
            return true;
        }
        m_current = -1;
        return false;
    }
    case WM_LBUTTONDOWN:
        if (m_current >= 0 && HitTestClient(MousePointIn(m_hWnd, *msg)) == m_current) {
            PostMessageW(m_hWnd, WM_CANCELMODE, 0, 0);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CMenuBarXP::TrackButton(int x, int y)
{
    const int hit = HitTestClient(POINT{x, y});
    if (hit < 0 || hit >= m_count)
        return;
    if (!IsEnabled(hit)) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    if (TrackMenuBar(FALSE, hit))
        return;

    SetCapture(m_hWnd);
    PressButton(hit, TRUE);
    SetHot(-1);
    bool releasedOver = false;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            const bool over = HitTestClient(MousePointIn(m_hWnd, msg)) == hit;
            PressButton(hit, over);
            if (!over)
                SetHot(hit);
        } else if (msg.message == WM_LBUTTONUP) {
            releasedOver = HitTestClient(MousePointIn(m_hWnd, msg)) == hit;
            break;
        } else if (msg.message == WM_CANCELMODE) {
            break;
        } else {
            DispatchMessageA(&msg);
        }
    }
    if (releasedOver)
        PostCommandOf(hit);
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
    PressButton(hit, FALSE);
}

LRESULT CMenuBarXP::OnMenuChar(UINT character)
{
    UINT id = 0;
    if (!m_hWnd || !SendMessageA(m_hWnd, TB_MAPACCELERATORA, character, reinterpret_cast<LPARAM>(&id)))
        return 0;
    m_current = static_cast<int>(id);
    PostMessageW(m_hWnd, WM_CANCELMODE, 0, 0);
    PostMessageW(m_hWnd, WM_MENUBAR_OPENPOPUP, 0, 0);
    return -1;
}
