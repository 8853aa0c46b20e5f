#pragma once
#include <cstdarg>
#include <cstddef>

// Wide formatting with Windows semantics: "%s" takes a wide string, "%hs" a narrow one.
// (MinGW's vswprintf reads "%s" as narrow, so nothing here uses it.)
// Writes at most count-1 characters and always terminates; a longer result is cut.
// Returns the characters written, or -1 when the format itself is invalid (buffer then empty).
int FormatWideV(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);
int FormatWide(wchar_t* buffer, size_t count, const wchar_t* format, ...);

// Whether a printf format's conversions are exactly the given letters in order ("sd": one %s, then
// one %d); "%%" is plain text. Only bare conversions count: a width, flag or size prefix could read
// another argument type. A format from a language library is used only when this holds for the
// arguments the caller passes.
bool FormatConversionsAre(const wchar_t* format, const char* letters);
