#include "app/AboutDlg.h"

#include "app/Language.h"
#include "app/res/resource.h"
#include "core/AppPaths.h"
#include "core/RegSettings.h"
#include "core/ResourceModule.h"
#include "core/WideFormat.h"
#include "framework/DialogTemplate.h"

namespace {

constexpr DWORD kTemplateStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
constexpr short kTemplateSize = 300;   // dialog units, both ways
constexpr int kBorderExtraWidth = 20;  // a 3D border's share of the page size
constexpr int kBorderExtraHeight = 50;

SIZE g_lastAutoSize = {CHtmlAboutDlg::kStartWidth, CHtmlAboutDlg::kStartHeight};

IHTMLElement* BodyOf(const CHtmlDialog& dialog)
{
    IHTMLDocument2* document = nullptr;
    if (dialog.GetDocument(&document) != S_OK)
        return nullptr;
    IHTMLElement* body = nullptr;
    document->get_body(&body);
    document->Release();
    return body;
}

bool BodyAttribute(const CHtmlDialog& dialog, const wchar_t* name, VARIANT* value)
{
    IHTMLElement* body = BodyOf(dialog);
    if (body == nullptr)
        return false;
    BSTR attribute = ::SysAllocString(name);
    HRESULT hr = body->getAttribute(attribute, 0, value);
    ::SysFreeString(attribute);
    body->Release();
    return SUCCEEDED(hr);
}

int BodyScroll(const CHtmlDialog& dialog, bool width)
{
    IHTMLElement* body = BodyOf(dialog);
    if (body == nullptr)
        return 0;
    IHTMLElement2* body2 = nullptr;
    long value = 0;
    if (SUCCEEDED(body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(&body2))) && body2 != nullptr) {
        if (width)
            body2->get_scrollWidth(&value);
        else
            body2->get_scrollHeight(&value);
        body2->Release();
    }
    body->Release();
    return static_cast<int>(value);
}

}  // namespace

CHtmlAboutDlg::CHtmlAboutDlg()
{
    std::wstring code = LanguageCode(GetSettings().Get(Settings::LanName));
    m_pagePath = GetAppPath(LanguagePagePath(L"about", code).c_str());
    SetPage(m_pagePath.c_str());
    SetDocHostFlags(kHostFlags);
}

const DLGTEMPLATE* CHtmlAboutDlg::Template()
{
    static const CDialogTemplate memoryTemplate(kTemplateStyle, 0, 0, 0, kTemplateSize, kTemplateSize,
                                                L"DHTML Dialog");
    return memoryTemplate.Get();
}

SIZE CHtmlAboutDlg::LastAutoSize()
{
    return g_lastAutoSize;
}

INT_PTR CHtmlAboutDlg::Run(HWND owner)
{
    return DoModalIndirect(Template(), owner, 0, GetResourceModule());
}

LRESULT CHtmlAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    ModifyStyle(WS_THICKFRAME | WS_MINIMIZEBOX, 0);
    SetWindowText(LoadResString(IDS_ABOUT));
    bHandled = FALSE;   // the HTML dialog creates the browser and navigates
    return TRUE;
}

LRESULT CHtmlAboutDlg::OnCloseCommand(WORD, WORD id, HWND, BOOL&)
{
    CloseDialog(id == IDOK ? 1 : 2);
    return 0;
}

void CHtmlAboutDlg::OnDocumentComplete(const wchar_t* url)
{
    CHtmlDialog::OnDocumentComplete(url);
    std::wstring title = DocumentTitle();
    if (!title.empty())
        SetWindowText(title.c_str());
    if (HasBody() && QueryBodyAttribute(L"dlg_autosize"))
        AutoSize(0);
    FillVersion();
}

bool CHtmlAboutDlg::OnElementClick(const wchar_t* id)
{
    if (std::wstring(id) != L"ButtonOK")
        return false;
    CloseDialog(1);
    return true;
}

DISPID CHtmlAboutDlg::GetExternalDispId(const wchar_t* name)
{
    const std::wstring method = name;
    if (method == L"resizeWindow")
        return kResizeWindow;
    if (method == L"centerWindow")
        return kCenterWindow;
    return DISPID_UNKNOWN;
}

HRESULT CHtmlAboutDlg::InvokeExternal(DISPID id, DISPPARAMS* params, VARIANT*)
{
    if (id == kCenterWindow) {
        CenterWindow();
        return S_OK;
    }
    if (id != kResizeWindow)
        return DISP_E_MEMBERNOTFOUND;
    int width = 0;
    if (const VARIANT* argument = DispatchArgument(params, 0)) {
        VARIANT converted;
        ::VariantInit(&converted);
        if (SUCCEEDED(::VariantChangeType(&converted, const_cast<VARIANT*>(argument), 0, VT_I4)))
            width = converted.lVal;
        ::VariantClear(&converted);
    }
    AutoSize(width);
    return S_OK;
}

bool CHtmlAboutDlg::HasBody()
{
    IHTMLElement* body = BodyOf(*this);
    if (body == nullptr)
        return false;
    body->Release();
    return true;
}

int CHtmlAboutDlg::BodyNumber(const wchar_t* name)
{
    VARIANT value;
    ::VariantInit(&value);
    int number = 0;
    if (BodyAttribute(*this, name, &value)) {
        VARIANT converted;
        ::VariantInit(&converted);
        if (SUCCEEDED(::VariantChangeType(&converted, &value, 0, VT_I4)))
            number = converted.lVal;
        ::VariantClear(&converted);
    }
    ::VariantClear(&value);
    return number;
}

bool CHtmlAboutDlg::QueryBodyAttribute(const wchar_t* name)
{
    VARIANT value;
    ::VariantInit(&value);
    bool found = BodyAttribute(*this, name, &value);
    ::VariantClear(&value);
    return found;
}

int CHtmlAboutDlg::BodyScrollWidth()
{
    return BodyScroll(*this, true);
}

int CHtmlAboutDlg::BodyScrollHeight()
{
    return BodyScroll(*this, false);
}

void CHtmlAboutDlg::AutoSize(int requestedWidth)
{
    int width = kStartWidth;
    int height = kStartHeight;
    if (HasBody()) {
        width = requestedWidth >= 1 ? requestedWidth : BodyNumber(L"dlg_width");
        if (width < 1)
            width = BodyScrollWidth();
        int maxWidth = BodyNumber(L"max_width");
        if (maxWidth > 0 && width >= maxWidth)
            width = maxWidth;

        height = BodyNumber(L"dlg_height");
        if (height < 1) {
            // Let the page reflow at the new width before its height is read.
            if (HWND host = GetBrowserHost()) {
                RECT rect;
                ::GetWindowRect(host, &rect);
                ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
                ::MoveWindow(host, rect.left, rect.top, width, rect.bottom - rect.top, TRUE);
            }
            height = BodyScrollHeight();
            if ((kHostFlags & DOCHOSTUIFLAG_NO3DBORDER) == 0) {
                width += kBorderExtraWidth;
                height += kBorderExtraHeight;
            }
        }
        int maxHeight = BodyNumber(L"max_height");
        if (maxHeight > 0 && height >= maxHeight)
            height = maxHeight;
    }

    RECT frame = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, GetStyle(), ::GetMenu(m_hWnd) != nullptr, GetExStyle());
    width += frame.right - frame.left;
    height += frame.bottom - frame.top;

    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (width > work.right - work.left)
        width = work.right - work.left;
    if (height > work.bottom - work.top)
        height = work.bottom - work.top;

    // Keep the centre where it was.
    RECT window;
    GetWindowRect(&window);
    int left = window.left - (width - (window.right - window.left)) / 2;
    int top = window.top - (height - (window.bottom - window.top)) / 2;
    MoveWindow(left, top, width, height, TRUE);

    // The same size again moves nothing: lay the browser out anyway.
    if (width == g_lastAutoSize.cx && height == g_lastAutoSize.cy)
        SendMessage(WM_SIZE, 0, 0);
    g_lastAutoSize = {width, height};
}

void CHtmlAboutDlg::FillVersion()
{
    IHTMLElement* element = nullptr;
    if (GetElement(L"version_info", &element) != S_OK || element == nullptr)
        return;
    BSTR html = ::SysAllocString(VersionHtml().c_str());
    element->put_innerHTML(html);
    ::SysFreeString(html);
    element->Release();
}

std::wstring CHtmlAboutDlg::VersionHtml()
{
    DWORD versionMS = 0, versionLS = 0;
    GetProductVersion(&versionMS, &versionLS, nullptr);
    wchar_t text[256];
    FormatWide(text, ARRAYSIZE(text), L"Tarnwick <b>%s</b> v%d.%d.%d.%d", LoadResString(IDS_PRODUCT_NAME),
               HIWORD(versionMS), LOWORD(versionMS), HIWORD(versionLS), LOWORD(versionLS));
    return text;
}
