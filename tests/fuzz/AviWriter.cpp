#include "tests/fuzz/AviWriter.h"

#include <cstring>

namespace {

void Put32(std::string& s, DWORD v)
{
    s.append(reinterpret_cast<const char*>(&v), 4);
}

}  // namespace

std::string RiffChunk(const char* id, const std::string& data, long long declared)
{
    std::string s(id, 4);
    Put32(s, declared >= 0 ? static_cast<DWORD>(declared) : static_cast<DWORD>(data.size()));
    s += data;
    if (data.size() & 1)
        s.push_back(0);
    return s;
}

std::string RiffList(const char* kind, const char* type, const std::string& data, long long declared)
{
    return RiffChunk(kind, std::string(type, 4) + data, declared);
}

std::string WriteAvi(const AviClip& clip)
{
    const DWORD frames = static_cast<DWORD>(clip.frames.size());
    std::string avih;
    for (DWORD v : {clip.microSecPerFrame, DWORD(0), DWORD(0), DWORD(0),
                    clip.totalFrames == 0xFFFFFFFF ? frames : clip.totalFrames, DWORD(0), DWORD(1),
                    clip.suggestedBufferSize, static_cast<DWORD>(clip.format.biWidth),
                    static_cast<DWORD>(clip.format.biHeight), DWORD(0), DWORD(0), DWORD(0), DWORD(0)})
        Put32(avih, v);
    std::string strh = "vids";
    Put32(strh, clip.handler);
    for (int i = 0; i < 14; ++i)
        Put32(strh, 0);
    std::string strf(reinterpret_cast<const char*>(&clip.format), sizeof(clip.format));
    strf += clip.formatTail;
    std::string movi = clip.movi;
    if (movi.empty())
        for (const std::string& frame : clip.frames)
            movi += RiffChunk("00db", frame);
    std::string hdrl = RiffList("LIST", "hdrl", RiffChunk("avih", avih) +
                                                    RiffList("LIST", "strl", RiffChunk("strh", strh) + RiffChunk("strf", strf)));
    return RiffList("RIFF", "AVI ", hdrl + RiffList("LIST", "movi", movi));
}

std::string WithDword(std::string file, size_t offset, DWORD value)
{
    if (offset + 4 <= file.size())
        std::memcpy(&file[offset], &value, 4);
    return file;
}

std::string WithChunkSize(std::string file, const char* id, DWORD size, int skip)
{
    size_t at = file.find(std::string(id, 4));
    while (skip-- > 0 && at != std::string::npos)
        at = file.find(std::string(id, 4), at + 4);
    return at == std::string::npos ? file : WithDword(file, at + 4, size);
}

std::string WithListSize(std::string file, const char* type, DWORD size)
{
    size_t at = file.find(std::string(type, 4));
    return at == std::string::npos || at < 4 ? file : WithDword(file, at - 4, size);
}

size_t FormatOffset(const std::string& file)
{
    size_t at = file.find("strf");
    return at == std::string::npos ? file.size() : at + 8;
}

size_t MainHeaderOffset(const std::string& file)
{
    size_t at = file.find("avih");
    return at == std::string::npos ? file.size() : at + 8;
}

BITMAPINFOHEADER BitmapHeader(LONG width, LONG height, WORD bitCount, DWORD compression)
{
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof(h);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    h.biCompression = compression;
    return h;
}

std::string Palette(const std::vector<COLORREF>& colours)
{
    RGBQUAD palette[256] = {};
    for (size_t i = 0; i < colours.size() && i < 256; ++i)
        palette[i] = RGBQUAD{GetBValue(colours[i]), GetGValue(colours[i]), GetRValue(colours[i]), 0};
    return std::string(reinterpret_cast<const char*>(palette), sizeof(palette));
}

std::string Rle8Frame(LONG width, const std::vector<BYTE>& rowColours)
{
    std::string frame;
    for (BYTE colour : rowColours) {
        for (LONG left = width; left > 0; left -= 255) {
            frame.push_back(static_cast<char>(left > 255 ? 255 : left));
            frame.push_back(static_cast<char>(colour));
        }
        frame += std::string("\0\0", 2);  // end of line
    }
    frame += std::string("\0\1", 2);  // end of bitmap
    return frame;
}
