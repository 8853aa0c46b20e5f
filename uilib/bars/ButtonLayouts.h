#pragma once
#include <windows.h>

struct TBBUTTONLAYOUT;

// The layout records this library made for one toolbar's buttons, listed in the toolbar's
// property "CToolBarXP::Layouts". A button's lParam is read (or freed) as a record only when it
// is one of them: a host's own data there is never taken for one.

// A zero-filled record, listed for the toolbar; NULL when out of memory.
TBBUTTONLAYOUT* NewButtonLayout(HWND toolbar);
// The record a button's lParam holds, or NULL when the lParam is not one of the toolbar's records.
TBBUTTONLAYOUT* ButtonLayout(HWND toolbar, LPARAM lParam);
TBBUTTONLAYOUT* ButtonLayoutOfIndex(HWND toolbar, int index);
// Frees every record of the toolbar and its list (the toolbar is going away).
void FreeButtonLayouts(HWND toolbar);
