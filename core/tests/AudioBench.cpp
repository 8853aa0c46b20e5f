// Figures of the transfer engine for scripts/bench, which sets up the sound server, feeds, records
// and measures with the server's own tools.
//   AudioBench rtf              processing cost per block, levels and levels plus pitch
//   AudioBench route CHANNELS   runs CHANNELS channels at the default settings, speakers A's monitor
//                               to B, C and D; creates "bench-ready" in the current folder
//                               once they run and stops them when "bench-stop" appears there
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/TransferChannel.h"
#include "tests/support/AudioSignal.h"
#include "tests/support/PulseAudioIo.h"

namespace {

constexpr unsigned kRate = 44100;
constexpr unsigned kFrameBytes = 4;
constexpr int kRtfBlocks = 2000;
constexpr DWORD kStopPollMs = 100;
constexpr DWORD kMeterPollMs = 5;
constexpr wchar_t kReadyFile[] = L"bench-ready";
constexpr wchar_t kStopFile[] = L"bench-stop";

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

struct QueueWatch
{
    unsigned long samples = 0, emptyIn = 0, emptyOut = 0;
    long minIn = 1 << 30, minOut = 1 << 30;
    void Sample(const TransferMeters& meters)
    {
        // Playback fills up to half the ring before it starts: count from then on.
        if (meters.queuedOut == 0 && samples == 0)
            return;
        ++samples;
        minIn = std::min<long>(minIn, meters.queuedIn);
        minOut = std::min<long>(minOut, meters.queuedOut);
        emptyIn += meters.queuedIn == 0;
        emptyOut += meters.queuedOut == 0;
    }
};

// Routes speakers A's monitor to B (and C, D) until told to stop: the sound server's own tools feed
// and record, so the measuring path has no stream in this process. Devices are found by the sinks'
// names, which both of Wine's audio paths keep inside their own device names.
int Route(unsigned count)
{
    std::vector<CTransferChannel> channels(3);
    int input = FindWaveIn(L"Lyrant Speakers A");
    for (unsigned i = 0; i < count; ++i) {
        TransferSettings settings;
        int output = FindWaveOut(kOutputs[i]);
        if (input < 0 || output < 0) {
            std::fprintf(stderr, "bench: device missing for channel %u\n", i + 1);
            return 1;
        }
        settings.inputDevice = static_cast<UINT>(input);
        settings.outputDevice = static_cast<UINT>(output);
        if (!channels[i].Start(settings)) {
            std::fprintf(stderr, "bench: channel %u did not start\n", i + 1);
            return 1;
        }
    }
    HANDLE ready = CreateFileW(kReadyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(ready);
    // The engine's queues, sampled while it routes: a break with blocks queued on both devices
    // happened outside the engine.
    std::vector<QueueWatch> watches(count);
    for (DWORD tick = 0;; ++tick) {
        if (tick % (kStopPollMs / kMeterPollMs) == 0 && GetFileAttributesW(kStopFile) != INVALID_FILE_ATTRIBUTES)
            break;
        for (unsigned i = 0; i < count; ++i)
            watches[i].Sample(channels[i].Meters());
        Sleep(kMeterPollMs);
    }
    for (auto& channel : channels)
        channel.Stop();
    for (unsigned i = 0; i < count; ++i)
        std::fprintf(stderr,
                     "bench: channel %u: %lu samples; capture queue min %ld, empty %lu times; "
                     "playback queue min %ld, empty %lu times\n",
                     i + 1, watches[i].samples, watches[i].minIn, watches[i].emptyIn, watches[i].minOut,
                     watches[i].emptyOut);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "rtf")
        return Rtf();
    if (mode == "route" && argc > 2)
        return Route(static_cast<unsigned>(std::max(1, std::min(3, std::atoi(argv[2])))));
    std::fprintf(stderr, "usage: AudioBench rtf | route CHANNELS\n");
    return 2;
}
