#pragma once
#include <windows.h>

// Small region operations for the skin pictures. Every result is a fresh region the caller owns.
namespace FWSkin {

// A tiled region of more tiles, or of more rectangles in all, than these is taken as its whole
// rectangle.
const long long kMaxRegionTiles = 4096;
const long long kMaxTiledRegionRects = 4096;
// A window shape of more rectangles than this is taken as the window's whole rectangle.
const long long kMaxWindowRegionRects = 4096;

HRGN CopyRegion(HRGN source);
// The part of source inside clip (left, top, right, bottom), moved by -clip.left, -clip.top.
HRGN CutRegion(HRGN source, const RECT& clip);
// source scaled by sx, sy (never below 0) about the origin.
HRGN ScaleRegion(HRGN source, float sx, float sy);
// source (one tile of tileCx x tileCy) repeated over a cx x cy area and clipped to it.
HRGN TileRegion(HRGN source, int tileCx, int tileCy, int cx, int cy);

}  // namespace FWSkin
