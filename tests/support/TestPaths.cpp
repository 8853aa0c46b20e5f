#include "tests/support/TestPaths.h"

#include <windows.h>

std::wstring TestExeFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::string ReadFileBytes(const std::wstring& path, bool* exists)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (exists)
        *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

long RunProcess(const std::wstring& commandLine, unsigned long timeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 0xDEAD);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

std::string UnixPath(const std::wstring& windowsPath)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    static ToUnix toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    char* path = toUnix(windowsPath.c_str());
    if (!path)
        return std::string();
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}
