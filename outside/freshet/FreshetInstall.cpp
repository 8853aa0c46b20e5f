#include <objbase.h>

#include <string>

#include "outside/freshet/Freshet.h"
#include "outside/freshet/FreshetStore.h"

using namespace freshet;

namespace {

// The product GUID of the command line, with braces, surrounded by nothing but blanks.
bool ParseProduct(const char* commandLine, GUID& product)
{
    if (!commandLine)
        return false;
    std::string text = commandLine;
    size_t begin = text.find_first_not_of(" \t\"");
    size_t end = text.find_last_not_of(" \t\"\r\n");
    if (begin == std::string::npos || end - begin + 1 != 38)
        return false;
    std::wstring guid(text.begin() + static_cast<std::ptrdiff_t>(begin),
                      text.begin() + static_cast<std::ptrdiff_t>(end) + 1);
    return SUCCEEDED(CLSIDFromString(guid.c_str(), &product));
}

bool RecordInstalled(const GUID& product, const std::wstring& version)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kInstalledKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    std::wstring name = GuidText(product, true);
    LONG result = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                                 static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace

// The package is this library's own format, so installing it means taking it out of the cache and
// recording the version; the next check then finds that version installed.
extern "C" void CALLBACK FRInstallUpdate(HWND, HINSTANCE, LPSTR commandLine, int)
{
    GUID product;
    UpdateRecord record;
    if (!ParseProduct(commandLine, product) || !ReadRecord(product, record) || !PackageComplete(product, record))
        return;
    if (RecordInstalled(product, record.version))
        DeleteFileW(PackagePath(product, record).c_str());
}
