#pragma once
#include <windows.h>

#include <string>

// The program's update check, through the update library Freshet.dll.

// The product identifier the update library knows the program by.
extern const GUID kProductId;
// The maker's web host: the update thread checks only when a connection handle to it can be made.
extern const wchar_t kMakerWebHost[];

// "major.minor" of the program's product version.
std::wstring CurrentVersionText();

// The question offering that version: string 112 of the resource module as the format when it holds
// exactly one "%s" and no other conversion, else the program's own string 112.
std::wstring UpdateOfferText(const wchar_t* version);

// Start-up: installs an update that was downloaded earlier when the user agrees; 1 when the
// installer was started (the program then ends before any window exists), else 0.
int InstallDownloadedUpdate();

// The update check: mode 1 asks the user (on the calling thread, the UI thread), mode 0 is silent:
// it downloads in the background or hands the question to the UI thread. 1 when a newer version
// is offered, 0 when none is (or the check failed).
int CheckForUpdates(int mode);

// Starts the update library's installer through rundll32 and closes the main dialog when it exists.
// When the installer does not start, the user is told why and the program stays: false.
bool InstallUpdate();

// The background check after start-up; the parameter (the main window) is not used.
DWORD WINAPI UpdateThreadProc(LPVOID parameter);
