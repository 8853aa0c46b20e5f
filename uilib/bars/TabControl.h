#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// Paints an existing "SysTabControl32" entirely from a description file with one skin image.
// 1 when the control is customised; NULL file = the colour scheme's TabControl description.
TARNUI_API int WINAPI CustomizeTabControl(HWND control, const char* descriptionFile);
extern "C" TARNUI_API int WINAPI glzCustomizeTabControl(HWND control, const char* descriptionFile);

// What the colour scheme calls for tab controls: its TabControl description, when it names one.
int ApplyTabControlScheme(HWND control, const char* descriptionFile, int unused);

// To a customised control: wParam 0 answers the tab row's background colour, 1 the body's
// highlight colour (COLORREF with the alpha in the high byte).
constexpr UINT kTabControlGetColor = WM_USER + 100;
