#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/LogFile.h"
#include "core/VADrvHelper.h"
#include "core/VADrvProtocol.h"
#include "core/tests/SetupApiSeam.h"
#include "core/tests/SubstituteDriver.h"
#include "outside/vadrv/DriverSetup.h"
#include "tests/support/TestPaths.h"

namespace {

// The bytes of the record that the driver received for entry i.
std::vector<BYTE> InputOf(const VADRV_TEST_ENTRY& entry)
{
    size_t size = entry.inputBytes < sizeof(entry.input) ? entry.inputBytes : sizeof(entry.input);
    return std::vector<BYTE>(entry.input, entry.input + size);
}

std::vector<BYTE> Words(std::initializer_list<unsigned> words)
{
    std::vector<BYTE> bytes;
    for (unsigned word : words)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<BYTE>(word >> (8 * i)));
    return bytes;
}

std::vector<BYTE> VolumeRecord(unsigned index, BYTE flag)
{
    std::vector<BYTE> bytes = Words({VADRV_INTERFACE_VERSION, index});
    bytes.insert(bytes.end(), {flag, 0, 0, 0});
    return bytes;
}

// Sends the manager's log to a file of its own for the lifetime of the object.
class LogCapture
{
public:
    LogCapture()
    {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"vdl", 0, path);
        savedFile = g_LogFile.file;
        savedEnabled = g_LogFile.enabled;
        g_LogFile.file = _wfopen(path, L"w+");
        g_LogFile.enabled = true;
    }
    ~LogCapture()
    {
        if (g_LogFile.file)
            fclose(g_LogFile.file);
        g_LogFile.file = savedFile;
        g_LogFile.enabled = savedEnabled;
        DeleteFileW(path);
    }
    // The messages logged so far, without the time prefix and the line end.
    std::vector<std::string> Messages()
    {
        fflush(g_LogFile.file);
        std::string bytes = ReadFileBytes(path);
        std::vector<std::string> messages;
        size_t start = 0;
        for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = bytes.substr(start, end - start);
            if (line.size() > 11 && line[0] == '[')
                line = line.substr(11);
            if (!line.empty() && line.back() == ' ')
                line.pop_back();
            messages.push_back(line);
        }
        return messages;
    }

private:
    wchar_t path[MAX_PATH] = {};
    FILE* savedFile = nullptr;
    bool savedEnabled = false;
};

::testing::Environment* const g_DriverEnvironment =
    ::testing::AddGlobalTestEnvironment(new SubstituteDriverEnvironment);

class DriverChannel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetupApiSeam::Reset();
        ASSERT_TRUE(WaitForDevice());
        ASSERT_TRUE(ResetDriverState());
    }
    void TearDown() override
    {
        helper.Close();
        SetupApiSeam::Reset();
        WaitForDevice();
        ResetDriverState();
        // The installed defaults again, so that a later start activates nothing of this test.
        CVADrvHelper defaults;
        if (defaults.Open())
            defaults.ApplySettings();
    }

    CVADrvHelper helper;
};

}  // namespace

TEST_F(DriverChannel, OpenLogsTheInterfaceAndOpensItWithTheReferenceString)
{
    LogCapture log;
    ASSERT_TRUE(helper.Open());
    EXPECT_NE(helper.hDevice, nullptr);
    std::string path = InterfacePath();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.find("kestro_wdm"), std::string::npos) << path;
    EXPECT_STREQ(helper.devicePath, (path + "\\" VADRV_REFERENCE_STRING_A).c_str());
    std::vector<std::string> messages = log.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Driver IF: " + path);
    EXPECT_EQ(messages[1], std::string("Opening ") + helper.devicePath);

    // Only the reference string selects the channel.
    HANDLE wrong = CreateFileA((path + "\\0c9e1f27-6b3a-4e85-a0d4-7f2b9c61e358").c_str(),
                               GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(wrong, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    helper.Close();
    EXPECT_EQ(helper.hDevice, nullptr);
    helper.Close();  // a second close logs nothing
    messages = log.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Closing driver"), 1);
}

struct ApplyCase
{
    int count;
    int volumeControl;
    BYTE flagByte;
};

TEST_F(DriverChannel, ApplySettingsSendsTheCountThenOneVolumeRecordPerInstance)
{
    const ApplyCase cases[] = {{3, 0, 0}, {0, 1, 1}, {2, 7, 1}};
    ASSERT_TRUE(helper.Open());
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE("count " + std::to_string(c.count) + ", flag " + std::to_string(c.volumeControl));
        ASSERT_TRUE(ResetDriverState());
        helper.instanceCount = c.count;
        helper.volumeControl = c.volumeControl;
        EXPECT_TRUE(helper.ApplySettings());

        VADRV_TEST_RECORD record = ReadRecord();
        ASSERT_EQ(record.entryCount, static_cast<unsigned>(1 + c.count));
        EXPECT_EQ(record.entries[0].code, IOCTL_VADRV_SET_INSTANCE_COUNT);
        EXPECT_EQ(record.entries[0].inputBytes, 8u);
        EXPECT_EQ(InputOf(record.entries[0]), Words({VADRV_INTERFACE_VERSION, static_cast<unsigned>(c.count)}));
        for (int i = 0; i < c.count; ++i) {
            const VADRV_TEST_ENTRY& entry = record.entries[1 + i];
            EXPECT_EQ(entry.code, IOCTL_VADRV_SET_INSTANCE_VOLUME);
            EXPECT_EQ(entry.inputBytes, 12u);
            EXPECT_EQ(InputOf(entry), VolumeRecord(i, c.flagByte));
            EXPECT_EQ(entry.status, 0);
        }
        // The driver keeps them for its next start.
        EXPECT_EQ(record.pendingCount, static_cast<unsigned>(c.count));
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ((record.pendingVolume >> i) & 1, c.flagByte);
    }
}

TEST_F(DriverChannel, ApplySettingsStopsAtTheFirstRefusedRequestAndReportsFailure)
{
    ASSERT_TRUE(helper.Open());
    ASSERT_TRUE(TestControl(0, 0, 1, true));  // the driver refuses instance 1's volume
    helper.instanceCount = 3;
    helper.volumeControl = 1;
    EXPECT_FALSE(helper.ApplySettings());
    VADRV_TEST_RECORD record = ReadRecord();
    ASSERT_EQ(record.entryCount, 3u);
    EXPECT_EQ(InputOf(record.entries[2]), VolumeRecord(1, 1));
    EXPECT_NE(record.entries[2].status, 0);

    // A typed count far beyond what the driver takes: one refused request, no endless loop.
    ASSERT_TRUE(ResetDriverState());
    helper.instanceCount = 999999999;
    EXPECT_FALSE(helper.ApplySettings());
    record = ReadRecord();
    EXPECT_EQ(record.entryCount, 1u);
    EXPECT_NE(record.entries[0].status, 0);
}

TEST_F(DriverChannel, InfoRequestsReportTheDriversValuesAndTheInUseFlag)
{
    ASSERT_TRUE(helper.Open());
    BYTE info[VADRV_DRIVER_INFO_BYTES + 4];
    memset(info, 0xCC, sizeof(info));
    ASSERT_TRUE(helper.GetDriverInfo(info));
    DWORD words[6];
    memcpy(words, info, sizeof(words));
    EXPECT_EQ(words[4], 1u);  // the installed default: one instance
    EXPECT_EQ(words[5], 0u);
    EXPECT_EQ(info[VADRV_DRIVER_INFO_BYTES], 0xCC);  // no more than the 24-byte record is written

    ASSERT_TRUE(TestControl(1, 0, VADRV_TEST_NO_FAILURE, false));
    ASSERT_TRUE(helper.GetDriverInfo(info));
    memcpy(words, info, sizeof(words));
    EXPECT_NE(words[5], 0u);

    BYTE instance[VADRV_INSTANCE_INFO_BYTES];
    ASSERT_TRUE(helper.GetInstanceInfo(0, instance));
    DWORD volume;
    memcpy(&volume, instance, sizeof(volume));
    EXPECT_NE(volume, 0u);                                // volume control on by default
    EXPECT_FALSE(helper.GetInstanceInfo(5, instance));  // no such instance

    VADRV_TEST_RECORD record = ReadRecord();
    ASSERT_EQ(record.entryCount, 4u);
    EXPECT_EQ(record.entries[0].code, IOCTL_VADRV_GET_INFO);
    EXPECT_EQ(InputOf(record.entries[0]), Words({VADRV_INTERFACE_VERSION}));
    EXPECT_EQ(record.entries[2].code, IOCTL_VADRV_GET_INSTANCE_INFO);
    EXPECT_EQ(InputOf(record.entries[2]), Words({VADRV_INTERFACE_VERSION, 0}));
    EXPECT_EQ(InputOf(record.entries[3]), Words({VADRV_INTERFACE_VERSION, 5}));
}

TEST_F(DriverChannel, DriverRefusesAnotherVersionAndWrongRecordSizes)
{
    struct Case
    {
        DWORD code;
        std::vector<BYTE> input;
        DWORD outputBytes;
    };
    const Case cases[] = {
        {IOCTL_VADRV_GET_INFO, Words({1}), VADRV_DRIVER_INFO_BYTES},
        {IOCTL_VADRV_GET_INFO, Words({VADRV_INTERFACE_VERSION}), VADRV_DRIVER_INFO_BYTES - 1},
        {IOCTL_VADRV_GET_INSTANCE_INFO, Words({VADRV_INTERFACE_VERSION}), VADRV_INSTANCE_INFO_BYTES},
        {IOCTL_VADRV_SET_INSTANCE_COUNT, Words({3, 2}), 0},
        {IOCTL_VADRV_SET_INSTANCE_VOLUME, Words({VADRV_INTERFACE_VERSION, 0}), 0},
    };
    ASSERT_TRUE(helper.Open());
    for (const Case& c : cases) {
        std::vector<BYTE> input = c.input;
        BYTE output[VADRV_INSTANCE_INFO_BYTES];
        DWORD returned = 0;
        EXPECT_FALSE(DeviceIoControl(helper.hDevice, c.code, input.data(), static_cast<DWORD>(input.size()), output,
                                     c.outputBytes, &returned, nullptr))
            << std::hex << c.code << " with " << input.size() << " bytes in, " << c.outputBytes << " out";
    }
    VADRV_TEST_RECORD record = ReadRecord();
    EXPECT_EQ(record.entryCount, static_cast<unsigned>(std::size(cases)));
    EXPECT_EQ(record.pendingCount, 1u);  // the refused count was not stored
}

TEST_F(DriverChannel, ClosedChannelMakesNoRequestAndReturnsFalse)
{
    BYTE buffer[VADRV_INSTANCE_INFO_BYTES] = {};
    DWORD input[3] = {};
    for (int pass = 0; pass < 2; ++pass) {  // never opened, then opened and closed
        EXPECT_FALSE(helper.GetDriverInfo(buffer));
        EXPECT_FALSE(helper.GetInstanceInfo(0, buffer));
        EXPECT_FALSE(helper.ApplySettings());
        EXPECT_FALSE(helper.IoControl(IOCTL_VADRV_GET_INFO, input, sizeof(input), buffer, sizeof(buffer), nullptr));
        ASSERT_TRUE(helper.Open());
        helper.Close();
    }
    EXPECT_EQ(ReadRecord().entryCount, 0u);
}

TEST_F(DriverChannel, IoControlWritesTheVersionWordAndRefusesShorterInput)
{
    ASSERT_TRUE(helper.Open());
    DWORD input[2] = {0xDEADBEEF, 0};
    BYTE info[VADRV_INSTANCE_INFO_BYTES] = {};
    DWORD returned = 0;
    EXPECT_TRUE(helper.IoControl(IOCTL_VADRV_GET_INSTANCE_INFO, input, sizeof(input), info, sizeof(info), &returned));
    EXPECT_EQ(input[0], VADRV_INTERFACE_VERSION);
    EXPECT_EQ(returned, static_cast<DWORD>(VADRV_INSTANCE_INFO_BYTES));

    BYTE shortInput[2] = {0xAA, 0xBB};
    EXPECT_FALSE(helper.IoControl(IOCTL_VADRV_GET_INFO, shortInput, sizeof(shortInput), info, sizeof(info), nullptr));
    EXPECT_EQ(shortInput[0], 0xAA);
    EXPECT_FALSE(helper.IoControl(IOCTL_VADRV_GET_INFO, nullptr, 4, info, sizeof(info), nullptr));

    VADRV_TEST_RECORD record = ReadRecord();
    ASSERT_EQ(record.entryCount, 1u);
    EXPECT_EQ(InputOf(record.entries[0]), Words({VADRV_INTERFACE_VERSION, 0}));
}

TEST_F(DriverChannel, RefusedOpenLogsCannotOpenDriverWithTheError)
{
    ASSERT_TRUE(TestControl(0, 1, VADRV_TEST_NO_FAILURE, true));
    LogCapture log;
    EXPECT_FALSE(helper.Open());
    EXPECT_EQ(helper.hDevice, nullptr);
    std::vector<std::string> messages = log.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Cannot open driver (0x00000002)");
}

TEST_F(DriverChannel, InterfacePathTooLongForTheDevicePathFailsOpen)
{
    // 130 characters, 126 of them two bytes each in a double-byte ANSI code page: with the reference
    // string the device path would need 293 of its 260 bytes.
    LCID saved = GetThreadLocale();
    ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT)));
    char probe[4] = {};
    int probeBytes = WideCharToMultiByte(CP_THREAD_ACP, 0, L"\u3042", 1, probe, sizeof(probe), nullptr, nullptr);
    std::wstring path = L"\\\\?\\" + std::wstring(126, L'\u3042');
    SetupApiSeam::Get().detailPath = path;
    LogCapture log;
    bool opened = helper.Open();
    SetThreadLocale(saved);
    ASSERT_EQ(probeBytes, 2);
    EXPECT_FALSE(opened);
    EXPECT_EQ(helper.hDevice, nullptr);
    EXPECT_STREQ(helper.devicePath, "");
    std::vector<std::string> messages = log.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Cannot open driver (0x000000CE)");
}

TEST_F(DriverChannel, RemovedDeviceIsReportedAsDriverNotLoaded)
{
    ASSERT_GE(DriverSetup::RemoveDevices(VADRV_HARDWARE_ID_W), 1);
    {
        LogCapture log;
        EXPECT_FALSE(helper.Open());
        EXPECT_FALSE(CVADrvHelper::RestartDevice());
        EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Driver not loaded", "Driver not loaded"}));
    }
    ASSERT_EQ(RunProcess(InstallerCommand(L"install")), 0);
    ASSERT_TRUE(WaitForDevice());
    EXPECT_TRUE(helper.Open());
}

TEST_F(DriverChannel, RestartSendsThePropertyChangeAndTheNewCountBecomesActive)
{
    ASSERT_TRUE(helper.Open());
    unsigned startsBefore = ReadRecord().starts;
    helper.instanceCount = 3;
    helper.volumeControl = 0;
    ASSERT_TRUE(helper.ApplySettings());
    DWORD info[6] = {};
    ASSERT_TRUE(helper.GetDriverInfo(info));
    EXPECT_EQ(info[4], 1u);  // not active before the restart
    helper.Close();

    ASSERT_TRUE(CVADrvHelper::RestartDevice());
    const BYTE expected[20] = {8, 0, 0, 0, 0x12, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(SetupApiSeam::Get().installParams, std::vector<BYTE>(expected, expected + sizeof(expected)));
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 1);

    ASSERT_TRUE(WaitForDevice());
    ASSERT_TRUE(helper.Open());
    ASSERT_TRUE(helper.GetDriverInfo(info));
    EXPECT_EQ(info[4], 3u);
    DWORD instance[22] = {};
    for (UINT i = 0; i < 3; ++i) {
        ASSERT_TRUE(helper.GetInstanceInfo(i, instance));
        EXPECT_EQ(instance[0], 0u) << "instance " << i;
    }
    EXPECT_EQ(ReadRecord().starts, startsBefore + 1);
}

TEST_F(DriverChannel, SetupErrorsAreTurnedIntoTheirHresultForm)
{
    SetupApiSeam::Get().failClassInstallerWith = 0xE000020B;
    SetLastError(0);
    EXPECT_FALSE(CVADrvHelper::RestartDevice());
    EXPECT_EQ(GetLastError(), 0x800F020Bu);
    EXPECT_EQ(SetupApiSeam::Get().propertyChanges, 0);

    SetupApiSeam::Get().failEnumWith = 0xE000020B;
    LogCapture log;
    EXPECT_FALSE(helper.Open());
    EXPECT_EQ(GetLastError(), 0x800F020Bu);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"Cannot get interface data (0x800F020B)"}));

    // Other errors keep their value.
    EXPECT_EQ(TurnSetupError(ERROR_FILE_NOT_FOUND), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(TurnSetupError(0xE0000100), 0x800F0100u);
    EXPECT_EQ(TurnSetupError(0xC0000005), 0xC0000005u);
}

TEST_F(DriverChannel, DeviceConsoleRestartBringsTheDeviceBackWithTheNewSettings)
{
    std::wstring devcon = L"\"" + TestExeFolder() + L"\\..\\dist\\devcon.exe\" restart ";
    ASSERT_TRUE(helper.Open());
    unsigned startsBefore = ReadRecord().starts;
    helper.instanceCount = 2;
    ASSERT_TRUE(helper.ApplySettings());
    helper.Close();

    EXPECT_EQ(RunProcess(devcon + L"Kestro_WDM"), 0);
    ASSERT_TRUE(WaitForDevice());
    ASSERT_TRUE(helper.Open());
    DWORD info[6] = {};
    ASSERT_TRUE(helper.GetDriverInfo(info));
    EXPECT_EQ(info[4], 2u);
    EXPECT_EQ(ReadRecord().starts, startsBefore + 1);
    EXPECT_EQ(RunProcess(devcon + L"No_Such_Device"), 1);
}

TEST(DriverInstaller, RemoveLeavesNothingInThePrefixAndInstallComesBack)
{
    ASSERT_EQ(RunProcess(InstallerCommand(L"remove")), 0);
    HKEY key;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Services\\vadrv", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            L"System\\CurrentControlSet\\Control\\DeviceClasses\\"
                            L"{7a3f5c21-9d4e-4b80-a61c-2e95d047b36f}",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_FALSE(PathFileExistsW((std::wstring(windows) + L"\\system32\\drivers\\vadrv.sys").c_str()));
    EXPECT_FALSE(PathFileExistsW((std::wstring(windows) + L"\\inf\\vadrv.inf").c_str()));
    EXPECT_TRUE(InterfacePath().empty());

    ASSERT_EQ(RunProcess(InstallerCommand(L"install")), 0);
    EXPECT_TRUE(WaitForDevice());
}
