#pragma once
#include <windows.h>

#include <string>

#include "app/res/DialogIds.h"
#include "app/res/resource.h"
#include "framework/PropertySheet.h"

// The user-interface language: the code stored in "lanName" and in the language library's file
// name ("Res<code>.dll"), and the name the General page shows for it.
// Code to name: lower-cased, then looked up; a code not in the table shows as itself, lower-cased.
std::wstring LanguageDisplayName(const std::wstring& code);
// Name to code: looked up exactly; a name not in the table is its own code.
std::wstring LanguageCodeOfDisplayName(const std::wstring& name);

// The General page of the options sheet: language, automatic update check and the four audio
// transfer settings a channel starts with. Saves on apply when anything was edited; a changed
// language is applied by starting the program again (LanguageChanged, read after the sheet).
class COptionPageGeneral : public CPropertyPage
{
public:
    COptionPageGeneral() : CPropertyPage(IDD_OPTION_GENERAL, IDS_GENERAL) {}

    bool IsModified() const { return m_modified; }
    bool LanguageChanged() const { return m_languageChanged; }

    BEGIN_MSG_MAP(COptionPageGeneral)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        CHAIN_MSG_MAP(CPropertyPage)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
    int OnApply() override;
    BOOL OnKillActive() override { return !ConfirmBufferCount(); }
    int OnSetActive() override { return 0; }

    // Writes the page's values to the settings store: 1, or 0 (nothing written) when the typed
    // buffer count is outside what the arrows offer.
    int Save();
    // True when the typed buffer count is a whole number in the arrows' range; otherwise tells the
    // user, puts the caret in the count and gives false.
    bool ConfirmBufferCount();
    void CheckNow();

private:
    HWND m_language = nullptr;
    HWND m_bufferLength = nullptr;
    HWND m_bits = nullptr;
    HWND m_sampleRate = nullptr;
    HWND m_bufferSpin = nullptr;
    bool m_modified = false;
    bool m_languageChanged = false;
};
