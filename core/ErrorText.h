#pragma once
#include <windows.h>

#include <string>

// A system error code as the user reads it: "0x00000002 - The system cannot find the file
// specified." (the system's text without its line break), or "0x%08X - Unknown Error." when the
// system has no text for it.
std::wstring ErrorText(DWORD code);
