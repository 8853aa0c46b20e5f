// Figures of the transfer engine for scripts/bench, which sets up the sound server, feeds, records
// and measures with the server's own tools.
//   AudioBench rtf [RATE BITS]  processing cost per block, levels and levels plus pitch (16 bits
//                               only), at the default format or, named after it, at RATE and BITS
//   AudioBench route CHANNELS [KEY=VALUE...]
//                               runs CHANNELS channels, speakers A's monitor to B, C and D;
//                               creates "bench-ready" in the current folder once they run and
//                               stops them when "bench-stop" appears there. Keys, each defaulting
//                               to the program's own setting or sink: ring (ms), buffers, rate,
//                               bits, input (a device name), outputs (names, comma-separated)
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

constexpr int kRtfBlocks = 2000;
constexpr DWORD kStopPollMs = 100;
constexpr DWORD kMeterPollMs = 5;
constexpr wchar_t kReadyFile[] = L"bench-ready";
constexpr wchar_t kStopFile[] = L"bench-stop";

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

// One second of a 440 Hz tone in the format's sample width (16 bits: as made; wider: the 16-bit
// sample in the top bytes, the low bytes not zero so that nothing is cheaper than real audio).
std::vector<uint8_t> ToneBytes(unsigned rate, unsigned sampleBytes)
{
    std::vector<int16_t> tone = MakeTone(440, rate, 2, rate, 12000);
    std::vector<uint8_t> bytes;
    bytes.reserve(tone.size() * sampleBytes);
    for (size_t i = 0; i < tone.size(); ++i) {
        for (unsigned b = 2; b < sampleBytes; ++b)
            bytes.push_back(static_cast<uint8_t>(i * 37 + b));
        uint16_t sample = static_cast<uint16_t>(tone[i]);
        bytes.push_back(static_cast<uint8_t>(sample));
        bytes.push_back(static_cast<uint8_t>(sample >> 8));
    }
    return bytes;
}

// The cost per block of the worker's in-place work, as processing time over the block's audio
// time: levels, then levels plus a +12 semitone shift where the pitch library takes the format.
// Lines are named after the format unless it is the default one (suffix empty).
int Rtf(unsigned rate, unsigned bits, const std::string& suffix)
{
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.sampleRate = rate;
    engine.bitsPerSample = bits;
    engine.OpenDevices(0x7FFF, 0x7FFF);  // no devices: format, ring size and processor only
    const DWORD bytes = engine.bufferBytes;
    const unsigned frameBytes = engine.format.Format.nBlockAlign;
    if (bytes == 0 || frameBytes == 0) {
        std::fprintf(stderr, "bench: the engine takes no %u Hz %u-bit format\n", rate, bits);
        return 1;
    }
    const double blockSeconds = static_cast<double>(bytes / frameBytes) / rate;
    const std::vector<uint8_t> tone = ToneBytes(rate, frameBytes / 2);
    std::vector<uint8_t> block(bytes);
    std::vector<double> levels, pitch;
    engine.SetPitch(800);
    const bool shifts = bits == 16;  // other widths pass unshifted
    for (int withPitch = 0; withPitch < (shifts ? 2 : 1); ++withPitch) {
        size_t at = 0;
        for (int b = 0; b < kRtfBlocks; ++b) {
            // The tone again from its start once a block would run past its end.
            if (at + bytes > tone.size())
                at = 0;
            std::memcpy(block.data(), tone.data() + at, bytes);
            at += bytes;
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            engine.UpdateLevels(block.data(), bytes);
            if (withPitch)
                engine.ShiftPitch(block.data(), bytes);
            QueryPerformanceCounter(&end);
            (withPitch ? pitch : levels).push_back(Seconds(start, end) / blockSeconds);
        }
    }
    std::printf("rtf_levels%s %.6f ratio\n", suffix.c_str(), Median(levels));
    if (!shifts)
        return 0;
    std::printf("rtf_pitch%s %.6f ratio\n", suffix.c_str(), Median(pitch));
    // The pitch library works in batches: most blocks only queue, some carry the whole work.
    double sum = 0;
    for (double value : pitch)
        sum += value;
    std::printf("rtf_pitch_mean%s %.6f ratio\n", suffix.c_str(), sum / pitch.size());
    return 0;
}

// The engine's queues while it routes, sampled every few ms; a break with blocks queued on both
// devices happened outside the engine. The first stretches in which a queue ran empty are kept with
// their time since routing began, so a break can be set beside them.
struct QueueWatch
{
    static constexpr int kStretches = 8;
    unsigned long samples = 0, emptyIn = 0, emptyOut = 0;
    long minIn = 1 << 30, minOut = 1 << 30;
    bool wasEmpty = false;
    int stretches = 0;
    double stretchAt[kStretches] = {};
    void Sample(const TransferMeters& meters, double seconds)
    {
        // Playback fills up to half the ring before it starts: count from then on.
        if (meters.queuedOut == 0 && samples == 0)
            return;
        ++samples;
        minIn = std::min<long>(minIn, meters.queuedIn);
        minOut = std::min<long>(minOut, meters.queuedOut);
        emptyIn += meters.queuedIn == 0;
        emptyOut += meters.queuedOut == 0;
        bool empty = meters.queuedIn == 0 || meters.queuedOut == 0;
        if (empty && !wasEmpty && stretches < kStretches)
            stretchAt[stretches++] = seconds;
        wasEmpty = empty;
    }
    void Print(unsigned channel) const
    {
        std::fprintf(stderr,
                     "bench: channel %u: %lu samples; capture queue min %ld, empty %lu times; "
                     "playback queue min %ld, empty %lu times",
                     channel, samples, minIn, emptyIn, minOut, emptyOut);
        for (int i = 0; i < stretches; ++i)
            std::fprintf(stderr, "%s%.2f s", i ? ", " : "; a queue ran empty at ", stretchAt[i]);
        std::fprintf(stderr, "%s\n", stretches ? " after routing began" : "");
    }
};

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

// What a route run is told on its command line.
struct RouteOptions
{
    TransferSettings settings;  // format and ring; the devices are found by name
    std::wstring input = L"Lyrant Speakers A";
    std::vector<std::wstring> outputs = {L"Lyrant Speakers B", L"Lyrant Bench C", L"Lyrant Bench D"};
};

bool ParseRouteOptions(int argc, char** argv, RouteOptions& options)
{
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        size_t eq = arg.find('=');
        if (eq == std::string::npos)
            return false;
        std::string key = arg.substr(0, eq), value = arg.substr(eq + 1);
        DWORD number = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        if (key == "ring")
            options.settings.bufferLenMs = number;
        else if (key == "buffers")
            options.settings.bufferNum = number;
        else if (key == "rate")
            options.settings.sampleRate = number;
        else if (key == "bits")
            options.settings.bitsPerSample = number;
        else if (key == "input")
            options.input = Wide(value);
        else if (key == "outputs") {
            options.outputs.clear();
            for (size_t from = 0;;) {
                size_t comma = value.find(',', from);
                options.outputs.push_back(Wide(value.substr(from, comma - from)));
                if (comma == std::string::npos)
                    break;
                from = comma + 1;
            }
        } else
            return false;
    }
    return true;
}

// Routes the input's monitor to the outputs until told to stop: the sound server's own tools feed
// and record, so the measuring path has no stream in this process. Devices are found by the sinks'
// names, which both of Wine's audio paths keep inside their own device names.
int Route(unsigned count, const RouteOptions& options)
{
    if (count > options.outputs.size()) {
        std::fprintf(stderr, "bench: %u channels need %u outputs\n", count, count);
        return 1;
    }
    std::vector<CTransferChannel> channels(count);
    int input = FindWaveIn(options.input.c_str());
    for (unsigned i = 0; i < count; ++i) {
        TransferSettings settings = options.settings;
        int output = FindWaveOut(options.outputs[i].c_str());
        if (input < 0 || output < 0) {
            std::fprintf(stderr, "bench: device missing for channel %u\n", i + 1);
            return 1;
        }
        settings.inputDevice = static_cast<UINT>(input);
        settings.outputDevice = static_cast<UINT>(output);
        TransferFailure failure;
        if (!channels[i].Start(settings, &failure)) {
            std::fprintf(stderr, "bench: channel %u did not start (reason %d, device error %u)\n", i + 1,
                         static_cast<int>(failure.problem), failure.deviceError);
            return 1;
        }
    }
    HANDLE ready = CreateFileW(kReadyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(ready);
    LARGE_INTEGER began;
    QueryPerformanceCounter(&began);
    std::vector<QueueWatch> watches(count);
    for (DWORD tick = 0;; ++tick) {
        if (tick % (kStopPollMs / kMeterPollMs) == 0 && GetFileAttributesW(kStopFile) != INVALID_FILE_ATTRIBUTES)
            break;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        for (unsigned i = 0; i < count; ++i)
            watches[i].Sample(channels[i].Meters(), Seconds(began, now));
        Sleep(kMeterPollMs);
    }
    std::vector<long> rebalances(count);
    for (unsigned i = 0; i < count; ++i) {
        channels[i].Stop();
        rebalances[i] = channels[i].engine.rebalances;
    }
    for (unsigned i = 0; i < count; ++i) {
        watches[i].Print(i + 1);
        if (rebalances[i])
            std::fprintf(stderr, "bench: channel %u: the ring was left on playback %ld time(s) and skipped back to "
                         "its balance\n", i + 1, rebalances[i]);
    }
    return 0;
}

// "_192k_24bit": the suffix of the cost lines at a format other than the default one.
std::string FormatSuffix(unsigned rate, unsigned bits)
{
    char text[48];
    if (rate % 1000 == 0)
        std::snprintf(text, sizeof text, "_%uk_%ubit", rate / 1000, bits);
    else
        std::snprintf(text, sizeof text, "_%uhz_%ubit", rate, bits);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "rtf" && argc == 2)
        return Rtf(TransferSettings().sampleRate, TransferSettings().bitsPerSample, "");
    if (mode == "rtf" && argc == 4) {
        unsigned rate = static_cast<unsigned>(std::atoi(argv[2])), bits = static_cast<unsigned>(std::atoi(argv[3]));
        return Rtf(rate, bits, FormatSuffix(rate, bits));
    }
    RouteOptions options;
    if (mode == "route" && argc > 2 && ParseRouteOptions(argc - 3, argv + 3, options))
        return Route(static_cast<unsigned>(std::max(1, std::min(3, std::atoi(argv[2])))), options);
    std::fprintf(stderr, "usage: AudioBench rtf [RATE BITS] | route CHANNELS [KEY=VALUE...]\n");
    return 2;
}
