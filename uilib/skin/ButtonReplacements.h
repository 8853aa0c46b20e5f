#pragma once
#include <windows.h>

// The button types that global dialog skinning draws itself: check boxes and radio buttons on
// every dialog, push buttons from the scheme's [PushButton] image while it loaded.

// Reads the check-box glyph size and loads the push-button image; before the class is replaced.
void PrepareButtonReplacements();
bool HasSchemePushButtonSkin();
LRESULT SchemePushButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CheckRadioProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
SIZE CheckGlyphSize();
