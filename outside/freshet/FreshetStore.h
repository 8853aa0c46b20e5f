#pragma once
#include <windows.h>

#include <string>

// The library's own state: its registry key (server address, installed versions) and its cache in
// the application-data folder, one folder per product holding "update.ini" (what the last good feed
// offered) and the package once it is completely downloaded.
namespace freshet {

constexpr const wchar_t* kRegistryKey = L"Software\\Freshet";
constexpr const wchar_t* kServerValue = L"Server";
constexpr const wchar_t* kInstalledKey = L"Software\\Freshet\\Installed";
constexpr const wchar_t* kDefaultServer = L"http://www.tarnwick.com/freshet";

// What a feed offered for a product.
struct UpdateRecord
{
    std::wstring version;
    std::wstring package;            // a plain file name
    unsigned long long size = 0;     // bytes; 0 when the feed did not say
    int downloadMode = 0;            // non-zero: download without asking
};

// "{...}" with braces, or the bare 36 characters.
std::wstring GuidText(const GUID& guid, bool braces);
// The server address without a trailing slash.
std::wstring ServerAddress();
std::wstring FeedUrl(const GUID& product);
std::wstring PackageUrl(const GUID& product, const UpdateRecord& record);

std::wstring CacheFolder(const GUID& product);   // created when missing
std::wstring PackagePath(const GUID& product, const UpdateRecord& record);
bool ReadRecord(const GUID& product, UpdateRecord& record);
bool WriteRecord(const GUID& product, const UpdateRecord& record);
// The package file exists and has the size the feed gave.
bool PackageComplete(const GUID& product, const UpdateRecord& record);

// Dotted decimal versions ("1", "1.2", "2.0.13"); false for anything else.
bool ParseVersion(const std::wstring& text, unsigned long parts[4]);
// >0 when a is newer than b, 0 when equal, <0 when older; both must parse.
int CompareVersions(const unsigned long a[4], const unsigned long b[4]);
// Letters, digits, '.', '-', '_' only, not starting with '.': safe as a file name and in a URL.
bool IsPlainFileName(const std::wstring& name);

}  // namespace freshet
