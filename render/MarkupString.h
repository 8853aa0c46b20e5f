#pragma once
#include <string>

// The wide string of the markup renderer family, with the substring helpers its parsers use.
class CMarkupString : public std::wstring
{
public:
    CMarkupString() = default;
    CMarkupString(const wchar_t* text) : std::wstring(text ? text : L"") {}
    CMarkupString(const wchar_t* text, size_t count) : std::wstring(text, count) {}
    CMarkupString(const std::wstring& text) : std::wstring(text) {}
    CMarkupString(size_t count, wchar_t c) : std::wstring(count, c) {}

    int Length() const { return static_cast<int>(size()); }
    // Negative first or count count as 0; the count is clipped at the end.
    CMarkupString Mid(int first, int count) const;
    CMarkupString Mid(int first) const;
    CMarkupString Left(int count) const;
    CMarkupString Right(int count) const;
    CMarkupString& MakeLower();
    // Markup that draws text exactly as it stands: a "<" cannot open a tag and an "&" cannot start
    // an entity. For text the markup does not come from, such as other windows' titles.
    static CMarkupString Literal(const std::wstring& text);
    // printf-style with Windows semantics ("%s" wide); a result too long for the largest buffer is cut.
    int Format(const wchar_t* format, ...);
};
