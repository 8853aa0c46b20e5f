#pragma once
#include <windows.h>

// One-colour fills and frames with a brush made for the call.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void FrameSolid(HDC dc, const RECT& rect, COLORREF colour);
