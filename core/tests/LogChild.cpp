// Drives the process-wide log the way the program does, so the test can read what a whole process
// (its exit included) leaves behind. Arguments: "open" to open the log first, or "crash" to open
// it, write a few lines and end the process hard; then a marker text.
#include <windows.h>

#include <string>

#include "core/LogFile.h"

int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc > 1 ? argv[1] : L"";
    bool open = mode == L"open";
    const wchar_t* marker = argc > 2 ? argv[2] : L"marker";
    if (mode == L"crash") {
        g_LogFile.Open();
        for (int line = 1; line <= 3; ++line)
            g_LogFile.Log(L"%s line %d", marker, line);
        // As a crash ends it: no exit handlers, no stream closed.
        TerminateProcess(GetCurrentProcess(), 3);
    }
    g_LogFile.Log(L"before open %s", marker);
    if (open)
        g_LogFile.Open();
    g_LogFile.Log(L"%s device %s", marker, L"Tarnwick Virtual Audio");
    g_LogFile.Log(L"\nDevice list follows");
    g_LogFile.Log(L"non-ASCII %s", L"Gr\u00FC\u00DFe");
    g_LogFile.Log(L"%d of %u", -3, 7u);
    g_LogFile.Log(L"%s", std::wstring(600, L'z').c_str());
    return 0;
}
