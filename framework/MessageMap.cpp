#include "framework/MessageMap.h"

HWND NotificationSender(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
        // wParam 0 is a menu item: nothing to reflect to.
        return wParam != 0 ? reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return wParam != 0 ? ::GetDlgItem(parent, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID) : nullptr;
    case WM_COMPAREITEM:
        return wParam != 0 ? reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return wParam != 0 ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_PARENTNOTIFY:
        switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
            return reinterpret_cast<HWND>(lParam);
        default:
            return ::GetDlgItem(parent, HIWORD(wParam));
        }
    default:
        return nullptr;
    }
}

LRESULT ReflectNotifications(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    HWND child = NotificationSender(parent, uMsg, wParam, lParam);
    if (child == nullptr || !::IsWindow(child) || child == parent) {
        bHandled = FALSE;
        return 1;
    }
    return ::SendMessageW(child, OCM__BASE + uMsg, wParam, lParam);
}
