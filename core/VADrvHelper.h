#pragma once
#include <windows.h>
#include <setupapi.h>

// The manager's side of the virtual audio driver's control channel: finds the driver's device
// interface, opens it with the reference string appended, and exchanges the small fixed records.
class CVADrvHelper
{
public:
    static constexpr int kDevicePathChars = 260;
    // The setup interface's detail record holds at most 130 characters of interface path; in the
    // thread's ANSI code page that takes up to two bytes each.
    static constexpr int kMaxInterfaceChars = 130;
    static constexpr int kInterfacePathChars = 2 * kMaxInterfaceChars + 1;

    CVADrvHelper();
    ~CVADrvHelper();
    CVADrvHelper(const CVADrvHelper&) = delete;
    CVADrvHelper& operator=(const CVADrvHelper&) = delete;

    // The first present interface of the driver's class. On success the caller owns *deviceSet and
    // destroys it; path (kInterfacePathChars, or null) receives the interface path.
    static bool FindDeviceInterface(HDEVINFO* deviceSet, SP_DEVINFO_DATA* device, char* path);

    bool Open();
    void Close();
    bool GetDriverInfo(void* out);                // 24 bytes
    bool GetInstanceInfo(UINT index, void* out);  // 88 bytes
    // Sends instanceCount, then volumeControl for every instance; true only when all succeeded.
    bool ApplySettings();
    // Restarts the driver's device through the setup interface (property change).
    static bool RestartDevice();
    // A general request: the version word is written into the first input word first, so the input
    // must hold at least that word.
    bool IoControl(DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize, DWORD* returned);

    int instanceCount;
    int volumeControl;
    char devicePath[kDevicePathChars];
    HANDLE hDevice;

private:
    bool Request(DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize);
};

// A setup-interface error (three top bits set) becomes 0x800F0000 | its low 16 bits; the result is
// also set as the thread's last error.
DWORD TurnSetupError(DWORD error);
