#include "tests/fuzz/HostileClips.h"

#include <windows.h>
#include <vfw.h>

#include <random>

#include "tests/fuzz/AviWriter.h"

namespace {

const DWORD kRleHandler = mmioFOURCC('R', 'L', 'E', ' ');

// 16 x 16, 8 bits, two frames.
AviClip Ordinary8Bit()
{
    AviClip clip;
    clip.format = BitmapHeader(16, 16, 8);
    clip.formatTail = Palette({RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0)});
    clip.frames = {std::string(256, '\1'), std::string(256, '\2')};
    return clip;
}

// 16 x 8, 24 bits, two frames.
AviClip Ordinary24Bit()
{
    AviClip clip;
    clip.format = BitmapHeader(16, 8, 24);
    clip.frames = {std::string(16 * 3 * 8, '\x40'), std::string(16 * 3 * 8, '\xC0')};
    return clip;
}

// 16 x 16 run-length frames: one of red rows, one of blue.
AviClip OrdinaryRle()
{
    AviClip clip;
    clip.handler = kRleHandler;
    clip.format = BitmapHeader(16, 16, 8, BI_RLE8);
    clip.formatTail = Palette({RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0)});
    clip.frames = {Rle8Frame(16, std::vector<BYTE>(16, 2)), Rle8Frame(16, std::vector<BYTE>(16, 1))};
    return clip;
}

// A compressed clip for a system decoder, with frames of noise.
AviClip Garbage(const char* fourcc, DWORD compression, WORD bitCount, unsigned seed)
{
    AviClip clip;
    clip.handler = mmioFOURCC(fourcc[0], fourcc[1], fourcc[2], fourcc[3]);
    clip.format = BitmapHeader(32, 24, bitCount, compression);
    if (bitCount <= 8)
        clip.formatTail = Palette({RGB(0, 0, 0), RGB(255, 255, 255)});
    std::mt19937 random(seed);
    for (int i = 0; i < 4; ++i) {
        std::string frame(64 + random() % 2000, '\0');
        for (char& c : frame)
            c = static_cast<char>(random());
        clip.frames.push_back(frame);
    }
    return clip;
}

std::string Avi(const AviClip& clip)
{
    return WriteAvi(clip);
}

// The file with a field of the format header (at its offset inside BITMAPINFOHEADER) replaced.
std::string WithFormatField(const std::string& file, size_t field, DWORD value)
{
    return WithDword(file, FormatOffset(file) + field, value);
}

}  // namespace

std::vector<ClipCase> HostileClipCases()
{
    const std::string plain = Avi(Ordinary8Bit()), deep = Avi(Ordinary24Bit()), rle = Avi(OrdinaryRle());
    std::vector<ClipCase> cases = {
        {"ordinary_8bit", plain, 1},
        {"ordinary_24bit", deep, 1},
        {"ordinary_rle8", rle, 1},
    };
    {
        // The size of a 512 x 512 x 24 picture read from 16-byte frames.
        AviClip lie = Ordinary24Bit();
        lie.format = BitmapHeader(512, 512, 24);
        lie.frames = {std::string(16, 'x'), std::string(16, 'y')};
        cases.push_back({"frames_short_of_the_picture", Avi(lie), 0});
        lie.format.biSizeImage = 16;
        cases.push_back({"frames_short_image_size_agrees", Avi(lie), 0});
    }
    {
        AviClip big = OrdinaryRle();
        big.format.biSizeImage = 0x7FFFFFFF;  // frames are read as far as their own bytes
        cases.push_back({"rle_image_size_huge", Avi(big), 1});
        big.format.biSizeImage = 0xFFFFFFFF;
        cases.push_back({"rle_image_size_ffffffff", Avi(big), 1});
    }
    cases.push_back({"format_size_wraps", WithChunkSize(plain, "strf", 0xFFFFFC00), 0});
    cases.push_back({"format_size_ffffffff", WithChunkSize(plain, "strf", 0xFFFFFFFF), 0});
    cases.push_back({"format_size_zero", WithChunkSize(plain, "strf", 0), 0});
    cases.push_back({"format_size_short", WithChunkSize(plain, "strf", 20), 0});
    cases.push_back({"format_size_past_file", WithChunkSize(plain, "strf", 0x40000), 0});
    cases.push_back({"header_size_huge", WithFormatField(plain, 0, 0x7FFFFFFF), 0});
    cases.push_back({"header_size_zero", WithFormatField(plain, 0, 0), 0});
    cases.push_back({"width_huge", WithFormatField(deep, 4, 0x7FFFFFFF), 0});
    cases.push_back({"width_negative", WithFormatField(deep, 4, 0xFFFFFFF0), 0});
    cases.push_back({"height_most_negative", WithFormatField(deep, 8, 0x80000000), 0});
    cases.push_back({"height_zero", WithFormatField(deep, 8, 0), 0});
    cases.push_back({"bit_count_7", WithFormatField(plain, 12, 0x00070001), 0});
    cases.push_back({"bit_count_0", WithFormatField(plain, 12, 0x00000001), 0});
    cases.push_back({"bit_count_65535", WithFormatField(plain, 12, 0xFFFF0001), 0});
    cases.push_back({"colours_used_huge", WithFormatField(plain, 32, 0xFFFFFFFF), 0});
    cases.push_back({"bitfields_24", WithFormatField(deep, 16, BI_BITFIELDS), 0});
    cases.push_back({"rle8_of_4_bits", WithFormatField(WithFormatField(rle, 12, 0x00040001), 16, BI_RLE8), 0});
    cases.push_back({"main_header_short", WithChunkSize(plain, "avih", 8), 0});
    cases.push_back({"stream_header_short", WithChunkSize(plain, "strh", 8), 0});
    cases.push_back({"main_header_past_file", WithChunkSize(plain, "avih", 0x7FFFFFF0), 0});
    cases.push_back({"first_frame_past_file", WithChunkSize(plain, "00db", 0x7FFFFFF0), 0});
    cases.push_back({"second_frame_past_file", WithChunkSize(plain, "00db", 0xFFFFFFF0, 1), 1});
    cases.push_back({"movi_past_file", WithListSize(plain, "movi", 0x7FFFFFF0), 1});
    cases.push_back({"riff_past_file", WithDword(plain, 4, 0xFFFFFFF0), 1});
    {
        // A chunk passed over on the way whose size, added to its offset, wraps to before it.
        std::string renamed = plain;
        renamed.replace(renamed.find("strl"), 4, "sprl");
        cases.push_back({"passed_list_size_wraps", WithListSize(renamed, "sprl", 0xFFFFFFF0), 0});
        cases.push_back({"leading_chunk_size_wraps", RiffChunk("JUNK", "", 0xFFFFFFF8) + plain, 0});
    }
    cases.push_back({"suggested_buffer_huge", WithDword(plain, MainHeaderOffset(plain) + 28, 0xFFFFFFFF), 1});
    cases.push_back({"total_frames_zero", WithDword(plain, MainHeaderOffset(plain) + 16, 0), 0});
    cases.push_back({"total_frames_huge", WithDword(plain, MainHeaderOffset(plain) + 16, 0xFFFFFFFF), 1});
    cases.push_back({"frame_time_zero", WithDword(plain, MainHeaderOffset(plain), 0), 1});
    cases.push_back({"main_size_huge", WithDword(WithDword(plain, MainHeaderOffset(plain) + 32, 0x7FFFFFFF),
                                                 MainHeaderOffset(plain) + 36, 0x7FFFFFFF), 1});
    {
        AviClip empty = Ordinary8Bit();
        empty.frames = {"", ""};
        cases.push_back({"frames_empty", Avi(empty), 1});
        AviClip odd = Ordinary24Bit();
        odd.frames[0].push_back('!');  // an odd size: the chunk gets its pad byte
        cases.push_back({"frame_odd_size", Avi(odd), 1});
    }
    for (size_t cut : {size_t(8), size_t(12), size_t(40), size_t(100), size_t(200), plain.size() - 200,
                       plain.size() - 10, plain.size() - 1})
        cases.push_back({"cut_at_" + std::to_string(cut), plain.substr(0, cut), -1});
    cases.push_back({"empty_file", "", 0});
    cases.push_back({"not_avi", std::string(4000, 'A'), 0});
    {
        // Run-length frames that run past the picture, move past it and stop short.
        AviClip runs = OrdinaryRle();
        runs.frames = {std::string("\xFF\x01\xFF\x02\x00\x02\xFF\xFF\x00\x02\x7F\x7F\xFF\x01", 14),
                       std::string("\x00\x03", 2), std::string("\x00\x00\x00\x00\x00", 5),
                       std::string("\x00\x40", 2) + std::string(64, '\x02')};
        cases.push_back({"rle_runs_past_picture", Avi(runs), 1});
        std::mt19937 random(7);
        for (std::string& frame : runs.frames) {
            frame.assign(300, '\0');
            for (char& c : frame)
                c = static_cast<char>(random());
        }
        cases.push_back({"rle_noise", Avi(runs), 1});
    }
    cases.push_back({"decoder_cinepak_noise", Avi(Garbage("cvid", mmioFOURCC('c', 'v', 'i', 'd'), 24, 1)), -1});
    cases.push_back({"decoder_video1_noise", Avi(Garbage("MSVC", mmioFOURCC('C', 'R', 'A', 'M'), 8, 2)), -1});
    cases.push_back({"decoder_video1_16_noise", Avi(Garbage("MSVC", mmioFOURCC('C', 'R', 'A', 'M'), 16, 3)), -1});
    cases.push_back({"decoder_rle_noise", Avi(Garbage("mrle", BI_RLE8, 8, 4)), -1});
    cases.push_back({"decoder_unknown", Avi(Garbage("ZZZZ", mmioFOURCC('Z', 'Z', 'Z', 'Z'), 24, 5)), 0});
    cases.push_back({"decoder_unknown_as_dib", Avi(Garbage("DIB ", mmioFOURCC('Z', 'Z', 'Z', 'Z'), 24, 6)), -1});
    return cases;
}

std::vector<ClipCase> MutatedClipCases(unsigned seed, int count)
{
    static const DWORD kValues[] = {0, 1, 2, 0x7F, 0xFF, 0x100, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000,
                                    0xFFFFFC00, 0xFFFFFFFF, 0xFFFFFFF0, 16, 40, 1064};
    const std::string bases[] = {Avi(Ordinary8Bit()), Avi(Ordinary24Bit()), Avi(OrdinaryRle()),
                                 Avi(Garbage("mrle", BI_RLE8, 8, 9)), Avi(Garbage("cvid", mmioFOURCC('c', 'v', 'i', 'd'), 24, 10))};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    std::vector<ClipCase> out;
    for (int i = 0; i < count; ++i) {
        std::string file = bases[pick(sizeof(bases) / sizeof(bases[0]))];
        const int edits = 1 + static_cast<int>(pick(4));
        for (int e = 0; e < edits && !file.empty(); ++e) {
            switch (pick(5)) {
            case 0:   // a header field: the first 300 bytes hold every header
                file = WithDword(file, pick(file.size() < 300 ? file.size() : 300) & ~size_t(3),
                                 kValues[pick(sizeof(kValues) / sizeof(kValues[0]))]);
                break;
            case 1: {   // a chunk's or a list's size
                static const char* const kIds[] = {"RIFF", "avih", "strh", "strf", "00db"};
                static const char* const kLists[] = {"hdrl", "strl", "movi"};
                const DWORD value = kValues[pick(sizeof(kValues) / sizeof(kValues[0]))];
                if (pick(2))
                    file = WithChunkSize(file, kIds[pick(5)], value, static_cast<int>(pick(3)));
                else
                    file = WithListSize(file, kLists[pick(3)], value);
                break;
            }
            case 2:   // bytes flipped
                for (int n = 1 + static_cast<int>(pick(8)); n > 0; --n)
                    file[pick(file.size())] ^= static_cast<char>(1 << pick(8));
                break;
            case 3:   // cut short
                file.resize(pick(file.size()));
                break;
            default:   // any four bytes
                file = WithDword(file, pick(file.size()), static_cast<DWORD>(random()));
                break;
            }
        }
        out.push_back({"mutation_" + std::to_string(i), file, -1});
    }
    return out;
}

std::wstring WriteClipCase(const ClipCase& clip, const std::wstring& folder)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + std::wstring(clip.name.begin(), clip.name.end()) + L".avi";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, clip.bytes.data(), static_cast<DWORD>(clip.bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}
