// The message box's controls and layout: measuring every text, the button sets, placement.
#include "widgets/MarkupMessageBoxTemplate.h"

#include <algorithm>

#include "core/WideFormat.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

constexpr DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr int kCheckBoxLabelGap = 20;   // room of the box and its gap beside the label text

struct ButtonSet
{
    UINT ids[4];
    bool cancelLike;
};

// The standard sets by style & 0x0F; 0 ends a list. Yes to all / No to all are inserted for 3 and 4.
const ButtonSet kButtonSets[10] = {
    {{IDOK}, true},
    {{IDOK, IDCANCEL}, true},
    {{IDABORT, IDRETRY, IDIGNORE}, false},
    {{IDYES, IDNO, IDCANCEL}, true},
    {{IDYES, IDNO}, false},
    {{IDRETRY, IDCANCEL}, true},
    {{IDCANCEL, 10, 11}, true},
    {{11, IDABORT}, false},
    {{MMB_IDSKIP, MMB_IDSKIPALL, IDCANCEL}, true},
    {{IDIGNORE, MMB_IDIGNOREALL, IDCANCEL}, true},
};

}  // namespace

SIZE CMarkupMessageBoxTemplate::TextExtent(HDC dc, const std::wstring& text) const
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int CMarkupMessageBoxTemplate::MeasureMarkup(CHtmlDrawer& drawer, HDC dc, const std::wstring& markup, int* height)
{
    SIZE size = {0, 0};
    drawer.PrepareOutput(dc, markup.c_str(), &size);
    *height = size.cy;
    return size.cx;
}

void CMarkupMessageBoxTemplate::CreateControls(HWND dialog, SIZE* size)
{
    DestroyButtons();
    HDC dc = GetDC(nullptr);
    HGDIOBJ previousFont = SelectObject(dc, m_messageFont);
    int width = 0;
    int height = 0;

    m_headerHeight = 0;
    if (m_params.headerHeight > 0) {
        m_headerHeight = m_params.headerHeight;
        m_headerMarkup = Resolve(m_params.headerText);
        if (!m_headerMarkup.empty()) {
            int h = 0;
            width = std::max(width, MeasureMarkup(m_headerDrawer, dc, m_headerMarkup, &h) + 2 * kAreaMarginX);
            m_headerHeight = std::max(m_headerHeight, h + 2 * kAreaMarginY);
        }
        m_headerSeparator = Resolve(m_params.header.separatorCaption);
        if (m_params.header.separatorStyle != 0)
            width = std::max(width, static_cast<int>(TextExtent(dc, m_headerSeparator).cx) + 2 * kSeparatorInset);
        height += m_headerHeight;
    }

    m_messageHeight = 0;
    if (!m_messageMarkup.empty()) {
        int h = 0;
        width = std::max(width, MeasureMarkup(m_messageDrawer, dc, m_messageMarkup, &h) + 2 * kAreaMarginX);
        m_messageHeight = h + 2 * kAreaMarginY;
    }
    height += m_messageHeight;

    // The footer is measured now but opens collapsed: its height is not counted.
    m_footerMarkup = Resolve(m_params.footerText);
    m_footerHeight = 0;
    if (!m_footerMarkup.empty()) {
        int h = 0;
        width = std::max(width, MeasureMarkup(m_footerDrawer, dc, m_footerMarkup, &h) + 2 * kAreaMarginX);
        m_footerHeight = h + 2 * kAreaMarginY;
    }

    m_buttonAreaHeight = kBottomMargin;
    if (m_params.buttons.effect >= 0 || m_params.buttons.separatorStyle != 0) {
        m_buttonAreaHeight = 2 * kBottomMargin;
        m_buttonSeparator = Resolve(m_params.buttons.separatorCaption);
        if (m_params.buttons.separatorStyle != 0)
            width = std::max(width, static_cast<int>(TextExtent(dc, m_buttonSeparator).cx) + 2 * kSeparatorInset);
    }
    m_footerSeparator = Resolve(m_params.footer.separatorCaption);

    if (m_hasCheckBox) {
        m_buttonAreaHeight += kBottomMargin + kCheckBoxSize;
        CreateCheckBox(dialog, dc, &width);
    }
    CollectButtons();
    CreateButtons(dialog, dc);
    const int count = static_cast<int>(m_buttons.size());
    width = std::max(width, count * (m_buttonWidth + kButtonSpacing) + kButtonSpacing);
    m_buttonAreaHeight += m_buttonHeight;
    height += m_buttonAreaHeight;

    SelectObject(dc, previousFont);
    ReleaseDC(nullptr, dc);

    // The frame the window really gets around that client area (the dialog frame and caption).
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    size->cx = outer.right - outer.left;
    size->cy = outer.bottom - outer.top;
}

void CMarkupMessageBoxTemplate::CreateCheckBox(HWND dialog, HDC dc, int* width)
{
    std::wstring fallback = Resolve(m_params.checkBoxText);
    if (fallback.empty())
        fallback = BuiltInButtonCaption(MMB_CAPTION_CHECKBOX);
    const std::wstring caption = GetButtonText(MMB_CAPTION_CHECKBOX, fallback.c_str());
    const SIZE extent = TextExtent(dc, caption);
    *width = std::max(*width, static_cast<int>(extent.cx) + kCheckBoxLabelGap + 2 * kCheckBoxLeft);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_checkBox = CreateWindowExW(0, L"BUTTON", L"", kCheckBoxStyle, 0, 0, kCheckBoxSize, kCheckBoxSize, dialog,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kCheckBoxControlId)), instance, nullptr);
    if (m_params.style & MMB_CHECKED)
        SendMessageW(m_checkBox, BM_SETCHECK, BST_CHECKED, 0);
    // A label taller than the box would be cut: it keeps the text's own height.
    const int labelHeight = std::max(kCheckBoxSize, static_cast<int>(extent.cy));
    m_checkBoxLabel = CreateWindowExW(0, L"STATIC", caption.c_str(), kLabelStyle, 0, 0, extent.cx, labelHeight,
                                      dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kCheckBoxControlId)),
                                      instance, nullptr);
    SendMessageW(m_checkBoxLabel, WM_SETFONT, reinterpret_cast<WPARAM>(m_messageFont), FALSE);
}

void CMarkupMessageBoxTemplate::CollectButtons()
{
    m_buttons.clear();
    m_customCaptions.clear();

    std::wstring custom = Resolve(m_params.customButtons);
    custom.erase(std::remove(custom.begin(), custom.end(), L'\r'), custom.end());
    size_t start = 0;
    while (start <= custom.size() && static_cast<int>(m_customCaptions.size()) < kMaxCustomButtons) {
        size_t end = custom.find(L'\n', start);
        if (end == std::wstring::npos)
            end = custom.size();
        if (end > start) {
            m_buttons.emplace_back(MMB_IDCUSTOM1 + static_cast<UINT>(m_customCaptions.size()), nullptr);
            m_customCaptions.push_back(custom.substr(start, end - start));
        }
        start = end + 1;
    }

    const UINT set = m_params.style & MMB_BUTTONSETMASK;
    m_cancelAllowed = false;
    if (m_buttons.empty() && set < sizeof(kButtonSets) / sizeof(kButtonSets[0])) {
        m_cancelAllowed = kButtonSets[set].cancelLike;
        for (UINT id : kButtonSets[set].ids) {
            if (id == 0)
                break;
            m_buttons.emplace_back(id, nullptr);
            const bool yesNoSet = set == MB_YESNOCANCEL || set == MB_YESNO;
            if (yesNoSet && id == IDYES && (m_params.style & MMB_YESTOALL))
                m_buttons.emplace_back(MMB_IDYESTOALL, nullptr);
            if (yesNoSet && id == IDNO && (m_params.style & MMB_NOTOALL))
                m_buttons.emplace_back(MMB_IDNOTOALL, nullptr);
        }
    }

    if (m_params.style & MMB_HELP)
        m_buttons.emplace_back(IDHELP, nullptr);
    if (m_params.reportMessage != 0 && m_params.owner != nullptr)
        m_buttons.emplace_back(MMB_IDREPORT, nullptr);
    if (!m_footerMarkup.empty()) {
        m_buttons.emplace_back(MMB_IDMORE, nullptr);
        m_lessCaption = GetButtonText(MMB_IDLESS, L"");
        m_moreCaption = GetButtonText(MMB_IDMORE, L"");
    }
    // Report and More never end the box: without any other button (sets 10 to 15) nothing could,
    // and the caller's thread would wait for ever. Such a box may always be cancelled.
    m_noClosingButton = std::none_of(m_buttons.begin(), m_buttons.end(), [](const std::pair<UINT, HWND>& b) {
        return b.first != MMB_IDREPORT && b.first != MMB_IDMORE;
    });
    if (m_noClosingButton)
        m_cancelAllowed = true;
    m_defaultIndex = static_cast<int>((m_params.style >> 8) & 0x0F);
    if (m_defaultIndex >= static_cast<int>(m_buttons.size()))
        m_defaultIndex = 0;
}

void CMarkupMessageBoxTemplate::CreateButtons(HWND dialog, HDC dc)
{
    std::vector<std::wstring> captions;
    m_buttonWidth = kMinButtonWidth;
    m_buttonHeight = kMinButtonHeight;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const UINT id = m_buttons[i].first;
        SIZE extent;
        if (i < m_customCaptions.size()) {
            captions.push_back(m_customCaptions[i]);
            extent = TextExtent(dc, captions.back());
        } else if (id == MMB_IDMORE) {
            captions.push_back(m_moreCaption);
            const SIZE less = TextExtent(dc, m_lessCaption);
            const SIZE more = TextExtent(dc, m_moreCaption);
            extent.cx = std::max(less.cx, more.cx);
            extent.cy = std::max(less.cy, more.cy);
        } else {
            captions.push_back(GetButtonText(id, L""));
            extent = TextExtent(dc, captions.back());
        }
        m_buttonWidth = std::max(m_buttonWidth, MulDiv(extent.cx, 80, 45));
        m_buttonHeight = std::max(m_buttonHeight, MulDiv(extent.cy, 23, 13));
    }

    const bool inCaption = Blocked() && m_params.periodInCaption != 0;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND focus = nullptr;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const UINT id = m_buttons[i].first;
        const bool isDefault = static_cast<int>(i) == m_defaultIndex;
        std::wstring caption = captions[i];
        DWORD style = kButtonStyle;
        if (isDefault)
            m_defaultCaption = caption;
        if (id == IDHELP) {
            // Help stays usable through any disabled period.
            if (isDefault) {
                style |= BS_DEFPUSHBUTTON;
                if (Timed() || (Blocked() && !inCaption))
                    caption = CountdownCaption(caption, m_countdown);
            }
        } else if (inCaption) {
            style |= WS_DISABLED;
        } else if (isDefault) {
            if (!Blocked())
                style |= BS_DEFPUSHBUTTON;
            if (m_countdown != 0)
                caption = CountdownCaption(caption, m_countdown);
            if (Blocked())
                style |= WS_DISABLED;
        }
        HWND button = CreateWindowExW(0, L"BUTTON", caption.c_str(), style, 0, 0, 0, 0, dialog,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_messageFont), FALSE);
        m_buttons[i].second = button;
        if (isDefault)
            focus = button;
    }
    if (focus != nullptr)
        SetFocus(focus);
}

void CMarkupMessageBoxTemplate::OnInitDialog(HWND dialog)
{
    m_countdown = std::max(0, Timed() ? m_params.timeout : m_params.disabledPeriod);
    m_headerDrawer.SetHotLinkCallback(dialog, kHotLinkMessage, 0);
    m_messageDrawer.SetHotLinkCallback(dialog, kHotLinkMessage, 0);
    m_footerDrawer.SetHotLinkCallback(dialog, kHotLinkMessage, 0);

    m_messageText = Resolve(m_params.message);
    CMarkupString markup = m_messageText;
    if (!m_messageText.empty()) {
        if (m_params.style & MMB_RIGHTMESSAGE)
            markup.Format(L"<right>%s</right>", m_messageText.c_str());
        if (m_icon != nullptr) {
            // Icons are user handles: their value fits 32 bits in either build.
            CMarkupString text = markup;
            markup.Format(L"<table cellpadding=%d><tr><td width=%d><icon handle=0x%X></td><td>%s</td></tr></table>",
                          kIconPadding, GetSystemMetrics(SM_CXICON),
                          static_cast<unsigned>(reinterpret_cast<UINT_PTR>(m_icon)), text.c_str());
        }
    }
    m_messageMarkup = markup;

    SIZE size = {0, 0};
    CreateControls(dialog, &size);

    bool closeEnabled = m_cancelAllowed;
    std::wstring title = m_caption;
    if (Blocked()) {
        if (m_params.periodInCaption != 0) {
            m_captionFormat = GetButtonText(MMB_CAPTION_PERIOD, L"");
            if (!FormatConversionsAre(m_captionFormat.c_str(), "sd"))
                m_captionFormat = BuiltInButtonCaption(MMB_CAPTION_PERIOD);
            CMarkupString counting;
            counting.Format(m_captionFormat.c_str(), m_caption.c_str(), m_countdown);
            title = counting;
            closeEnabled = false;
            m_closeBlocked = true;
        } else if (!m_buttons.empty() && m_buttons[m_defaultIndex].first == IDCANCEL) {
            closeEnabled = false;
            m_closeBlocked = true;
        }
    }
    SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
    if (!closeEnabled)
        EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);

    PlaceDialog(dialog, size);
    PlaceButtons(dialog);

    if (m_params.style & MMB_TOPMOST)
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    if (m_params.style & MMB_FOREGROUND)
        SetForegroundWindow(dialog);
    if (m_countdown > 0)
        SetTimer(dialog, kTimerId, kTimerPeriodMs, nullptr);
}

void CMarkupMessageBoxTemplate::PlaceDialog(HWND dialog, SIZE size)
{
    // A minimized or hidden owner (the manager started minimized) has no place to centre on.
    HWND parent = GetParent(dialog);
    RECT reference = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (parent != nullptr && IsWindowVisible(parent) && !IsIconic(parent))
        GetWindowRect(parent, &reference);
    const int x = reference.left + (reference.right - reference.left - size.cx) / 2;
    const int y = reference.top + (reference.bottom - reference.top - size.cy) / 2;
    MoveWindow(dialog, x, y, size.cx, size.cy, TRUE);
}

void CMarkupMessageBoxTemplate::PlaceButtons(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    const bool below = m_hasCheckBox && (m_params.style & MMB_CHECKBOXBELOW);
    const int count = static_cast<int>(m_buttons.size());
    const int rowWidth = count * (m_buttonWidth + kButtonSpacing) - kButtonSpacing;
    int y = client.bottom - kBottomMargin - m_buttonHeight;
    if (below)
        y -= kCheckBoxSize + kBottomMargin;
    int x;
    switch (m_params.buttonAlignment) {
    case 0: x = client.left + kButtonSpacing; break;
    case 1: x = client.right - kButtonSpacing - rowWidth; break;
    default: x = client.left + (client.right - client.left - rowWidth) / 2; break;
    }
    for (auto& button : m_buttons) {
        MoveWindow(button.second, x, y, m_buttonWidth, m_buttonHeight, TRUE);
        x += m_buttonWidth + kButtonSpacing;
    }

    if (!m_hasCheckBox)
        return;
    int boxY = client.bottom - kBottomMargin - kCheckBoxSize;
    if (!below)
        boxY -= kBottomMargin + m_buttonHeight;
    const int boxX = client.left + kCheckBoxLeft;
    MoveWindow(m_checkBox, boxX, boxY, kCheckBoxSize, kCheckBoxSize, TRUE);
    RECT label;
    GetWindowRect(m_checkBoxLabel, &label);
    MoveWindow(m_checkBoxLabel, boxX + kCheckBoxSize + kCheckBoxSize / 2, boxY, label.right - label.left,
               label.bottom - label.top, TRUE);
}
