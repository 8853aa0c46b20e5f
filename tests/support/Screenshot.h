#pragma once
#include <string>

#include "tests/support/WindowPixels.h"

// Saves captured pixels as a PNG file (through GDI+); false when it could not be written.
bool SavePixelsAsPng(const PixelImage& image, const std::wstring& path);
// The folder for screenshots beside the test executables (created on first use).
std::wstring ScreenshotFolder();
