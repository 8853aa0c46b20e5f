#pragma once
#include <windows.h>

// ShellExecuteW and CreateProcessW of the test executable's own code (the program's libraries
// included) through its import slots: link LaunchSeam.cpp into the test executable itself. Calls
// pass on to the system unless a refusal is armed.

// From now on, launches of a file whose path ends with `fileName` (case ignored; null: none) fail
// with `error` as the last error, and are counted.
void RefuseLaunchesOf(const wchar_t* fileName, DWORD error);
LONG RefusedLaunches();
