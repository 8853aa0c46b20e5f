#include "tests/support/StoredOptions.h"

#include <shlwapi.h>

#include "core/SettingsTable.h"

std::wstring ReadOption(const wchar_t* name)
{
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (SHGetValueW(HKEY_CURRENT_USER, Settings::kOptionsKey, name, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

DWORD ReadOptionDword(const wchar_t* name, DWORD missing)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (SHGetValueW(HKEY_CURRENT_USER, Settings::kOptionsKey, name, nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}
