#pragma once
#include "framework/WindowImpl.h"

// Dialogs: modal or modeless, from a template in the resource module (the language library when one
// is loaded) or from a template in memory. The dialog's messages go through its message map;
// what the map leaves unhandled gets the system's default dialog handling. A handler's result is
// the message's result (put into DWLP_MSGRESULT, or returned directly for the messages whose
// dialog-procedure result is the answer: WM_INITDIALOG, WM_CTLCOLOR*, WM_COMPAREITEM,
// WM_VKEYTOITEM, WM_CHARTOITEM, WM_QUERYDRAGICON).
class CDialogImplRoot : public CWindowImplRoot
{
public:
    // Modal: ends DoModal with the result. Modeless: destroys the window.
    BOOL EndDialog(int result);
    bool IsModal() const { return m_modal; }

    // Template by id from a module (null: the resource module).
    INT_PTR DoModal(UINT templateId, HWND parent, LPARAM initParam = 0, HINSTANCE module = nullptr);
    HWND Create(UINT templateId, HWND parent, LPARAM initParam = 0, HINSTANCE module = nullptr);
    // Template in memory (see DialogTemplate.h); module is the one its controls' resources come from.
    INT_PTR DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam = 0,
                            HINSTANCE module = nullptr);
    HWND CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam = 0,
                        HINSTANCE module = nullptr);

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // The body of the dialog procedure once the object is bound.
    INT_PTR HandleDialogMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool m_modal = false;
};

// A dialog whose class T names its template: enum { IDD = <template id> }.
template <class T>
class CDialogImpl : public CDialogImplRoot
{
public:
    using CDialogImplRoot::Create;
    using CDialogImplRoot::DoModal;
    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0)
    { return CDialogImplRoot::DoModal(T::IDD, parent, initParam); }
    HWND Create(HWND parent, LPARAM initParam = 0)
    { return CDialogImplRoot::Create(T::IDD, parent, initParam); }
};
