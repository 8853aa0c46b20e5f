#include "app/Language.h"

#include "core/WideFormat.h"

namespace {

constexpr size_t kMaxCodeChars = 32;

// The setting comes from the registry: a code is a plain name, never a path.
bool IsPlainName(const std::wstring& code)
{
    return !code.empty() && code.size() <= kMaxCodeChars && code.find_first_of(L"\\/:.") == std::wstring::npos;
}

}  // namespace

std::wstring LanguageCode(const std::wstring& lanName)
{
    std::wstring code = lanName;
    if (!code.empty())
        CharLowerW(&code[0]);
    return code;
}

bool IsOwnLanguage(const std::wstring& code)
{
    return code == L"eng";
}

HMODULE LoadLanguageLibrary(const std::wstring& code)
{
    if (IsOwnLanguage(code) || !IsPlainName(code))
        return nullptr;
    wchar_t name[64];
    if (FormatWide(name, ARRAYSIZE(name), L"Res%s.dll", code.c_str()) < 0)
        return nullptr;
    // No error box for an absent library: the program simply keeps its own resources.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE library = LoadLibraryW(name);
    SetErrorMode(oldMode);
    return library;
}

std::wstring LanguagePagePath(const wchar_t* page, const std::wstring& code)
{
    wchar_t path[MAX_PATH];
    // A code that is not a plain name loads no library either, so the own page fits it.
    if (IsOwnLanguage(code) || !IsPlainName(code))
        FormatWide(path, ARRAYSIZE(path), L"\\html\\%s.html", page);
    else
        FormatWide(path, ARRAYSIZE(path), L"\\html\\%s_%s.html", page, code.c_str());
    return path;
}
