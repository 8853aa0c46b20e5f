#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "render/HtmlDrawer.h"
#include "widgets/MarkupMessageBoxParams.h"

// The state of one modal run of the markup message box: built from an in-memory dialog template,
// it creates its buttons, lays out its four areas (header, message, buttons, footer), paints them
// and runs the countdown. Lives on the stack of MarkupMessageBoxIndirect.
class CMarkupMessageBoxTemplate
{
public:
    // Layout metrics.
    static constexpr int kSeparatorInset = 5;
    static constexpr int kIconPadding = 5;
    static constexpr int kAreaMarginX = 14;
    static constexpr int kAreaMarginY = 14;
    static constexpr int kCheckBoxLeft = 10;
    static constexpr int kCheckBoxSize = 13;
    static constexpr int kButtonSpacing = 11;
    static constexpr int kBottomMargin = 11;
    static constexpr int kMinButtonWidth = 80;
    static constexpr int kMinButtonHeight = 23;
    static constexpr int kMaxCustomButtons = 4;
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriodMs = 1000;
    static constexpr UINT kHotLinkMessage = WM_APP + 100;
    static constexpr int kCheckBoxControlId = 0;

    explicit CMarkupMessageBoxTemplate(const MarkupMessageBoxParams& params);
    virtual ~CMarkupMessageBoxTemplate();
    CMarkupMessageBoxTemplate(const CMarkupMessageBoxTemplate&) = delete;
    CMarkupMessageBoxTemplate& operator=(const CMarkupMessageBoxTemplate&) = delete;

    // Runs the dialog modally: the result, 2 when the template cannot be allocated, or the system's
    // failure value when the dialog cannot be created.
    int DoModal(HWND owner);

    // First non-empty of: the caption map's entry, the string module's caption, the fallback (the
    // built-in caption standing in for an empty one).
    std::wstring GetButtonText(UINT id, const wchar_t* fallback) const;
    // Creates the buttons and check box and measures the texts: the dialog's outer size.
    void CreateControls(HWND dialog, SIZE* size);
    void OnInitDialog(HWND dialog);
    // Paints into dc, or (null) repaints the text areas through the window's own DC.
    void DrawBackground(HWND dialog, HDC dc);
    void DrawSeparator(HDC dc, const RECT& rect, int style, const wchar_t* caption, int alignment);
    void DestroyButtons();
    // One second of the countdown.
    void OnTimer(HWND dialog);
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // A running box read back by the window it shows.
    static CMarkupMessageBoxTemplate* FromWindow(HWND dialog);
    const std::wstring& MessageText() const { return m_messageText; }
    const std::vector<std::pair<UINT, HWND>>& Buttons() const { return m_buttons; }
    HWND CheckBox() const { return m_checkBox; }
    bool FooterExpanded() const { return m_footerExpanded; }
    int FooterHeight() const { return m_footerHeight; }

private:
    std::wstring Resolve(const wchar_t* reference) const;
    bool LoadsStrings() const;
    bool Blocked() const { return m_params.disabledPeriod > 0; }
    bool Timed() const { return m_params.timeout > 0; }
    int MeasureMarkup(CHtmlDrawer& drawer, HDC dc, const std::wstring& markup, int* height);
    SIZE TextExtent(HDC dc, const std::wstring& text) const;
    void CreateCheckBox(HWND dialog, HDC dc, int* width);
    void CollectButtons();
    void CreateButtons(HWND dialog, HDC dc);
    void PlaceDialog(HWND dialog, SIZE size);
    void PlaceButtons(HWND dialog);
    bool OnCommand(HWND dialog, UINT id, HWND from);
    bool IsButtonDisabled(UINT id) const;
    HWND ButtonWindow(UINT id) const;
    void ToggleFooter(HWND dialog);
    void EndBox(HWND dialog, UINT id);
    void SetDefaultButtonCaption(const std::wstring& caption);
    void EnableButton(HWND button, bool defaultStyle);
    void SetCloseEnabled(HWND dialog, bool enabled);
    void RenderBackground(HDC dc, const RECT& canvas);
    RECT HeaderRect(int width) const;
    RECT MessageRect(int width) const;
    RECT ButtonAreaRect(int width) const;
    RECT FooterRect(const RECT& canvas) const;

    MarkupMessageBoxParams m_params;
    std::vector<std::pair<UINT, HWND>> m_buttons;
    std::vector<std::wstring> m_customCaptions;
    bool m_hasCheckBox = false;
    HWND m_checkBox = nullptr;
    HWND m_checkBoxLabel = nullptr;
    int m_buttonWidth = kMinButtonWidth;
    int m_buttonHeight = kMinButtonHeight;
    HICON m_icon = nullptr;
    bool m_ownsIcon = false;
    HFONT m_messageFont = nullptr;
    int m_headerHeight = 0;
    int m_messageHeight = 0;
    int m_buttonAreaHeight = 0;
    int m_footerHeight = 0;
    bool m_cancelAllowed = false;
    bool m_noClosingButton = false;   // only Report and More, or no button at all
    bool m_closeBlocked = false;      // the disabled period has greyed the close box
    bool m_footerExpanded = false;
    int m_defaultIndex = 0;
    int m_countdown = 0;

    std::wstring m_captionFormat;
    std::wstring m_headerSeparator;
    std::wstring m_buttonSeparator;
    std::wstring m_footerSeparator;
    std::wstring m_messageMarkup;
    std::wstring m_caption;
    std::wstring m_headerMarkup;
    std::wstring m_footerMarkup;
    std::wstring m_lessCaption;
    std::wstring m_moreCaption;
    std::wstring m_defaultCaption;
    std::wstring m_messageText;       // the message as given, before the icon and alignment

    CHtmlDrawer m_headerDrawer;
    CHtmlDrawer m_messageDrawer;
    CHtmlDrawer m_footerDrawer;
    HBITMAP m_background = nullptr;
};
