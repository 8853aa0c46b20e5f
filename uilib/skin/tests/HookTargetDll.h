#pragma once
#include <windows.h>

// The hook tests' modules: hook_target.dll exports the hooked function; hook_caller.dll (loaded
// with the test program) and hook_late.dll (loaded by the tests) import it.
extern "C" __declspec(dllimport) int HookTargetValue();

// hook_caller.dll: calls made from a module other than the test program, through its own imports.
enum CallerLoader { kLoadA, kLoadW, kLoadExA, kLoadExW };
extern "C" __declspec(dllimport) int CallerTargetValue();
extern "C" __declspec(dllimport) HMODULE CallerLoad(int loader, const char* name, DWORD flags);
extern "C" __declspec(dllimport) FARPROC CallerGetProcAddress(HMODULE module, const char* name);
