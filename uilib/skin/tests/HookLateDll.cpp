// hook_late.dll: loaded by the tests after the hooks are in place.
#include <windows.h>

extern "C" __declspec(dllimport) int HookTargetValue();

extern "C" __declspec(dllexport) int LateTargetValue()
{
    return HookTargetValue();
}
