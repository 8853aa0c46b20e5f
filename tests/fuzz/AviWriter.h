#pragma once
#include <windows.h>

#include <string>
#include <vector>

// AVI files as the animation control's tests and the fuzz driver write them. Every field lands
// in the file as it stands, so a clip can lie about any size.
struct AviClip
{
    DWORD microSecPerFrame = 50000;
    DWORD totalFrames = 0xFFFFFFFF;          // in the main header; 0xFFFFFFFF: the number of frames
    DWORD suggestedBufferSize = 0;
    DWORD handler = 0;                        // the stream header's four-character code
    BITMAPINFOHEADER format = {};             // the "strf" chunk's header...
    std::string formatTail;                   // ...and what follows it there (palette, masks)
    std::vector<std::string> frames;          // the "00db" chunks of "movi"...
    std::string movi;                         // ...or, when set, the data of "movi" as it stands
};

std::string WriteAvi(const AviClip& clip);

// A chunk: id, the size of data (or declared, when given), data and its pad byte.
std::string RiffChunk(const char* id, const std::string& data, long long declared = -1);
// A list: kind ("RIFF" or "LIST"), its type and its data.
std::string RiffList(const char* kind, const char* type, const std::string& data, long long declared = -1);
// The file with the 32-bit size of the first chunk named id (after skip earlier ones) set to size.
std::string WithChunkSize(std::string file, const char* id, DWORD size, int skip = 0);
// The file with the size of the first list of this type ("movi", "hdrl") set to size.
std::string WithListSize(std::string file, const char* type, DWORD size);
// The file with the 32-bit value at offset set (nothing past the end).
std::string WithDword(std::string file, size_t offset, DWORD value);
// Where the "strf" chunk's data starts, and where the main header's data starts.
size_t FormatOffset(const std::string& file);
size_t MainHeaderOffset(const std::string& file);

// A header for an uncompressed or run-length clip of this size.
BITMAPINFOHEADER BitmapHeader(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB);
// A 256-colour palette whose first entries are the given colours (RGBQUAD order: blue first).
std::string Palette(const std::vector<COLORREF>& colours);
// One run-length (RLE8) frame: every row one run of its colour index, rows from the bottom up.
std::string Rle8Frame(LONG width, const std::vector<BYTE>& rowColours);
