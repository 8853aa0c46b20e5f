// Installs or removes the substitute virtual audio driver in the current Wine prefix or Windows.
//   vadrvinst install [inf]   (default: vadrv.inf beside this program)
//   vadrvinst remove
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/VADrvProtocol.h"
#include "outside/vadrv/DriverSetup.h"

namespace {

std::wstring BesideProgram(const wchar_t* file)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + file;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"install") {
        wchar_t full[MAX_PATH] = {};
        std::wstring inf = argc > 2 ? argv[2] : BesideProgram(L"vadrv.inf");
        GetFullPathNameW(inf.c_str(), MAX_PATH, full, nullptr);
        DriverSetup::RemoveDevices(VADRV_HARDWARE_ID_W);
        if (!DriverSetup::InstallDevice(full, VADRV_HARDWARE_ID_W)) {
            fwprintf(stderr, L"install failed (%lu)\n", GetLastError());
            return 1;
        }
        return 0;
    }
    if (command == L"remove") {
        DriverSetup::RemoveDevices(VADRV_HARDWARE_ID_W);
        DriverSetup::RemoveDriverFiles(L"vadrv", L"vadrv.sys", GUID_VADRV_INTERFACE);
        return 0;
    }
    fwprintf(stderr, L"usage: vadrvinst install [inf] | remove\n");
    return 2;
}
