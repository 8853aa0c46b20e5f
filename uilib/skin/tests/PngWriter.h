#pragma once
#include <windows.h>

#include <string>
#include <vector>

// PNG bytes of a straight-alpha RGBA picture (rows top to bottom, pixels 0xAARRGGBB), stored
// without compression: enough for fixtures the tests decode through GDI+.
std::string EncodePng(int width, int height, const std::vector<DWORD>& argb);
// One chunk: its length, type, data and CRC.
std::string PngChunk(const char* type, const std::string& data);
