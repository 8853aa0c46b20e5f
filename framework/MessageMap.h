#pragma once
#include <windows.h>
#include <olectl.h>   // OCM_*: the reflected forms of the notification messages

// A window class routes its messages through one table, its ProcessWindowMessage:
//
//   BEGIN_MSG_MAP(CMyDlg)
//       MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
//       COMMAND_ID_HANDLER(IDOK, OnOK)
//       NOTIFY_HANDLER(IDC_LIST, LVN_ITEMCHANGED, OnItemChanged)
//       CHAIN_MSG_MAP(CMixin<CMyDlg>)
//       REFLECT_NOTIFICATIONS()
//   END_MSG_MAP()
//
// Entries are tried top to bottom. Each handler starts with bHandled TRUE; the first one that leaves
// it TRUE ends the search and its return value is the message's result. A handler that sets it
// FALSE lets the later entries (and in the end the window's default handling) see the message.
//
// Handler forms:
//   LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
//   LRESULT OnCommand(WORD code, WORD id, HWND control, BOOL& bHandled);
//   LRESULT OnNotify(int id, NMHDR* header, BOOL& bHandled);
//
// Reflection: a parent's REFLECT_NOTIFICATIONS() sends WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL, WM_VKEYTOITEM,
// WM_CHARTOITEM and WM_PARENTNOTIFY back to the child that sent them, as OCM_BASE + message
// (OCM_COMMAND, OCM_DRAWITEM, ...). The child handles them like any message (MESSAGE_HANDLER(OCM_DRAWITEM,
// ...) or the REFLECTED_* entries); a reflected message the child leaves unhandled gets the default
// answer of the original message (DefWindowProc), so an unhandled OCM_CTLCOLORBTN still yields a brush.

// The message range that reflection uses.
constexpr UINT kReflectedFirst = OCM__BASE;
constexpr UINT kReflectedLast = OCM__BASE + WM_PARENTNOTIFY;
inline bool IsReflectedMessage(UINT msg) { return msg >= kReflectedFirst && msg <= kReflectedLast; }

// Every window class of the framework answers this.
class CMessageMap
{
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) = 0;
};

// Sends a notification message of `parent` back to the child that sent it (see above). bHandled is
// FALSE and the result 1 when the message names no child window.
LRESULT ReflectNotifications(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

// The window the notification message came from, or null (also used by ReflectNotifications).
HWND NotificationSender(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam);

#define BEGIN_MSG_MAP(theClass) \
public: \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) \
    { \
        BOOL bHandled = TRUE; \
        (void)hWnd; (void)uMsg; (void)wParam; (void)lParam; (void)lResult; (void)bHandled;

#define END_MSG_MAP() \
        return FALSE; \
    }

#define FRAMEWORK_MAP_CALL(condition, call) \
        if (condition) { \
            bHandled = TRUE; \
            lResult = call; \
            if (bHandled) return TRUE; \
        }

#define MESSAGE_HANDLER(msg, func) \
    FRAMEWORK_MAP_CALL(uMsg == (msg), func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(first, last, func) \
    FRAMEWORK_MAP_CALL(uMsg >= (first) && uMsg <= (last), func(uMsg, wParam, lParam, bHandled))

#define FRAMEWORK_COMMAND_CALL(msg, condition, func) \
    FRAMEWORK_MAP_CALL(uMsg == (msg) && (condition), \
        func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_HANDLER(id, notifyCode, func) \
    FRAMEWORK_COMMAND_CALL(WM_COMMAND, LOWORD(wParam) == (id) && HIWORD(wParam) == (notifyCode), func)
#define COMMAND_ID_HANDLER(id, func) \
    FRAMEWORK_COMMAND_CALL(WM_COMMAND, LOWORD(wParam) == (id), func)
#define COMMAND_CODE_HANDLER(notifyCode, func) \
    FRAMEWORK_COMMAND_CALL(WM_COMMAND, HIWORD(wParam) == (notifyCode), func)
#define COMMAND_RANGE_HANDLER(first, last, func) \
    FRAMEWORK_COMMAND_CALL(WM_COMMAND, LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last), func)
#define COMMAND_RANGE_CODE_HANDLER(first, last, notifyCode, func) \
    FRAMEWORK_COMMAND_CALL(WM_COMMAND, LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last) && \
        HIWORD(wParam) == (notifyCode), func)

#define FRAMEWORK_NOTIFY_CALL(msg, condition, func) \
    FRAMEWORK_MAP_CALL(uMsg == (msg) && (condition), \
        func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled))

#define NOTIFY_HANDLER(id, notifyCode, func) \
    FRAMEWORK_NOTIFY_CALL(WM_NOTIFY, reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) && \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode), func)
#define NOTIFY_ID_HANDLER(id, func) \
    FRAMEWORK_NOTIFY_CALL(WM_NOTIFY, reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id), func)
#define NOTIFY_CODE_HANDLER(notifyCode, func) \
    FRAMEWORK_NOTIFY_CALL(WM_NOTIFY, reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode), func)

// The same, for the forms reflected back to a child.
#define REFLECTED_COMMAND_HANDLER(id, notifyCode, func) \
    FRAMEWORK_COMMAND_CALL(OCM_COMMAND, LOWORD(wParam) == (id) && HIWORD(wParam) == (notifyCode), func)
#define REFLECTED_COMMAND_CODE_HANDLER(notifyCode, func) \
    FRAMEWORK_COMMAND_CALL(OCM_COMMAND, HIWORD(wParam) == (notifyCode), func)
#define REFLECTED_NOTIFY_CODE_HANDLER(notifyCode, func) \
    FRAMEWORK_NOTIFY_CALL(OCM_NOTIFY, reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode), func)

// Hands the message to a base class's or a mixin's map (its ProcessWindowMessage), or a member's.
#define CHAIN_MSG_MAP(theChainClass) \
        if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
#define CHAIN_MSG_MAP_MEMBER(theChainMember) \
        if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define REFLECT_NOTIFICATIONS() \
    FRAMEWORK_MAP_CALL(true, ReflectNotifications(hWnd, uMsg, wParam, lParam, bHandled))
