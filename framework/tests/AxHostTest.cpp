// The ActiveX host window class with the web browser control, and the HTML dialog.
#include "framework/AxHost.h"
#include "framework/DialogTemplate.h"
#include "framework/HtmlDialog.h"
#include "framework/DialogImpl.h"
#include "framework/DispatchForwarder.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/TestPaths.h"

#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr UINT kBrowserDialog = 110;
constexpr int kBrowserId = 1040;

class ComEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
};
const auto* const s_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

class CBrowserDialog : public CDialogImplRoot
{
public:
    BEGIN_MSG_MAP(CBrowserDialog)
    END_MSG_MAP()
};

// Collects the browser's navigation events.
class CEventLog : public IDispatchTarget
{
public:
    std::wstring events;
    DISPID TargetDispId(int, const wchar_t*) override { return DISPID_UNKNOWN; }
    HRESULT TargetInvoke(int, DISPID id, DISPPARAMS* params, VARIANT*) override
    {
        const VARIANT* url = DispatchArgument(params, 1);
        std::wstring text = url != nullptr && url->vt == VT_BSTR && url->bstrVal != nullptr ? url->bstrVal : L"";
        events += std::to_wstring(id) + L":" + text + L";";
        return S_OK;
    }
};

std::wstring WriteTestPage()
{
    std::wstring path = TestExeFolder() + L"\\axhost_page.html";
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char page[] = "<html><head><title>Test page</title></head><body id=b>hello</body></html>";
    DWORD written = 0;
    ::WriteFile(file, page, sizeof(page) - 1, &written, nullptr);
    ::CloseHandle(file);
    return path;
}

TEST(AxHost, DialogItemHostsTheWebBrowserAndNavigatesALocalFile)
{
    ASSERT_TRUE(RegisterAxHostClass());
    CBrowserDialog dialog;
    ASSERT_NE(nullptr, dialog.Create(kBrowserDialog, nullptr));
    dialog.ShowWindow(SW_SHOW);
    HWND host = dialog.GetDlgItem(kBrowserId);
    ASSERT_NE(nullptr, host);

    IUnknown* control = nullptr;
    ASSERT_EQ(S_OK, AxHostGetControl(host, &control));
    ASSERT_NE(nullptr, control);
    IWebBrowser2* browser = nullptr;
    ASSERT_EQ(S_OK, control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)));
    control->Release();

    CEventLog log;
    auto* sink = new CDispatchForwarder(&log, 0, DIID_DWebBrowserEvents2);
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, ConnectEvents(browser, DIID_DWebBrowserEvents2, sink, &cookie));

    std::wstring page = WriteTestPage();
    BSTR url = ::SysAllocString(page.c_str());
    VARIANT empty;
    ::VariantInit(&empty);
    EXPECT_EQ(S_OK, browser->Navigate(url, &empty, &empty, &empty, &empty));
    ::SysFreeString(url);
    PumpMessagesFor(500);

    // Wine has no HTML engine: the navigation starts (and fails to render), the location is known.
    BSTR location = nullptr;
    EXPECT_EQ(S_OK, browser->get_LocationURL(&location));
    std::wstring where = location != nullptr ? location : L"";
    ::SysFreeString(location);
    EXPECT_NE(std::wstring::npos, where.find(L"axhost_page.html")) << where;
    EXPECT_EQ(0u, log.events.find(std::to_wstring(DISPID_BEFORENAVIGATE2) + L":" + page)) << log.events;

    // The control's window fills the host and follows its size.
    HWND inner = ::GetWindow(host, GW_CHILD);
    ASSERT_NE(nullptr, inner);
    ::MoveWindow(host, 0, 0, 150, 90, TRUE);
    RECT innerRect;
    ::GetWindowRect(inner, &innerRect);
    EXPECT_EQ(150, innerRect.right - innerRect.left);
    EXPECT_EQ(90, innerRect.bottom - innerRect.top);

    DisconnectEvents(browser, DIID_DWebBrowserEvents2, &cookie);
    sink->Detach();
    sink->Release();
    browser->Release();
    dialog.DestroyWindow();
}

TEST(AxHost, HostWithoutAControlNameStaysEmptyAndSaysSo)
{
    ASSERT_TRUE(RegisterAxHostClass());
    HWND host = ::CreateWindowExW(0, kAxHostClassName, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    IUnknown* control = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(E_FAIL, AxHostGetControl(host, &control));
    EXPECT_EQ(nullptr, control);
    HWND bad = ::CreateWindowExW(0, kAxHostClassName, L"No.Such.ProgId", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, bad) << "an unknown control leaves an empty host";
    EXPECT_EQ(E_FAIL, AxHostGetControl(bad, &control));
    ::DestroyWindow(host);
    ::DestroyWindow(bad);
}

// An HTML dialog with one external method, as the about dialog has.
class CPageDialog : public CHtmlDialog
{
public:
    explicit CPageDialog(const std::wstring& page) : CHtmlDialog(page.c_str())
    {
        SetDocHostFlags(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER);
    }
    std::wstring beforeNavigate;
    bool initSeen = false;
    int resizeArgument = -1;

    BEGIN_MSG_MAP(CPageDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MSG_MAP(CHtmlDialog)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        initSeen = GetBrowser() == nullptr;   // the browser comes after the derived handler
        ModifyStyle(WS_THICKFRAME, 0);
        bHandled = FALSE;
        return TRUE;
    }
    void OnBeforeNavigate(const wchar_t* url) override
    {
        beforeNavigate = url;
        CHtmlDialog::OnBeforeNavigate(url);
    }
    DISPID GetExternalDispId(const wchar_t* name) override
    {
        return std::wstring(name) == L"resizeWindow" ? 1 : DISPID_UNKNOWN;
    }
    HRESULT InvokeExternal(DISPID id, DISPPARAMS* params, VARIANT*) override
    {
        if (id != 1)
            return DISP_E_MEMBERNOTFOUND;
        const VARIANT* width = DispatchArgument(params, 0);
        resizeArgument = width != nullptr && width->vt == VT_I4 ? width->lVal : 0;
        return S_OK;
    }
};

// What the page's script would reach as window.external: the browser asks its client site.
IDispatch* PageExternal(IWebBrowser2* browser)
{
    IOleObject* object = nullptr;
    IOleClientSite* site = nullptr;
    IDocHostUIHandler* handler = nullptr;
    IDispatch* external = nullptr;
    if (SUCCEEDED(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object))) &&
        SUCCEEDED(object->GetClientSite(&site)) && site != nullptr &&
        SUCCEEDED(site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))))
        handler->GetExternal(&external);
    if (handler) handler->Release();
    if (site) site->Release();
    if (object) object->Release();
    return external;
}

TEST(HtmlDialog, BrowserFillsTheDialogAndThePageReachesTheDialogThroughExternal)
{
    std::wstring page = WriteTestPage();
    CDialogTemplate memoryTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME, 0, 0, 0,
                                   200, 150, L"DHTML Dialog");
    CPageDialog dialog(page);
    RECT client = {};
    RECT hostRect = {};
    DWORD style = 0;
    DWORD hostFlags = 0;
    DISPID resizeId = 0;
    DISPID unknownId = 0;
    CDialogWatcher watch([&](HWND dlg) {
        PumpMessagesFor(300);
        ::GetClientRect(dlg, &client);
        ::GetClientRect(dialog.GetBrowserHost(), &hostRect);
        style = static_cast<DWORD>(::GetWindowLongW(dlg, GWL_STYLE));
        ASSERT_NE(nullptr, dialog.GetBrowser());
        IDispatch* external = PageExternal(dialog.GetBrowser());
        ASSERT_NE(nullptr, external);
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"resizeWindow"), const_cast<LPOLESTR>(L"nothing")};
        external->GetIDsOfNames(IID_NULL, &names[0], 1, 0, &resizeId);
        external->GetIDsOfNames(IID_NULL, &names[1], 1, 0, &unknownId);
        VARIANT width;
        width.vt = VT_I4;
        width.lVal = 420;
        DISPPARAMS params = {&width, nullptr, 1, 0};
        external->Invoke(resizeId, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        external->Release();
        // The host flags reach the browser through the same site.
        IOleObject* object = nullptr;
        IOleClientSite* site = nullptr;
        IDocHostUIHandler* handler = nullptr;
        dialog.GetBrowser()->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
        object->GetClientSite(&site);
        site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler));
        DOCHOSTUIINFO info = {};
        info.cbSize = sizeof(info);
        handler->GetHostInfo(&info);
        hostFlags = info.dwFlags;
        handler->Release();
        site->Release();
        object->Release();
        ::PostMessageW(dlg, CHtmlDialog::CloseMessage(), 7, 0);
    });
    EXPECT_EQ(7, dialog.DoModalIndirect(memoryTemplate.Get(), nullptr));
    ASSERT_NE(nullptr, watch.Caught());
    EXPECT_TRUE(dialog.initSeen);
    EXPECT_EQ(0u, style & WS_THICKFRAME);
    EXPECT_GT(client.right, 0);
    EXPECT_EQ(client.right, hostRect.right);
    EXPECT_EQ(client.bottom, hostRect.bottom);
    EXPECT_EQ(page, dialog.beforeNavigate);
    EXPECT_EQ(1, resizeId);
    EXPECT_EQ(DISPID_UNKNOWN, unknownId);
    EXPECT_EQ(420, dialog.resizeArgument);
    EXPECT_EQ(static_cast<DWORD>(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER), hostFlags);
    EXPECT_EQ(nullptr, dialog.GetBrowser()) << "released with the window";
}

}  // namespace
