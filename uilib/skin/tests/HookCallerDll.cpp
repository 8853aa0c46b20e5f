// hook_caller.dll: a module whose import table the hook tests patch.
#include <windows.h>

extern "C" __declspec(dllimport) int HookTargetValue();

extern "C" __declspec(dllexport) int CallerTargetValue()
{
    return HookTargetValue();
}

extern "C" __declspec(dllexport) HMODULE CallerLoad(int loader, const char* name, DWORD flags)
{
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    switch (loader) {
    case 0: return LoadLibraryA(name);
    case 1: return LoadLibraryW(wide);
    case 2: return LoadLibraryExA(name, nullptr, flags);
    default: return LoadLibraryExW(wide, nullptr, flags);
    }
}

extern "C" __declspec(dllexport) FARPROC CallerGetProcAddress(HMODULE module, const char* name)
{
    return GetProcAddress(module, name);
}
