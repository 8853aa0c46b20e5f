#pragma once
#include <windows.h>

#include "uilib/skin/Skin.h"

// Pieces shared by the bars that paint from a description file and its skin image. Part
// rectangles hold x, y, width and height in the skin image.

// A relative description file is taken from the executable's folder; false when no path results.
bool ResolveDescriptionPath(const char* file, char* path);

inline bool HasArea(const RECT& xywh)
{
    return xywh.right > 0 && xywh.bottom > 0;
}

// One part drawn at (x, y), width pixels wide and as high as the part.
void DrawSkinPart(Glazier::CSkin& skin, HDC dc, int x, int y, int width, const RECT& part);
// Left part at left, middle tiled (or stretched) between, right part ending at right.
void DrawThreeParts(Glazier::CSkin& skin, HDC dc, int left, int top, int right, const RECT& l, const RECT& m,
                    const RECT& r, bool stretch);
