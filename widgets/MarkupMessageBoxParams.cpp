// The message box's entry points.
#include "widgets/MarkupMessageBoxParams.h"

#include "core/ResourceModule.h"
#include "widgets/MarkupMessageBoxMemory.h"
#include "widgets/MarkupMessageBoxTemplate.h"
#include "widgets/MarkupMessageBoxText.h"

namespace {

constexpr int kDefaultAlignment = 2;   // centred
constexpr UINT kDefaultStyle = MB_ICONEXCLAMATION;
constexpr int kOwnerTextChars = 260;

void InitArea(MarkupMessageBoxArea* area)
{
    area->separatorStyle = 0;
    area->separatorAlignment = 0;
    area->separatorCaption = nullptr;
    area->effect = -1;
    area->beginColor = area->midColor = area->endColor = GetSysColor(COLOR_BTNFACE);
}

}  // namespace

void InitMarkupMessageBoxParams(MarkupMessageBoxParams* params)
{
    ZeroMemory(params, sizeof(*params));
    InitArea(&params->background);
    InitArea(&params->header);
    InitArea(&params->buttons);
    InitArea(&params->footer);
    params->buttonAlignment = kDefaultAlignment;
    params->style = kDefaultStyle;
}

int MarkupMessageBox(HWND owner, const wchar_t* message, const wchar_t* caption, UINT style,
                     const MarkupMessageBoxParams* params)
{
    MarkupMessageBoxParams record;
    if (params != nullptr)
        record = *params;
    else
        InitMarkupMessageBoxParams(&record);
    record.owner = owner;
    record.message = message;
    record.caption = caption;
    record.style = style;
    return MarkupMessageBoxIndirect(&record);
}

int MarkupMessageBoxIndirect(const MarkupMessageBoxParams* params)
{
    MarkupMessageBoxParams record;
    if (params != nullptr)
        record = *params;
    else
        InitMarkupMessageBoxParams(&record);

    if (record.owner == nullptr) {
        HWND active = GetActiveWindow();
        if (active != nullptr)
            record.owner = GetLastActivePopup(active);
    }

    HINSTANCE stringModule = record.stringModule != nullptr ? record.stringModule : GetResourceModule();
    std::wstring caption =
        ResolveTextReference(record.caption, stringModule, (record.style & MMB_NORESOURCE) == 0);
    if (caption.empty() && record.owner != nullptr) {
        wchar_t ownerText[kOwnerTextChars] = {};
        SendMessageW(record.owner, WM_GETTEXT, kOwnerTextChars, reinterpret_cast<LPARAM>(ownerText));
        ownerText[kOwnerTextChars - 1] = L'\0';
        caption = ownerText;
    }
    if (caption.empty())
        caption = L"Error";
    record.caption = caption.c_str();

    const DWORD remembered = ReadRememberedAnswer(record);
    if (remembered != 0)
        return static_cast<int>(remembered);

    if ((record.style & MMB_NOSOUND) == 0)
        MessageBeep(record.style & MMB_ICONMASK);

    CMarkupMessageBoxTemplate box(record);
    return box.DoModal(record.owner);
}
