#include "outside/vadrv/DriverSetup.h"

#include <newdev.h>
#include <setupapi.h>
#include <shlwapi.h>

#include <vector>

namespace DriverSetup {
namespace {

const GUID kMediaClass = {0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr DWORD kHardwareIdChars = 1024;

// Whether the multi-string hardware-id property of the device contains the id.
bool HasHardwareId(HDEVINFO set, SP_DEVINFO_DATA* device, const wchar_t* hardwareId)
{
    wchar_t ids[kHardwareIdChars] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, device, SPDRP_HARDWAREID, &type, reinterpret_cast<BYTE*>(ids),
                                           sizeof(ids) - 2 * sizeof(wchar_t), nullptr))
        return false;
    for (const wchar_t* id = ids; *id; id += wcslen(id) + 1)
        if (_wcsicmp(id, hardwareId) == 0)
            return true;
    return false;
}

// Calls fn(set, device) for each device with the hardware id; present only, or all.
template <typename Fn>
int ForEachDevice(const wchar_t* hardwareId, bool presentOnly, Fn fn)
{
    HDEVINFO set = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | (presentOnly ? DIGCF_PRESENT : 0));
    if (set == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index)
        if (HasHardwareId(set, &device, hardwareId) && fn(set, &device))
            ++count;
    SetupDiDestroyDeviceInfoList(set);
    return count;
}

std::wstring InfFolder()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\inf\\";
}

}  // namespace

namespace {

// A new device node with the hardware id, registered but without a driver yet.
bool CreateDeviceNode(HDEVINFO set, SP_DEVINFO_DATA* device, const wchar_t* hardwareId)
{
    std::wstring name = std::wstring(L"ROOT\\") + hardwareId + L"\\0000";
    device->cbSize = sizeof(*device);
    if (!SetupDiCreateDeviceInfoW(set, name.c_str(), &kMediaClass, nullptr, nullptr, 0, device))
        return false;
    std::vector<wchar_t> ids(hardwareId, hardwareId + wcslen(hardwareId) + 1);
    ids.push_back(L'\0');
    return SetupDiSetDeviceRegistryPropertyW(set, device, SPDRP_HARDWAREID, reinterpret_cast<BYTE*>(ids.data()),
                                             static_cast<DWORD>(ids.size() * sizeof(wchar_t))) &&
           SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, device);
}

// Installs the INF's driver on the node without copying files: they are in place already, and
// the installed INF has none beside it (a copy would stop at a prompt for the source disk).
bool InstallInPlace(HDEVINFO set, SP_DEVINFO_DATA* device, const std::wstring& infPath)
{
    SP_DEVINSTALL_PARAMS_W params = {};
    params.cbSize = sizeof(params);
    if (!SetupDiGetDeviceInstallParamsW(set, device, &params))
        return false;
    params.Flags |= DI_ENUMSINGLEINF | DI_NOFILECOPY;
    lstrcpynW(params.DriverPath, infPath.c_str(), MAX_PATH);
    if (!SetupDiSetDeviceInstallParamsW(set, device, &params) ||
        !SetupDiBuildDriverInfoList(set, device, SPDIT_COMPATDRIVER))
        return false;
    return SetupDiCallClassInstaller(DIF_SELECTBESTCOMPATDRV, set, device) &&
           SetupDiCallClassInstaller(DIF_INSTALLDEVICE, set, device);
}

}  // namespace

bool InstallDevice(const std::wstring& infPath, const wchar_t* hardwareId)
{
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kMediaClass, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    SP_DEVINFO_DATA device = {};
    bool ok = CreateDeviceNode(set, &device, hardwareId);
    SetupDiDestroyDeviceInfoList(set);
    if (!ok)
        return false;
    BOOL reboot = FALSE;
    return UpdateDriverForPlugAndPlayDevicesW(nullptr, hardwareId, infPath.c_str(), INSTALLFLAG_FORCE, &reboot) !=
           FALSE;
}

int RemoveDevices(const wchar_t* hardwareId)
{
    return ForEachDevice(hardwareId, false, [](HDEVINFO set, SP_DEVINFO_DATA* device) {
        return SetupDiCallClassInstaller(DIF_REMOVE, set, device) != FALSE;
    });
}

std::wstring InstalledInfPath(const wchar_t* hardwareId)
{
    std::wstring path;
    ForEachDevice(hardwareId, true, [&](HDEVINFO set, SP_DEVINFO_DATA* device) {
        HKEY key = SetupDiOpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            return false;
        wchar_t inf[MAX_PATH] = {};
        DWORD size = sizeof(inf) - sizeof(wchar_t);
        DWORD type = 0;
        if (path.empty() && RegQueryValueExW(key, L"InfPath", nullptr, &type, reinterpret_cast<BYTE*>(inf), &size) ==
                                ERROR_SUCCESS && type == REG_SZ && inf[0])
            path = PathIsRelativeW(inf) ? InfFolder() + inf : inf;
        RegCloseKey(key);
        return true;
    });
    return path;
}

int RestartDevices(const wchar_t* hardwareId)
{
    std::wstring inf = InstalledInfPath(hardwareId);
    if (inf.empty() || GetFileAttributesW(inf.c_str()) == INVALID_FILE_ATTRIBUTES)
        return -1;
    int removed = ForEachDevice(hardwareId, true, [](HDEVINFO set, SP_DEVINFO_DATA* device) {
        return SetupDiCallClassInstaller(DIF_REMOVE, set, device) != FALSE;
    });
    if (removed == 0)
        return -1;
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kMediaClass, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return -1;
    SP_DEVINFO_DATA device = {};
    bool ok = CreateDeviceNode(set, &device, hardwareId) && InstallInPlace(set, &device, inf);
    SetupDiDestroyDeviceInfoList(set);
    return ok ? removed : -1;
}

void RemoveDriverFiles(const wchar_t* serviceName, const wchar_t* driverFile, const GUID& interfaceClass)
{
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager) {
        SC_HANDLE service = OpenServiceW(manager, serviceName, SERVICE_ALL_ACCESS);
        if (service) {
            SERVICE_STATUS status;
            ControlService(service, SERVICE_CONTROL_STOP, &status);
            DeleteService(service);
            CloseServiceHandle(service);
        }
        CloseServiceHandle(manager);
    }
    std::wstring serviceKey = std::wstring(L"System\\CurrentControlSet\\Services\\") + serviceName;
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, serviceKey.c_str());

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    DeleteFileW((std::wstring(system) + L"\\drivers\\" + driverFile).c_str());

    // Installed INF copies are those that name our service.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((InfFolder() + L"*.inf").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        std::wstring marker = std::wstring(L"AddService=") + serviceName + L",";
        do {
            std::wstring path = InfFolder() + found.cFileName;
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                continue;
            char bytes[8192] = {};
            DWORD read = 0;
            ReadFile(file, bytes, sizeof(bytes) - 1, &read, nullptr);
            CloseHandle(file);
            std::string text(bytes, read);
            std::string narrowMarker(marker.begin(), marker.end());
            if (StrStrIA(text.c_str(), narrowMarker.c_str())) {
                DeleteFileW(path.c_str());
                std::wstring pnf = path.substr(0, path.size() - 4) + L".pnf";
                DeleteFileW(pnf.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    wchar_t guidText[40] = {};
    StringFromGUID2(interfaceClass, guidText, 40);
    std::wstring classKey = std::wstring(L"System\\CurrentControlSet\\Control\\DeviceClasses\\") + guidText;
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, classKey.c_str());
}

}  // namespace DriverSetup
