// Drives the process-wide log the way the program does, so the test can read what a whole process
// (its exit included) leaves behind. Arguments: "open" to open the log first, then a marker text.
#include <windows.h>

#include <string>

#include "core/LogFile.h"

int wmain(int argc, wchar_t** argv)
{
    bool open = argc > 1 && std::wstring(argv[1]) == L"open";
    const wchar_t* marker = argc > 2 ? argv[2] : L"marker";
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
