#pragma once
#include <windows.h>

#include <string>

// The user-interface language of the "lanName" setting, lower-cased. "eng" means the program's own
// resources; any other value names a language library "Res<name>.dll" found by the system's
// library search (which starts in the program folder).
std::wstring LanguageCode(const std::wstring& lanName);
bool IsOwnLanguage(const std::wstring& code);

// Loads the library of a language code; null for the program's own language, for a code that could
// reach outside the program folder (path characters) or is too long, and for an absent library.
HMODULE LoadLanguageLibrary(const std::wstring& code);

// "\html\<page>.html", or "\html\<page>_<code>.html" for another language (a code that is not a
// plain name gets the program's own page). Relative to the program folder.
std::wstring LanguagePagePath(const wchar_t* page, const std::wstring& code);
