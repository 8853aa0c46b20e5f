#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"

// One INI-like syntax for every text file the library reads: [sections], key = value, optional
// {groups}, ';' comment lines, '//' cuts. The whole file is parsed at once onto a private heap.
class CProfile {
public:
    struct Key {
        char* value;
        Key* next;
        char name[1];
    };
    struct Section {
        Key* firstKey;
        Key* lastKey;  // append point; not part of the file's data
        Section* next;
        char name[1];
    };
    struct Group {
        Section* firstSection;
        Section* lastSection;  // set when the next group starts; none for the last group
        Group* next;
        char name[1];
    };

    static constexpr int kMaxLine = 4095;

    CProfile(const char* file, BOOL groups);
    virtual ~CProfile();
    CProfile(const CProfile&) = delete;
    CProfile& operator=(const CProfile&) = delete;

    bool Load(const char* file);
    void Clear();
    bool IsLoaded() const { return m_loaded; }

    Section* FindSection(const char* name) const;
    Section* FindSectionInGroup(const Group* group, const char* name) const;
    Key* FindKey(const char* name) const;
    int GetString(const char* key, const char* defaultText, char* buffer, int size);

    Group* FirstGroup() const { return m_firstGroup; }
    Section* FirstSection() const { return m_firstSection; }
    Section* CurrentSection() const { return m_currentSection; }

protected:
    void Parse(const char* data, DWORD size);
    void* Alloc(size_t bytes);

    bool m_loaded = false;
    bool m_groups = false;
    HANDLE m_heap = nullptr;
    Group* m_firstGroup = nullptr;
    Group* m_lastGroup = nullptr;
    Section* m_firstSection = nullptr;
    Section* m_lastSection = nullptr;
    Section* m_currentSection = nullptr;
    Key* m_currentKey = nullptr;
};

// ParseColor: "#RRGGBB", "#AARRGGBB" or decimal "r, g, b". end receives the cursor after the colour.
COLORREF ParseColor(const char* text, const char** end = nullptr);

// A reader with the file's folder as the base of relative file names, a current section and
// typed getters. Every getter returns its default while no section is selected.
class CProfileReader : public CProfile {
public:
    explicit CProfileReader(const char* file = nullptr);

    bool Load(const char* file, bool groups);
    bool SelectSection(const char* name);
    const char* GetSectionString(const char* section, const char* key);
    const char* Folder() const { return m_folder; }

    const char* GetString(const char* key);
    using CProfile::GetString;
    int GetInt(const char* key, int defaultValue);
    COLORREF GetColor(const char* key, COLORREF defaultValue);
    bool GetColorPair(const char* key, COLORREF out[2]);
    GRADIENT* GetGradient(GRADIENT* out, const char* key, COLORREF start, COLORREF end);
    bool ReadGradientEx(const char* key, GRADIENTEX* out);
    GRADIENTEX* GetGradientEx(GRADIENTEX* out, const char* key, COLORREF start, COLORREF end,
                              bool horizontal);
    bool GetRect(const char* key, RECT* out);
    // Four integers written left, right, top, bottom (margins), held in the RECT by meaning.
    bool GetSides(const char* key, RECT* out);
    bool GetPoint(const char* key, POINT* out);
    int GetFontAttributes(const char* key);
    bool HasValue(const char* key, const char* text);
    char* GetFilePath(char* old, const char* key);

private:
    // The value of key in the selected section, or null (and the current key stays).
    const char* Value(const char* key);

    char m_folder[MAX_PATH] = {};
    bool m_sectionSelected = false;
};
