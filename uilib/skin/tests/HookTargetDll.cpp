// hook_target.dll: one exported function for the hook tests to replace.
#include <windows.h>

extern "C" __declspec(dllexport) int HookTargetValue()
{
    return 1;
}
