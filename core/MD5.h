#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

// MD5 digest (RFC 1321) over bytes. Update any number of times, Finalize once, then read the digest;
// Reset starts over.
class CMD5
{
public:
    static constexpr size_t kDigestBytes = 16;

    CMD5();
    CMD5(const void* data, size_t size);
    explicit CMD5(const char* text);
    explicit CMD5(std::istream& stream);

    void Update(const void* data, size_t size);
    void Update(const char* text);
    // Reads the stream to its end; a stream already in a failed state adds nothing.
    void Update(std::istream& stream);
    void Finalize();
    void Reset();

    // Valid after Finalize.
    const uint8_t* Digest() const { return digest; }
    std::string HexDigest() const;

private:
    void Transform(const uint8_t block[64]);

    uint32_t state[4];
    uint64_t bitCount;
    uint8_t buffer[64];
    uint8_t digest[kDigestBytes];
    bool finalized;
};
