#include "framework/PropertySheet.h"
#include "core/ResourceModule.h"

CPropertyPage::CPropertyPage(UINT templateId, UINT titleId) : m_psp()
{
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_USECALLBACK;
    m_psp.hInstance = GetResourceModule();
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pfnDlgProc = &PageDialogProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = &PageCallback;
    if (titleId != 0) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = MAKEINTRESOURCEW(titleId);
    }
}

HPROPSHEETPAGE CPropertyPage::CreatePage()
{
    m_psp.hInstance = GetResourceModule();
    return ::CreatePropertySheetPageW(&m_psp);
}

void CPropertyPage::SetModified(BOOL changed)
{
    ::SendMessageW(GetPropertySheet(), changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg != WM_NOTIFY)
        return FALSE;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != hWnd && header->hwndFrom != ::GetParent(hWnd))
        return FALSE;
    switch (header->code) {
    case PSN_APPLY: lResult = OnApply(); return TRUE;
    case PSN_KILLACTIVE: lResult = OnKillActive(); return TRUE;
    case PSN_SETACTIVE: lResult = OnSetActive(); return TRUE;
    case PSN_RESET: OnReset(); lResult = 0; return TRUE;
    case PSN_QUERYCANCEL: lResult = OnQueryCancel(); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK CPropertyPage::PageDialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CPropertyPage*>(FromHandle(hWnd));
    if (self == nullptr) {
        // The page is bound at WM_INITDIALOG, whose lParam is the sheet's copy of m_psp.
        if (msg != WM_INITDIALOG)
            return FALSE;
        self = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        if (self == nullptr || !self->Bind(hWnd))
            return FALSE;
    }
    return self->HandleDialogMessage(hWnd, msg, wParam, lParam);
}

UINT CALLBACK CPropertyPage::PageCallback(HWND, UINT msg, PROPSHEETPAGEW* page)
{
    if (msg == PSPCB_RELEASE && page != nullptr && page->lParam != 0)
        reinterpret_cast<CPropertyPage*>(page->lParam)->OnPageRelease();
    return 1;
}

CPropertySheet::CPropertySheet(UINT captionId, UINT startPage) : m_psh()
{
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.hInstance = GetResourceModule();
    m_psh.pszCaption = MAKEINTRESOURCEW(captionId);
    m_psh.nStartPage = startPage;
    m_psh.pfnCallback = &SheetCallback;
}

CPropertySheet::~CPropertySheet()
{
    for (HPROPSHEETPAGE page : m_pages)
        ::DestroyPropertySheetPage(page);
}

bool CPropertySheet::AddPage(CPropertyPage& page)
{
    HPROPSHEETPAGE handle = page.CreatePage();
    if (handle == nullptr)
        return false;
    m_pages.push_back(handle);
    return true;
}

INT_PTR CPropertySheet::DoModal(HWND owner)
{
    m_psh.hwndParent = owner;
    m_psh.hInstance = GetResourceModule();
    m_psh.nPages = static_cast<UINT>(m_pages.size());
    m_psh.phpage = m_pages.data();
    INT_PTR result = ::PropertySheetW(&m_psh);
    m_pages.clear();   // PropertySheet destroyed them
    return result;
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT msg, LPARAM)
{
    if (msg == PSCB_INITIALIZED)
        CWindow(hWnd).CenterWindow();
    return 0;
}
