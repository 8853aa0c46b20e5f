#include "core/tests/SubstituteDriver.h"

#include <gtest/gtest.h>

#include "core/VADrvHelper.h"
#include "tests/support/TestPaths.h"

namespace {

constexpr DWORD kDeviceWaitMs = 5000;

}  // namespace

std::wstring InstallerCommand(const wchar_t* verb)
{
    return L"\"" + TestExeFolder() + L"\\vadrvinst.exe\" " + verb;
}

std::string InterfacePath()
{
    HDEVINFO set;
    SP_DEVINFO_DATA device;
    char path[CVADrvHelper::kInterfacePathChars] = {};
    if (!CVADrvHelper::FindDeviceInterface(&set, &device, path))
        return std::string();
    SetupDiDestroyDeviceInfoList(set);
    return path;
}

HANDLE OpenTestLink()
{
    std::string path = InterfacePath();
    if (path.empty())
        return INVALID_HANDLE_VALUE;
    path += "\\" VADRV_TEST_LINK_A;
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool WaitForDevice()
{
    for (DWORD waited = 0; waited < kDeviceWaitMs; waited += 50) {
        HANDLE link = OpenTestLink();
        if (link != INVALID_HANDLE_VALUE) {
            CloseHandle(link);
            return true;
        }
        Sleep(50);
    }
    return false;
}

bool TestControl(unsigned inUse, unsigned refuseOpens, unsigned failVolumeIndex, bool clearRecord)
{
    HANDLE link = OpenTestLink();
    if (link == INVALID_HANDLE_VALUE)
        return false;
    VADRV_TEST_CONTROL control = {VADRV_INTERFACE_VERSION, inUse, refuseOpens, failVolumeIndex, clearRecord};
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(link, IOCTL_VADRV_TEST_CONTROL, &control, sizeof(control), nullptr, 0, &returned,
                              nullptr);
    CloseHandle(link);
    return ok != FALSE;
}

bool ResetDriverState()
{
    return TestControl(0, 0, VADRV_TEST_NO_FAILURE, true);
}

VADRV_TEST_RECORD ReadRecord()
{
    VADRV_TEST_RECORD record = {};
    HANDLE link = OpenTestLink();
    EXPECT_NE(link, INVALID_HANDLE_VALUE);
    if (link == INVALID_HANDLE_VALUE)
        return record;
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(link, IOCTL_VADRV_TEST_READ_RECORD, nullptr, 0, &record, sizeof(record), &returned,
                                nullptr));
    CloseHandle(link);
    return record;
}

void SubstituteDriverEnvironment::SetUp()
{
    RunProcess(InstallerCommand(L"remove"));
    ASSERT_EQ(RunProcess(InstallerCommand(L"install")), 0);
    ASSERT_TRUE(WaitForDevice());
}

void SubstituteDriverEnvironment::TearDown()
{
    EXPECT_EQ(RunProcess(InstallerCommand(L"remove")), 0);
}

