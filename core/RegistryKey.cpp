#include "core/RegistryKey.h"

#include <cwchar>

void WriteRegString(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* text)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (!text)
        text = L"";
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void WriteRegDWORD(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

void CRegistryKey::Create(HKEY rootKey, const wchar_t* keyPath)
{
    root = rootKey;
    path = keyPath ? keyPath : L"";
    HKEY key;
    if (RegOpenKeyW(root, path.c_str(), &key) != ERROR_SUCCESS) {
        wchar_t emptyClass[1] = {L'\0'};
        if (RegCreateKeyExW(root, path.c_str(), 0, emptyClass, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
    }
    RegCloseKey(key);
}

DWORD CRegistryKey::QueryDWORDValue(const wchar_t* name, DWORD defaultValue)
{
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return defaultValue;
    // Cleared first: a value with fewer than 4 bytes of data leaves the upper bytes alone.
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        WriteRegDWORD(root, path.c_str(), name, defaultValue);
        return defaultValue;
    }
    return data;
}

std::wstring& CRegistryKey::QueryStringValue(std::wstring& out, const wchar_t* name,
                                             const wchar_t* defaultValue)
{
    out.clear();
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return out;
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer);
    LONG status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        if (defaultValue) {
            WriteRegString(root, path.c_str(), name, defaultValue);
            out = defaultValue;
        }
        return out;
    }
    out.assign(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
    return out;
}

void CRegistryKey::SetStringValue(const wchar_t* name, const wchar_t* text)
{
    WriteRegString(root, path.c_str(), name, text);
}
