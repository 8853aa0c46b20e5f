// The device console tool that the Driver page starts elevated as "devcon restart <hardware id>".
// It restarts every present device with that hardware id by removing its node and installing it
// again from the same INF (Wine handles that; it has no working property-change restart).
#include <windows.h>

#include <cstdio>
#include <string>

#include "outside/vadrv/DriverSetup.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || _wcsicmp(argv[1], L"restart") != 0) {
        fwprintf(stderr, L"usage: devcon restart <hardware id>\n");
        return 2;
    }
    int restarted = DriverSetup::RestartDevices(argv[2]);
    if (restarted <= 0) {
        wprintf(L"No devices restarted.\n");
        return 1;
    }
    wprintf(L"%d device(s) restarted.\n", restarted);
    return 0;
}
