#pragma once
#include "framework/AxHost.h"
#include "framework/DialogImpl.h"
#include "framework/DispatchForwarder.h"

#include <exdisp.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <string>

// A dialog whose content is an HTML page in a web browser control over its whole client area.
// At WM_INITDIALOG (after the derived class's own handler, which leaves bHandled FALSE) it creates
// the browser, connects the browser's events, gives the page its host flags and window.external,
// and navigates to the page. Browser events of the top-level frame, the document's clicks (by the
// id of the clicked element or its nearest ancestor with an id) and ready-state changes, and the
// external object's calls reach the overridables below. Run it like any dialog (usually modal from
// an in-memory template: DoModalIndirect).
//
// Derived map:  BEGIN_MSG_MAP(CMyHtmlDlg) ... CHAIN_MSG_MAP(CHtmlDialog) END_MSG_MAP()
class CHtmlDialog : public CDialogImplRoot, private IDispatchTarget
{
public:
    explicit CHtmlDialog(const wchar_t* page = L"");
    ~CHtmlDialog() override;

    void SetPage(const wchar_t* page) { m_page = page != nullptr ? page : L""; }
    void SetDocHostFlags(DWORD flags) { m_hostFlags = flags; m_hasHostFlags = true; }

    // While the dialog is up.
    IWebBrowser2* GetBrowser() const { return m_browser; }
    HWND GetBrowserHost() const { return m_host.m_hWnd; }
    const std::wstring& GetCurrentUrl() const { return m_currentUrl; }
    HRESULT GetDocument(IHTMLDocument2** document) const;          // S_FALSE and null without one
    HRESULT GetElement(const wchar_t* id, IHTMLElement** element) const;

    // Ends the dialog (modal: with the result) or destroys it (modeless).
    void CloseDialog(int result);
    // The registered close message: posted to the dialog (wParam = result), it closes it as above.
    static UINT CloseMessage();

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

protected:
    // Top-level navigation is about to start; the default releases the current document and its
    // event connection (except for "javascript:" addresses, which stay on the page).
    virtual void OnBeforeNavigate(const wchar_t* url);
    // Navigation arrived; the default takes the title as window text and connects the document.
    virtual void OnNavigateComplete(const wchar_t* url);
    // The page is loaded; the default makes sure the document is connected and the dialog shown.
    virtual void OnDocumentComplete(const wchar_t* url);
    // The document's readyState changed (its new value); the default connects the document on
    // "loading" and runs OnDocumentComplete on "complete".
    virtual void OnReadyStateChange(const wchar_t* state);
    // A click on the page; true when handled (the search up the parents stops).
    virtual bool OnElementClick(const wchar_t* id);
    // window.external: the id of a method name (DISPID_UNKNOWN when there is none), and its calls.
    virtual DISPID GetExternalDispId(const wchar_t* name);
    virtual HRESULT InvokeExternal(DISPID id, DISPPARAMS* params, VARIANT* result);

    // The document's title (empty without one).
    std::wstring DocumentTitle() const;
    void ConnectDocument();
    void DisconnectDocument();

private:
    enum Channel { kBrowserEvents, kDocumentEvents, kExternal };
    DISPID TargetDispId(int channel, const wchar_t* name) override;
    HRESULT TargetInvoke(int channel, DISPID id, DISPPARAMS* params, VARIANT* result) override;
    bool IsTopLevel(const VARIANT* frame) const;
    void CreateBrowser();
    void ReleaseBrowser();
    void HandleDocumentClick();

    std::wstring m_page;
    std::wstring m_currentUrl;
    DWORD m_hostFlags = 0;
    bool m_hasHostFlags = false;
    CAxHostWindow m_host;
    IWebBrowser2* m_browser = nullptr;
    IHTMLDocument2* m_document = nullptr;
    CDispatchForwarder* m_browserSink = nullptr;
    CDispatchForwarder* m_documentSink = nullptr;
    CDispatchForwarder* m_external = nullptr;
    DWORD m_browserCookie = 0;
    DWORD m_documentCookie = 0;
};
