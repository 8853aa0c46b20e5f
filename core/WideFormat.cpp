#include "core/WideFormat.h"

#include <cwchar>
#include <stdio.h>

int FormatWideV(wchar_t* buffer, size_t count, const wchar_t* format, va_list args)
{
    if (!buffer || count == 0)
        return -1;
    buffer[0] = L'\0';
    if (!format)
        return -1;
    va_list probe;
    va_copy(probe, args);
    int needed = _vscwprintf(format, probe);
    va_end(probe);
    if (needed < 0)
        return -1;
    // _vsnwprintf returns -1 and leaves no terminator when the text is cut.
    int written = _vsnwprintf(buffer, count - 1, format, args);
    if (written < 0 || static_cast<size_t>(written) >= count - 1)
        written = static_cast<int>(count - 1);
    buffer[written] = L'\0';
    return written;
}

int FormatWide(wchar_t* buffer, size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = FormatWideV(buffer, count, format, args);
    va_end(args);
    return written;
}

bool FormatConversionsAre(const wchar_t* format, const char* letters)
{
    if (!format || !letters)
        return false;
    size_t next = 0;
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%')
            continue;
        const wchar_t c = *++p;
        if (c == L'\0')
            return false;
        if (c == L'%')
            continue;
        if (letters[next] == '\0' || c != static_cast<wchar_t>(letters[next]))
            return false;
        ++next;
    }
    return letters[next] == '\0';
}
