#include "app/tests/ToneCheck.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/AudioSignal.h"

::testing::AssertionResult ToneArrived(const std::string& recording, double frequency)
{
    std::vector<int16_t> samples(recording.size() / 2);
    std::memcpy(samples.data(), recording.data(), samples.size() * 2);
    auto span = LoudSpan(samples, 2, 2000);
    if (span.second - span.first <= 44100)
        return ::testing::AssertionFailure() << "less than a second of the tone arrived";
    size_t middle = (span.first + span.second) / 2;
    double measured = ZeroCrossingFrequency(samples, 2, 0, middle - 22050, 44100, 44100);
    if (std::fabs(measured - frequency) > frequency * 0.01)
        return ::testing::AssertionFailure() << "the tone arrived at " << measured << " Hz";
    return ::testing::AssertionSuccess();
}
