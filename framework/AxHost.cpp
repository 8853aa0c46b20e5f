#include "framework/AxHost.h"
#include "framework/AxHostSite.h"

#include <string>

namespace {
ATOM s_hostAtom = 0;
}

bool RegisterAxHostClass()
{
    if (s_hostAtom != 0)
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    // Global: dialog templates from a language library create their controls with the library's
    // instance, and must still find the host class.
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = &CAxHostWindow::ClassWindowProc;
    wc.hInstance = FrameworkWindowInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kAxHostClassName;
    s_hostAtom = ::RegisterClassExW(&wc);
    if (s_hostAtom == 0 && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        s_hostAtom = static_cast<ATOM>(::GetClassInfoExW(wc.hInstance, kAxHostClassName, &wc));
    return s_hostAtom != 0;
}

UINT AxHostGetControlMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Lyrant.AxHost.GetControl");
    return message;
}

HRESULT AxHostGetControl(HWND host, IUnknown** control)
{
    if (control == nullptr)
        return E_POINTER;
    *control = nullptr;
    if (!::IsWindow(host))
        return E_INVALIDARG;
    return static_cast<HRESULT>(::SendMessageW(host, AxHostGetControlMessage(), 0, reinterpret_cast<LPARAM>(control)));
}

LRESULT CALLBACK CAxHostWindow::ClassWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (FromHandle(hWnd) == nullptr) {
        // An owner's embedded object, else one of our own for a window made from a template.
        auto* host = static_cast<CAxHostWindow*>(TakeNextWindowObject());
        if (host == nullptr) {
            host = new CAxHostWindow;
            host->m_ownedByWindow = true;
        }
        host->m_superWindowProc = ::DefWindowProcW;
        if (!host->Bind(hWnd)) {
            if (host->m_ownedByWindow)
                delete host;
            return ::DefWindowProcW(hWnd, msg, wParam, lParam);
        }
    }
    return WindowProc(hWnd, msg, wParam, lParam);
}

CAxHostWindow::~CAxHostWindow()
{
    ReleaseControl();
    if (m_site != nullptr) {
        m_site->Detach();
        m_site->Release();
    }
}

HWND CAxHostWindow::Create(HWND parent, const RECT& rect, const wchar_t* control, DWORD style, UINT id)
{
    if (m_hWnd != nullptr || !RegisterAxHostClass())
        return nullptr;
    BindNextWindow(this);
    HWND hWnd = ::CreateWindowExW(0, kAxHostClassName, control, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), FrameworkWindowInstance(),
                                  nullptr);
    BindNextWindow(nullptr);
    return hWnd;
}

CAxHostSite* CAxHostWindow::Site()
{
    if (m_site == nullptr)
        m_site = new CAxHostSite(m_hWnd);
    return m_site;
}

void CAxHostWindow::SetDocHostFlags(DWORD flags)
{
    Site()->SetDocHostFlags(flags);
}

void CAxHostWindow::SetExternal(IDispatch* external)
{
    Site()->SetExternal(external);
}

HRESULT CAxHostWindow::CreateControl(const wchar_t* control)
{
    ReleaseControl();
    if (control == nullptr || *control == 0)
        return E_INVALIDARG;
    CLSID clsid;
    HRESULT hr = control[0] == L'{' ? ::CLSIDFromString(const_cast<LPOLESTR>(control), &clsid)
                                    : ::CLSIDFromProgID(control, &clsid);
    if (FAILED(hr))
        return hr;
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&m_control));
    if (FAILED(hr))
        return hr;

    IOleObject* object = nullptr;
    hr = m_control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    if (FAILED(hr))
        return S_OK;   // a plain COM object: nothing to site
    CAxHostSite* site = Site();
    site->SetHostWindow(m_hWnd);
    object->SetClientSite(static_cast<IOleClientSite*>(site));
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site), 0, m_hWnd, &client);
    object->Release();
    return hr;
}

HRESULT CAxHostWindow::QueryControl(REFIID iid, void** object) const
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (m_control == nullptr)
        return E_FAIL;
    return m_control->QueryInterface(iid, object);
}

void CAxHostWindow::ReleaseControl()
{
    if (m_control == nullptr)
        return;
    IOleObject* object = nullptr;
    if (SUCCEEDED(m_control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        object->Release();
    }
    m_control->Release();
    m_control = nullptr;
}

BOOL CAxHostWindow::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg == AxHostGetControlMessage()) {
        auto* out = reinterpret_cast<IUnknown**>(lParam);
        lResult = QueryControl(IID_IUnknown, reinterpret_cast<void**>(out));
        return TRUE;
    }
    switch (uMsg) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create->lpszName != nullptr && create->lpszName[0] != 0)
            CreateControl(create->lpszName);
        lResult = 0;   // a control that cannot be made leaves an empty host, not a failed dialog
        return TRUE;
    }
    case WM_SIZE: {
        IOleInPlaceObject* inPlace = nullptr;
        if (m_control != nullptr &&
            SUCCEEDED(m_control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            RECT client;
            ::GetClientRect(hWnd, &client);
            inPlace->SetObjectRects(&client, &client);
            inPlace->Release();
        }
        return FALSE;
    }
    case WM_ERASEBKGND:
        // The control covers the window; erase only when there is none.
        if (m_control == nullptr)
            return FALSE;
        lResult = 1;
        return TRUE;
    case WM_DESTROY:
        ReleaseControl();
        return FALSE;
    default:
        return FALSE;
    }
}

void CAxHostWindow::OnFinalMessage(HWND)
{
    if (m_site != nullptr) {
        m_site->Detach();
        m_site->Release();
        m_site = nullptr;
    }
    if (m_ownedByWindow)
        delete this;
}
