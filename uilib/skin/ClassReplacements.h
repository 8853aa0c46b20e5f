#pragma once
#include <windows.h>

#include <string>

// Class procedures of the system's controls, replaced process-wide by global dialog skinning so
// that controls on skinned dialogs draw over the dialog's gradient in the scheme's colours.

// Trackbar, static, button, animation and tab control, in that order; each previous procedure
// kept. Windows created before keep theirs.
void InstallControlReplacements();

// The class procedure a replacement took over (for the button types it leaves alone).
enum ReplacedClass { kClassButton, kClassStatic, kClassTab, kClassTrackbar, kClassAnimate, kReplacedClassCount };
WNDPROC SavedClassProc(ReplacedClass which);
LRESULT CallSaved(ReplacedClass which, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool IsTrackbar(HWND window);
// The parent's WM_CTLCOLORSTATIC brush when it should fill a control's background (not null,
// not the button face), else null. The call also lets a skinned dialog paint its gradient in.
HBRUSH ParentBackgroundBrush(HWND control, HDC dc);
// Accelerator underlines hidden for this window (its UI state).
bool AcceleratorsHidden(HWND window);
// The parent's client area behind child, copied into a fresh bitmap (WM_PRINT), or null.
HBITMAP CopyParentBackground(HWND child, HDC like);
// Copies cx x cy of bitmap from (sx, sy) to (x, y) of dc.
void BlitBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, int sx = 0, int sy = 0);
// A window's whole text.
std::wstring WindowText(HWND window);
