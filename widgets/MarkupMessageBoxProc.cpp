// The message box's dialog procedure: commands, closing rules, the countdown and the links.
#include "widgets/MarkupMessageBoxTemplate.h"

#include <windowsx.h>

#include "widgets/MarkupMessageBoxMemory.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

INT_PTR Answer(HWND dialog, LRESULT result)
{
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK CMarkupMessageBoxTemplate::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        reinterpret_cast<CMarkupMessageBoxTemplate*>(lParam)->OnInitDialog(dialog);
        return FALSE;   // the default button already has the focus
    }
    auto* self = reinterpret_cast<CMarkupMessageBoxTemplate*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (self == nullptr)
        return FALSE;

    switch (message) {
    case WM_DESTROY:
        self->DestroyButtons();
        return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        self->DrawBackground(dialog, dc);
        EndPaint(dialog, &paint);
        return FALSE;
    }
    case WM_ERASEBKGND:
        return Answer(dialog, TRUE);   // the paint covers everything
    case WM_SETCURSOR: {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(dialog, &point);
        BOOL set = FALSE;
        if (self->m_headerHeight != 0)
            set = self->m_headerDrawer.OnSetCursor(&point);
        if (!set && self->m_messageHeight != 0)
            set = self->m_messageDrawer.OnSetCursor(&point);
        if (!set && self->m_footerHeight != 0)
            set = self->m_footerDrawer.OnSetCursor(&point);
        return set ? Answer(dialog, TRUE) : FALSE;
    }
    case WM_COMMAND:
        return self->OnCommand(dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_TIMER:
        if (wParam != kTimerId)
            return FALSE;
        self->OnTimer(dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        // The check box's label draws on the painted background.
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    case WM_LBUTTONDOWN: {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (self->m_headerHeight != 0)
            self->m_headerDrawer.OnLButtonDown(&point);
        if (self->m_messageHeight != 0)
            self->m_messageDrawer.OnLButtonDown(&point);
        if (self->m_footerHeight != 0)
            self->m_footerDrawer.OnLButtonDown(&point);
        return FALSE;
    }
    case kHotLinkMessage:
        self->DrawBackground(dialog, nullptr);
        return TRUE;
    default:
        return FALSE;
    }
}

bool CMarkupMessageBoxTemplate::IsButtonDisabled(UINT id) const
{
    HWND button = ButtonWindow(id);
    return button != nullptr && !IsWindowEnabled(button);
}

bool CMarkupMessageBoxTemplate::OnCommand(HWND dialog, UINT id, HWND)
{
    if (id == static_cast<UINT>(kCheckBoxControlId))
        return false;
    // The close box, Escape and Alt+F4 arrive as IDCANCEL: only a box with a cancel-like button
    // ends that way, and not while a disabled period keeps the close box greyed.
    if (id == IDCANCEL && (!m_cancelAllowed || m_closeBlocked))
        return false;
    // A disabled button can still be clicked programmatically; its id must not end the box.
    if (IsButtonDisabled(id))
        return false;
    if (id == MMB_IDREPORT) {
        if (m_params.reportMessage != 0 && m_params.owner != nullptr)
            SendMessageW(m_params.owner, m_params.reportMessage, 0, 0);
        return false;
    }
    if (id == MMB_IDLESS || id == MMB_IDMORE) {
        ToggleFooter(dialog);
        return false;
    }
    // An id that is none of the box's buttons (Enter with no default, say) is no answer.
    if (id != IDCANCEL && ButtonWindow(id) == nullptr)
        return false;
    EndBox(dialog, id);
    return true;
}

void CMarkupMessageBoxTemplate::EndBox(HWND dialog, UINT id)
{
    KillTimer(dialog, kTimerId);
    int result = static_cast<int>(id);
    if (m_checkBox != nullptr && SendMessageW(m_checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        result |= static_cast<int>(m_params.style & MMB_CHECKED);
        RememberAnswer(m_params, static_cast<DWORD>(result));
    }
    EndDialog(dialog, result);
}

void CMarkupMessageBoxTemplate::ToggleFooter(HWND dialog)
{
    RECT window;
    GetWindowRect(dialog, &window);
    HWND more = ButtonWindow(MMB_IDMORE);
    m_footerExpanded = !m_footerExpanded;
    int height = window.bottom - window.top;
    if (m_footerExpanded) {
        height += m_footerHeight;
        SendMessageW(more, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_lessCaption.c_str()));
    } else {
        height -= m_footerHeight;
        SendMessageW(more, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_moreCaption.c_str()));
    }
    MoveWindow(dialog, window.left, window.top, window.right - window.left, height, TRUE);
}

void CMarkupMessageBoxTemplate::SetDefaultButtonCaption(const std::wstring& caption)
{
    if (m_buttons.empty())
        return;
    SendMessageW(m_buttons[m_defaultIndex].second, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

void CMarkupMessageBoxTemplate::EnableButton(HWND button, bool defaultStyle)
{
    LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_DISABLED);
    if (defaultStyle)
        style = (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_DEFPUSHBUTTON;
    SetWindowLongPtrW(button, GWL_STYLE, style);
    SendMessageW(button, WM_ENABLE, TRUE, 0);
    InvalidateRect(button, nullptr, TRUE);
}

void CMarkupMessageBoxTemplate::SetCloseEnabled(HWND dialog, bool enabled)
{
    EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CMarkupMessageBoxTemplate::OnTimer(HWND dialog)
{
    const bool inCaption = Blocked() && m_params.periodInCaption != 0;
    if (m_countdown != 0) {
        --m_countdown;
        if (m_countdown > 0) {
            if (!inCaption) {
                SetDefaultButtonCaption(CountdownCaption(m_defaultCaption, m_countdown));
            } else {
                CMarkupString title;
                title.Format(m_captionFormat.c_str(), m_caption.c_str(), m_countdown);
                SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
            }
            return;
        }
    }
    KillTimer(dialog, kTimerId);
    if (!Blocked()) {
        if (Timed()) {
            SetDefaultButtonCaption(m_defaultCaption);
            // A box with no button that ends it ends as its close box would.
            if (m_noClosingButton) {
                EndBox(dialog, IDCANCEL);
                return;
            }
            const auto& defaultButton = m_buttons[m_defaultIndex];
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(defaultButton.first, BN_CLICKED),
                         reinterpret_cast<LPARAM>(defaultButton.second));
        }
        return;
    }
    if (m_cancelAllowed)
        SetCloseEnabled(dialog, true);
    m_closeBlocked = false;
    if (inCaption)
        SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_caption.c_str()));
    if (m_buttons.empty())
        return;
    const auto& defaultButton = m_buttons[m_defaultIndex];
    if (inCaption) {
        for (const auto& button : m_buttons)
            if (button.second != defaultButton.second)
                EnableButton(button.second, false);
    } else {
        SetDefaultButtonCaption(m_defaultCaption);
    }
    EnableButton(defaultButton.second, true);
    // The default button was disabled when it should have taken the focus.
    if (!IsChild(dialog, GetFocus()))
        SetFocus(defaultButton.second);
}
