#include "app/tests/ToneCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/AudioSignal.h"

namespace {

// The tone's frequency from the median distance of rising zero crossings in channel 0: a block
// lost on a loaded machine makes one long distance, not a wrong median.
double MedianCrossingFrequency(const std::vector<int16_t>& samples, size_t first, size_t last)
{
    std::vector<size_t> distances;
    size_t previous = 0;
    for (size_t frame = first + 1; frame < last; ++frame) {
        if (samples[2 * (frame - 1)] < 0 && samples[2 * frame] >= 0) {
            if (previous)
                distances.push_back(frame - previous);
            previous = frame;
        }
    }
    if (distances.size() < 10)
        return 0;
    std::nth_element(distances.begin(), distances.begin() + distances.size() / 2, distances.end());
    return 44100.0 / distances[distances.size() / 2];
}

}  // namespace

::testing::AssertionResult ToneArrived(const std::string& recording, double frequency)
{
    std::vector<int16_t> samples(recording.size() / 2);
    std::memcpy(samples.data(), recording.data(), samples.size() * 2);
    auto span = LoudSpan(samples, 2, 2000);
    if (span.second - span.first <= 44100)
        return ::testing::AssertionFailure() << "less than a second of the tone arrived";
    double measured = MedianCrossingFrequency(samples, span.first, span.second);
    // Whole-sample distances: 44100 / 100 = 441 and / 101 = 436.6 bracket 440 Hz.
    if (std::fabs(measured - frequency) > frequency * 0.012)
        return ::testing::AssertionFailure() << "the tone arrived at " << measured << " Hz";
    return ::testing::AssertionSuccess();
}
