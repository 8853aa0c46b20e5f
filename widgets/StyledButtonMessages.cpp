// The owner-drawn button's messages: clicks, hover and capture, cursor, timers, style and check.
#include "widgets/StyledButton.h"
#include "widgets/StyledButtonShared.h"

#include <shellapi.h>

using styled_button::IsRadioKind;

LRESULT CStyledButton::OnClicked(WORD, WORD, HWND, BOOL&)
{
    PlaySoundOf(m_clickSound);
    if (m_checkBox)
        PostMessage(BM_SETCHECK, m_checked == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    if (m_menu != nullptr) {
        TrackMenu();
    } else if (m_url[0] != 0) {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = m_url;
        info.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExW(&info);
    }
    return 0;
}

LRESULT CStyledButton::OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_tooltip != nullptr) {
        MSG relay = {m_hWnd, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {0, 0}};
        DWORD pos = ::GetMessagePos();
        relay.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    if (msg == WM_LBUTTONDOWN && m_autoRepeat) {
        LRESULT result = DefWindowProc(msg, wParam, lParam);
        SetTimer(m_hWnd, kAutoRepeatTimer, m_repeatDelay, nullptr);
        return result;
    }
    if (msg == WM_LBUTTONUP && m_autoRepeat)
        ::KillTimer(m_hWnd, kAutoRepeatTimer);
    if (msg != WM_MOUSEMOVE) {
        bHandled = FALSE;
        return 0;
    }

    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if ((wParam & MK_LBUTTON) != 0 && !m_hover)
        return result;
    if (!m_flat)
        return result;
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(&client);
    m_dropDownHover = point.x >= client.right - kDropDownWidth;
    if (::GetCapture() != m_hWnd) {
        m_hover = true;
        ::SetCapture(m_hWnd);
        Invalidate();
        PlaySoundOf(m_hoverSound);
    } else {
        POINT screen = point;
        ClientToScreen(&screen);
        if (::WindowFromPoint(screen) != m_hWnd) {
            m_hover = false;
            m_dropDownHover = false;
            Invalidate();
            if ((wParam & MK_LBUTTON) == 0)
                ::ReleaseCapture();
        }
    }
    return result;
}

LRESULT CStyledButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    ::KillTimer(m_hWnd, kAutoRepeatTimer);
    if (m_hover) {
        ::ReleaseCapture();
        Invalidate();
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CStyledButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (m_flat) {
        m_hover = false;
        Invalidate();
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CStyledButton::OnActivateOrEnable(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (m_flat && m_hover && LOWORD(wParam) == 0) {
        m_hover = false;
        Invalidate();
    }
    return result;
}

LRESULT CStyledButton::OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT CStyledButton::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (m_cursor == nullptr) {
        bHandled = FALSE;
        return 0;
    }
    ::SetCursor(m_cursor);
    return TRUE;
}

LRESULT CStyledButton::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam == kRepaintTimer) {
        Invalidate();
        return 0;
    }
    if (wParam == kAutoRepeatTimer) {
        // Only while the button is held down under the mouse.
        if ((::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0)
            ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                           reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CStyledButton::OnSetStyle(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
        m_default = type == BS_DEFPUSHBUTTON;
    return DefWindowProc(msg, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CStyledButton::OnGetCheck(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!m_checkBox && !m_pushLike)
        return 0;
    // A disabled check box answers "indeterminate"; GetCheck keeps its state.
    return IsWindowEnabled() ? m_checked : BST_INDETERMINATE;
}

LRESULT CStyledButton::OnSetCheck(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    m_checked = static_cast<int>(wParam);
    if (IsRadioKind(m_kind) && m_checked != 0) {
        HWND parent = GetParent();
        for (HWND other = ::GetNextDlgGroupItem(parent, m_hWnd, FALSE); other != nullptr && other != m_hWnd;
             other = ::GetNextDlgGroupItem(parent, other, FALSE))
            ::SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    Invalidate();
    return 0;
}
