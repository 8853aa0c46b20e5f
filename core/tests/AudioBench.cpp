// Figures of the transfer engine, printed as "name value unit" lines; run by scripts/bench, which
// sets up the sound server (extra sinks, the combined feed sink, the loopback module).
//   AudioBench rtf                    processing cost per block, levels and levels plus pitch
//   AudioBench latency NAME engine    impulse latency sink A -> channel -> sink B
//   AudioBench latency NAME none      the same measurement with whatever the server routes A -> B
//   AudioBench dropouts NAME CHANNELS discontinuities of a 30 s tone through the first of CHANNELS
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/TransferChannel.h"
#include "tests/support/AudioSignal.h"
#include "tests/support/PulseAudioIo.h"
#include "tests/support/WaveFeed.h"

namespace {

constexpr unsigned kRate = 44100;
constexpr unsigned kFrameBytes = 4;
constexpr DWORD kToolTimeoutMs = 120000;
constexpr DWORD kSettleMs = 1000;
constexpr int kRtfBlocks = 2000;
constexpr int kImpulses = 9;
constexpr double kImpulseSpacingS = 0.7;
constexpr size_t kImpulseFrames = 44;  // 1 ms click
constexpr int16_t kImpulseLevel = 20000;
constexpr int kOnsetThreshold = 5000;
constexpr size_t kOnsetQuietFrames = kRate / 50;  // 20 ms, far below any path latency
constexpr unsigned kDropoutSeconds = 30;
constexpr double kDropoutTone = 997;  // not a whole number of cycles per 20 ms block
constexpr int16_t kDropoutPeak = 12000;
constexpr double kResidualThreshold = 1000;
constexpr size_t kEventMergeFrames = kRate / 20;  // a gap counts once, both its edges
constexpr wchar_t kFeedDevice[] = L"Lyrant Bench Feed";  // plays into A and B at once

const wchar_t* const kOutputs[] = {L"Lyrant Speakers B", L"Lyrant Bench C", L"Lyrant Bench D"};

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Rtf()
{
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.OpenDevices(0x7FFF, 0x7FFF);  // no devices: format, ring size and processor only
    const DWORD bytes = engine.bufferBytes;
    const size_t frames = bytes / kFrameBytes;
    const double blockSeconds = static_cast<double>(frames) / kRate;
    std::vector<int16_t> tone = MakeTone(440, kRate, 2, frames * kRtfBlocks, 12000);
    std::vector<int16_t> block(frames * 2);
    std::vector<double> levels, pitch;
    engine.SetPitch(800);
    for (int withPitch = 0; withPitch < 2; ++withPitch) {
        for (int b = 0; b < kRtfBlocks; ++b) {
            std::memcpy(block.data(), tone.data() + b * frames * 2, bytes);
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            engine.UpdateLevels(block.data(), bytes);
            if (withPitch)
                engine.ShiftPitch(block.data(), bytes);
            QueryPerformanceCounter(&end);
            (withPitch ? pitch : levels).push_back(Seconds(start, end) / blockSeconds);
        }
    }
    std::printf("rtf_levels %.6f ratio\nrtf_pitch %.6f ratio\n", Median(levels), Median(pitch));
    // The pitch library works in batches: most blocks only queue, some carry the whole work.
    double sum = 0;
    for (double value : pitch)
        sum += value;
    std::printf("rtf_pitch_mean %.6f ratio\n", sum / pitch.size());
    return 0;
}

// Frames where channel 0 rises above the threshold after a quiet stretch.
std::vector<size_t> Onsets(const std::vector<int16_t>& samples)
{
    std::vector<size_t> onsets;
    size_t lastLoud = 0;
    bool any = false;
    for (size_t f = 0; f < samples.size() / 2; ++f) {
        if (std::abs(samples[f * 2]) <= kOnsetThreshold)
            continue;
        if (!any || f - lastLoud > kOnsetQuietFrames)
            onsets.push_back(f);
        lastLoud = f;
        any = true;
    }
    return onsets;
}

// Plays feed into the named playback device while "Monitor of Lyrant Speakers B" is recorded, both
// through wave devices of this process (Wine starting a sound tool while its streams run can wedge
// its driver).
bool FeedAndRecord(const wchar_t* feedDevice, const std::vector<int16_t>& feed, size_t recordBytes,
                   std::vector<uint8_t>* recorded)
{
    WAVEFORMATEXTENSIBLE format = WaveFormat(16, kRate, 2);
    int in = FindWaveIn(L"Monitor of Lyrant Speakers B");
    int out = FindWaveOut(feedDevice);
    CWaveRecorder recorder;
    CWavePlayer player;
    std::vector<uint8_t> bytes(feed.size() * 2);
    std::memcpy(bytes.data(), feed.data(), bytes.size());
    if (in < 0 || out < 0 || !recorder.Start(static_cast<UINT>(in), format, recordBytes) ||
        !player.Start(static_cast<UINT>(out), format, bytes) || !player.Wait(kToolTimeoutMs) ||
        !recorder.Wait(kToolTimeoutMs)) {
        std::fprintf(stderr, "bench: feeding or recording failed\n");
        return false;
    }
    *recorded = recorder.Data();
    return true;
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

bool StartChannels(std::vector<CTransferChannel>& channels, unsigned count)
{
    int input = FindWaveIn(L"Monitor of Lyrant Speakers A");
    for (unsigned i = 0; i < count; ++i) {
        TransferSettings settings;
        int output = FindWaveOut(kOutputs[i]);
        if (input < 0 || output < 0) {
            std::fprintf(stderr, "bench: device missing for channel %u\n", i + 1);
            return false;
        }
        settings.inputDevice = static_cast<UINT>(input);
        settings.outputDevice = static_cast<UINT>(output);
        if (!channels[i].Start(settings))
            return false;
    }
    return true;
}

// Impulses go to the combined sink "Lyrant Bench Feed" (sinks A and B at once): each shows in B's
// recording directly and again after the path under test.
int Latency(const std::string& name, bool withEngine)
{
    std::vector<CTransferChannel> channels(1);
    if (withEngine && !StartChannels(channels, 1))
        return 1;
    Sleep(kSettleMs);
    size_t spacing = static_cast<size_t>(kImpulseSpacingS * kRate);
    std::vector<int16_t> feed((kImpulses + 1) * spacing * 2, 0);
    for (int k = 0; k < kImpulses; ++k)
        for (size_t f = 0; f < kImpulseFrames; ++f)
            feed[((k + 1) * spacing - spacing / 2 + f) * 2] = feed[((k + 1) * spacing - spacing / 2 + f) * 2 + 1] =
                kImpulseLevel;
    std::vector<uint8_t> recorded;
    if (!FeedAndRecord(kFeedDevice, feed, (kImpulses + 3) * spacing * kFrameBytes, &recorded))
        return 1;
    channels[0].Stop();
    std::vector<size_t> onsets = Onsets(AsSamples(recorded));
    std::vector<double> delays;
    for (size_t i = 0; i + 1 < onsets.size(); i += 2)
        delays.push_back(1000.0 * static_cast<double>(onsets[i + 1] - onsets[i]) / kRate);
    if (onsets.size() != 2 * kImpulses)
        std::fprintf(stderr, "bench: %s: %zu onsets for %d impulses\n", name.c_str(), onsets.size(), kImpulses);
    std::printf("%s %.1f ms\n", name.c_str(), Median(delays));
    return 0;
}

// A pure tone predicts each sample from the two before it; a gap or a lost block breaks that.
int Dropouts(const std::string& name, unsigned count)
{
    std::vector<CTransferChannel> channels(3);
    if (!StartChannels(channels, count))
        return 1;
    Sleep(kSettleMs);
    std::vector<int16_t> tone = MakeTone(kDropoutTone, kRate, 2, kDropoutSeconds * kRate, kDropoutPeak);
    std::vector<uint8_t> recorded;
    bool done = FeedAndRecord(L"Lyrant Speakers A", tone, (kDropoutSeconds + 3) * kRate * kFrameBytes, &recorded);
    for (auto& channel : channels)
        channel.Stop();
    if (!done)
        return 1;
    std::vector<int16_t> samples = AsSamples(recorded);
    auto span = LoudSpan(samples, 2, kDropoutPeak / 2);
    size_t margin = kRate / 20;  // the stream's own start and end
    double coefficient = 2 * std::cos(2 * 3.14159265358979323846 * kDropoutTone / kRate);
    int events = 0;
    size_t lastEvent = 0;
    bool any = false;
    std::string where;
    for (size_t f = span.first + margin; f + margin < span.second; ++f) {
        double predicted = coefficient * samples[(f - 1) * 2] - samples[(f - 2) * 2];
        if (std::fabs(samples[f * 2] - predicted) <= kResidualThreshold)
            continue;
        if (!any || f - lastEvent > kEventMergeFrames) {
            ++events;
            char at[32];
            std::snprintf(at, sizeof(at), " %.2f", static_cast<double>(f - span.first) / kRate);
            where += at;
        }
        lastEvent = f;
        any = true;
    }
    double arrived = static_cast<double>(span.second - span.first) / kRate;
    if (std::fabs(arrived - kDropoutSeconds) > 0.5)
        std::fprintf(stderr, "bench: %s: %.2f s of the %u s tone arrived\n", name.c_str(), arrived, kDropoutSeconds);
    if (events)
        std::fprintf(stderr, "bench: %s: discontinuities at (s):%s\n", name.c_str(), where.c_str());
    std::printf("%s %d count\n", name.c_str(), events);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "rtf")
        return Rtf();
    if (mode == "latency" && argc > 3)
        return Latency(argv[2], std::strcmp(argv[3], "engine") == 0);
    if (mode == "dropouts" && argc > 3)
        return Dropouts(argv[2], static_cast<unsigned>(std::max(1, std::min(3, std::atoi(argv[3])))));
    std::fprintf(stderr, "usage: AudioBench rtf | latency NAME engine|none | dropouts NAME CHANNELS\n");
    return 2;
}
