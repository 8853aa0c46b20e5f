#include "core/LogFile.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "core/AppPaths.h"
#include "core/WideFormat.h"

CLogFile g_LogFile;

CLogFile::~CLogFile()
{
    if (enabled)
        Log(L"Lyrant Log shutting down.");
    if (file) {
        fclose(file);
        file = nullptr;
    }
}

void CLogFile::Open()
{
    enabled = true;
    const wchar_t* folder = GetAppDataPath(L"\\LOG");
    if (!PathFileExistsW(folder))
        SHCreateDirectoryExW(nullptr, folder, nullptr);
    const wchar_t* path = GetAppDataPath(L"\\LOG\\Lyrant.log");
    char narrowPath[MAX_PATH * 4];
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, path, -1, narrowPath, sizeof(narrowPath), nullptr, nullptr) > 0)
        file = fopen(narrowPath, "w");
    Log(L"Lyrant Log begin.");
}

void CLogFile::Log(const wchar_t* format, ...)
{
    if (!enabled)
        return;
    va_list args;
    va_start(args, format);
    LogV(format, args);
    va_end(args);
}

void CLogFile::LogV(const wchar_t* format, va_list args)
{
    wchar_t message[kLineChars];
    if (FormatWideV(message, kLineChars, format, args) < 0)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t line[kLineChars];
    // A long message is cut so that the blank and the line feed still end the line.
    int prefix = FormatWide(line, kLineChars - 2, L"[%02u:%02u:%02u] %s", now.wHour, now.wMinute,
                            now.wSecond, message);
    line[prefix] = L' ';
    line[prefix + 1] = L'\n';
    line[prefix + 2] = L'\0';
    OutputDebugStringW(line);
    if (!file)
        return;
    char narrow[kLineChars * 4];
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, line, -1, narrow, sizeof(narrow), nullptr, nullptr) > 0) {
        fputs(narrow, file);
        // Each line reaches the file at once: a crash must not take the lines before it along.
        fflush(file);
    }
}
