#include "widgets/MarkupMessageBox.h"

#include "core/ResourceModule.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

std::wstring LoadText(const wchar_t* text)
{
    return ResolveTextReference(text, GetResourceModule(), true);
}

}  // namespace

CMarkupMessageBox::CMarkupMessageBox()
{
    InitMarkupMessageBoxParams(&m_params);
}

void CMarkupMessageBox::SetParams(const MarkupMessageBoxParams* params)
{
    if (params == nullptr)
        return;
    // The texts first: the record may point at this object's own strings.
    const std::wstring header = LoadText(params->header.separatorCaption);
    const std::wstring buttons = LoadText(params->buttons.separatorCaption);
    const std::wstring footer = LoadText(params->footer.separatorCaption);
    const std::wstring custom = LoadText(params->customButtons);
    std::map<UINT, std::wstring> captions;
    if (params->captionMap != nullptr)
        for (const auto& entry : *params->captionMap) {
            std::wstring caption = LoadText(entry.second);
            if (!caption.empty())
                captions[entry.first] = caption;
        }
    m_params = *params;
    m_headerSeparator = header;
    m_buttonSeparator = buttons;
    m_footerSeparator = footer;
    m_customButtons = custom;
    m_captions = captions;
}

MarkupMessageBoxParams* CMarkupMessageBox::GetParams()
{
    ApplyTexts();
    return &m_params;
}

void CMarkupMessageBox::ApplyTexts()
{
    m_captionMap.clear();
    for (const auto& entry : m_captions)
        m_captionMap[entry.first] = entry.second.c_str();
    m_params.captionMap = &m_captionMap;
    m_params.header.separatorCaption = m_headerSeparator.c_str();
    m_params.buttons.separatorCaption = m_buttonSeparator.c_str();
    m_params.footer.separatorCaption = m_footerSeparator.c_str();
    m_params.customButtons = m_customButtons.c_str();
}

void CMarkupMessageBox::SetCustomButtonText(UINT id, const wchar_t* text)
{
    const std::wstring caption = LoadText(text);
    if (caption.empty())
        m_captions.erase(id);
    else
        m_captions[id] = caption;
}

const wchar_t* CMarkupMessageBox::GetCustomButtonText(UINT id) const
{
    auto found = m_captions.find(id);
    return found == m_captions.end() ? nullptr : found->second.c_str();
}

void CMarkupMessageBox::SetCustomButtons(const wchar_t* text)
{
    m_customButtons = LoadText(text);
}

MarkupMessageBoxArea* CMarkupMessageBox::AreaBlock(int area)
{
    switch (area) {
    case kHeader: return &m_params.header;
    case kBackground: return &m_params.background;
    case kButtons: return &m_params.buttons;
    case kFooter: return &m_params.footer;
    default: return nullptr;
    }
}

std::wstring* CMarkupMessageBox::SeparatorText(int area)
{
    switch (area) {
    case kHeader: return &m_headerSeparator;
    case kButtons: return &m_buttonSeparator;
    case kFooter: return &m_footerSeparator;
    default: return nullptr;   // the dialog's background has no separator
    }
}

void CMarkupMessageBox::SetSeparator(int area, int style, int alignment, const wchar_t* text)
{
    std::wstring* caption = SeparatorText(area);
    if (caption == nullptr)
        return;
    MarkupMessageBoxArea* block = AreaBlock(area);
    block->separatorStyle = style;
    block->separatorAlignment = alignment;
    *caption = LoadText(text);
}

void CMarkupMessageBox::SetBackground(int area, int effect, COLORREF begin, COLORREF end, COLORREF mid)
{
    MarkupMessageBoxArea* block = AreaBlock(area);
    if (block == nullptr)
        return;
    block->effect = effect;
    block->beginColor = begin;
    block->midColor = mid;
    block->endColor = end;
}

void CMarkupMessageBox::SetAreaBlock(int area, const MarkupMessageBoxArea* source)
{
    MarkupMessageBoxArea* block = AreaBlock(area);
    if (block == nullptr || source == nullptr)
        return;
    const std::wstring caption = LoadText(source->separatorCaption);
    *block = *source;
    if (std::wstring* owned = SeparatorText(area))
        *owned = caption;
    else
        block->separatorCaption = nullptr;
}

void CMarkupMessageBox::SetTimeouts(int timeout, int disabledPeriod, BOOL periodInCaption)
{
    m_params.timeout = timeout;
    m_params.disabledPeriod = disabledPeriod;
    m_params.periodInCaption = periodInCaption;
}

int CMarkupMessageBox::MessageBox(const wchar_t* message, const wchar_t* caption, UINT style,
                                  const MarkupMessageBoxParams* params)
{
    return MarkupMessageBox(nullptr, message, caption, style, params != nullptr ? params : GetParams());
}

int CMarkupMessageBox::MessageBoxIndirect(const MarkupMessageBoxParams* params)
{
    return MarkupMessageBoxIndirect(params != nullptr ? params : GetParams());
}
