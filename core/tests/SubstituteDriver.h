#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/VADrvProtocol.h"

// Test helpers around the substitute virtual audio driver (outside/vadrv). A test executable that
// uses them registers SubstituteDriverEnvironment, depends on vadrvinst, devcon and vadrv_driver,
// and takes the ctest lock "driver".

// Installs the driver into the run's Wine prefix before the first test and removes it after the last.
class SubstituteDriverEnvironment : public ::testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
};

// "vadrvinst.exe" with the verb ("install" or "remove"), as a command line.
std::wstring InstallerCommand(const wchar_t* verb);
// The interface path in the ANSI code page; empty when no present device offers the interface.
std::string InterfacePath();
// The driver's private "test" name: stays open when the channel's own name is refused.
HANDLE OpenTestLink();
// Waits (up to 5 s) until the device is started and answers.
bool WaitForDevice();
// Sets the driver's test state (see VADRV_TEST_CONTROL).
bool TestControl(unsigned inUse, unsigned refuseOpens, unsigned failVolumeIndex, bool clearRecord);
// Not in use, opens allowed, no refused index, record cleared.
bool ResetDriverState();
// What the driver received and keeps.
VADRV_TEST_RECORD ReadRecord();
