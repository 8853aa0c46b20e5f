#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// The skin-frame exports: a window is skinned through SetWindowSkin and its elements changed by
// id. Every function finds the frame through the window's "SkinFrameData" property; a window
// without one answers 0 (or -1 where an index is asked for). Wide functions come with wchar_t
// and unsigned short text; narrow ones take ANSI code page text.

TARNUI_API int WINAPI SetWindowSkin(HWND window, const wchar_t* path);
TARNUI_API int WINAPI SetWindowSkin(HWND window, const unsigned short* path);
TARNUI_API int WINAPI SetWindowSkin(HWND window, const char* path);
TARNUI_API int WINAPI SetSkinOptions(HWND window, DWORD options);
TARNUI_API DWORD WINAPI GetSkinOptions(HWND window);
TARNUI_API int WINAPI GetSkinRect(HWND window, UINT id, RECT* out);
TARNUI_API int WINAPI SetSkinRect(HWND window, UINT id, const RECT* rect, int redraw);

TARNUI_API int WINAPI AddSkinChild(HWND window, const char* section, UINT id, const wchar_t* text);
TARNUI_API int WINAPI AddSkinChild(HWND window, const char* section, UINT id, const unsigned short* text);
TARNUI_API int WINAPI AddSkinChild(HWND window, const char* section, UINT id, const char* text);
TARNUI_API int WINAPI AddSkinButton(HWND window, const char* section, UINT id, const wchar_t* text);
TARNUI_API int WINAPI AddSkinButton(HWND window, const char* section, UINT id, const unsigned short* text);
TARNUI_API int WINAPI AddSkinButton(HWND window, const char* section, UINT id, const char* text);
TARNUI_API int WINAPI AddSkinText(HWND window, const char* section, UINT id, const wchar_t* text);
TARNUI_API int WINAPI AddSkinText(HWND window, const char* section, UINT id, const unsigned short* text);
TARNUI_API int WINAPI AddSkinText(HWND window, const char* section, UINT id, const char* text);

TARNUI_API int WINAPI ShowSkinChild(HWND window, UINT id, BOOL show);
TARNUI_API int WINAPI ShowSkinButton(HWND window, UINT id, BOOL show);
TARNUI_API int WINAPI IsSkinChildVisible(HWND window, UINT id);
TARNUI_API int WINAPI IsSkinButtonVisible(HWND window, UINT id);
TARNUI_API int WINAPI EnableSkinButton(HWND window, UINT id, BOOL enable);
TARNUI_API int WINAPI IsSkinButtonEnabled(HWND window, UINT id);

TARNUI_API int WINAPI SetSkinChildText(HWND window, UINT id, const wchar_t* text);
TARNUI_API int WINAPI SetSkinChildText(HWND window, UINT id, const unsigned short* text);
TARNUI_API int WINAPI SetSkinChildText(HWND window, UINT id, const char* text);
TARNUI_API int WINAPI SetSkinText(HWND window, UINT id, const wchar_t* text);
TARNUI_API int WINAPI SetSkinText(HWND window, UINT id, const unsigned short* text);
TARNUI_API int WINAPI SetSkinText(HWND window, UINT id, const char* text);
TARNUI_API int WINAPI GetSkinChildText(HWND window, UINT id, wchar_t* buffer, int size);
TARNUI_API int WINAPI GetSkinChildText(HWND window, UINT id, unsigned short* buffer, int size);
TARNUI_API int WINAPI GetSkinChildText(HWND window, UINT id, char* buffer, int size);
TARNUI_API int WINAPI GetSkinText(HWND window, UINT id, wchar_t* buffer, int size);
TARNUI_API int WINAPI GetSkinText(HWND window, UINT id, unsigned short* buffer, int size);
TARNUI_API int WINAPI GetSkinText(HWND window, UINT id, char* buffer, int size);
TARNUI_API HBITMAP WINAPI GetSkinChildBitmap(HWND window, UINT id, DWORD unused);
TARNUI_API int WINAPI SetSkinChildToolTip(HWND window, UINT id, const wchar_t* text);
TARNUI_API int WINAPI SetSkinChildToolTip(HWND window, UINT id, const unsigned short* text);
TARNUI_API int WINAPI GetSkinChildToolTip(HWND window, UINT id, wchar_t* buffer, int size);
TARNUI_API int WINAPI GetSkinChildToolTip(HWND window, UINT id, unsigned short* buffer, int size);

TARNUI_API int WINAPI AddSkinSbPart(HWND window, UINT id, int width, const wchar_t* text, const char* textSection,
                                    const char* imageSection);
TARNUI_API int WINAPI AddSkinSbPart(HWND window, UINT id, int width, const unsigned short* text,
                                    const char* textSection, const char* imageSection);
TARNUI_API int WINAPI AddSkinSbPart(HWND window, UINT id, int width, const char* text, const char* textSection,
                                    const char* imageSection);
TARNUI_API int WINAPI GetSkinSbPartIndex(HWND window, UINT id);
TARNUI_API int WINAPI RemoveSkinSbPart(HWND window, UINT index);
TARNUI_API int WINAPI GetSkinSbPartCount(HWND window);
TARNUI_API int WINAPI SetSkinSbPartText(HWND window, UINT index, const wchar_t* text);
TARNUI_API int WINAPI SetSkinSbPartText(HWND window, UINT index, const unsigned short* text);
TARNUI_API int WINAPI SetSkinSbPartText(HWND window, UINT index, const char* text);
TARNUI_API int WINAPI GetSkinSbPartText(HWND window, UINT index, wchar_t* buffer, int size);
TARNUI_API int WINAPI GetSkinSbPartText(HWND window, UINT index, unsigned short* buffer, int size);
TARNUI_API int WINAPI SetSkinSbPartImage(HWND window, UINT index, const char* section);
TARNUI_API int WINAPI GetSkinSbPartImage(HWND window, UINT index, char* buffer, int size);
TARNUI_API int WINAPI SetSkinSbPartToolTip(HWND window, UINT index, const wchar_t* text);
TARNUI_API int WINAPI SetSkinSbPartToolTip(HWND window, UINT index, const unsigned short* text);
TARNUI_API int WINAPI GetSkinSbPartToolTip(HWND window, UINT index, wchar_t* buffer, int size);
TARNUI_API int WINAPI GetSkinSbPartToolTip(HWND window, UINT index, unsigned short* buffer, int size);

TARNUI_API int WINAPI SetSkinShadowParameters(HWND window, int darkness, int sharpness, int size, int xOffset,
                                              int yOffset, COLORREF color);
TARNUI_API int WINAPI GetSkinShadowParameters(HWND window, int* darkness, int* sharpness, int* size, int* xOffset,
                                              int* yOffset, COLORREF* color);
// The modeless shadow settings dialog (resource 105) for a skinned window; NULL when not skinned.
TARNUI_API HWND WINAPI SkinShadowSettingsDlg(HWND window);
