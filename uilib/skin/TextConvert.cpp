#include "uilib/skin/TextConvert.h"

#include <cstdlib>

char* WideToNarrow(char* dst, const wchar_t* src, int dstBytes, UINT codePage)
{
    if (!dst || !src || dstBytes <= 0)
        return nullptr;
    dst[0] = 0;
    if (!WideCharToMultiByte(codePage, 0, src, -1, dst, dstBytes, nullptr, nullptr)) {
        dst[0] = 0;
        return nullptr;
    }
    return dst;
}

wchar_t* NarrowToWide(wchar_t* dst, const char* src, int dstChars, UINT codePage)
{
    if (!dst || !src || dstChars <= 0)
        return nullptr;
    dst[0] = 0;
    if (!MultiByteToWideChar(codePage, 0, src, -1, dst, dstChars)) {
        dst[0] = 0;
        return nullptr;
    }
    return dst;
}

char* WideToNarrowAlloc(const wchar_t* src)
{
    if (!src)
        return nullptr;
    int bytes = WideCharToMultiByte(CP_ACP, 0, src, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return nullptr;
    char* copy = static_cast<char*>(malloc(bytes));
    if (!copy)
        return nullptr;
    WideCharToMultiByte(CP_ACP, 0, src, -1, copy, bytes, nullptr, nullptr);
    return copy;
}

CWideString::~CWideString()
{
    free(m_text);
}

void CWideString::Assign(const char* text)
{
    free(m_text);
    m_text = nullptr;
    if (!text)
        text = "";
    int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (chars <= 0)
        chars = 1;
    m_text = static_cast<wchar_t*>(malloc(chars * sizeof(wchar_t)));
    if (!m_text)
        return;
    m_text[0] = 0;
    MultiByteToWideChar(CP_ACP, 0, text, -1, m_text, chars);
}
