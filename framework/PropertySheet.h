#pragma once
#include "framework/DialogImpl.h"

#include <commctrl.h>
#include <prsht.h>
#include <vector>

// A property page: a dialog template from the resource module driven by a property sheet. Its
// messages go through its message map; the sheet's page notifications (WM_NOTIFY from the page or
// the sheet) reach the overridables below when the derived map chains to CPropertyPage (or when the
// derived map does not handle WM_NOTIFY itself). Results: OnApply PSNRET_*, OnKillActive and
// OnQueryCancel TRUE to refuse, OnSetActive 0 to accept or -1 / a page id to go elsewhere.
//
// OnPageRelease runs when the sheet frees the page (PSPCB_RELEASE), for pages that were shown and
// for pages that never were. At that point the page window is already destroyed: m_hWnd is null.
class CPropertyPage : public CDialogImplRoot
{
public:
    // title: a string id in the resource module, or 0 for the template's caption.
    explicit CPropertyPage(UINT templateId, UINT titleId = 0);

    // The page handle for a sheet (made on the first call; the sheet owns it once added).
    HPROPSHEETPAGE CreatePage();
    // Tells the sheet that this page has changes (enables Apply).
    void SetModified(BOOL changed = TRUE);
    HWND GetPropertySheet() const { return ::GetParent(m_hWnd); }

    virtual int OnApply() { return PSNRET_NOERROR; }
    virtual BOOL OnKillActive() { return FALSE; }
    virtual int OnSetActive() { return 0; }
    virtual void OnReset() {}
    virtual BOOL OnQueryCancel() { return FALSE; }
    virtual void OnPageRelease() {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    PROPSHEETPAGEW m_psp;

private:
    static INT_PTR CALLBACK PageDialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static UINT CALLBACK PageCallback(HWND hWnd, UINT msg, PROPSHEETPAGEW* page);
};

// A modal property sheet over pages of the resource module. The sheet centres itself over its owner
// when it first initialises. Pages added and never handed to PropertySheet are destroyed with it.
class CPropertySheet
{
public:
    // caption: a string id in the resource module.
    explicit CPropertySheet(UINT captionId, UINT startPage = 0);
    ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    bool AddPage(CPropertyPage& page);
    // Runs the sheet; PropertySheet's result (>0 after OK, 0 after Cancel, -1 on failure).
    INT_PTR DoModal(HWND owner = ::GetActiveWindow());

    PROPSHEETHEADERW m_psh;

private:
    static int CALLBACK SheetCallback(HWND hWnd, UINT msg, LPARAM lParam);
    std::vector<HPROPSHEETPAGE> m_pages;
};
