#include "render/MarkupString.h"
#include "core/WideFormat.h"
#include <cstdarg>
#include <cwctype>
#include <vector>

CMarkupString CMarkupString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first >= Length())
        return CMarkupString();
    if (count > Length() - first)
        count = Length() - first;
    return CMarkupString(substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CMarkupString CMarkupString::Literal(const std::wstring& text)
{
    CMarkupString out;
    out.reserve(text.size() + text.size() / 8);
    for (wchar_t c : text) {
        if (c == L'<')
            out += L"<<";          // the markup's escaped "<"
        else if (c == L'&')
            out += L"&<>";         // an empty tag, which draws nothing, after "&" spoils any entity
        else
            out += c;
    }
    return out;
}

CMarkupString CMarkupString::Mid(int first) const
{
    return Mid(first, Length());
}

CMarkupString CMarkupString::Left(int count) const
{
    if (count < 1)
        return CMarkupString();
    return Mid(0, count);
}

CMarkupString CMarkupString::Right(int count) const
{
    if (count < 1)
        return CMarkupString();
    if (count > Length())
        count = Length();
    return Mid(Length() - count, count);
}

CMarkupString& CMarkupString::MakeLower()
{
    // Tag and class names are ASCII nearly always; a locale per call cost more than the layout.
    for (wchar_t& c : *this) {
        if (c < 0x80) {
            if (c >= L'A' && c <= L'Z')
                c = static_cast<wchar_t>(c - L'A' + L'a');
        } else {
            c = static_cast<wchar_t>(std::towlower(c));
        }
    }
    return *this;
}

int CMarkupString::Format(const wchar_t* format, ...)
{
    static const size_t kSizes[] = {2049, 6145, 12289, 20481, 30721, 43009};
    std::vector<wchar_t> buffer;
    int written = 0;
    for (size_t size : kSizes) {
        buffer.assign(size, L'\0');
        va_list args;
        va_start(args, format);
        written = FormatWideV(buffer.data(), size, format, args);
        va_end(args);
        if (written < 0)
            break;
        if (static_cast<size_t>(written) < size - 1)
            break;   // fitted: the helper cuts at size - 1
    }
    assign(buffer.data());
    return Length();
}
