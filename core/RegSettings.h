#pragma once
#include <windows.h>

#include <string>

#include "core/SettingsTable.h"

// The program's settings store over HKCU "Software\Tarnwick\Lyrant\Options". Every operation makes
// sure the key exists first. Reads return the default on any failure; writes fail silently.
class CRegSettings
{
public:
    CRegSettings();
    // A store over HKCU "Software\Tarnwick\Lyrant\MRU" instead, with the same operations.
    struct MruKey {};
    explicit CRegSettings(MruKey);

    DWORD GetDWORD(const wchar_t* name, DWORD defaultValue);
    std::wstring& GetString(std::wstring& out, const wchar_t* name, const wchar_t* defaultValue);
    void SetDWORD(const wchar_t* name, DWORD value);
    void SetString(const wchar_t* name, const wchar_t* text);
    void DeleteValue(const wchar_t* name);

    // The value table's entries, with their own names and defaults. A number above the entry's
    // largest value counts as unreadable: it reads as the default, which replaces it.
    DWORD Get(const Settings::DwordValue& value);
    std::wstring Get(const Settings::StringValue& value);

    std::wstring keyPath;
};

// The process-wide store, created on first use (first from the run routine, before other threads).
CRegSettings& GetSettings();
