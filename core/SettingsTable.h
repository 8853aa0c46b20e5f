#pragma once
#include <windows.h>

// Every value the program keeps under HKCU "Software\Tarnwick\Lyrant\Options": name, type, default.
// Readers and writers take names and defaults from here. The registry matches names without regard
// to case, so "AutoCLU" and "autoCLU" are one value.
namespace Settings {

constexpr const wchar_t* kOptionsKey = L"Software\\Tarnwick\\Lyrant\\Options";
// The most-recently-used lists; no part of the program keeps one yet.
constexpr const wchar_t* kMruKey = L"Software\\Tarnwick\\Lyrant\\MRU";

struct DwordValue
{
    const wchar_t* name;
    DWORD defaultValue;
    DWORD maxValue = 0xFFFFFFFF;   // a larger stored value reads as the default
};

struct StringValue
{
    const wchar_t* name;
    const wchar_t* defaultValue;
};

constexpr StringValue LanName{L"lanName", L"Eng"};        // language library "Res%s.dll"; "Eng" = none
constexpr DwordValue TransferChannels{L"TransferChannels", 0, 2};  // 0, 1, 2: one, two, three channels
constexpr DwordValue BufferNum{L"bufferNum", 10};           // buffers in a channel's ring
constexpr StringValue BufferLenMs{L"bufferLenMs", L"200"};  // ring length in milliseconds, decimal
constexpr StringValue BPS{L"BPS", L"16"};                   // bits per sample, decimal
constexpr StringValue SampleRate{L"SampleRate", L"44100"};  // hertz, decimal
constexpr DwordValue Channels{L"Channels", 2};              // 1 or 2
constexpr DwordValue AutoCLU{L"autoCLU", 1};                // update check at start-up
constexpr DwordValue FirstUse{L"firstUse", 1};              // first update-thread run pending

// Device choices of channel 1..3. The input default is computed when the combos are filled
// (the first capture device containing kVirtualDeviceMark); the output default names the mapper.
constexpr const wchar_t* InputChoice[3] = {L"st1_input", L"st2_input", L"st3_input"};
constexpr const wchar_t* OutputChoice[3] = {L"st1_output", L"st2_output", L"st3_output"};
constexpr const wchar_t* kDefaultOutputChoice = L"Microsoft";
constexpr const wchar_t* kVirtualDeviceMark = L"Tarnwick";

}  // namespace Settings
