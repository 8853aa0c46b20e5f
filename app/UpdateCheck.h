#pragma once
#include <windows.h>

// The program's update check. Until the update library's stand-in exists, the start-up step finds
// no downloaded update and the update thread has nothing to do.

// Start-up: installs an update that was downloaded earlier when the user agrees; 1 when the
// installer was started (the program then ends before any window exists).
int InstallDownloadedUpdate();

// The update check: mode 1 asks the user (on the UI thread), mode 0 is silent. 1 when a newer
// version is offered, 0 when none is (or the check failed). Until the update library's stand-in
// exists, no update is ever offered.
int CheckForUpdates(int mode);

// The background check after start-up; the parameter (the main window) is not used.
DWORD WINAPI UpdateThreadProc(LPVOID parameter);
