#pragma once
#include <string>
#include <vector>

// Product names of the wave devices in id order, the mapper (id -1) first: entry k of a device
// combo is device k - 1.
std::vector<std::wstring> WaveInputNames();
std::vector<std::wstring> WaveOutputNames();

// A device name as a combo lists it: a name at the capabilities' 31-character limit may have been
// cut, so "..." marks it.
std::wstring ComboDeviceName(const std::wstring& productName);

// The names of one direction by kind: the mapper's ("Microsoft" in any case), the virtual device's
// ("Tarnwick") and a physical device's (any other; the mapper's when there is none). A later device
// overwrites an earlier one of its kind.
struct DeviceNamesByKind
{
    std::wstring mapper;
    std::wstring virtualDevice;
    std::wstring physical;
};
DeviceNamesByKind ClassifyDeviceNames(const std::vector<std::wstring>& names);
