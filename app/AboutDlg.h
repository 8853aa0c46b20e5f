#pragma once
#include <windows.h>

#include <string>

#include "framework/HtmlDialog.h"

// The About dialog: an HTML page of the program folder ("\html\about.html", or the page of the
// stored language) in a browser over the whole dialog. The page's body attributes size the
// dialog ("dlg_autosize", "dlg_width", "max_width", "dlg_height", "max_height"), its element
// "ButtonOK" closes it, and the program writes its name and version into "version_info".
// window.external offers "resizeWindow"(width) and "centerWindow"().
class CHtmlAboutDlg : public CHtmlDialog
{
public:
    static constexpr DWORD kHostFlags = DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_DISABLE_HELP_MENU |
                                        DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME;
    static constexpr int kStartWidth = 300, kStartHeight = 200;
    enum { kResizeWindow = 1, kCenterWindow = 2 };

    CHtmlAboutDlg();

    // Modal over the active window; 1 after OK or "ButtonOK", 2 after Cancel.
    INT_PTR Run(HWND owner = ::GetActiveWindow());
    const std::wstring& PagePath() const { return m_pagePath; }
    // The template: built once per process.
    static const DLGTEMPLATE* Template();
    // The size the last automatic sizing gave the window (process-wide).
    static SIZE LastAutoSize();

    // Sizes the dialog to the page (requested client width, 0: the page decides), keeping its centre.
    void AutoSize(int requestedWidth);
    // Writes VersionHtml() into the page's "version_info".
    void FillVersion();
    // "Tarnwick <b>name</b> va.b.c.d": the product name and the four product version words.
    static std::wstring VersionHtml();

    BEGIN_MSG_MAP(CHtmlAboutDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnCloseCommand)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
        CHAIN_MSG_MAP(CHtmlDialog)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnCloseCommand(WORD, WORD id, HWND, BOOL&);

protected:
    void OnDocumentComplete(const wchar_t* url) override;
    bool OnElementClick(const wchar_t* id) override;
    DISPID GetExternalDispId(const wchar_t* name) override;
    HRESULT InvokeExternal(DISPID id, DISPPARAMS* params, VARIANT* result) override;

    // What the sizing reads of the page (virtual: a test stands in for a page).
    virtual bool HasBody();
    // The body attribute as a 32-bit integer; 0 when missing or not a number.
    virtual int BodyNumber(const wchar_t* name);
    // Whether the attribute query for the name succeeds (its value is not looked at).
    virtual bool QueryBodyAttribute(const wchar_t* name);
    virtual int BodyScrollWidth();
    virtual int BodyScrollHeight();

private:
    std::wstring m_pagePath;
};
