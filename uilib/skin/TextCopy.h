#pragma once
#include <windows.h>

// A stored text copied out to a caller's buffer (lstrcpyn): the copied length, or the whole
// text's length for a null buffer; 0 for a null text or no room.
inline int CopyTextOut(const wchar_t* text, wchar_t* buffer, int size)
{
    if (!text)
        return 0;
    if (!buffer)
        return lstrlenW(text);
    if (size <= 0)
        return 0;
    lstrcpynW(buffer, text, size);
    return lstrlenW(buffer);
}

inline int CopyTextOut(const char* text, char* buffer, int size)
{
    if (!text)
        return 0;
    if (!buffer)
        return lstrlenA(text);
    if (size <= 0)
        return 0;
    lstrcpynA(buffer, text, size);
    return lstrlenA(buffer);
}
