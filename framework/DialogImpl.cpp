#include "framework/DialogImpl.h"
#include "core/ResourceModule.h"

namespace {
HINSTANCE OrResourceModule(HINSTANCE module)
{
    return module != nullptr ? module : GetResourceModule();
}

// Messages whose dialog-procedure result is the answer itself.
bool AnswersDirectly(UINT msg)
{
    switch (msg) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}
}

BOOL CDialogImplRoot::EndDialog(int result)
{
    if (m_modal)
        return ::EndDialog(m_hWnd, result);
    return ::DestroyWindow(m_hWnd);
}

INT_PTR CDialogImplRoot::DoModal(UINT templateId, HWND parent, LPARAM initParam, HINSTANCE module)
{
    if (m_hWnd != nullptr)
        return -1;
    m_modal = true;
    BindNextWindow(this);
    INT_PTR result = ::DialogBoxParamW(OrResourceModule(module), MAKEINTRESOURCEW(templateId), parent,
                                       &DialogProc, initParam);
    BindNextWindow(nullptr);
    return result;
}

HWND CDialogImplRoot::Create(UINT templateId, HWND parent, LPARAM initParam, HINSTANCE module)
{
    if (m_hWnd != nullptr)
        return nullptr;
    m_modal = false;
    BindNextWindow(this);
    HWND hWnd = ::CreateDialogParamW(OrResourceModule(module), MAKEINTRESOURCEW(templateId), parent,
                                     &DialogProc, initParam);
    BindNextWindow(nullptr);
    return hWnd;
}

INT_PTR CDialogImplRoot::DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam,
                                         HINSTANCE module)
{
    if (m_hWnd != nullptr)
        return -1;
    m_modal = true;
    BindNextWindow(this);
    INT_PTR result = ::DialogBoxIndirectParamW(OrResourceModule(module), dialogTemplate, parent,
                                               &DialogProc, initParam);
    BindNextWindow(nullptr);
    return result;
}

HWND CDialogImplRoot::CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam,
                                     HINSTANCE module)
{
    if (m_hWnd != nullptr)
        return nullptr;
    m_modal = false;
    BindNextWindow(this);
    HWND hWnd = ::CreateDialogIndirectParamW(OrResourceModule(module), dialogTemplate, parent,
                                             &DialogProc, initParam);
    BindNextWindow(nullptr);
    return hWnd;
}

INT_PTR CALLBACK CDialogImplRoot::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CDialogImplRoot*>(FromHandle(hWnd));
    if (self == nullptr) {
        self = static_cast<CDialogImplRoot*>(TakeNextWindowObject());
        if (self == nullptr || !self->Bind(hWnd))
            return FALSE;
    }
    return self->HandleDialogMessage(hWnd, msg, wParam, lParam);
}

INT_PTR CDialogImplRoot::HandleDialogMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    BOOL handled = RouteMessage(hWnd, msg, wParam, lParam, result);
    INT_PTR answer = FALSE;
    if (handled) {
        if (AnswersDirectly(msg)) {
            answer = static_cast<INT_PTR>(result);
        } else {
            ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
            answer = TRUE;
        }
    }
    if (msg == WM_NCDESTROY)
        FinishWindow(hWnd);
    return answer;
}
