#include "core/AudioTransfer.h"

#include <cstdint>

namespace {

// One little-endian sample of the given container width, scaled to a signed 32-bit full scale.
int32_t ScaledSample(const uint8_t* p, unsigned width)
{
    switch (width) {
    case 8:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] - 128) << 24);
    case 16:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] | p[1] << 8) << 16);
    case 24:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) << 8);
    default:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                    static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
    }
}

}  // namespace

// Mean magnitude per channel on the 2^31 scale; the most negative sample counts as 2^31.
void CAudioTransfer::UpdateLevels(const void* data, DWORD bytes)
{
    const WAVEFORMATEX& basic = format.Format;
    unsigned width = basic.wBitsPerSample;
    unsigned count = basic.nChannels;
    if (basic.nBlockAlign == 0 || count == 0 || count > 2)
        return;
    DWORD frames = bytes / basic.nBlockAlign;
    if (frames == 0) {
        // Shorter than one frame: nothing to average.
        for (unsigned c = 0; c < count; ++c)
            levels[c] = 0;
        return;
    }
    if (width != 8 && width != 16 && width != 24 && width != 32)
        return;
    unsigned sampleBytes = width / 8;
    uint64_t sums[2] = {0, 0};
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (DWORD f = 0; f < frames; ++f) {
        for (unsigned c = 0; c < count; ++c, p += sampleBytes) {
            int64_t s = ScaledSample(p, width);
            sums[c] += static_cast<uint64_t>(s < 0 ? -s : s);
        }
        p += basic.nBlockAlign - count * sampleBytes;
    }
    for (unsigned c = 0; c < count; ++c)
        levels[c] = static_cast<DWORD>(sums[c] / frames);
}
