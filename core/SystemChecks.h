#pragma once
#include <windows.h>

// Whether the calling thread's token is a member of the built-in administrators group.
// Throws the thread's last error (a DWORD) when building the SID or the membership test fails.
bool IsUserAdmin();
// The same answer, but a failed system call counts as "not an administrator".
bool IsUserAdminNoThrow();

// True when Windows itself runs as 64-bit (AMD64 or IA64), even for this 32-bit program.
bool Is64BitWindows();

// Token queries the manager does not use; each throws the last error (a DWORD) when a call fails.
// The relative id of the process token's integrity label (e.g. 0x3000 high).
DWORD GetProcessIntegrityLevel();
// TokenElevation's flag of the process token.
bool IsProcessElevated();
// Whether the process runs with administrator rights: on Windows 6.0 and later the linked token of
// a limited token is tested, so a filtered administrator also counts.
bool IsRunAsAdmin();

// Shows "<function> failed w/err 0x<error>" in an error message box without owner.
void ReportError(const wchar_t* function, DWORD error);
