#pragma once
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

// Linked into the driver test only: replaces the import slots of the two setup calls that Wine
// stubs (class-install parameters, property-change class installer) and of the interface
// enumeration and details, so tests can see what the restart sends and inject setup errors. The property
// change is carried out the way Wine can: the device console tool removes the device node and
// installs it again.
namespace SetupApiSeam {

struct State
{
    std::vector<BYTE> installParams;  // the last record given to SetupDiSetClassInstallParamsW
    int propertyChanges = 0;          // DIF_PROPERTYCHANGE calls carried out
    DWORD failClassInstallerWith = 0; // non-zero: DIF_PROPERTYCHANGE fails with this error
    DWORD failEnumWith = 0;           // non-zero: SetupDiEnumDeviceInterfaces fails with this error
    std::wstring detailPath;          // non-empty: the interface path that the detail call reports
};

State& Get();
void Reset();

}  // namespace SetupApiSeam
