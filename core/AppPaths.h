#pragma once
#include <windows.h>

#include <string>

// Each path or string comes back in one of a small ring of static buffers, so several results can
// be used in one expression; a result lives until the same service has been called again enough
// times to come round (paths: four more calls, strings: three).
constexpr int kPathRingSize = 5;
constexpr int kStringRingSize = 4;
constexpr int kRingBufferChars = 1024;

// The program's folder followed by the suffix (a path that would not fit is cut).
wchar_t* GetAppPath(const wchar_t* suffix);

// The user's roaming application-data folder, then "\Tarnwick\Lyrant", then the suffix.
wchar_t* GetAppDataPath(const wchar_t* suffix);

// The product version words of the program's version resource; text gets "a.b.c.d".
// Nothing is written when there is no version resource.
void GetProductVersion(DWORD* versionMS, DWORD* versionLS, wchar_t* text);

// The string-table text of id from the resource module; a language library that lacks the id
// gives the program's own text (a translation made before the id existed). Empty when neither has it.
wchar_t* LoadResString(UINT id);

// A string-table text used as a printf format with the arguments the caller passes, named by
// their conversion letters in order ("sd": a wide string, then an int; see FormatConversionsAre).
// A language library's text whose conversions differ is never used: the program's own is.
wchar_t* LoadResFormat(UINT id, const char* conversions);
// LoadResFormat's text formatted with the arguments.
std::wstring FormatResString(UINT id, const char* conversions, ...);
