// The main page in the browser control at the top of the main dialog.
#include "app/MainDlg.h"

#include <exdisp.h>
#include <mshtml.h>

#include "app/Language.h"
#include "app/MainPageBridge.h"
#include "core/AppPaths.h"
#include "core/RegSettings.h"
#include "framework/AxHost.h"

namespace {

template <class T>
void SafeRelease(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

}  // namespace

void CMainDlg::NavigateMainPage()
{
    RegisterAxHostClass();
    IUnknown* control = nullptr;
    if (FAILED(AxHostGetControl(GetDlgItem(IDC_MAIN_PAGE), &control)) || !control)
        return;
    IWebBrowser2* browser = nullptr;
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser));
    SafeRelease(control);
    if (!browser)
        return;

    std::wstring code = LanguageCode(GetSettings().Get(Settings::LanName));
    std::wstring page = GetAppPath(LanguagePagePath(L"main", code).c_str());
    BSTR url = SysAllocString(page.c_str());
    VARIANT empty;
    VariantInit(&empty);
    browser->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);

    // The page's UI handler and script bridge go on the document; a browser without an HTML
    // engine gives no document, and then there is nothing to install.
    IDispatch* document = nullptr;
    if (SUCCEEDED(browser->get_Document(&document)) && document) {
        InstallMainPageBridge(document, this);
        IHTMLDocument2* html = nullptr;
        IHTMLWindow2* parent = nullptr;
        if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html))) && html &&
            SUCCEEDED(html->get_parentWindow(&parent)) && parent)
            Sleep(1000);
        SafeRelease(parent);
        SafeRelease(html);
    }
    SafeRelease(document);
    SafeRelease(browser);
}
