#pragma once
#include <windows.h>

#include <cstddef>

// Freshet.dll: the update library of the manager's maker. It asks an update server for the newest
// version of a product, downloads the package into its own cache and installs it from rundll32:
//   rundll32.exe Freshet.dll FRInstallUpdate {product GUID}
// The server's address comes from HKCU "Software\Freshet" value "Server" (an http:// address;
// default the maker's web host). The feed of a product is "<server>/<GUID without braces>/feed.txt".
#ifdef FRESHET_BUILD
#define FRESHET_API __declspec(dllexport)
#else
#define FRESHET_API __declspec(dllimport)
#endif

class FRESHET_API CFreshet
{
public:
    CFreshet();
    ~CFreshet();
    CFreshet(const CFreshet&) = delete;
    CFreshet& operator=(const CFreshet&) = delete;

    // Selects the product for the calls that follow; every other call returns 0 until then.
    void SetProduct(GUID product);
    // Fetches the feed and keeps what it offers; non-zero when it offers a version newer than the
    // current one. 0 when it offers none, or the server, the feed or the text is unusable.
    int CheckUpdate(const wchar_t* currentVersion);
    // What the last good feed offered: its version text (copied only when it fits the buffer of
    // versionChars characters), the package size in bytes and the download mode (non-zero: download
    // without asking). 0 when nothing is known.
    int GetUpdateInfo(wchar_t* version, size_t versionChars, int& packageSize, int& downloadMode);
    // Non-zero when the offered package (of that version, when one is named) is complete in the cache.
    int UpdateDownloaded(const wchar_t* version);
    // Downloads the offered package (of that version, when one is named); non-zero when it is complete.
    // A download that fails or is cut off leaves nothing in the cache. This library shows no progress
    // window, so withUserInterface changes nothing.
    int DownloadUpdate(const wchar_t* version, int withUserInterface);

private:
    struct Product;
    Product* m_product;   // behind a pointer, so callers' objects keep their size
};

// The installer entry for rundll32 (narrow form only: rundll32 would prefer a wide one): installs
// the downloaded package of the product named on the command line and records it under HKCU
// "Software\Freshet\Installed" (value: the product GUID with braces, data: the version installed).
extern "C" FRESHET_API void CALLBACK FRInstallUpdate(HWND window, HINSTANCE instance, LPSTR commandLine, int show);
