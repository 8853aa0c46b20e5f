#include "app/WebAccessor.h"

#include <string>

#include "core/LogFile.h"

namespace {

constexpr const wchar_t* kAgent = L"Lyrant";
constexpr DWORD kBlockBytes = 1024;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI;

DWORD QueryNumber(HINTERNET request, DWORD what, bool* present = nullptr)
{
    DWORD value = 0, size = sizeof(value);
    bool ok = HttpQueryInfoW(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
    if (present)
        *present = ok;
    return ok ? value : 0;
}

class CInternetHandle
{
public:
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~CInternetHandle()
    {
        if (m_handle)
            InternetCloseHandle(m_handle);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    operator HINTERNET() const { return m_handle; }

private:
    HINTERNET m_handle;
};

}  // namespace

CWebAccessor::CWebAccessor()
{
    InternetAttemptConnect(0);
    m_session = InternetOpenW(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    DWORD state = 0;
    if (!m_session || !InternetGetConnectedState(&state, 0) || (state & INTERNET_CONNECTION_OFFLINE)) {
        if (m_session)
            InternetCloseHandle(m_session);
        m_session = InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    }
}

CWebAccessor::~CWebAccessor()
{
    if (m_session)
        InternetCloseHandle(m_session);
}

bool CWebAccessor::Connect(const wchar_t* host)
{
    if (!m_session)
        return false;
    if (m_connection)
        InternetCloseHandle(m_connection);
    m_connection = InternetConnectW(m_session, host, INTERNET_DEFAULT_HTTP_PORT, L"", L"", INTERNET_SERVICE_HTTP, 0, 0);
    return m_connection != nullptr;
}

bool CWebAccessor::IsConnected()
{
    DWORD state = 0;
    return InternetGetConnectedState(&state, 0) != FALSE;
}

bool CWebAccessor::GetWebPage(const wchar_t* address, char* buffer, DWORD& size)
{
    g_LogFile.Log(L"CWebAccessor::GetWebPage(\"%s\", ...)", address);
    if (!m_session || !buffer || size == 0)
        return false;
    CInternetHandle request(InternetOpenUrlW(m_session, address, nullptr, 0, kRequestFlags, 0));
    if (!request || QueryNumber(request, HTTP_QUERY_STATUS_CODE) != HTTP_STATUS_OK)
        return false;
    bool hasLength = false;
    DWORD length = QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, &hasLength);
    if (hasLength && size < length + 1) {
        size = length + 1;
        return false;
    }
    // One read may return less than the whole body: read until it ends or the buffer is full.
    DWORD total = 0;
    for (DWORD read = 1; read != 0 && total < size - 1; total += read)
        if (!InternetReadFile(request, buffer + total, size - 1 - total, &read))
            return false;
    buffer[total] = '\0';
    bool complete = hasLength ? total == length : true;
    if (!hasLength && total == size - 1) {
        char more = 0;
        DWORD read = 0;
        complete = InternetReadFile(request, &more, 1, &read) && read == 0;
    }
    size = total;
    return complete;
}

bool CWebAccessor::DownloadFile(const wchar_t* address, const wchar_t* localFile)
{
    g_LogFile.Log(L"CWebAccessor::DownloadFile(\"%s\", \"%s\", ...)", address, localFile);
    if (!m_session || !address || !localFile)
        return false;
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    wchar_t path[INTERNET_MAX_PATH_LENGTH + 1] = {};
    wchar_t extra[INTERNET_MAX_PATH_LENGTH + 1] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = ARRAYSIZE(path);
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = ARRAYSIZE(extra);
    if (!InternetCrackUrlW(address, 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP)
        return false;
    CInternetHandle connection(InternetConnectW(m_session, host, parts.nPort, nullptr, nullptr,
                                                INTERNET_SERVICE_HTTP, 0, 0));
    std::wstring object = std::wstring(path[0] ? path : L"/") + extra;
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    CInternetHandle request(connection ? HttpOpenRequestW(connection, L"GET", object.c_str(), L"HTTP/1.1", nullptr,
                                                          acceptTypes, kRequestFlags, 0)
                                       : nullptr);
    if (!request || !HttpSendRequestW(request, nullptr, 0, nullptr, 0) ||
        QueryNumber(request, HTTP_QUERY_STATUS_CODE) != HTTP_STATUS_OK)
        return false;
    bool hasLength = false;
    DWORD length = QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, &hasLength);

    std::wstring temporary = std::wstring(localFile) + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char block[kBlockBytes];
    DWORD total = 0, read = 0, written = 0;
    bool ok = true;
    while (ok && (ok = InternetReadFile(request, block, kBlockBytes, &read) != FALSE) && read > 0) {
        ok = WriteFile(file, block, read, &written, nullptr) && written == read;
        total += read;
    }
    CloseHandle(file);
    ok = ok && (!hasLength || total == length) && MoveFileExW(temporary.c_str(), localFile, MOVEFILE_REPLACE_EXISTING);
    if (!ok)
        DeleteFileW(temporary.c_str());
    return ok;
}
