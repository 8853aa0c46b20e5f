#include "uilib/skin/Profile.h"

#include <shlwapi.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "uilib/skin/LibraryEntry.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

const char* SkipBlanks(const char* p)
{
    while (*p && IsBlank(*p))
        ++p;
    return p;
}

// Trimmed view of a name: start pointer and length.
void TrimName(const char* name, const char** start, size_t* length)
{
    const char* b = SkipBlanks(name);
    const char* e = b + strlen(b);
    while (e > b && IsBlank(e[-1]))
        --e;
    *start = b;
    *length = static_cast<size_t>(e - b);
}

bool NameMatches(const char* stored, const char* asked, size_t askedLength)
{
    return strlen(stored) == askedLength &&
           StrCmpNIA(stored, asked, static_cast<int>(askedLength)) == 0;
}

// The file name beside the running executable.
void BesideExecutable(const char* file, char* out, int size)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    PathRemoveFileSpecA(exe);
    out[0] = 0;
    if (!PathCombineA(out, exe, file))
        lstrcpynA(out, file, size);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsNumberSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

bool ColorStartsAt(const char* p)
{
    return *p == '#' || *p == '-' || *p == '+' || (*p >= '0' && *p <= '9');
}

// Reads count integers separated by blanks or commas; missing ones are 0.
void ReadIntegers(const char* p, long* out, int count)
{
    for (int i = 0; i < count; ++i) {
        while (IsNumberSeparator(*p))
            ++p;
        char* end = nullptr;
        out[i] = strtol(p, &end, 10);
        p = end;
    }
}

}  // namespace

COLORREF ParseColor(const char* text, const char** end)
{
    const char* p = text ? text : "";
    COLORREF result = 0;
    if (*p == '#') {
        ++p;
        int digits = 0;
        while (HexValue(p[digits]) >= 0)
            ++digits;
        auto pair = [&](int index) { return HexValue(p[index * 2]) * 16 + HexValue(p[index * 2 + 1]); };
        if (digits >= 8)
            result = (static_cast<COLORREF>(pair(0)) << 24) | RGB(pair(1), pair(2), pair(3));
        else if (digits >= 6)
            result = RGB(pair(0), pair(1), pair(2));
        p += digits;
    } else {
        long channels[3] = {};
        for (long& channel : channels) {
            while (IsNumberSeparator(*p))
                ++p;
            char* stop = nullptr;
            channel = strtol(p, &stop, 10);
            p = stop;
        }
        result = RGB(channels[0] & 0xFF, channels[1] & 0xFF, channels[2] & 0xFF);
    }
    if (end)
        *end = p;
    return result;
}

// --- CProfile ---

CProfile::CProfile(const char* file, BOOL groups) : m_groups(groups != FALSE)
{
    m_heap = HeapCreate(HEAP_NO_SERIALIZE, 0, 0);
    if (file)
        Load(file);
}

CProfile::~CProfile()
{
    if (m_heap)
        HeapDestroy(m_heap);
    m_heap = nullptr;
    m_firstGroup = m_lastGroup = nullptr;
    m_firstSection = m_lastSection = m_currentSection = nullptr;
    m_currentKey = nullptr;
    m_loaded = false;
}

void* CProfile::Alloc(size_t bytes)
{
    return m_heap ? HeapAlloc(m_heap, HEAP_NO_SERIALIZE, bytes) : nullptr;
}

void CProfile::Clear()
{
    // Every record lives on the private heap: a fresh heap frees them all at once.
    if (m_heap)
        HeapDestroy(m_heap);
    m_heap = HeapCreate(HEAP_NO_SERIALIZE, 0, 0);
    m_firstGroup = m_lastGroup = nullptr;
    m_firstSection = m_lastSection = m_currentSection = nullptr;
    m_currentKey = nullptr;
    m_loaded = false;
}

bool CProfile::Load(const char* file)
{
    Clear();
    if (!file)
        return false;
    char path[MAX_PATH];
    if (PathIsRelativeA(file))
        BesideExecutable(file, path, MAX_PATH);
    else
        lstrcpynA(path, file, MAX_PATH);

    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool mapped = false;
    // An empty file cannot be mapped, so it fails like a missing one.
    HANDLE mapping = CreateFileMappingA(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping) {
        DWORD size = GetFileSize(handle, nullptr);
        const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        if (view) {
            Parse(view, size);
            UnmapViewOfFile(view);
            mapped = true;
        }
        CloseHandle(mapping);
    }
    CloseHandle(handle);
    m_loaded = mapped;
    return mapped;
}

void CProfile::Parse(const char* data, DWORD size)
{
    DWORD pos = 0;
    Section* keysGoTo = nullptr;
    char line[kMaxLine + 1];
    while (pos < size) {
        int length = 0;
        while (pos < size && data[pos] != '\r' && data[pos] != '\n' && length < kMaxLine)
            line[length++] = data[pos++];
        line[length] = 0;
        while (pos < size && (data[pos] == '\r' || data[pos] == '\n'))
            ++pos;

        char* text = line;
        while (*text && IsBlank(*text))
            ++text;
        if (!*text || *text == ';')
            continue;
        char* end = text + strlen(text);
        while (end > text && IsBlank(end[-1]))
            *--end = 0;
        if (char* comment = strstr(text, "//"))
            *comment = 0;
        if (!*text)
            continue;

        auto trimmedBetween = [](char* open, char* close, const char** start, size_t* len) {
            char saved = *close;
            *close = 0;
            TrimName(open + 1, start, len);
            *close = saved;
        };
        auto makeName = [this](size_t fixed, const char* name, size_t len) -> char* {
            char* record = static_cast<char*>(Alloc(fixed + len + 1));
            if (!record)
                return nullptr;
            memset(record, 0, fixed);
            memcpy(record + fixed, name, len);
            record[fixed + len] = 0;
            return record;
        };

        if (*text == '{' && m_groups) {
            if (char* close = strrchr(text, '}')) {
                const char* name;
                size_t len;
                trimmedBetween(text, close, &name, &len);
                auto* group = reinterpret_cast<Group*>(makeName(offsetof(Group, name), name, len));
                if (!group)
                    return;
                if (m_lastGroup) {
                    m_lastGroup->lastSection = m_lastSection;
                    m_lastGroup->next = group;
                } else {
                    m_firstGroup = group;
                }
                m_lastGroup = group;
                continue;
            }
        }
        if (*text == '[') {
            if (char* close = strrchr(text, ']')) {
                const char* name;
                size_t len;
                trimmedBetween(text, close, &name, &len);
                auto* section = reinterpret_cast<Section*>(makeName(offsetof(Section, name), name, len));
                if (!section)
                    return;
                if (m_lastSection)
                    m_lastSection->next = section;
                else
                    m_firstSection = section;
                m_lastSection = section;
                keysGoTo = section;
                if (m_lastGroup && !m_lastGroup->firstSection)
                    m_lastGroup->firstSection = section;
                continue;
            }
        }

        // Key line.
        if (!keysGoTo)
            continue;
        char* equals = strchr(text, '=');
        if (!equals)
            continue;
        char* keyEnd = equals;
        while (keyEnd > text && IsBlank(keyEnd[-1]))
            --keyEnd;
        if (keyEnd == text)
            continue;
        const char* value = SkipBlanks(equals + 1);
        size_t valueLength = strlen(value);
        if (valueLength >= 2 && (value[0] == '"' || value[0] == '\'') && value[valueLength - 1] == value[0]) {
            ++value;
            valueLength -= 2;
        }
        auto* key = reinterpret_cast<Key*>(makeName(offsetof(Key, name), text, keyEnd - text));
        char* valueCopy = static_cast<char*>(Alloc(valueLength + 1));
        if (!key || !valueCopy)
            return;
        memcpy(valueCopy, value, valueLength);
        valueCopy[valueLength] = 0;
        key->value = valueCopy;
        if (keysGoTo->lastKey)
            keysGoTo->lastKey->next = key;
        else
            keysGoTo->firstKey = key;
        keysGoTo->lastKey = key;
    }
    m_currentSection = m_firstSection;
}

CProfile::Section* CProfile::FindSection(const char* name) const
{
    if (!name)
        return nullptr;
    const char* asked;
    size_t length;
    TrimName(name, &asked, &length);
    for (Section* s = m_firstSection; s; s = s->next)
        if (NameMatches(s->name, asked, length))
            return s;
    return nullptr;
}

CProfile::Section* CProfile::FindSectionInGroup(const Group* group, const char* name) const
{
    if (!group || !name)
        return nullptr;
    for (Section* s = group->firstSection; s; s = s->next) {
        if (lstrcmpiA(s->name, name) == 0)
            return s;
        if (s == group->lastSection)
            break;
    }
    return nullptr;
}

CProfile::Key* CProfile::FindKey(const char* name) const
{
    if (!m_loaded || !m_currentSection || !name)
        return nullptr;
    const char* asked;
    size_t length;
    TrimName(name, &asked, &length);
    for (Key* k = m_currentSection->firstKey; k; k = k->next)
        if (NameMatches(k->name, asked, length))
            return k;
    return nullptr;
}

int CProfile::GetString(const char* key, const char* defaultText, char* buffer, int size)
{
    if (!key || !buffer || size <= 0)
        return 0;
    const char* text = defaultText ? defaultText : "";
    if (Key* found = FindKey(key)) {
        m_currentKey = found;
        text = found->value;
    }
    lstrcpynA(buffer, text, size);
    return lstrlenA(buffer);
}

// --- CProfileReader ---

CProfileReader::CProfileReader(const char* file) : CProfile(nullptr, FALSE)
{
    if (file)
        Load(file, false);
}

bool CProfileReader::Load(const char* file, bool groups)
{
    Clear();
    m_sectionSelected = false;
    m_groups = groups;
    m_folder[0] = 0;
    if (file && !PathIsRelativeA(file)) {
        lstrcpynA(m_folder, file, MAX_PATH);
    } else {
        GetModuleFileNameA(GetLibraryModule(), m_folder, MAX_PATH);
    }
    PathRemoveFileSpecA(m_folder);
    return CProfile::Load(file);
}

bool CProfileReader::SelectSection(const char* name)
{
    Section* found = FindSection(name);
    if (!found) {
        m_sectionSelected = false;
        return false;
    }
    m_currentSection = found;
    m_sectionSelected = true;
    return true;
}

const char* CProfileReader::GetSectionString(const char* section, const char* key)
{
    SelectSection(section);
    return GetString(key);
}

const char* CProfileReader::Value(const char* key)
{
    if (!m_sectionSelected)
        return nullptr;
    Key* found = FindKey(key);
    if (!found)
        return nullptr;
    m_currentKey = found;
    return found->value;
}

const char* CProfileReader::GetString(const char* key)
{
    return Value(key);
}

int CProfileReader::GetInt(const char* key, int defaultValue)
{
    const char* value = Value(key);
    return value ? atoi(value) : defaultValue;
}

COLORREF CProfileReader::GetColor(const char* key, COLORREF defaultValue)
{
    const char* value = Value(key);
    if (!value || !*value)
        return defaultValue;
    return ParseColor(value);
}

bool CProfileReader::GetColorPair(const char* key, COLORREF out[2])
{
    const char* value = Value(key);
    if (!value || !*value)
        return false;
    const char* p;
    out[0] = ParseColor(value, &p);
    out[1] = out[0];
    p = SkipBlanks(p);
    if (*p == ';') {
        p = SkipBlanks(p + 1);
        if (*p)
            out[1] = ParseColor(p);
    }
    return true;
}

GRADIENT* CProfileReader::GetGradient(GRADIENT* out, const char* key, COLORREF start, COLORREF end)
{
    out->start = start;
    out->end = end;
    COLORREF pair[2];
    if (GetColorPair(key, pair)) {
        out->start = pair[0];
        out->end = pair[1];
    }
    return out;
}

bool CProfileReader::ReadGradientEx(const char* key, GRADIENTEX* out)
{
    const char* value = Value(key);
    if (!value || !*value)
        return false;
    const char* p;
    out->start = ParseColor(value, &p);
    out->end = out->start;

    // The letter H after certain tokens makes the gradient horizontal and ends the value.
    auto horizontalFollows = [&]() {
        p = SkipBlanks(p);
        if (*p == 'H' || *p == 'h') {
            out->horizontal = true;
            return true;
        }
        return false;
    };
    // ';' followed by a colour: moves past the ';' and the blanks.
    auto colorAfterSemicolon = [&]() {
        const char* q = SkipBlanks(p);
        if (*q != ';')
            return false;
        q = SkipBlanks(q + 1);
        if (!ColorStartsAt(q))
            return false;
        p = q;
        return true;
    };
    auto bracketedSize = [&](int* size) {
        p = SkipBlanks(p);
        if (*p != '[')
            return false;
        char* stop = nullptr;
        *size = static_cast<int>(strtol(p + 1, &stop, 10));
        p = SkipBlanks(stop);
        if (*p == ']')
            ++p;
        return true;
    };

    if (!colorAfterSemicolon())
        return true;
    out->end = ParseColor(p, &p);
    if (horizontalFollows() || !colorAfterSemicolon())
        return true;
    out->band1 = ParseColor(p, &p);
    if (horizontalFollows() || !bracketedSize(&out->band1Size))
        return true;
    if (horizontalFollows() || !colorAfterSemicolon())
        return true;
    out->band2 = ParseColor(p, &p);
    if (horizontalFollows())
        return true;
    bracketedSize(&out->band2Size);
    return true;
}

GRADIENTEX* CProfileReader::GetGradientEx(GRADIENTEX* out, const char* key, COLORREF start,
                                          COLORREF end, bool horizontal)
{
    *out = GRADIENTEX{start, end, horizontal, kNoColor, 0, kNoColor, 0};
    ReadGradientEx(key, out);
    return out;
}

bool CProfileReader::GetRect(const char* key, RECT* out)
{
    *out = RECT{};
    const char* value = Value(key);
    if (!value || !*value)
        return false;
    long n[4];
    ReadIntegers(value, n, 4);
    *out = RECT{n[0], n[1], n[2], n[3]};
    return true;
}

bool CProfileReader::GetSides(const char* key, RECT* out)
{
    RECT written;
    bool present = GetRect(key, &written);
    *out = RECT{written.left, written.right, written.top, written.bottom};
    return present;
}

bool CProfileReader::GetPoint(const char* key, POINT* out)
{
    *out = POINT{};
    const char* value = Value(key);
    if (!value || !*value)
        return false;
    long n[2];
    ReadIntegers(value, n, 2);
    *out = POINT{n[0], n[1]};
    return true;
}

int CProfileReader::GetFontAttributes(const char* key)
{
    const char* value = Value(key);
    if (!value || !*value)
        return 0;
    char words[256];
    lstrcpynA(words, value, sizeof(words));
    int flags = 0;
    static const struct {
        const char* word;
        int flag;
    } kWords[] = {{"bold", kFontBold}, {"italic", kFontItalic}, {"underline", kFontUnderline},
                  {"antialias", kFontAntialias}};
    char* context = nullptr;
    for (char* word = strtok_r(words, "+,|& ", &context); word; word = strtok_r(nullptr, "+,|& ", &context))
        for (const auto& known : kWords)
            if (lstrcmpiA(word, known.word) == 0)
                flags |= known.flag;
    return flags;
}

bool CProfileReader::HasValue(const char* key, const char* text)
{
    const char* value = Value(key);
    return value && text && lstrcmpiA(value, text) == 0;
}

char* CProfileReader::GetFilePath(char* old, const char* key)
{
    free(old);
    const char* value = Value(key);
    if (!value || !*value)
        return nullptr;
    char path[MAX_PATH];
    if (PathIsRelativeA(value)) {
        char joined[MAX_PATH];
        if (!PathCombineA(joined, m_folder, value) || !PathCanonicalizeA(path, joined))
            return nullptr;
    } else {
        lstrcpynA(path, value, MAX_PATH);
    }
    char* copy = static_cast<char*>(malloc(strlen(path) + 1));
    if (copy)
        strcpy(copy, path);
    return copy;
}
