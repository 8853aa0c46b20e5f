#include "core/SystemChecks.h"

#include "core/WideFormat.h"

namespace {

constexpr int kErrorBoxChars = 200;
constexpr WORD kArchitectureAmd64 = 9;
constexpr WORD kArchitectureIa64 = 6;

[[noreturn]] void ThrowLastError()
{
    throw static_cast<DWORD>(GetLastError());
}

// Closes a token handle on every way out, exceptions included.
class CTokenHandle
{
public:
    CTokenHandle() = default;
    ~CTokenHandle()
    {
        if (handle)
            CloseHandle(handle);
    }
    CTokenHandle(const CTokenHandle&) = delete;
    CTokenHandle& operator=(const CTokenHandle&) = delete;

    HANDLE handle = nullptr;
};

void OpenProcessToken(DWORD access, CTokenHandle& token)
{
    if (!::OpenProcessToken(GetCurrentProcess(), access, &token.handle))
        ThrowLastError();
}

}  // namespace

bool IsUserAdmin()
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                  0, 0, 0, 0, &administrators))
        ThrowLastError();
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) {
        DWORD error = GetLastError();
        FreeSid(administrators);
        throw error;
    }
    FreeSid(administrators);
    return member != FALSE;
}

bool IsUserAdminNoThrow()
{
    try {
        return IsUserAdmin();
    } catch (DWORD) {
        return false;
    }
}

bool Is64BitWindows()
{
    using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
    auto getNative = reinterpret_cast<GetNativeSystemInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo")));
    SYSTEM_INFO info = {};
    if (getNative)
        getNative(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture == kArchitectureAmd64 || info.wProcessorArchitecture == kArchitectureIa64;
}

DWORD GetProcessIntegrityLevel()
{
    CTokenHandle token;
    OpenProcessToken(TOKEN_QUERY, token);
    DWORD size = 0;
    if (!GetTokenInformation(token.handle, TokenIntegrityLevel, nullptr, 0, &size) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        ThrowLastError();
    HLOCAL buffer = LocalAlloc(LPTR, size);
    if (!buffer)
        ThrowLastError();
    if (!GetTokenInformation(token.handle, TokenIntegrityLevel, buffer, size, &size)) {
        DWORD error = GetLastError();
        LocalFree(buffer);
        throw error;
    }
    PSID sid = static_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    DWORD level = *GetSidSubAuthority(sid, 0);
    LocalFree(buffer);
    return level;
}

bool IsProcessElevated()
{
    CTokenHandle token;
    OpenProcessToken(TOKEN_QUERY, token);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.handle, TokenElevation, &elevation, sizeof(elevation), &size))
        ThrowLastError();
    return elevation.TokenIsElevated != 0;
}

bool IsRunAsAdmin()
{
    CTokenHandle token;
    OpenProcessToken(TOKEN_QUERY | TOKEN_DUPLICATE, token);
    CTokenHandle tested;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    if (version.dwMajorVersion >= 6) {
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0;
        if (!GetTokenInformation(token.handle, TokenElevationType, &type, sizeof(type), &size))
            ThrowLastError();
        if (type == TokenElevationTypeLimited) {
            TOKEN_LINKED_TOKEN linked = {};
            if (!GetTokenInformation(token.handle, TokenLinkedToken, &linked, sizeof(linked), &size))
                ThrowLastError();
            tested.handle = linked.LinkedToken;
        }
    }
    if (!tested.handle && !DuplicateToken(token.handle, SecurityIdentification, &tested.handle))
        ThrowLastError();
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sid);
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize))
        ThrowLastError();
    BOOL member = FALSE;
    if (!CheckTokenMembership(tested.handle, sid, &member))
        ThrowLastError();
    return member != FALSE;
}

void ReportError(const wchar_t* function, DWORD error)
{
    wchar_t text[kErrorBoxChars];
    FormatWide(text, kErrorBoxChars, L"%s failed w/err 0x%08lx", function, error);
    MessageBoxW(nullptr, text, L"Error", MB_ICONERROR);
}
