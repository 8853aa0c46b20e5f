#include "core/tests/SetupApiSeam.h"

#include <cstddef>
#include <cstring>

#include "core/VADrvProtocol.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ImportSlot.h"

namespace SetupApiSeam {

State& Get()
{
    static State state;
    return state;
}

void Reset()
{
    Get() = State();
}

}  // namespace SetupApiSeam

namespace {

template <typename Fn>
Fn Real(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"setupapi.dll"), name)));
}

BOOL WINAPI FakeSetClassInstallParams(HDEVINFO, PSP_DEVINFO_DATA, PSP_CLASSINSTALL_HEADER header, DWORD size)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(header);
    SetupApiSeam::Get().installParams.assign(bytes, bytes + size);
    return TRUE;
}

BOOL WINAPI FakeCallClassInstaller(DI_FUNCTION function, HDEVINFO set, PSP_DEVINFO_DATA device)
{
    if (function != DIF_PROPERTYCHANGE) {
        using Fn = BOOL(WINAPI*)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA);
        return Real<Fn>("SetupDiCallClassInstaller")(function, set, device);
    }
    SetupApiSeam::State& state = SetupApiSeam::Get();
    if (state.failClassInstallerWith) {
        SetLastError(state.failClassInstallerWith);
        return FALSE;
    }
    if (state.installParams.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ++state.propertyChanges;
    // Carried out by another process, as the system's class installer would: a device installed
    // from inside this process makes later removals by other processes wait under Wine.
    std::wstring devcon = L"\"" + TestExeFolder() + L"\\..\\dist\\devcon.exe\" restart " VADRV_HARDWARE_ID_W;
    if (RunProcess(devcon) != 0) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FakeEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device, const GUID* interfaceClass, DWORD index,
                                     PSP_DEVICE_INTERFACE_DATA data)
{
    if (DWORD error = SetupApiSeam::Get().failEnumWith) {
        SetLastError(error);
        return FALSE;
    }
    using Fn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA);
    return Real<Fn>("SetupDiEnumDeviceInterfaces")(set, device, interfaceClass, index, data);
}

BOOL WINAPI FakeGetDeviceInterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD size, PDWORD required,
                                        PSP_DEVINFO_DATA device)
{
    using Fn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_W, DWORD, PDWORD,
                             PSP_DEVINFO_DATA);
    BOOL ok = Real<Fn>("SetupDiGetDeviceInterfaceDetailW")(set, data, detail, size, required, device);
    const std::wstring& path = SetupApiSeam::Get().detailPath;
    if (ok && !path.empty()) {
        DWORD bytes = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + (path.size() + 1) * sizeof(wchar_t);
        if (bytes > size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        memcpy(detail->DevicePath, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    }
    return ok;
}

}  // namespace

// The import slots themselves: defined here, the linker takes these instead of setupapi's.
extern "C" {
void* g_SeamSetClassInstallParams __asm__(IMPORT_SLOT(SetupDiSetClassInstallParamsW, 16)) =
    reinterpret_cast<void*>(&FakeSetClassInstallParams);
void* g_SeamCallClassInstaller __asm__(IMPORT_SLOT(SetupDiCallClassInstaller, 12)) =
    reinterpret_cast<void*>(&FakeCallClassInstaller);
void* g_SeamEnumDeviceInterfaces __asm__(IMPORT_SLOT(SetupDiEnumDeviceInterfaces, 20)) =
    reinterpret_cast<void*>(&FakeEnumDeviceInterfaces);
void* g_SeamGetDeviceInterfaceDetail __asm__(IMPORT_SLOT(SetupDiGetDeviceInterfaceDetailW, 24)) =
    reinterpret_cast<void*>(&FakeGetDeviceInterfaceDetail);
}
