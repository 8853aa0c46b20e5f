#include "outside/freshet/FreshetStore.h"

#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

namespace freshet {

namespace {

constexpr int kMaxVersionParts = 4;
constexpr size_t kMaxPartDigits = 9;
constexpr size_t kMaxNameChars = 100;
constexpr DWORD kRecordChars = 260;
constexpr const wchar_t* kSection = L"Update";

std::wstring RecordPath(const GUID& product)
{
    return CacheFolder(product) + L"\\update.ini";
}

std::wstring ReadProfile(const std::wstring& file, const wchar_t* key)
{
    wchar_t text[kRecordChars] = {};
    GetPrivateProfileStringW(kSection, key, L"", text, kRecordChars, file.c_str());
    return text;
}

}  // namespace

std::wstring GuidText(const GUID& guid, bool braces)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    std::wstring result = text;
    return braces ? result : result.substr(1, result.size() - 2);
}

std::wstring ServerAddress()
{
    wchar_t text[1024] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    DWORD type = 0;
    std::wstring server = kDefaultServer;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExW(key, kServerValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) ==
                ERROR_SUCCESS && type == REG_SZ && text[0])
            server = text;
        RegCloseKey(key);
    }
    while (!server.empty() && server.back() == L'/')
        server.pop_back();
    return server;
}

std::wstring FeedUrl(const GUID& product)
{
    return ServerAddress() + L"/" + GuidText(product, false) + L"/feed.txt";
}

std::wstring PackageUrl(const GUID& product, const UpdateRecord& record)
{
    return ServerAddress() + L"/" + GuidText(product, false) + L"/" + record.package;
}

std::wstring CacheFolder(const GUID& product)
{
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData);
    std::wstring folder = std::wstring(appData) + L"\\Freshet";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\" + GuidText(product, true);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring PackagePath(const GUID& product, const UpdateRecord& record)
{
    return CacheFolder(product) + L"\\" + record.package;
}

bool ReadRecord(const GUID& product, UpdateRecord& record)
{
    std::wstring file = RecordPath(product);
    record.version = ReadProfile(file, L"Version");
    record.package = ReadProfile(file, L"Package");
    record.size = _wcstoui64(ReadProfile(file, L"Size").c_str(), nullptr, 10);
    record.downloadMode = _wtoi(ReadProfile(file, L"Mode").c_str());
    unsigned long parts[kMaxVersionParts];
    // A record edited by hand is as untrusted as a feed.
    return ParseVersion(record.version, parts) && IsPlainFileName(record.package);
}

bool WriteRecord(const GUID& product, const UpdateRecord& record)
{
    std::wstring file = RecordPath(product);
    wchar_t size[32] = {};
    _snwprintf(size, 31, L"%I64u", record.size);
    return WritePrivateProfileStringW(kSection, L"Version", record.version.c_str(), file.c_str()) &&
           WritePrivateProfileStringW(kSection, L"Package", record.package.c_str(), file.c_str()) &&
           WritePrivateProfileStringW(kSection, L"Size", size, file.c_str()) &&
           WritePrivateProfileStringW(kSection, L"Mode", record.downloadMode ? L"1" : L"0", file.c_str());
}

bool PackageComplete(const GUID& product, const UpdateRecord& record)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(PackagePath(product, record).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return record.size == 0 || size == record.size;
}

bool ParseVersion(const std::wstring& text, unsigned long parts[4])
{
    int count = 0;
    size_t digits = 0;
    unsigned long value = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        wchar_t c = i < text.size() ? text[i] : L'.';
        if (c >= L'0' && c <= L'9') {
            if (++digits > kMaxPartDigits)
                return false;
            value = value * 10 + static_cast<unsigned long>(c - L'0');
        } else if (c == L'.' && digits > 0 && count < kMaxVersionParts) {
            parts[count++] = value;
            value = 0;
            digits = 0;
        } else {
            return false;
        }
    }
    for (int i = count; i < kMaxVersionParts; ++i)
        parts[i] = 0;
    return true;
}

int CompareVersions(const unsigned long a[4], const unsigned long b[4])
{
    for (int i = 0; i < kMaxVersionParts; ++i)
        if (a[i] != b[i])
            return a[i] > b[i] ? 1 : -1;
    return 0;
}

bool IsPlainFileName(const std::wstring& name)
{
    if (name.empty() || name.size() > kMaxNameChars || name[0] == L'.')
        return false;
    for (wchar_t c : name)
        if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.' ||
              c == L'-' || c == L'_'))
            return false;
    return true;
}

}  // namespace freshet
