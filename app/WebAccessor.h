#pragma once
#include <windows.h>
#include <wininet.h>

// The manager's small internet session: the update thread only asks whether a session and an
// HTTP connection handle can be made; the page and file readers are offered for later use.
class CWebAccessor
{
public:
    // Opens the session directly, or through the system's configuration when a direct session
    // cannot be opened or the system reports itself offline.
    CWebAccessor();
    // Closes the session, and with it the connection made from it.
    ~CWebAccessor();
    CWebAccessor(const CWebAccessor&) = delete;
    CWebAccessor& operator=(const CWebAccessor&) = delete;

    // An HTTP connection handle to the host on the default port; no request is sent.
    bool Connect(const wchar_t* host);
    // Whether the system can tell its internet connection state.
    static bool IsConnected();

    // The page's body, zero-terminated, into buffer; size is the buffer's size in bytes on entry and
    // the bytes read on return. When the buffer is too small, size becomes the bytes needed and the
    // result is false. Only a 200 answer counts.
    bool GetWebPage(const wchar_t* address, char* buffer, DWORD& size);
    // The body of a 200 answer into localFile, through a temporary file beside it that is renamed
    // only when every announced byte has arrived.
    bool DownloadFile(const wchar_t* address, const wchar_t* localFile);

    HINTERNET m_session = nullptr;
    HINTERNET m_connection = nullptr;
};
