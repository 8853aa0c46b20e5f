#pragma once
#include <windows.h>

#include <vector>

namespace FWSkin {

// One row of a window's shape: its first and last pixel inside the region.
struct ShadowSpan {
    int left = 0;
    int right = -1;
    bool Empty() const { return right < left; }
};

struct ShadowParameters {
    int darkness = 150;  // 0 ... 255
    int sharpness = 5;   // 0 ... 20
    int size = 0;        // -20 ... 20
    int xOffset = 5;     // -20 ... 20
    int yOffset = 5;
    COLORREF color = 0;
};

// The rows of a region (the whole width x height rectangle when region is null).
std::vector<ShadowSpan> SpansOfRegion(HRGN region, int width, int height);

// The shadow bitmap of a window of the spans' width and height: (width + 2 size) x (height + 2 size)
// premultiplied BGRA pixels, top row first. Every write is clipped to the bitmap; false and nothing
// written when the bitmap would be empty.
bool FillShadow(const std::vector<ShadowSpan>& spans, int width, int height, const ShadowParameters& look,
                DWORD* bits, int bitmapWidth, int bitmapHeight);

}  // namespace FWSkin
