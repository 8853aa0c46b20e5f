#include "widgets/MarkupMessageBoxText.h"

#include <cwchar>

#include "render/MarkupString.h"

namespace {

struct ButtonCaption
{
    UINT id;
    const wchar_t* caption;
    UINT stringId;
};

const ButtonCaption kButtonCaptions[] = {
    {IDOK, L"OK", 9001},
    {IDCANCEL, L"Cancel", 9002},
    {IDABORT, L"Abort", 9005},
    {IDRETRY, L"Retry", 9004},
    {IDIGNORE, L"Ignore", 9003},
    {IDYES, L"Yes", 9007},
    {IDNO, L"No", 9008},
    {IDHELP, L"Help", 9006},
    {10, L"Try again", 9015},
    {11, L"Continue", 9009},
    {14, L"Skip", 9018},
    {15, L"Skip all", 9019},
    {16, L"Ignore all", 9017},
    {19, L"Yes to all", 9013},
    {20, L"No to all", 9014},
    {21, L"Report", 9016},
    {30, L"<< More", 9011},
    {31, L"More >>", 9010},
    {0x01000000, L"Do not show again", 9012},
    {0x80000000, L"%s (%d seconds remaining)", 9020},
};

const ButtonCaption* FindCaption(UINT id)
{
    for (const ButtonCaption& entry : kButtonCaptions)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

}  // namespace

std::wstring ResolveTextReference(const wchar_t* reference, HINSTANCE module, bool loadIds)
{
    if (reference == nullptr)
        return std::wstring();
    if (IS_INTRESOURCE(reference)) {
        if (!loadIds || module == nullptr)
            return std::wstring();
        wchar_t buffer[kStringIdChars] = {};
        const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(reference));
        const int length = LoadStringW(module, id, buffer, kStringIdChars);
        return length > 0 ? std::wstring(buffer, static_cast<size_t>(length)) : std::wstring();
    }
    return std::wstring(reference, wcsnlen(reference, kMaxMarkupTextChars));
}

std::wstring ReadTextPointer(const wchar_t* text)
{
    if (text == nullptr || IS_INTRESOURCE(text))
        return std::wstring();
    return std::wstring(text, wcsnlen(text, kMaxMarkupTextChars));
}

const wchar_t* BuiltInButtonCaption(UINT id)
{
    const ButtonCaption* entry = FindCaption(id);
    return entry ? entry->caption : L"";
}

UINT ButtonCaptionStringId(UINT id)
{
    const ButtonCaption* entry = FindCaption(id);
    return entry ? entry->stringId : 0;
}

std::wstring CountdownCaption(const std::wstring& caption, int seconds)
{
    CMarkupString text;
    text.Format(L"%s = %d", caption.c_str(), seconds);
    return text;
}
