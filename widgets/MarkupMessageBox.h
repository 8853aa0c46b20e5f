#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "widgets/MarkupMessageBoxParams.h"

// A parameter record of the markup message box that owns its texts: captions of buttons, the
// separator captions and the custom buttons. Text ids given to the setters are loaded from the
// process-wide resource module at once.
class CMarkupMessageBox
{
public:
    // Areas of SetSeparator, SetBackground and SetAreaBlock.
    enum Area { kHeader = 0, kBackground = 1, kButtons = 2, kFooter = 3 };

    CMarkupMessageBox();

    // Copies a whole record; its texts are taken into the object's own.
    void SetParams(const MarkupMessageBoxParams* params);
    // The object's record, pointing at the object's own texts.
    MarkupMessageBoxParams* GetParams();

    // A non-empty text sets the button's caption, an empty one removes it.
    void SetCustomButtonText(UINT id, const wchar_t* text);
    const wchar_t* GetCustomButtonText(UINT id) const;
    void SetCustomButtons(const wchar_t* text);
    void SetSeparator(int area, int style, int alignment, const wchar_t* text);
    void SetBackground(int area, int effect, COLORREF begin, COLORREF end, COLORREF mid);
    void SetAreaBlock(int area, const MarkupMessageBoxArea* block);
    void SetTimeouts(int timeout, int disabledPeriod, BOOL periodInCaption);

    // MarkupMessageBox without an owner, with params or else the object's record.
    int MessageBox(const wchar_t* message, const wchar_t* caption, UINT style,
                   const MarkupMessageBoxParams* params = nullptr);
    int MessageBoxIndirect(const MarkupMessageBoxParams* params = nullptr);

private:
    MarkupMessageBoxArea* AreaBlock(int area);
    std::wstring* SeparatorText(int area);
    void ApplyTexts();

    MarkupMessageBoxParams m_params;
    std::map<UINT, std::wstring> m_captions;
    MarkupCaptionMap m_captionMap;
    std::wstring m_headerSeparator;
    std::wstring m_buttonSeparator;
    std::wstring m_footerSeparator;
    std::wstring m_customButtons;
};
