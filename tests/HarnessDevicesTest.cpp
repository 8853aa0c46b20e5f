#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

// The test harness's private sound server must give real wave devices, the virtual device among them.

namespace {

std::vector<std::wstring> InputNames()
{
    std::vector<std::wstring> names;
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        WAVEINCAPSW caps = {};
        if (waveInGetDevCapsW(id, &caps, sizeof(caps)) == MMSYSERR_NOERROR)
            names.push_back(caps.szPname);
    }
    return names;
}

std::vector<std::wstring> OutputNames()
{
    std::vector<std::wstring> names;
    for (UINT id = 0; id < waveOutGetNumDevs(); ++id) {
        WAVEOUTCAPSW caps = {};
        if (waveOutGetDevCapsW(id, &caps, sizeof(caps)) == MMSYSERR_NOERROR)
            names.push_back(caps.szPname);
    }
    return names;
}

bool AnyContains(const std::vector<std::wstring>& names, const wchar_t* part)
{
    for (const auto& name : names)
        if (name.find(part) != std::wstring::npos)
            return true;
    return false;
}

}  // namespace

TEST(HarnessDevices, AtLeastTwoEachWayAndTheVirtualDevice)
{
    std::vector<std::wstring> inputs = InputNames();
    std::vector<std::wstring> outputs = OutputNames();
    EXPECT_GE(inputs.size(), 2u);
    EXPECT_GE(outputs.size(), 2u);
    EXPECT_TRUE(AnyContains(outputs, L"Tarnwick"));
    EXPECT_TRUE(AnyContains(inputs, L"Tarnwick"));
    EXPECT_TRUE(AnyContains(outputs, L"Lyrant Speakers"));
}
