#include "core/AppPaths.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstdarg>

#include "core/ResourceModule.h"
#include "core/WideFormat.h"

namespace {

wchar_t s_appPaths[kPathRingSize][kRingBufferChars];
unsigned short s_appPathIndex;
wchar_t s_appDataPaths[kPathRingSize][kRingBufferChars];
unsigned long s_appDataPathIndex;
wchar_t s_strings[kStringRingSize][kRingBufferChars];
unsigned short s_stringIndex;

// Bounded append: a path that does not fit is cut and then simply does not exist.
void AppendBounded(wchar_t* buffer, const wchar_t* suffix)
{
    if (suffix)
        StrCatBuffW(buffer, suffix, kRingBufferChars);
}

template <typename Index>
wchar_t* TakeRingBuffer(wchar_t (*ring)[kRingBufferChars], Index& index)
{
    if (index >= kPathRingSize)
        index = 0;
    wchar_t* buffer = ring[index];
    ++index;
    return buffer;
}

}  // namespace

wchar_t* GetAppPath(const wchar_t* suffix)
{
    wchar_t* buffer = TakeRingBuffer(s_appPaths, s_appPathIndex);
    DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, kRingBufferChars);
    if (length >= kRingBufferChars)
        length = kRingBufferChars - 1;
    buffer[length] = L'\0';
    PathRemoveFileSpecW(buffer);
    AppendBounded(buffer, suffix);
    return buffer;
}

wchar_t* GetAppDataPath(const wchar_t* suffix)
{
    wchar_t* buffer = TakeRingBuffer(s_appDataPaths, s_appDataPathIndex);
    buffer[0] = L'\0';
    // The shell wants MAX_PATH characters; a 1024-character buffer is larger.
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE))
        buffer[0] = L'\0';
    AppendBounded(buffer, L"\\Tarnwick\\Lyrant");
    AppendBounded(buffer, suffix);
    return buffer;
}

void GetProductVersion(DWORD* versionMS, DWORD* versionLS, wchar_t* text)
{
    wchar_t file[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), file, ARRAYSIZE(file));
    if (length == 0 || length >= ARRAYSIZE(file))
        return;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file, &handle);
    if (size == 0)
        return;
    BYTE* data = new BYTE[size];
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (GetFileVersionInfoW(file, 0, size, data) &&
        VerQueryValueW(data, L"\\", reinterpret_cast<void**>(&info), &infoSize) && info &&
        infoSize >= sizeof(VS_FIXEDFILEINFO)) {
        if (versionMS)
            *versionMS = info->dwProductVersionMS;
        if (versionLS)
            *versionLS = info->dwProductVersionLS;
        if (text)
            FormatWide(text, 32, L"%d.%d.%d.%d", HIWORD(info->dwProductVersionMS),
                       LOWORD(info->dwProductVersionMS), HIWORD(info->dwProductVersionLS),
                       LOWORD(info->dwProductVersionLS));
    }
    delete[] data;
}

namespace {

int LoadInto(wchar_t* buffer, HINSTANCE module, UINT id)
{
    // Cleared first: Wine leaves the buffer untouched when the string's block is missing.
    buffer[0] = L'\0';
    return LoadStringW(module, id, buffer, kRingBufferChars);
}

}  // namespace

wchar_t* LoadResString(UINT id)
{
    s_stringIndex = static_cast<unsigned short>((s_stringIndex + 1) % kStringRingSize);
    wchar_t* buffer = s_strings[s_stringIndex];
    HINSTANCE module = GetResourceModule();
    HINSTANCE program = GetModuleHandleW(nullptr);
    if (LoadInto(buffer, module, id) <= 0 && module != program)
        LoadInto(buffer, program, id);
    return buffer;
}

wchar_t* LoadResFormat(UINT id, const char* conversions)
{
    wchar_t* text = LoadResString(id);
    if (FormatConversionsAre(text, conversions))
        return text;
    // A translation whose conversions do not take these arguments would read them as other types.
    LoadInto(text, GetModuleHandleW(nullptr), id);
    if (!FormatConversionsAre(text, conversions))
        text[0] = L'\0';
    return text;
}

std::wstring FormatResString(UINT id, const char* conversions, ...)
{
    std::wstring format = LoadResFormat(id, conversions);   // copied: the loader's buffers are reused
    wchar_t text[kRingBufferChars];
    va_list args;
    va_start(args, conversions);
    int length = FormatWideV(text, kRingBufferChars, format.c_str(), args);
    va_end(args);
    return length < 0 ? std::wstring() : std::wstring(text);
}
