#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "core/RegSettings.h"
#include "core/RegistryKey.h"

namespace {

constexpr const wchar_t* kOptions = L"Software\\Tarnwick\\Lyrant\\Options";

struct RawValue
{
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// Reads a value back with the plain API, independent of the store.
RawValue ReadRaw(const wchar_t* name)
{
    RawValue value;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kOptions, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
        value.present = true;
    }
    RegCloseKey(key);
    return value;
}

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOptions, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

bool KeyExists(const wchar_t* path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

DWORD AsDword(const RawValue& value)
{
    DWORD result = 0;
    memcpy(&result, value.data.data(), std::min<size_t>(4, value.data.size()));
    return result;
}

std::wstring AsString(const RawValue& value)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / 2);
}

class SettingsStore : public ::testing::Test
{
protected:
    void SetUp() override { SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarnwick"); }
    void TearDown() override { SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarnwick"); }
};

}  // namespace

TEST_F(SettingsStore, FirstReadCreatesTheKeyAndWritesDwordDefault)
{
    ASSERT_FALSE(KeyExists(kOptions));
    EXPECT_EQ(GetSettings().Get(Settings::BufferNum), 10u);
    EXPECT_TRUE(KeyExists(kOptions));
    RawValue stored = ReadRaw(L"bufferNum");
    ASSERT_TRUE(stored.present);
    EXPECT_EQ(stored.type, DWORD(REG_DWORD));
    EXPECT_EQ(stored.data.size(), 4u);
    EXPECT_EQ(AsDword(stored), 10u);
    // A later read returns the stored value, not the default of the call.
    EXPECT_EQ(GetSettings().GetDWORD(L"bufferNum", 99), 10u);
}

TEST_F(SettingsStore, FirstReadWritesStringDefaultWithItsNul)
{
    EXPECT_EQ(GetSettings().Get(Settings::SampleRate), L"44100");
    RawValue stored = ReadRaw(L"SampleRate");
    ASSERT_TRUE(stored.present);
    EXPECT_EQ(stored.type, DWORD(REG_SZ));
    EXPECT_EQ(stored.data.size(), 12u);
    EXPECT_EQ(AsString(stored), std::wstring(L"44100", 6));
}

TEST_F(SettingsStore, NullStringDefaultReadsEmptyAndWritesNothing)
{
    std::wstring out = L"stale";
    GetSettings().GetString(out, L"lanName", nullptr);
    EXPECT_EQ(out, L"");
    EXPECT_FALSE(ReadRaw(L"lanName").present);
}

TEST_F(SettingsStore, SetStringStoresTextAndNul)
{
    GetSettings().SetString(L"lanName", L"Eng");
    RawValue stored = ReadRaw(L"lanName");
    EXPECT_EQ(stored.type, DWORD(REG_SZ));
    EXPECT_EQ(stored.data.size(), 8u);
    std::wstring out;
    EXPECT_EQ(GetSettings().GetString(out, L"lanName", L"Deu"), L"Eng");
}

TEST_F(SettingsStore, SetDwordStoresFourBytes)
{
    GetSettings().SetDWORD(L"TransferChannels", 2);
    RawValue stored = ReadRaw(L"TransferChannels");
    EXPECT_EQ(stored.type, DWORD(REG_DWORD));
    EXPECT_EQ(stored.data.size(), 4u);
    EXPECT_EQ(GetSettings().Get(Settings::TransferChannels), 2u);
}

TEST_F(SettingsStore, OversizedValuesReadAsMissingAndAreReplaced)
{
    unsigned long long eight = 0x1122334455667788ull;
    WriteRaw(L"bufferNum", REG_DWORD, &eight, 8);
    EXPECT_EQ(GetSettings().Get(Settings::BufferNum), 10u);
    RawValue dword = ReadRaw(L"bufferNum");
    EXPECT_EQ(dword.data.size(), 4u);
    EXPECT_EQ(AsDword(dword), 10u);

    std::wstring longText(600, L'x');
    WriteRaw(L"BPS", REG_SZ, longText.c_str(), DWORD((longText.size() + 1) * 2));
    EXPECT_EQ(GetSettings().Get(Settings::BPS), L"16");
    EXPECT_EQ(AsString(ReadRaw(L"BPS")), std::wstring(L"16", 3));
}

TEST_F(SettingsStore, StringOf511CharactersStillFits)
{
    std::wstring text(511, L'y');
    WriteRaw(L"BPS", REG_SZ, text.c_str(), DWORD((text.size() + 1) * 2));
    EXPECT_EQ(GetSettings().Get(Settings::BPS), text);
    std::wstring tooLong(512, L'y');
    WriteRaw(L"BPS", REG_SZ, tooLong.c_str(), DWORD((tooLong.size() + 1) * 2));
    EXPECT_EQ(GetSettings().Get(Settings::BPS), L"16");
}

TEST_F(SettingsStore, ShortDwordReadsWithUpperBytesZero)
{
    WORD two = 0x0203;
    WriteRaw(L"Channels", REG_BINARY, &two, 2);
    EXPECT_EQ(GetSettings().Get(Settings::Channels), 0x0203u);
}

TEST_F(SettingsStore, StoredTypeIsIgnored)
{
    DWORD number = 5;
    WriteRaw(L"bufferNum", REG_BINARY, &number, 4);
    EXPECT_EQ(GetSettings().Get(Settings::BufferNum), 5u);
    const wchar_t text[] = L"48000";  // no NUL stored: the data's end ends the text
    WriteRaw(L"SampleRate", REG_BINARY, text, 10);
    EXPECT_EQ(GetSettings().Get(Settings::SampleRate), L"48000");
}

TEST_F(SettingsStore, ChannelCountPastThreeChannelsReadsAsTheDefaultAndIsReplaced)
{
    for (DWORD stored : {3u, 7u, 0xFFFFFFFFu}) {
        GetSettings().SetDWORD(L"TransferChannels", stored);
        EXPECT_EQ(GetSettings().Get(Settings::TransferChannels), 0u) << stored;
        RawValue replaced = ReadRaw(L"TransferChannels");
        EXPECT_EQ(replaced.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(AsDword(replaced), 0u) << stored;
    }
    GetSettings().SetDWORD(L"TransferChannels", 2);
    EXPECT_EQ(GetSettings().Get(Settings::TransferChannels), 2u);
    // Values without a largest one keep every number.
    GetSettings().SetDWORD(L"bufferNum", 0xFFFFFFFF);
    EXPECT_EQ(GetSettings().Get(Settings::BufferNum), 0xFFFFFFFFu);
}

TEST_F(SettingsStore, NamesMatchWithoutCase)
{
    GetSettings().SetDWORD(L"autoCLU", 0);
    EXPECT_EQ(GetSettings().GetDWORD(L"AutoCLU", 1), 0u);
    GetSettings().SetDWORD(L"AutoCLU", 7);
    EXPECT_EQ(GetSettings().Get(Settings::AutoCLU), 7u);
}

TEST_F(SettingsStore, DeleteValueMakesTheNextReadWriteTheDefault)
{
    GetSettings().SetString(L"bufferLenMs", L"500");
    GetSettings().DeleteValue(L"bufferLenMs");
    EXPECT_FALSE(ReadRaw(L"bufferLenMs").present);
    EXPECT_EQ(GetSettings().Get(Settings::BufferLenMs), L"200");
    EXPECT_TRUE(ReadRaw(L"bufferLenMs").present);
}

TEST_F(SettingsStore, UnopenableKeyGivesDefaultsAndWritesNothing)
{
    // A location whose key does not exist and is never created by a read.
    CRegistryKey missing;
    missing.root = HKEY_CURRENT_USER;
    missing.path = L"Software\\Tarnwick\\NoSuchKey";
    EXPECT_EQ(missing.QueryDWORDValue(L"x", 42), 42u);
    std::wstring out = L"stale";
    EXPECT_EQ(missing.QueryStringValue(out, L"x", L"def"), L"");
    EXPECT_FALSE(KeyExists(L"Software\\Tarnwick\\NoSuchKey"));
}

TEST_F(SettingsStore, TheStoreIsOneProcessWideObject)
{
    EXPECT_EQ(&GetSettings(), &GetSettings());
    EXPECT_EQ(GetSettings().keyPath, kOptions);
}

TEST_F(SettingsStore, MruStoreKeepsItsValuesUnderItsOwnKey)
{
    CRegSettings mru{CRegSettings::MruKey{}};
    EXPECT_EQ(mru.keyPath, L"Software\\Tarnwick\\Lyrant\\MRU");
    EXPECT_EQ(mru.GetDWORD(L"count", 3), 3u);
    mru.SetString(L"file1", L"C:\\a.wav");
    std::wstring out;
    EXPECT_EQ(mru.GetString(out, L"file1", L"none"), L"C:\\a.wav");
    EXPECT_EQ(GetSettings().GetDWORD(L"count", 7), 7u);   // the options key is another one
    EXPECT_FALSE(ReadRaw(L"file1").present);

    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Lyrant\\MRU", 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    DWORD count = 0, size = sizeof(count);
    EXPECT_EQ(RegQueryValueExW(key, L"count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size), ERROR_SUCCESS);
    EXPECT_EQ(count, 3u);   // the default written back by the first read
    RegCloseKey(key);
    mru.DeleteValue(L"file1");
    EXPECT_EQ(mru.GetString(out, L"file1", L"none"), L"none");
}
