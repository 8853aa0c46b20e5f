#include "tests/support/WindowPixels.h"

namespace {
PixelImage CopyFromDc(HDC source, int x, int y, int width, int height)
{
    PixelImage image;
    if (width <= 0 || height <= 0)
        return image;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr)
        return image;
    HDC memory = ::CreateCompatibleDC(source);
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    ::GdiFlush();
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    const DWORD* row = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        DWORD bgra = row[i];   // 0xAARRGGBB in memory order B, G, R, A
        image.pixels[i] = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(dib);
    return image;
}
}

int PixelImage::Count(COLORREF colour, int left, int top, int right, int bottom) const
{
    int count = 0;
    for (int y = top; y < bottom && y < height; ++y)
        for (int x = left; x < right && x < width; ++x)
            if (At(x, y) == colour)
                ++count;
    return count;
}

PixelImage CaptureClientPixels(HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    PixelImage image = CopyFromDc(dc, 0, 0, client.right, client.bottom);
    ::ReleaseDC(window, dc);
    return image;
}

PixelImage CaptureScreenWindowPixels(HWND window)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    HDC screen = ::GetDC(nullptr);
    PixelImage image = CopyFromDc(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ::ReleaseDC(nullptr, screen);
    return image;
}

PixelImage CaptureScreenPixels(HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    HDC screen = ::GetDC(nullptr);
    PixelImage image = CopyFromDc(screen, origin.x, origin.y, client.right, client.bottom);
    ::ReleaseDC(nullptr, screen);
    return image;
}
