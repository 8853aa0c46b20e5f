#include "outside/freshet/FreshetHttp.h"

#include <windows.h>
#include <wininet.h>

namespace freshet {

namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr DWORD kBlockBytes = 8192;
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;

// A session and an open request for one address; valid only after a 200 answer.
class CRequest
{
public:
    explicit CRequest(const std::wstring& url)
    {
        m_session = InternetOpenW(L"Freshet", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        if (!m_session)
            return;
        DWORD timeout = kTimeoutMs;
        InternetSetOptionW(m_session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
        InternetSetOptionW(m_session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
        InternetSetOptionW(m_session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
        m_request = InternetOpenUrlW(m_session, url.c_str(), nullptr, 0, kOpenFlags, 0);
        if (!m_request)
            return;
        DWORD status = 0, size = sizeof(status);
        m_ok = HttpQueryInfoW(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
               status == HTTP_STATUS_OK;
        DWORD length = 0;
        size = sizeof(length);
        m_hasLength = HttpQueryInfoW(m_request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                                     nullptr) != FALSE;
        m_length = length;
    }
    ~CRequest()
    {
        if (m_request)
            InternetCloseHandle(m_request);
        if (m_session)
            InternetCloseHandle(m_session);
    }
    CRequest(const CRequest&) = delete;
    CRequest& operator=(const CRequest&) = delete;

    bool Ok() const { return m_ok; }
    bool HasLength() const { return m_hasLength; }
    unsigned long long Length() const { return m_length; }

    // One block; 0 bytes at the end of the body. False on a read error.
    bool Read(char* buffer, DWORD size, DWORD& read) { return InternetReadFile(m_request, buffer, size, &read) != FALSE; }

private:
    HINTERNET m_session = nullptr;
    HINTERNET m_request = nullptr;
    bool m_ok = false;
    bool m_hasLength = false;
    unsigned long long m_length = 0;
};

}  // namespace

bool FetchBody(const std::wstring& url, size_t maxBytes, std::string& body)
{
    body.clear();
    CRequest request(url);
    if (!request.Ok() || (request.HasLength() && request.Length() > maxBytes))
        return false;
    char block[kBlockBytes];
    for (DWORD read = 0;; body.append(block, read)) {
        if (!request.Read(block, sizeof(block), read))
            return false;
        if (read == 0)
            break;
        if (body.size() + read > maxBytes)
            return false;
    }
    return !request.HasLength() || body.size() == request.Length();
}

bool DownloadToFile(const std::wstring& url, const std::wstring& target, unsigned long long expectedSize)
{
    CRequest request(url);
    if (!request.Ok() || (request.HasLength() && expectedSize && request.Length() != expectedSize))
        return false;
    std::wstring part = target + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    unsigned long long total = 0;
    bool ok = true;
    char block[kBlockBytes];
    for (;;) {
        DWORD read = 0, written = 0;
        if (!request.Read(block, sizeof(block), read)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        if (!WriteFile(file, block, read, &written, nullptr) || written != read) {
            ok = false;
            break;
        }
        total += read;
    }
    CloseHandle(file);
    ok = ok && (!request.HasLength() || total == request.Length()) && (expectedSize == 0 || total == expectedSize) &&
         MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok)
        DeleteFileW(part.c_str());
    return ok;
}

}  // namespace freshet
