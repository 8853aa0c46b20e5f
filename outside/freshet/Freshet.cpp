#include "outside/freshet/Freshet.h"

#include <string>

#include "outside/freshet/FreshetHttp.h"
#include "outside/freshet/FreshetStore.h"

using namespace freshet;

namespace {

constexpr size_t kMaxFeedBytes = 4096;
constexpr size_t kMaxSizeDigits = 15;

std::wstring Trimmed(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    size_t end = text.find_last_not_of(" \t\r");
    if (begin == std::string::npos)
        return std::wstring();
    return std::wstring(text.begin() + static_cast<std::ptrdiff_t>(begin),
                        text.begin() + static_cast<std::ptrdiff_t>(end) + 1);
}

// The feed: ASCII lines "key=value" (version, package, size, download); blank lines and lines
// starting with '#' are skipped. Anything else, or a missing or unusable version or package,
// refuses the whole feed.
bool ParseFeed(const std::string& body, UpdateRecord& record)
{
    record = UpdateRecord();
    bool hasSize = false;
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos)
            end = body.size();
        std::string line = body.substr(start, end - start);
        start = end + 1;
        for (char c : line)
            if (static_cast<unsigned char>(c) >= 0x80 || (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r'))
                return false;
        std::wstring trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == L'#')
            continue;
        size_t equals = trimmed.find(L'=');
        if (equals == std::wstring::npos)
            return false;
        std::string key(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(line.find('=')));
        std::wstring name = Trimmed(key);
        std::wstring value = Trimmed(line.substr(line.find('=') + 1));
        if (name == L"version") {
            record.version = value;
        } else if (name == L"package") {
            record.package = value;
        } else if (name == L"size") {
            if (value.empty() || value.size() > kMaxSizeDigits || value.find_first_not_of(L"0123456789") != std::wstring::npos)
                return false;
            record.size = _wcstoui64(value.c_str(), nullptr, 10);
            hasSize = true;
        } else if (name == L"download") {
            record.downloadMode = value == L"1" ? 1 : 0;
        }
    }
    unsigned long parts[4];
    return ParseVersion(record.version, parts) && IsPlainFileName(record.package) && (!hasSize || record.size > 0);
}

// The record when its version matches the one asked for (any, when none is named).
bool OfferedRecord(const GUID& product, const wchar_t* version, UpdateRecord& record)
{
    return ReadRecord(product, record) && (!version || record.version == version);
}

}  // namespace

struct CFreshet::Product
{
    GUID id;
};

CFreshet::CFreshet() : m_product(nullptr) {}

CFreshet::~CFreshet()
{
    delete m_product;
}

void CFreshet::SetProduct(GUID product)
{
    if (!m_product)
        m_product = new Product;
    m_product->id = product;
}

int CFreshet::CheckUpdate(const wchar_t* currentVersion)
{
    unsigned long current[4], offered[4];
    if (!m_product || !currentVersion || !ParseVersion(currentVersion, current))
        return 0;
    std::string body;
    UpdateRecord record;
    if (!FetchBody(FeedUrl(m_product->id), kMaxFeedBytes, body) || !ParseFeed(body, record))
        return 0;
    UpdateRecord previous;
    if (ReadRecord(m_product->id, previous) &&
        (previous.package != record.package || previous.version != record.version || previous.size != record.size))
        DeleteFileW(PackagePath(m_product->id, previous).c_str());   // superseded
    if (!WriteRecord(m_product->id, record))
        return 0;
    ParseVersion(record.version, offered);
    return CompareVersions(offered, current) > 0 ? 1 : 0;
}

int CFreshet::GetUpdateInfo(wchar_t* version, size_t versionChars, int& packageSize, int& downloadMode)
{
    UpdateRecord record;
    if (!m_product || !version || !OfferedRecord(m_product->id, nullptr, record) ||
        record.version.size() >= versionChars)
        return 0;
    record.version.copy(version, record.version.size());
    version[record.version.size()] = L'\0';
    packageSize = record.size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(record.size);
    downloadMode = record.downloadMode;
    return 1;
}

int CFreshet::UpdateDownloaded(const wchar_t* version)
{
    UpdateRecord record;
    return m_product && OfferedRecord(m_product->id, version, record) && PackageComplete(m_product->id, record) ? 1 : 0;
}

int CFreshet::DownloadUpdate(const wchar_t* version, int)
{
    UpdateRecord record;
    if (!m_product || !OfferedRecord(m_product->id, version, record))
        return 0;
    return DownloadToFile(PackageUrl(m_product->id, record), PackagePath(m_product->id, record), record.size) ? 1 : 0;
}
