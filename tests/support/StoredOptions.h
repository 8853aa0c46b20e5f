#pragma once
#include <windows.h>

#include <string>

// The program's settings as the registry holds them, read with the plain API (independent of the
// store): a text value, "<missing>" when absent; a DWORD value, `missing` when absent.
std::wstring ReadOption(const wchar_t* name);
DWORD ReadOptionDword(const wchar_t* name, DWORD missing = 0xDEADBEEF);
