#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A real HTTP server on 127.0.0.1 for the update library's tests: Python's http.server over a
// folder of the test's own, started through Wine as a Unix program and stopped by its pid.
class CLocalUpdateServer
{
public:
    CLocalUpdateServer();    // starts it; Url() is empty when it did not start
    ~CLocalUpdateServer();   // stops it and removes its folder
    CLocalUpdateServer(const CLocalUpdateServer&) = delete;
    CLocalUpdateServer& operator=(const CLocalUpdateServer&) = delete;

    std::wstring Url() const;   // "http://127.0.0.1:<port>"
    // A file under the served folder (relative path with '/'); cut: announced whole, sent half.
    void Put(const std::string& relative, const std::string& content, bool cut = false);
    void Remove(const std::string& relative);
    // The feed of the product, and its package when content is not empty.
    void PutUpdate(const GUID& product, const std::string& version, const std::string& package,
                   const std::string& content, int downloadMode = 0, bool cut = false);
    // The request paths served so far, oldest first.
    std::vector<std::string> Requests() const;
    bool Requested(const std::string& pathPart) const;

    static std::string FeedPath(const GUID& product);   // "<guid>/feed.txt"

private:
    std::wstring ServedPath(const std::string& relative) const;   // creates its folders

    std::wstring m_folder;
    std::wstring m_state;
    std::wstring m_log;
    int m_port = 0;
};

// Points the update library at an address (HKCU "Software\Freshet" "Server") for the object's life,
// then puts the earlier value back.
class CFreshetServerSetting
{
public:
    explicit CFreshetServerSetting(const std::wstring& url);
    ~CFreshetServerSetting();

private:
    std::wstring m_previous;
    bool m_hadPrevious = false;
};

// An address where nothing listens: a server that is down.
constexpr const wchar_t* kDownServerUrl = L"http://127.0.0.1:1";

// The update library's cache folder of a product, and clearing it.
std::wstring FreshetCacheFolder(const GUID& product);
void ClearFreshetCache(const GUID& product);
// The installer's record of a product ("" when none), and removing it.
std::wstring InstalledVersion(const GUID& product);
void ClearInstalledRecord(const GUID& product);
// Polls until the record appears; its version, or "" after the timeout.
std::wstring WaitForInstalledVersion(const GUID& product, DWORD timeoutMs);
