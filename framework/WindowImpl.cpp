#include "framework/WindowImpl.h"
#include "framework/FrameworkModule.h"

#include "core/WideFormat.h"

namespace {
const wchar_t kObjectProperty[] = L"Lyrant.WindowObject";
thread_local CWindowImplRoot* t_nextWindowObject = nullptr;
}

HINSTANCE FrameworkWindowInstance()
{
    return g_Module.GetModuleInstance();
}

CWindowImplRoot::~CWindowImplRoot()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        if (m_subclassed)
            UnsubclassWindow();
        Unbind();
    }
}

CWindowImplRoot* CWindowImplRoot::FromHandle(HWND hWnd)
{
    return static_cast<CWindowImplRoot*>(::GetPropW(hWnd, kObjectProperty));
}

void CWindowImplRoot::BindNextWindow(CWindowImplRoot* object)
{
    t_nextWindowObject = object;
}

CWindowImplRoot* CWindowImplRoot::TakeNextWindowObject()
{
    CWindowImplRoot* object = t_nextWindowObject;
    t_nextWindowObject = nullptr;
    return object;
}

bool CWindowImplRoot::Bind(HWND hWnd)
{
    if (!::SetPropW(hWnd, kObjectProperty, this))
        return false;
    m_hWnd = hWnd;
    return true;
}

void CWindowImplRoot::Unbind()
{
    if (m_hWnd != nullptr && FromHandle(m_hWnd) == this)
        ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

BOOL CWindowImplRoot::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != nullptr || !::IsWindow(hWnd) || FromHandle(hWnd) != nullptr)
        return FALSE;
    if (!Bind(hWnd))
        return FALSE;
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc())));
    if (previous == nullptr) {
        Unbind();
        return FALSE;
    }
    m_superWindowProc = previous;
    m_subclassed = true;
    return TRUE;
}

HWND CWindowImplRoot::UnsubclassWindow()
{
    if (m_hWnd == nullptr || !m_subclassed)
        return nullptr;
    WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC));
    if (current != GetWindowProc())
        return nullptr;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superWindowProc));
    m_subclassed = false;
    m_superWindowProc = nullptr;
    HWND hWnd = m_hWnd;
    Unbind();
    return hWnd;
}

LRESULT CWindowImplRoot::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_superWindowProc == nullptr)
        return 0;
    return ::CallWindowProcW(m_superWindowProc, m_hWnd, msg, wParam, lParam);
}

BOOL CWindowImplRoot::RouteMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    MSG current = {hWnd, msg, wParam, lParam, 0, {0, 0}};
    const MSG* outer = m_currentMessage;
    m_currentMessage = &current;
    result = 0;
    BOOL handled = ProcessWindowMessage(hWnd, msg, wParam, lParam, result);
    m_currentMessage = outer;
    return handled;
}

void CWindowImplRoot::FinishWindow(HWND hWnd)
{
    if (m_subclassed) {
        // Put the previous procedure back when nobody subclassed after us, so that the window's
        // own clean-up of later messages (if any) does not reach a dead object.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == GetWindowProc())
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superWindowProc));
        m_subclassed = false;
    }
    Unbind();
    OnFinalMessage(hWnd);
}

LRESULT CALLBACK CWindowImplRoot::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWindowImplRoot* self = FromHandle(hWnd);
    if (self == nullptr) {
        self = TakeNextWindowObject();
        if (self == nullptr || !self->Bind(hWnd))
            return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    }

    LRESULT result = 0;
    BOOL handled = self->RouteMessage(hWnd, msg, wParam, lParam, result);
    if (!handled) {
        if (IsReflectedMessage(msg))
            result = ::DefWindowProcW(hWnd, msg - OCM__BASE, wParam, lParam);
        else if (self->m_superWindowProc != nullptr)
            result = ::CallWindowProcW(self->m_superWindowProc, hWnd, msg, wParam, lParam);
        else
            result = ::DefWindowProcW(hWnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY)
        self->FinishWindow(hWnd);
    return result;
}

ATOM CWndClassInfo::Register()
{
    if (atom != 0)
        return atom;
    HINSTANCE instance = FrameworkWindowInstance();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (superclassOf != nullptr) {
        if (!::GetClassInfoExW(nullptr, superclassOf, &wc) && !::GetClassInfoExW(instance, superclassOf, &wc))
            return 0;
        wc.cbSize = sizeof(wc);
        superProc = wc.lpfnWndProc;
    } else {
        wc.style = style;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background));
        superProc = ::DefWindowProcW;
    }
    const wchar_t* name = className;
    if (name == nullptr) {
        FormatWide(generatedName, 32, L"Lyrant:%p", static_cast<void*>(this));
        name = generatedName;
    }
    wc.lpszClassName = name;
    wc.lpfnWndProc = &CWindowImplRoot::WindowProc;
    wc.hInstance = instance;
    atom = ::RegisterClassExW(&wc);
    if (atom == 0 && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        WNDCLASSEXW existing = {};
        existing.cbSize = sizeof(existing);
        atom = static_cast<ATOM>(::GetClassInfoExW(instance, name, &existing));
    }
    return atom;
}
