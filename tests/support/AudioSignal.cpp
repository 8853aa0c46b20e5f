#include "tests/support/AudioSignal.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

std::vector<int16_t> MakeTone(double frequency, unsigned rate, unsigned channels, size_t frames, int16_t peak)
{
    std::vector<int16_t> samples(frames * channels);
    for (size_t f = 0; f < frames; ++f) {
        double value = peak * std::sin(2 * kPi * frequency * static_cast<double>(f) / rate);
        for (unsigned c = 0; c < channels; ++c)
            samples[f * channels + c] = static_cast<int16_t>(std::lround(value));
    }
    return samples;
}

double TonePower(const std::vector<int16_t>& samples, unsigned channels, unsigned channel, size_t first,
                 size_t frames, double frequency, unsigned rate)
{
    double coefficient = 2 * std::cos(2 * kPi * frequency / rate);
    double s1 = 0, s2 = 0;
    for (size_t f = first; f < first + frames && (f * channels + channel) < samples.size(); ++f) {
        double s0 = samples[f * channels + channel] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return frames ? power / (static_cast<double>(frames) * frames) : 0;
}

double ZeroCrossingFrequency(const std::vector<int16_t>& samples, unsigned channels, unsigned channel,
                             size_t first, size_t frames, unsigned rate)
{
    size_t crossings = 0;
    size_t last = first + frames;
    for (size_t f = first + 1; f < last && (f * channels + channel) < samples.size(); ++f)
        if (samples[(f - 1) * channels + channel] < 0 && samples[f * channels + channel] >= 0)
            ++crossings;
    return frames ? static_cast<double>(crossings) * rate / static_cast<double>(frames) : 0;
}

std::pair<size_t, size_t> LoudSpan(const std::vector<int16_t>& samples, unsigned channels, int threshold)
{
    size_t frames = samples.size() / channels;
    size_t begin = frames, end = 0;
    for (size_t f = 0; f < frames; ++f) {
        if (std::abs(samples[f * channels]) > threshold) {
            if (begin == frames)
                begin = f;
            end = f + 1;
        }
    }
    if (begin == frames)
        return {0, 0};
    return {begin, end};
}
