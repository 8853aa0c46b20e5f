#include "core/ErrorText.h"

#include "core/WideFormat.h"

namespace {
constexpr DWORD kTextChars = 512;
}

std::wstring ErrorText(DWORD code)
{
    wchar_t message[kTextChars] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  message, kTextChars, nullptr);
    while (length > 0 && (message[length - 1] == L'\n' || message[length - 1] == L'\r' || message[length - 1] == L' '))
        message[--length] = L'\0';
    wchar_t text[kTextChars + 16];
    FormatWide(text, ARRAYSIZE(text), length > 0 ? L"0x%08X - %s" : L"0x%08X - Unknown Error.", code, message);
    return text;
}
