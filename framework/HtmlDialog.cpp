#include "framework/HtmlDialog.h"

#include <exdispid.h>
#include <mshtmdid.h>

namespace {
// The HTMLDocumentEvents dispinterface (absent from MinGW's uuid library).
const IID kHtmlDocumentEvents = {0x3050f260, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr UINT kBrowserHostId = 0xE900;

std::wstring VariantText(const VARIANT* value)
{
    if (value != nullptr && value->vt == VT_BSTR && value->bstrVal != nullptr)
        return value->bstrVal;
    return L"";
}

template <class I>
void ReleaseAndClear(I*& pointer)
{
    if (pointer != nullptr) {
        pointer->Release();
        pointer = nullptr;
    }
}
}

CHtmlDialog::CHtmlDialog(const wchar_t* page) : m_page(page != nullptr ? page : L"")
{
}

CHtmlDialog::~CHtmlDialog()
{
    ReleaseBrowser();
}

UINT CHtmlDialog::CloseMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Lyrant.HtmlDialog.Close");
    return message;
}

void CHtmlDialog::CloseDialog(int result)
{
    EndDialog(result);
}

BOOL CHtmlDialog::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM, LRESULT& lResult)
{
    if (uMsg == CloseMessage()) {
        CloseDialog(static_cast<int>(wParam));
        lResult = 0;
        return TRUE;
    }
    switch (uMsg) {
    case WM_INITDIALOG:
        CreateBrowser();
        lResult = TRUE;
        return TRUE;
    case WM_SIZE:
        if (m_host.m_hWnd != nullptr) {
            RECT client;
            ::GetClientRect(hWnd, &client);
            m_host.MoveWindow(0, 0, client.right, client.bottom);
        }
        return FALSE;
    case WM_DESTROY:
        ReleaseBrowser();
        return FALSE;
    default:
        return FALSE;
    }
}

void CHtmlDialog::CreateBrowser()
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_host.Create(m_hWnd, client, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, kBrowserHostId) == nullptr)
        return;
    if (m_hasHostFlags)
        m_host.SetDocHostFlags(m_hostFlags);
    m_external = new CDispatchForwarder(this, kExternal);
    m_host.SetExternal(m_external);
    if (FAILED(m_host.CreateControl(kWebBrowserClsid)) ||
        FAILED(m_host.QueryControl(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser))))
        return;
    m_browserSink = new CDispatchForwarder(this, kBrowserEvents, DIID_DWebBrowserEvents2);
    ConnectEvents(m_browser, DIID_DWebBrowserEvents2, m_browserSink, &m_browserCookie);
    if (!m_page.empty()) {
        BSTR url = ::SysAllocString(m_page.c_str());
        VARIANT empty;
        ::VariantInit(&empty);
        m_browser->Navigate(url, &empty, &empty, &empty, &empty);
        ::SysFreeString(url);
    }
}

void CHtmlDialog::ReleaseBrowser()
{
    DisconnectDocument();
    if (m_browser != nullptr)
        DisconnectEvents(m_browser, DIID_DWebBrowserEvents2, &m_browserCookie);
    if (m_browserSink != nullptr) {
        m_browserSink->Detach();
        ReleaseAndClear(m_browserSink);
    }
    ReleaseAndClear(m_browser);
    if (m_host.m_hWnd != nullptr)
        m_host.SetExternal(nullptr);
    if (m_external != nullptr) {
        m_external->Detach();
        ReleaseAndClear(m_external);
    }
}

HRESULT CHtmlDialog::GetDocument(IHTMLDocument2** document) const
{
    if (document == nullptr)
        return E_POINTER;
    *document = nullptr;
    if (m_browser == nullptr)
        return E_FAIL;
    IDispatch* dispatch = nullptr;
    HRESULT hr = m_browser->get_Document(&dispatch);
    if (FAILED(hr) || dispatch == nullptr)
        return S_FALSE;
    hr = dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document));
    dispatch->Release();
    return hr;
}

HRESULT CHtmlDialog::GetElement(const wchar_t* id, IHTMLElement** element) const
{
    if (element == nullptr)
        return E_POINTER;
    *element = nullptr;
    IHTMLDocument2* document = nullptr;
    if (GetDocument(&document) != S_OK)
        return E_FAIL;
    IHTMLDocument3* document3 = nullptr;
    HRESULT hr = document->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(&document3));
    document->Release();
    if (FAILED(hr))
        return hr;
    BSTR name = ::SysAllocString(id);
    hr = document3->getElementById(name, element);
    ::SysFreeString(name);
    document3->Release();
    return *element != nullptr ? S_OK : (FAILED(hr) ? hr : E_FAIL);
}

std::wstring CHtmlDialog::DocumentTitle() const
{
    std::wstring title;
    IHTMLDocument2* document = nullptr;
    if (GetDocument(&document) == S_OK) {
        BSTR text = nullptr;
        if (SUCCEEDED(document->get_title(&text)) && text != nullptr)
            title = text;
        ::SysFreeString(text);
        document->Release();
    }
    return title;
}

void CHtmlDialog::ConnectDocument()
{
    IHTMLDocument2* document = nullptr;
    if (GetDocument(&document) != S_OK)
        return;
    if (document == m_document) {   // COM identity of the same interface pointer
        document->Release();
        return;
    }
    DisconnectDocument();
    m_document = document;
    m_documentSink = new CDispatchForwarder(this, kDocumentEvents, kHtmlDocumentEvents);
    ConnectEvents(m_document, kHtmlDocumentEvents, m_documentSink, &m_documentCookie);
}

void CHtmlDialog::DisconnectDocument()
{
    if (m_document != nullptr)
        DisconnectEvents(m_document, kHtmlDocumentEvents, &m_documentCookie);
    if (m_documentSink != nullptr) {
        m_documentSink->Detach();
        ReleaseAndClear(m_documentSink);
    }
    ReleaseAndClear(m_document);
}

bool CHtmlDialog::IsTopLevel(const VARIANT* frame) const
{
    if (frame == nullptr || frame->vt != VT_DISPATCH || frame->pdispVal == nullptr || m_browser == nullptr)
        return false;
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    frame->pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
    m_browser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
    bool same = a != nullptr && a == b;
    ReleaseAndClear(a);
    ReleaseAndClear(b);
    return same;
}

void CHtmlDialog::OnBeforeNavigate(const wchar_t* url)
{
    if (::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, url, 11, L"javascript:", 11) == CSTR_EQUAL)
        return;
    DisconnectDocument();
    m_currentUrl.clear();
}

void CHtmlDialog::OnNavigateComplete(const wchar_t* url)
{
    m_currentUrl = url;
    std::wstring title = DocumentTitle();
    if (!title.empty())
        SetWindowText(title.c_str());
    ConnectDocument();
}

void CHtmlDialog::OnDocumentComplete(const wchar_t*)
{
    ConnectDocument();
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
}

void CHtmlDialog::OnReadyStateChange(const wchar_t* state)
{
    // A page that loads a fresh document needs its events connected again.
    const std::wstring value = state;
    if (value == L"loading")
        ConnectDocument();
    else if (value == L"complete")
        OnDocumentComplete(m_currentUrl.c_str());
}

bool CHtmlDialog::OnElementClick(const wchar_t*)
{
    return false;
}

DISPID CHtmlDialog::GetExternalDispId(const wchar_t*)
{
    return DISPID_UNKNOWN;
}

HRESULT CHtmlDialog::InvokeExternal(DISPID, DISPPARAMS*, VARIANT*)
{
    return DISP_E_MEMBERNOTFOUND;
}

DISPID CHtmlDialog::TargetDispId(int channel, const wchar_t* name)
{
    return channel == kExternal ? GetExternalDispId(name) : DISPID_UNKNOWN;
}

HRESULT CHtmlDialog::TargetInvoke(int channel, DISPID id, DISPPARAMS* params, VARIANT* result)
{
    switch (channel) {
    case kExternal:
        return InvokeExternal(id, params, result);
    case kBrowserEvents: {
        const VARIANT* frame = DispatchArgument(params, 0);
        std::wstring url = VariantText(DispatchArgument(params, 1));
        if (!IsTopLevel(frame))
            return S_OK;
        if (id == DISPID_BEFORENAVIGATE2)
            OnBeforeNavigate(url.c_str());
        else if (id == DISPID_NAVIGATECOMPLETE2)
            OnNavigateComplete(url.c_str());
        else if (id == DISPID_DOCUMENTCOMPLETE)
            OnDocumentComplete(url.c_str());
        return S_OK;
    }
    case kDocumentEvents:
        if (id == DISPID_HTMLDOCUMENTEVENTS_ONCLICK) {
            HandleDocumentClick();
        } else if (id == DISPID_HTMLDOCUMENTEVENTS_ONREADYSTATECHANGE && m_document != nullptr) {
            BSTR state = nullptr;
            if (SUCCEEDED(m_document->get_readyState(&state)) && state != nullptr)
                OnReadyStateChange(state);
            ::SysFreeString(state);
        }
        return S_OK;
    default:
        return S_OK;
    }
}

void CHtmlDialog::HandleDocumentClick()
{
    if (m_document == nullptr)
        return;
    IHTMLWindow2* window = nullptr;
    IHTMLEventObj* event = nullptr;
    IHTMLElement* element = nullptr;
    if (SUCCEEDED(m_document->get_parentWindow(&window)) && window != nullptr &&
        SUCCEEDED(window->get_event(&event)) && event != nullptr)
        event->get_srcElement(&element);
    ReleaseAndClear(event);
    ReleaseAndClear(window);
    while (element != nullptr) {
        BSTR id = nullptr;
        bool handled = false;
        if (SUCCEEDED(element->get_id(&id)) && id != nullptr && id[0] != 0)
            handled = OnElementClick(id);
        ::SysFreeString(id);
        IHTMLElement* parent = nullptr;
        if (!handled)
            element->get_parentElement(&parent);
        element->Release();
        element = parent;
    }
}
