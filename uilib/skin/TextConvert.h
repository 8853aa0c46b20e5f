#pragma once
#include <windows.h>

// Fixed-buffer conversions between the narrow description files and wide callers. Both write an
// empty string first and return dst, or null when an argument is null or the conversion fails.
char* WideToNarrow(char* dst, const wchar_t* src, int dstBytes, UINT codePage);
wchar_t* NarrowToWide(wchar_t* dst, const char* src, int dstChars, UINT codePage);

// Heap copy in the ANSI code page (free with free()); null for null or out of memory.
char* WideToNarrowAlloc(const wchar_t* src);

// Owns a wide heap copy of a narrow text (null taken as empty).
class CWideString {
public:
    CWideString() = default;
    explicit CWideString(const char* text) { Assign(text); }
    ~CWideString();
    CWideString(const CWideString&) = delete;
    CWideString& operator=(const CWideString&) = delete;

    void Assign(const char* text);
    const wchar_t* Get() const { return m_text ? m_text : L""; }
    operator const wchar_t*() const { return Get(); }

private:
    wchar_t* m_text = nullptr;
};
