#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"
#include "uilib/skin/TarnUIApi.h"

// A one-pixel flat border, and for windows with text a gradient caption strip in the
// non-client area. Colours of -1 follow the colour scheme's [Window] values.

// Flags of SetBorderXP.
constexpr DWORD kBorderOnly = 1;           // never a caption
constexpr DWORD kBorderAlwaysCaption = 2;  // a caption strip even without window text

// section: a section of the loaded colour-scheme file with Border, CaptionText and
// CaptionBackground for this window (NULL = the scheme's [Window] colours).
TARNUI_API void WINAPI SetBorderXP(HWND window, const wchar_t* section, DWORD flags);
TARNUI_API void WINAPI SetBorderXP(HWND window);
TARNUI_API void WINAPI SetBorderXPColors(HWND window, GRADIENT* caption, COLORREF border, COLORREF captionText);

// Height of the caption strip on this window (the bold caption font's height + 6).
int BorderXPCaptionHeight(HWND window);
