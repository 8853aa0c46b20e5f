#include "tests/support/DebugOutputCapture.h"

#include <windows.h>

namespace {

std::wstring ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info)
{
    size_t bytes = info.nDebugStringLength * (info.fUnicode ? 2 : 1);
    std::vector<char> buffer(bytes + 2, 0);
    SIZE_T read = 0;
    ReadProcessMemory(process, info.lpDebugStringData, buffer.data(), bytes, &read);
    if (info.fUnicode)
        return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data()));
    int length = MultiByteToWideChar(CP_ACP, 0, buffer.data(), -1, nullptr, 0);
    std::wstring text(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_ACP, 0, buffer.data(), -1, &text[0], length);
    return text;
}

}  // namespace

DebugRun RunCapturingDebugOutput(const std::wstring& commandLine, unsigned long timeoutMs)
{
    DebugRun run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        nullptr, &startup, &process))
        return run;
    run.started = true;
    DWORD deadline = GetTickCount() + timeoutMs;
    for (;;) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 500)) {
            if (GetTickCount() > deadline) {
                TerminateProcess(process.hProcess, 0xDEAD);
                deadline = GetTickCount() + 5000;
            }
            continue;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case OUTPUT_DEBUG_STRING_EVENT:
            run.strings.push_back(ReadDebugString(process.hProcess, event.u.DebugString));
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            run.exitCode = event.u.ExitProcess.dwExitCode;
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return run;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
}
