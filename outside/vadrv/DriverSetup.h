#pragma once
#include <windows.h>

#include <string>

// Installs, removes and restarts the substitute driver's root-enumerated device with the setup
// interface, the way Wine handles it: a restart is a removal of the device node and a new install.
namespace DriverSetup {

// Creates the device node with the hardware id and installs the driver from the INF.
bool InstallDevice(const std::wstring& infPath, const wchar_t* hardwareId);

// Removes every device node (present or not) with the hardware id; returns how many went.
int RemoveDevices(const wchar_t* hardwareId);

// Restarts every present device with the hardware id; returns how many came back, -1 on failure.
// The INF is taken from the device's installed driver before the node is removed.
int RestartDevices(const wchar_t* hardwareId);

// Deletes the service, the driver file, the installed INF copies and the interface class key.
void RemoveDriverFiles(const wchar_t* serviceName, const wchar_t* driverFile, const GUID& interfaceClass);

// The INF file that the installed driver of a present device with the hardware id came from.
std::wstring InstalledInfPath(const wchar_t* hardwareId);

}  // namespace DriverSetup
