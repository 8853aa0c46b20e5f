#include "core/RegSettings.h"

#include "core/RegistryKey.h"

CRegSettings::CRegSettings() : keyPath(Settings::kOptionsKey) {}

CRegSettings::CRegSettings(MruKey) : keyPath(Settings::kMruKey) {}

DWORD CRegSettings::GetDWORD(const wchar_t* name, DWORD defaultValue)
{
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, keyPath.c_str());
    return key.QueryDWORDValue(name, defaultValue);
}

std::wstring& CRegSettings::GetString(std::wstring& out, const wchar_t* name, const wchar_t* defaultValue)
{
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, keyPath.c_str());
    return key.QueryStringValue(out, name, defaultValue);
}

void CRegSettings::SetDWORD(const wchar_t* name, DWORD value)
{
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, keyPath.c_str());
    WriteRegDWORD(HKEY_CURRENT_USER, keyPath.c_str(), name, value);
}

void CRegSettings::SetString(const wchar_t* name, const wchar_t* text)
{
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, keyPath.c_str());
    WriteRegString(HKEY_CURRENT_USER, keyPath.c_str(), name, text);
}

void CRegSettings::DeleteValue(const wchar_t* name)
{
    CRegistryKey key;
    key.Create(HKEY_CURRENT_USER, keyPath.c_str());
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(handle, name);
    RegCloseKey(handle);
}

DWORD CRegSettings::Get(const Settings::DwordValue& value)
{
    DWORD stored = GetDWORD(value.name, value.defaultValue);
    if (stored <= value.maxValue)
        return stored;
    SetDWORD(value.name, value.defaultValue);
    return value.defaultValue;
}

std::wstring CRegSettings::Get(const Settings::StringValue& value)
{
    std::wstring out;
    GetString(out, value.name, value.defaultValue);
    return out;
}

CRegSettings& GetSettings()
{
    // Never destroyed: threads may still read settings while the process ends.
    static CRegSettings* settings = new CRegSettings();
    return *settings;
}
