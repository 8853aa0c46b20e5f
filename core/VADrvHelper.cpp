#include "core/VADrvHelper.h"

#include <cstddef>
#include <cstdio>

#include "core/LogFile.h"
#include "core/VADrvProtocol.h"

namespace {

// Holds the setup interface's detail record with a path of at most 130 characters.
constexpr DWORD kDetailBufferBytes = 266;
constexpr DWORD kSetupErrorBits = 0xE0000000;
constexpr DWORD kTurnedErrorBase = 0x800F0000;
static_assert((kDetailBufferBytes - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t) ==
                  CVADrvHelper::kMaxInterfaceChars + 1,
              "the detail buffer holds the longest interface path and its terminator");

}  // namespace

DWORD TurnSetupError(DWORD error)
{
    if ((error & kSetupErrorBits) == kSetupErrorBits)
        error = kTurnedErrorBase | (error & 0xFFFF);
    SetLastError(error);
    return error;
}

CVADrvHelper::CVADrvHelper() : instanceCount(1), volumeControl(1), devicePath(), hDevice(nullptr) {}

CVADrvHelper::~CVADrvHelper()
{
    Close();
}

bool CVADrvHelper::FindDeviceInterface(HDEVINFO* deviceSet, SP_DEVINFO_DATA* device, char* path)
{
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_VADRV_INTERFACE, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        g_LogFile.Log(L"Cannot get class device list (0x%08X)", TurnSetupError(GetLastError()));
        return false;
    }
    SP_DEVICE_INTERFACE_DATA interfaceData = {};
    interfaceData.cbSize = sizeof(interfaceData);
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_VADRV_INTERFACE, 0, &interfaceData)) {
        DWORD error = GetLastError();
        if (error == ERROR_NO_MORE_ITEMS)
            g_LogFile.Log(L"Driver not loaded");
        else
            g_LogFile.Log(L"Cannot get interface data (0x%08X)", TurnSetupError(error));
        SetupDiDestroyDeviceInfoList(set);
        SetLastError(error == ERROR_NO_MORE_ITEMS ? error : TurnSetupError(error));
        return false;
    }
    alignas(DWORD) BYTE detailBuffer[kDetailBufferBytes] = {};
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBuffer);
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    device->cbSize = sizeof(SP_DEVINFO_DATA);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, kDetailBufferBytes, nullptr, device)) {
        DWORD error = TurnSetupError(GetLastError());
        g_LogFile.Log(L"Cannot get interface details (0x%08X)", error);
        SetupDiDestroyDeviceInfoList(set);
        SetLastError(error);
        return false;
    }
    g_LogFile.Log(L"Driver IF: %s", detail->DevicePath);
    if (path && WideCharToMultiByte(CP_THREAD_ACP, 0, detail->DevicePath, -1, path, kInterfacePathChars, nullptr,
                                    nullptr) <= 0)
        path[0] = '\0';
    *deviceSet = set;
    return true;
}

bool CVADrvHelper::Open()
{
    HDEVINFO set;
    SP_DEVINFO_DATA device;
    char path[kInterfacePathChars];
    if (!FindDeviceInterface(&set, &device, path))
        return false;
    SetupDiDestroyDeviceInfoList(set);

    // A path that does not fit is refused rather than opened cut short.
    int length = snprintf(devicePath, sizeof(devicePath), "%s\\%s", path, VADRV_REFERENCE_STRING_A);
    if (length < 0 || length >= kDevicePathChars) {
        devicePath[0] = '\0';
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        g_LogFile.Log(L"Cannot open driver (0x%08X)", static_cast<unsigned>(ERROR_FILENAME_EXCED_RANGE));
        hDevice = nullptr;
        return false;
    }
    g_LogFile.Log(L"Opening %hs", devicePath);
    HANDLE handle = CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        g_LogFile.Log(L"Cannot open driver (0x%08X)", error);
        SetLastError(error);
        hDevice = nullptr;
        return false;
    }
    hDevice = handle;
    return true;
}

void CVADrvHelper::Close()
{
    if (!hDevice)
        return;
    g_LogFile.Log(L"Closing driver");
    CloseHandle(hDevice);
    hDevice = nullptr;
}

bool CVADrvHelper::Request(DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize)
{
    if (!hDevice)
        return false;
    DWORD returned = 0;
    return DeviceIoControl(hDevice, code, const_cast<void*>(input), inputSize, output, outputSize, &returned,
                           nullptr) != FALSE;
}

bool CVADrvHelper::GetDriverInfo(void* out)
{
    VADRV_VERSION_INPUT input = {VADRV_INTERFACE_VERSION};
    return Request(IOCTL_VADRV_GET_INFO, &input, sizeof(input), out, VADRV_DRIVER_INFO_BYTES);
}

bool CVADrvHelper::GetInstanceInfo(UINT index, void* out)
{
    VADRV_INDEX_INPUT input = {VADRV_INTERFACE_VERSION, index};
    return Request(IOCTL_VADRV_GET_INSTANCE_INFO, &input, sizeof(input), out, VADRV_INSTANCE_INFO_BYTES);
}

bool CVADrvHelper::ApplySettings()
{
    if (!hDevice)
        return false;
    VADRV_INDEX_INPUT count = {VADRV_INTERFACE_VERSION, static_cast<unsigned>(instanceCount)};
    if (!Request(IOCTL_VADRV_SET_INSTANCE_COUNT, &count, sizeof(count), nullptr, 0))
        return false;
    // Stops at the first refused request: a mistyped huge count must not send a billion of them.
    for (int index = 0; index < instanceCount; ++index) {
        VADRV_VOLUME_INPUT volume = {VADRV_INTERFACE_VERSION, static_cast<unsigned>(index),
                                     static_cast<unsigned char>(volumeControl != 0 ? 1 : 0), {0, 0, 0}};
        if (!Request(IOCTL_VADRV_SET_INSTANCE_VOLUME, &volume, sizeof(volume), nullptr, 0))
            return false;
    }
    return true;
}

bool CVADrvHelper::RestartDevice()
{
    HDEVINFO set;
    SP_DEVINFO_DATA device;
    if (!FindDeviceInterface(&set, &device, nullptr))
        return false;
    SP_PROPCHANGE_PARAMS params = {};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = DICS_PROPCHANGE;
    params.Scope = DICS_FLAG_CONFIGSPECIFIC;
    params.HwProfile = 0;
    bool ok = SetupDiSetClassInstallParamsW(set, &device, &params.ClassInstallHeader, sizeof(params)) &&
              SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &device);
    DWORD error = GetLastError();
    SetupDiDestroyDeviceInfoList(set);
    if (ok)
        return true;
    TurnSetupError(error);
    return false;
}

bool CVADrvHelper::IoControl(DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                             DWORD* returned)
{
    if (!hDevice)
        return false;
    if (!input || inputSize < sizeof(DWORD)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    *static_cast<DWORD*>(input) = VADRV_INTERFACE_VERSION;
    DWORD count = 0;
    bool ok = DeviceIoControl(hDevice, code, input, inputSize, output, outputSize, &count, nullptr) != FALSE;
    if (returned)
        *returned = count;
    return ok;
}
