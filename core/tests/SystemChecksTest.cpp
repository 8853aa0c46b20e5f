#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>

#include "core/MD5.h"
#include "core/SystemChecks.h"

// The harness gives each build a prefix of its own width: a 32-bit prefix for the 32-bit build.
TEST(SystemChecks, WineUserIsAnAdministratorOnASystemOfTheBuildsWidth)
{
    EXPECT_TRUE(IsUserAdmin());
    EXPECT_TRUE(IsUserAdminNoThrow());
    EXPECT_EQ(Is64BitWindows(), sizeof(void*) == 8);
}

TEST(SystemChecks, Is64BitWindowsFollowsTheNativeArchitecture)
{
    SYSTEM_INFO native = {};
    GetNativeSystemInfo(&native);
    bool expected = native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                    native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
    EXPECT_EQ(Is64BitWindows(), expected);
}

TEST(SystemChecks, TokenQueriesAnswerForTheProcessToken)
{
    bool admin = false;
    EXPECT_NO_THROW(admin = IsRunAsAdmin());
    EXPECT_EQ(admin, IsUserAdmin());
    EXPECT_NO_THROW(IsProcessElevated());
    DWORD level = 0;
    EXPECT_NO_THROW(level = GetProcessIntegrityLevel());
    EXPECT_GE(level, static_cast<DWORD>(SECURITY_MANDATORY_LOW_RID));
    EXPECT_LE(level, static_cast<DWORD>(SECURITY_MANDATORY_SYSTEM_RID));
}

struct DigestCase
{
    const char* text;
    const char* hex;
};

// The test suite of RFC 1321.
const DigestCase kRfc1321[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(MD5, Rfc1321VectorsFromTextBytesAndStream)
{
    for (const DigestCase& c : kRfc1321) {
        EXPECT_EQ(CMD5(c.text).HexDigest(), c.hex) << '"' << c.text << '"';
        std::string text = c.text;
        EXPECT_EQ(CMD5(text.data(), text.size()).HexDigest(), c.hex);
        std::istringstream stream(text);
        EXPECT_EQ(CMD5(stream).HexDigest(), c.hex);
    }
}

TEST(MD5, PiecewiseUpdatesAcrossBlockBoundariesMatchOneUpdate)
{
    std::string text = kRfc1321[6].text;  // 80 bytes: crosses the 64-byte block
    for (size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 79u}) {
        CMD5 digest;
        digest.Update(text.data(), split);
        digest.Update(text.c_str() + split);
        digest.Finalize();
        EXPECT_EQ(digest.HexDigest(), kRfc1321[6].hex) << "split at " << split;
    }
    // A stream larger than one read chunk.
    std::string big(10000, 'x');
    std::istringstream stream(big);
    EXPECT_EQ(CMD5(stream).HexDigest(), CMD5(big.data(), big.size()).HexDigest());
}

TEST(MD5, DigestBytesAndResetStartOver)
{
    CMD5 digest("abc");
    const unsigned char expected[CMD5::kDigestBytes] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                                        0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
    EXPECT_EQ(memcmp(digest.Digest(), expected, sizeof(expected)), 0);
    digest.Reset();
    digest.Update("a");
    digest.Finalize();
    EXPECT_EQ(digest.HexDigest(), kRfc1321[1].hex);
}

TEST(MD5, FailedStreamAddsNothing)
{
    std::istringstream stream("not read");
    stream.setstate(std::ios::failbit);
    CMD5 digest;
    digest.Update("abc");
    digest.Update(stream);
    digest.Finalize();
    EXPECT_EQ(digest.HexDigest(), kRfc1321[2].hex);
}
