// The message box object: construction, captions, the modal run and the button windows' life.
#include "widgets/MarkupMessageBoxTemplate.h"

#include "core/ResourceModule.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;
constexpr SIZE_T kTemplateBytes = 36;
constexpr short kTemplateUnits = 100;
// The message font is read with the structure size of Vista and later (with the padded border).
constexpr UINT kNonClientMetricsBytes = 500;

struct NonClientMetrics500
{
    NONCLIENTMETRICSW metrics;
    int paddedBorderWidth;
};

HICON LoadBoxIcon(UINT style, HINSTANCE iconModule, const wchar_t* userIcon, bool* owned)
{
    *owned = false;
    switch (style & MMB_ICONMASK) {
    case MB_ICONHAND: return LoadIconW(nullptr, IDI_HAND);
    case MB_ICONQUESTION: return LoadIconW(nullptr, IDI_QUESTION);
    case MB_ICONEXCLAMATION: return LoadIconW(nullptr, IDI_EXCLAMATION);
    case MB_ICONASTERISK: return LoadIconW(nullptr, IDI_ASTERISK);
    case MMB_USERICON: {
        if (userIcon == nullptr)
            return nullptr;
        HICON icon = static_cast<HICON>(LoadImageW(iconModule, userIcon, IMAGE_ICON, 0, 0, 0));
        *owned = icon != nullptr;
        return icon;
    }
    default: return nullptr;
    }
}

}  // namespace

CMarkupMessageBoxTemplate::CMarkupMessageBoxTemplate(const MarkupMessageBoxParams& params) : m_params(params)
{
    if (m_params.stringModule == nullptr)
        m_params.stringModule = GetResourceModule();
    if (m_params.iconModule == nullptr)
        m_params.iconModule = GetResourceModule();
    m_caption = Resolve(m_params.caption);
    m_hasCheckBox = (m_params.style & MMB_CHECKBOX) != 0;

    NonClientMetrics500 metrics = {};
    metrics.metrics.cbSize = kNonClientMetricsBytes;
    static_assert(sizeof(NonClientMetrics500) >= kNonClientMetricsBytes, "room for the Vista structure");
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsBytes, &metrics, 0))
        m_messageFont = CreateFontIndirectW(&metrics.metrics.lfMessageFont);
    if (m_messageFont == nullptr)
        m_messageFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    m_icon = LoadBoxIcon(m_params.style, m_params.iconModule, m_params.userIcon, &m_ownsIcon);
}

CMarkupMessageBoxTemplate::~CMarkupMessageBoxTemplate()
{
    if (m_messageFont != nullptr && m_messageFont != GetStockObject(DEFAULT_GUI_FONT))
        DeleteObject(m_messageFont);
    if (m_background != nullptr)
        DeleteObject(m_background);
    if (m_ownsIcon)
        DestroyIcon(m_icon);   // the system icons are shared
    DestroyButtons();
}

bool CMarkupMessageBoxTemplate::LoadsStrings() const
{
    return (m_params.style & MMB_NORESOURCE) == 0 && m_params.stringModule != nullptr;
}

std::wstring CMarkupMessageBoxTemplate::Resolve(const wchar_t* reference) const
{
    return ResolveTextReference(reference, m_params.stringModule, LoadsStrings());
}

std::wstring CMarkupMessageBoxTemplate::GetButtonText(UINT id, const wchar_t* fallback) const
{
    if (m_params.captionMap != nullptr) {
        auto found = m_params.captionMap->find(id);
        if (found != m_params.captionMap->end()) {
            std::wstring mapped = Resolve(found->second);
            if (!mapped.empty())
                return mapped;
        }
    }
    const UINT stringId = ButtonCaptionStringId(id);
    if (stringId != 0 && LoadsStrings()) {
        std::wstring loaded = ResolveTextReference(MAKEINTRESOURCEW(stringId), m_params.stringModule, true);
        if (!loaded.empty())
            return loaded;
    }
    return fallback != nullptr && *fallback != L'\0' ? std::wstring(fallback) : BuiltInButtonCaption(id);
}

int CMarkupMessageBoxTemplate::DoModal(HWND owner)
{
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kTemplateBytes);
    if (memory == nullptr)
        return IDCANCEL;
    auto* dialogTemplate = static_cast<DLGTEMPLATE*>(memory);
    dialogTemplate->style = kDialogStyle;
    dialogTemplate->cx = kTemplateUnits;
    dialogTemplate->cy = kTemplateUnits;
    // Menu, class and title follow as three empty words, already zero.
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, &DialogProc,
                                                   reinterpret_cast<LPARAM>(this));
    GlobalFree(memory);
    return static_cast<int>(result);
}

CMarkupMessageBoxTemplate* CMarkupMessageBoxTemplate::FromWindow(HWND dialog)
{
    if (dialog == nullptr || !IsWindow(dialog))
        return nullptr;
    // Only a dialog that runs our procedure holds our object in its user data.
    if (GetWindowLongPtrW(dialog, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogProc))
        return nullptr;
    return reinterpret_cast<CMarkupMessageBoxTemplate*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

void CMarkupMessageBoxTemplate::DestroyButtons()
{
    for (auto& button : m_buttons)
        if (button.second != nullptr && IsWindow(button.second))
            DestroyWindow(button.second);
    m_buttons.clear();
    if (m_checkBox != nullptr && IsWindow(m_checkBox))
        DestroyWindow(m_checkBox);
    if (m_checkBoxLabel != nullptr && IsWindow(m_checkBoxLabel))
        DestroyWindow(m_checkBoxLabel);
    m_checkBox = nullptr;
    m_checkBoxLabel = nullptr;
}

HWND CMarkupMessageBoxTemplate::ButtonWindow(UINT id) const
{
    for (const auto& button : m_buttons)
        if (button.first == id)
            return button.second;
    return nullptr;
}
