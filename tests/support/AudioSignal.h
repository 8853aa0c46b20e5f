#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Test signals and their measurement, on interleaved 16-bit samples.

// A sine of the given frequency and peak, the same in every channel.
std::vector<int16_t> MakeTone(double frequency, unsigned rate, unsigned channels, size_t frames, int16_t peak);
// Relative power of one frequency in one channel over [first, first + frames) (Goertzel).
double TonePower(const std::vector<int16_t>& samples, unsigned channels, unsigned channel, size_t first,
                 size_t frames, double frequency, unsigned rate);
// Frequency from the rising zero crossings of one channel over [first, first + frames).
double ZeroCrossingFrequency(const std::vector<int16_t>& samples, unsigned channels, unsigned channel,
                             size_t first, size_t frames, unsigned rate);
// First and one-past-last frame whose channel-0 magnitude exceeds threshold; {0, 0} when none.
std::pair<size_t, size_t> LoudSpan(const std::vector<int16_t>& samples, unsigned channels, int threshold);
