// Hostile clips in the animation control (dialog-skinning test program): each is opened or refused
// as its sizes allow, played, painted and closed promptly, and the heap stays sound.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/fuzz/HostileClips.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

// Generous: a case that reads past its buffers crashes or takes its time; processor time is
// bounded tightly, wall time (a machine shared with many builds) only against a freeze.
const double kCpuSeconds = 3.0;
const double kWallSeconds = 60.0;

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

}  // namespace

TEST(AnimationHostile, EveryClipIsOpenedOrRefusedAsItsSizesAllowAndTheHeapStaysSound)
{
    TempFolder folder;
    std::vector<ClipCase> cases = HostileClipCases();
    for (ClipCase& c : MutatedClipCases(23, 60))
        cases.push_back(c);
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ClipTrial trial = TryClip(WriteClipCase(c, Wide(folder.Path())));
        if (c.opens >= 0)
            EXPECT_EQ(trial.opened, c.opens == 1);
        EXPECT_LT(trial.cpuSeconds, kCpuSeconds);
        EXPECT_LT(trial.seconds, kWallSeconds);
        ASSERT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
    }
}
