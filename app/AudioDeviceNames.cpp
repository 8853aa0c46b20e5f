#include "app/AudioDeviceNames.h"

#include <windows.h>
#include <mmsystem.h>
#include <shlwapi.h>

#include "core/SettingsTable.h"

namespace {

constexpr size_t kCapsNameLimit = MAXPNAMELEN - 1;   // 31 characters and the NUL

}  // namespace

std::vector<std::wstring> WaveInputNames()
{
    std::vector<std::wstring> names;
    int count = static_cast<int>(waveInGetNumDevs());
    for (int id = -1; id < count; ++id) {
        WAVEINCAPSW caps = {};
        waveInGetDevCapsW(static_cast<UINT>(id), &caps, sizeof(caps));
        names.emplace_back(caps.szPname);
    }
    return names;
}

std::vector<std::wstring> WaveOutputNames()
{
    std::vector<std::wstring> names;
    int count = static_cast<int>(waveOutGetNumDevs());
    for (int id = -1; id < count; ++id) {
        WAVEOUTCAPSW caps = {};
        waveOutGetDevCapsW(static_cast<UINT>(id), &caps, sizeof(caps));
        names.emplace_back(caps.szPname);
    }
    return names;
}

std::wstring ComboDeviceName(const std::wstring& productName)
{
    if (productName.size() == kCapsNameLimit)
        return productName + L"...";
    return productName;
}

DeviceNamesByKind ClassifyDeviceNames(const std::vector<std::wstring>& names)
{
    DeviceNamesByKind kinds;
    for (const std::wstring& name : names) {
        if (StrStrIW(name.c_str(), L"Microsoft"))
            kinds.mapper = name;
        else if (name.find(Settings::kVirtualDeviceMark) != std::wstring::npos)
            kinds.virtualDevice = name;
        else
            kinds.physical = name;
    }
    if (kinds.physical.empty())
        kinds.physical = kinds.mapper;
    return kinds;
}
