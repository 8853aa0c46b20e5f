#include "core/MD5.h"

#include <cstring>

namespace {

constexpr size_t kBlockBytes = 64;
constexpr size_t kStreamChunk = 4096;

// Per-round shift amounts and the sine-derived constants of the algorithm.
constexpr uint32_t kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

uint32_t RotateLeft(uint32_t value, uint32_t bits)
{
    return (value << bits) | (value >> (32 - bits));
}

}  // namespace

CMD5::CMD5()
{
    Reset();
}

CMD5::CMD5(const void* data, size_t size) : CMD5()
{
    Update(data, size);
    Finalize();
}

CMD5::CMD5(const char* text) : CMD5()
{
    Update(text);
    Finalize();
}

CMD5::CMD5(std::istream& stream) : CMD5()
{
    Update(stream);
    Finalize();
}

void CMD5::Reset()
{
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    bitCount = 0;
    memset(buffer, 0, sizeof(buffer));
    memset(digest, 0, sizeof(digest));
    finalized = false;
}

void CMD5::Update(const void* data, size_t size)
{
    if (finalized)
        return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t used = static_cast<size_t>((bitCount / 8) % kBlockBytes);
    bitCount += static_cast<uint64_t>(size) * 8;
    if (used) {
        size_t take = kBlockBytes - used < size ? kBlockBytes - used : size;
        memcpy(buffer + used, bytes, take);
        bytes += take;
        size -= take;
        if (used + take < kBlockBytes)
            return;
        Transform(buffer);
    }
    for (; size >= kBlockBytes; bytes += kBlockBytes, size -= kBlockBytes)
        Transform(bytes);
    memcpy(buffer, bytes, size);
}

void CMD5::Update(const char* text)
{
    Update(text, strlen(text));
}

void CMD5::Update(std::istream& stream)
{
    if (!stream)
        return;
    char chunk[kStreamChunk];
    while (stream) {
        stream.read(chunk, sizeof(chunk));
        std::streamsize got = stream.gcount();
        if (got > 0)
            Update(chunk, static_cast<size_t>(got));
    }
}

void CMD5::Finalize()
{
    if (finalized)
        return;
    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<uint8_t>(bitCount >> (8 * i));
    static const uint8_t padding[kBlockBytes] = {0x80};
    size_t used = static_cast<size_t>((bitCount / 8) % kBlockBytes);
    Update(padding, used < 56 ? 56 - used : 120 - used);
    Update(length, sizeof(length));
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<uint8_t>(state[i / 4] >> (8 * (i % 4)));
    finalized = true;
}

std::string CMD5::HexDigest() const
{
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : digest) {
        text += hex[byte >> 4];
        text += hex[byte & 15];
    }
    return text;
}

void CMD5::Transform(const uint8_t block[64])
{
    uint32_t words[16];
    for (int i = 0; i < 16; ++i)
        words[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
                   (static_cast<uint32_t>(block[i * 4 + 3]) << 24);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        uint32_t next = d;
        d = c;
        c = b;
        b = b + RotateLeft(a + f + kSine[i] + words[g], kShift[i]);
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
