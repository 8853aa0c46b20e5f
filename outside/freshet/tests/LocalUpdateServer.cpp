#include "outside/freshet/tests/LocalUpdateServer.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "tests/support/TestPaths.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStopTimeoutMs = 10000;
constexpr DWORD kPollMs = 20;
constexpr const wchar_t* kFreshetKey = L"Software\\Freshet";
constexpr const wchar_t* kInstalledKey = L"Software\\Freshet\\Installed";

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Wine starts Unix programs but gives back no process to wait for: the script reports through files.
bool StartPython(const std::string& arguments)
{
    std::string script = UnixPath(TestExeFolder() + L"\\update_server.py");
    if (script.empty())
        return false;
    std::wstring line = Widen("/usr/bin/python3 " + script + " " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool WaitFor(bool exists, const std::wstring& path, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

void WriteBytes(const std::wstring& path, const std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

void DeleteTree(const std::wstring& folder)
{
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

}  // namespace

CLocalUpdateServer::CLocalUpdateServer()
{
    std::wstring root = TestExeFolder() + L"\\update_server";
    CreateDirectoryW(root.c_str(), nullptr);
    m_folder = root + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
    DeleteTree(m_folder);
    CreateDirectoryW(m_folder.c_str(), nullptr);
    m_state = m_folder + L".state";
    m_log = m_folder + L".log";
    DeleteFileW(m_state.c_str());
    WriteBytes(m_log, "");
    if (!StartPython("serve " + UnixPath(m_folder) + " " + UnixPath(m_state) + " " + UnixPath(m_log)) ||
        !WaitFor(true, m_state, kStartTimeoutMs))
        return;
    m_port = atoi(ReadFileBytes(m_state).c_str());
}

CLocalUpdateServer::~CLocalUpdateServer()
{
    if (GetFileAttributesW(m_state.c_str()) != INVALID_FILE_ATTRIBUTES && StartPython("stop " + UnixPath(m_state)))
        WaitFor(false, m_state, kStopTimeoutMs);
    DeleteTree(m_folder);
    DeleteFileW(m_log.c_str());
}

std::wstring CLocalUpdateServer::Url() const
{
    return m_port ? L"http://127.0.0.1:" + std::to_wstring(m_port) : std::wstring();
}

std::wstring CLocalUpdateServer::ServedPath(const std::string& relative) const
{
    std::wstring path = m_folder;
    size_t start = 0;
    for (size_t slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
        path += L"\\" + Widen(relative.substr(start, slash - start));
        CreateDirectoryW(path.c_str(), nullptr);
    }
    return path + L"\\" + Widen(relative.substr(start));
}

void CLocalUpdateServer::Remove(const std::string& relative)
{
    std::wstring path = ServedPath(relative);
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".cut").c_str());
}

void CLocalUpdateServer::Put(const std::string& relative, const std::string& content, bool cut)
{
    std::wstring path = ServedPath(relative);
    WriteBytes(path, content);
    if (cut)
        WriteBytes(path + L".cut", "");
    else
        DeleteFileW((path + L".cut").c_str());
}

std::string CLocalUpdateServer::FeedPath(const GUID& product)
{
    std::wstring guid = GuidText(product);
    return std::string(guid.begin() + 1, guid.end() - 1) + "/feed.txt";
}

void CLocalUpdateServer::PutUpdate(const GUID& product, const std::string& version, const std::string& package,
                                   const std::string& content, int downloadMode, bool cut)
{
    std::string feed = "# newest version\nversion=" + version + "\npackage=" + package + "\nsize=" +
                       std::to_string(content.size()) + "\ndownload=" + std::to_string(downloadMode) + "\n";
    Put(FeedPath(product), feed);
    std::string folder = FeedPath(product).substr(0, FeedPath(product).find('/'));
    if (!content.empty())
        Put(folder + "/" + package, content, cut);
}

std::vector<std::string> CLocalUpdateServer::Requests() const
{
    std::vector<std::string> requests;
    std::string log = ReadFileBytes(m_log);
    size_t start = 0;
    for (size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
        requests.push_back(log.substr(start, end - start));
    return requests;
}

bool CLocalUpdateServer::Requested(const std::string& pathPart) const
{
    for (const std::string& request : Requests())
        if (request.find(pathPart) != std::string::npos)
            return true;
    return false;
}

CFreshetServerSetting::CFreshetServerSetting(const std::wstring& url)
{
    wchar_t text[1024] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    m_hadPrevious = SHGetValueW(HKEY_CURRENT_USER, kFreshetKey, L"Server", nullptr, text, &bytes) == ERROR_SUCCESS;
    m_previous = text;
    // A server that did not start must not send the library to its default, the maker's web host.
    std::wstring address = url.empty() ? kDownServerUrl : url;
    SHSetValueW(HKEY_CURRENT_USER, kFreshetKey, L"Server", REG_SZ, address.c_str(),
                static_cast<DWORD>((address.size() + 1) * sizeof(wchar_t)));
}

CFreshetServerSetting::~CFreshetServerSetting()
{
    if (m_hadPrevious)
        SHSetValueW(HKEY_CURRENT_USER, kFreshetKey, L"Server", REG_SZ, m_previous.c_str(),
                    static_cast<DWORD>((m_previous.size() + 1) * sizeof(wchar_t)));
    else
        SHDeleteValueW(HKEY_CURRENT_USER, kFreshetKey, L"Server");
}

std::wstring FreshetCacheFolder(const GUID& product)
{
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\Freshet\\" + GuidText(product);
}

void ClearFreshetCache(const GUID& product)
{
    DeleteTree(FreshetCacheFolder(product));
}

std::wstring InstalledVersion(const GUID& product)
{
    wchar_t text[260] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    if (SHGetValueW(HKEY_CURRENT_USER, kInstalledKey, GuidText(product).c_str(), nullptr, text, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return text;
}

void ClearInstalledRecord(const GUID& product)
{
    SHDeleteValueW(HKEY_CURRENT_USER, kInstalledKey, GuidText(product).c_str());
}

std::wstring WaitForInstalledVersion(const GUID& product, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        std::wstring version = InstalledVersion(product);
        if (!version.empty() || GetTickCount() - start >= timeoutMs)
            return version;
    }
}
