#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// PNG files and "PNG" resources as 32-bit bottom-up DIB sections with per-pixel alpha.
// Flags bit 0: premultiplied pixels; clear: straight alpha. Every loader returns null on failure.
constexpr DWORD kPngPremultiplied = 1;

TARNUI_API HBITMAP WINAPI LoadPNG(const wchar_t* file, DWORD flags);
TARNUI_API HBITMAP WINAPI LoadPNG(const wchar_t* file);
TARNUI_API HBITMAP WINAPI LoadPNG(const unsigned short* file, DWORD flags);
TARNUI_API HBITMAP WINAPI LoadPNG(const unsigned short* file);
TARNUI_API HBITMAP WINAPI LoadPNG(const char* file);
TARNUI_API HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const wchar_t* name, DWORD flags);
TARNUI_API HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const wchar_t* name);
TARNUI_API HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const unsigned short* name, DWORD flags);
TARNUI_API HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const unsigned short* name);
TARNUI_API HICON WINAPI LoadIconFromPNGResource(HINSTANCE module, const wchar_t* name);
TARNUI_API HICON WINAPI LoadIconFromPNGResource(HINSTANCE module, const unsigned short* name);
