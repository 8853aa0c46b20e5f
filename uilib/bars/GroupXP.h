#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"
#include "uilib/skin/TarnUIApi.h"

// A rounded panel with a gradient header (typically over a group box); the large style adds a big
// icon and large caption text.

// Flags of _GROUPXPW / _GROUPXP.
constexpr DWORD kGroupLarge = 1;
constexpr DWORD kGroupIconHandle = 2;    // icon holds an HICON
constexpr DWORD kGroupIconResource = 4;  // icon names an icon resource of instance
constexpr DWORD kGroupCaptionColors = 8;

struct _GROUPXPW {
    DWORD size;  // not read
    DWORD flags;
    HINSTANCE instance;  // for kGroupIconResource; NULL = this library
    union {
        HICON icon;
        const wchar_t* iconName;
    };
    BOOL horizontal;  // the large style's caption gradient runs left to right
    COLORREF captionStart;
    COLORREF captionEnd;
};

struct _GROUPXP {
    DWORD size;
    DWORD flags;
    HINSTANCE instance;
    union {
        HICON icon;
        const char* iconName;
    };
    BOOL horizontal;
    COLORREF captionStart;
    COLORREF captionEnd;
};

TARNUI_API void WINAPI SetGroupXP(HWND window, const _GROUPXPW* params);
TARNUI_API void WINAPI SetGroupXP(HWND window, const _GROUPXP* params);
TARNUI_API void WINAPI SetGroupXPColor(HWND window, GRADIENT* caption);

// Header heights of the two styles (the small one follows the DC's font).
constexpr int kGroupLargeHeaderBottom = 36;
