#pragma once
#include <windows.h>
#include <vector>

// A copy of a window's pixels, as COLORREF values (0x00BBGGRR, comparable with RGB()).
struct PixelImage
{
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;   // row by row from the top

    bool Empty() const { return pixels.empty(); }
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // How many pixels of the rectangle [left, right) x [top, bottom) have this colour.
    int Count(COLORREF colour, int left, int top, int right, int bottom) const;
};

// The client area, read through the window's own DC (children and frame left out). Reads what is on
// the screen now: paint first (UpdateWindow / PumpMessagesFor).
PixelImage CaptureClientPixels(HWND window);
// The same rectangle read from the screen (includes child windows and anything covering them).
PixelImage CaptureScreenPixels(HWND window);
// The whole window rectangle, frame included, read from the screen.
PixelImage CaptureScreenWindowPixels(HWND window);
