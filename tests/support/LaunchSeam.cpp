#include "tests/support/LaunchSeam.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

#include "tests/support/ImportSlot.h"

namespace {

std::wstring g_fileName;
DWORD g_error = 0;
volatile LONG g_refused = 0;

bool Refused(const wchar_t* path)
{
    if (g_fileName.empty() || path == nullptr)
        return false;
    size_t length = wcslen(path);
    if (length < g_fileName.size() || _wcsicmp(path + length - g_fileName.size(), g_fileName.c_str()) != 0)
        return false;
    InterlockedIncrement(&g_refused);
    SetLastError(g_error);
    return true;
}

template <typename Fn>
Fn Real(const wchar_t* module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

HINSTANCE WINAPI HookShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                                   INT show)
{
    if (Refused(file))
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
    return Real<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW")(owner, verb, file, parameters, folder,
                                                                           show);
}

BOOL WINAPI HookCreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                               LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                               LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION information)
{
    if (Refused(application))
        return FALSE;
    return Real<decltype(&CreateProcessW)>(L"kernel32.dll", "CreateProcessW")(
        application, commandLine, process, thread, inherit, flags, environment, folder, startup, information);
}

}  // namespace

// The main page bridge takes ShellExecuteW's address, which names the thunk: defined here as well,
// it leads into the same hook, and the import library's thunk (with its own slot) is not linked.
extern "C" HINSTANCE WINAPI SeamShellExecuteThunk(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                                  LPCWSTR folder, INT show) __asm__(IMPORT_THUNK(ShellExecuteW, 24));
extern "C" HINSTANCE WINAPI SeamShellExecuteThunk(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                                  LPCWSTR folder, INT show)
{
    return HookShellExecuteW(owner, verb, file, parameters, folder, show);
}

void RefuseLaunchesOf(const wchar_t* fileName, DWORD error)
{
    g_fileName = fileName ? fileName : L"";
    g_error = error;
    g_refused = 0;
}

LONG RefusedLaunches()
{
    return g_refused;
}

extern "C" {
void* g_slotShellExecuteW __asm__(IMPORT_SLOT(ShellExecuteW, 24)) = reinterpret_cast<void*>(&HookShellExecuteW);
void* g_slotCreateProcessW __asm__(IMPORT_SLOT(CreateProcessW, 40)) = reinterpret_cast<void*>(&HookCreateProcessW);
}
