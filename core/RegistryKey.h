#pragma once
#include <windows.h>

#include <string>

// A registry location (root and path). It keeps no handle open: every operation opens the key,
// works and closes it.
class CRegistryKey
{
public:
    HKEY root = HKEY_CURRENT_USER;
    std::wstring path = L"Software\\Tarnwick\\Lyrant";

    // Sets the location and makes sure the key exists (opens it, or creates it when that fails).
    void Create(HKEY rootKey, const wchar_t* keyPath);

    // A missing value, or one whose data does not fit 4 bytes, gets the default written back.
    DWORD QueryDWORDValue(const wchar_t* name, DWORD defaultValue);

    // A missing value, or one over 511 characters, gets a non-null default written back;
    // with a null default the result is empty. An unopenable key gives the empty text.
    std::wstring& QueryStringValue(std::wstring& out, const wchar_t* name, const wchar_t* defaultValue);

    void SetStringValue(const wchar_t* name, const wchar_t* text);
};

// REG_SZ of the text with its terminating NUL; silent when the key cannot be opened.
void WriteRegString(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* text);
void WriteRegDWORD(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value);
