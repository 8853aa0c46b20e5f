#include "tests/fuzz/HostileSkins.h"

#include <windows.h>

#include <random>

#include "uilib/skin/tests/PngWriter.h"

namespace {

// An ordinary skin picture: opaque frame pieces with a rounded (transparent) outer corner, button
// faces right of them.
std::string OrdinaryImage()
{
    const int w = 200, h = 100;
    std::vector<DWORD> argb(static_cast<size_t>(w) * h, 0xFF336699);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4 - y; ++x)
            argb[static_cast<size_t>(y) * w + x] = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 130; x < 194; ++x)
            argb[static_cast<size_t>(y) * w + x] = 0xFFCC8844 + static_cast<DWORD>(x - 130) / 16;
    return EncodePng(w, h, argb);
}

// Alpha alternating every pixel: one region rectangle per opaque pixel.
std::string CheckerImage(int side)
{
    std::vector<DWORD> argb(static_cast<size_t>(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            argb[static_cast<size_t>(y) * side + x] = (x + y) % 2 ? 0xFF000000 : 0;
    return EncodePng(side, side, argb);
}

std::string Big32(unsigned v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Header(unsigned width, unsigned height)
{
    return PngChunk("IHDR", Big32(width) + Big32(height) + std::string("\x08\x06\x00\x00\x00", 5));
}

const char kSignature[] = "\x89PNG\r\n\x1a\n";

// A small file whose header claims a 20000 x 20000 picture.
std::string HugeDeclaredImage()
{
    return std::string(kSignature, 8) + Header(20000, 20000) + PngChunk("IDAT", std::string("\x78\x01\x01\x00\x00\xFF\xFF", 7)) +
           PngChunk("IEND", "");
}

// 44 bytes: a 1 x 1 header, then a chunk that claims 2 GB.
std::string LyingChunkImage()
{
    return std::string(kSignature, 8) + Header(1, 1) + Big32(0x7FFFFFF0) + "IDAT" + std::string(7, '\0');
}

const char kFramework[] =
    "[Framework]\n"
    "Background = #FFFFFF\n"
    "TopLeft = 0 0 20 24\nTopMiddle = 20 0 80 24\nTopRight = 100 0 20 24\nMiddleRight = 112 24 8 32\n"
    "BottomRight = 100 56 20 24\nBottomMiddle = 20 72 80 8\nBottomLeft = 0 56 20 24\nMiddleLeft = 0 24 8 32\n";

const char kElements[] =
    "[Caption Text]\nWindow = 22 4 18 16\nText Color = #000000\n"
    "[Close Button]\nWindow = 102 4 16 16\nNormal = 130 0 16 16\nHot = 146 0 16 16\nPushed = 162 0 16 16\n"
    "Disabled = 178 0 16 16\nStyle = FxFading\n"
    "[Minimize Button]\nWindow = 62 4 16 16\nNormal = 130 0 16 16\nHot = 146 0 16 16\n"
    "[Statusbar.Left Image]\nWindow = 0 60 10 12\nNormal = 130 20 6 12\n"
    "[Statusbar.Middle Image]\nWindow = 10 60 100 12\nNormal = 136 20 4 12\nType = Tile\n"
    "[Statusbar.Right Image]\nWindow = 110 60 10 12\nNormal = 140 20 6 12\n"
    "[Statusbar]\nMargins = 2 3 0 0\n"
    "[Branding Image]\nWindow = 40 30 20 10\nNormal = 130 40 20 10\n";

SkinCase Ordinary(const std::string& name, const std::string& extra, const std::string& framework = kFramework)
{
    return {name, "[General]\nImage = skin.png\n" + framework + kElements + extra, {{"skin.png", OrdinaryImage()}}};
}

std::string WithKey(std::string framework, const std::string& key, const std::string& value)
{
    const size_t at = framework.find("\n" + key + " = ");
    if (at == std::string::npos)
        return framework + key + " = " + value + "\n";
    const size_t end = framework.find('\n', at + 1);
    return framework.substr(0, at + 1) + key + " = " + value + framework.substr(end);
}

}  // namespace

std::vector<SkinCase> HostileSkinCases()
{
    std::vector<SkinCase> cases;
    cases.push_back(Ordinary("ordinary", ""));
    {
        SkinCase bomb = {"region_bomb_corner",
                         "[General]\nImage = checker.png\n" + WithKey(kFramework, "TopLeft", "0 0 300 300"),
                         {{"checker.png", CheckerImage(300)}}};
        cases.push_back(bomb);
        bomb.name = "region_bomb_button";
        bomb.description = "[General]\nImage = checker.png\n" + std::string(kFramework) +
                           "[Close Button]\nWindow = 10 4 300 300\nNormal = 0 0 300 300\n";
        cases.push_back(bomb);
        bomb.name = "region_bomb_every_part";
        bomb.description = "[General]\nImage = checker.png\n[Framework]\n";
        for (const char* part : {"TopLeft", "TopMiddle", "TopRight", "MiddleRight", "BottomRight", "BottomMiddle",
                                 "BottomLeft", "MiddleLeft"})
            bomb.description += std::string(part) + " = 0 0 300 300\n" + part + ".SizingMargins = 1 1 1 1\n";
        bomb.description += "Style = StretchMiddle\n";
        cases.push_back(bomb);
    }
    {
        // Every part of an ordinary layout cut from a picture whose alpha alternates per pixel: each part
        // is under the picture's bound, but the window's outline would be tens of thousands of rectangles.
        SkinCase checkered = Ordinary("checkered_parts", "");
        checkered.images = {{"skin.png", CheckerImage(302)}};
        cases.push_back(checkered);
    }
    cases.push_back(Ordinary("edge_arithmetic", "",
                             WithKey(WithKey(kFramework, "MiddleLeft", "0 34 6 1"), "BottomLeft", "0 0 1 -100000000")));
    cases.push_back(Ordinary("edge_overflow", "",
                             WithKey(WithKey(WithKey(kFramework, "TopLeft", "-2147483648 0 2147483647 2147483647"),
                                             "BottomRight", "2147483647 2147483647 -2147483648 -2147483648"),
                                     "TopMiddle", "0 0 1 1")));
    cases.push_back(Ordinary("edges_one_pixel", "",
                             "[Framework]\nTopLeft = 0 0 1 1\nTopMiddle = 0 0 1 1\nTopRight = 0 0 1 1\n"
                             "MiddleRight = 0 0 1 1\nBottomRight = 0 0 1 1\nBottomMiddle = 0 0 1 1\n"
                             "BottomLeft = 0 0 1 1\nMiddleLeft = 0 0 1 1\n"));
    cases.push_back(Ordinary("branding_tiles_30000",
                             "[Branding Image]\nType = Tile\nWindow = 0 0 30000 30000\nNormal = 0 0 1 1\n"));
    cases.push_back(Ordinary("branding_tiles_2p31",
                             "[Branding Image]\nType = Tile\nWindow = -2147483648 -2147483648 2147483647 2147483647\n"
                             "Normal = 3 3 1 1\n"));
    cases.push_back(Ordinary("status_tiles_huge", "[Statusbar.Middle Image]\nWindow = 10 60 2147483647 12\n"
                                                  "Normal = 136 20 1 1\nType = Tile\n"));
    cases.push_back(Ordinary("corner_65535", "", WithKey(kFramework, "TopLeft", "0 0 65535 34")));
    cases.push_back(Ordinary("corners_past_screen", "",
                             WithKey(WithKey(kFramework, "TopLeft", "0 0 100000 100000"), "BottomRight",
                                     "0 0 100000 100000")));
    cases.push_back(Ordinary("stretch_margins_huge", "",
                             std::string(kFramework) + "Style = StretchMiddle\n"
                                                       "TopLeft.SizingMargins = 2147483647 2147483647 -5 99999999\n"
                                                       "TopMiddle.SizingMargins = 99999 99999 99999 99999\n"));
    cases.push_back(Ordinary("thicknesses_huge", "",
                             std::string(kFramework) + "Shadow.Thickness = 100000 100000 100000 100000\n"
                                                       "ThickFrame.SizingThickness = 2147483647 1 1 1\n"
                                                       "ThickFrame.SizingCorners = 99999999 99999999 9 9\n"));
    cases.push_back(Ordinary("translucent_huge", "",
                             std::string(kFramework) + "Style = Translucent\nShadow.Thickness = 30000 30000 30000 30000\n"));
    cases.push_back(Ordinary("shadow_extremes",
                             "[Shadow]\nDarkness = 2147483647\nSharpness = -2147483648\nSize = 99999\n"
                             "XOffset = -99999\nYOffset = 99999\n"));
    cases.push_back(Ordinary("text_sizes_huge", "[Caption Text]\nWindow = 22 4 30000 30000\nText Size = 100000\n"
                                                "Text Font = Arial\nStyle = MultiLine Center\n"));
    cases.push_back(Ordinary("buttons_outside_image", "[Close Button]\nWindow = 102 4 16 16\nNormal = 100000 100000 16 16\n"
                                                      "Hot = -5 -5 2147483647 2147483647\n"));
    cases.push_back(Ordinary("gradient_lines_huge",
                             "",
                             std::string(kFramework) + "Style = VGradientMiddleLeft VGradientMiddleRight\n"
                                                       "MiddleLeft.Background = #FF0000;#0000FF\n"
                                                       "Background = #000000;#FFFFFF;#FF0000[2147483647];#00FF00[-5] H\n"));
    cases.push_back({"png_lying_chunk", "[General]\nImage = lie.png\n" + std::string(kFramework), {{"lie.png", LyingChunkImage()}}});
    cases.push_back({"png_20000_square", "[General]\nImage = big.png\n" + std::string(kFramework),
                     {{"big.png", HugeDeclaredImage()}}});
    cases.push_back({"png_empty", "[General]\nImage = empty.png\n" + std::string(kFramework), {{"empty.png", ""}}});
    cases.push_back({"png_not_png", "[General]\nImage = text.png\n" + std::string(kFramework),
                     {{"text.png", std::string(5000, 'x')}}});
    cases.push_back({"no_framework", "[General]\nImage = skin.png\n", {{"skin.png", OrdinaryImage()}}});
    cases.push_back({"line_noise", std::string(20000, '[') + "\n" + std::string(9000, '=') + "\n\0\r\r\n{}[]",
                     {}});
    {
        std::string many = "[General]\nImage = skin.png\n" + std::string(kFramework);
        for (int i = 0; i < 3000; ++i)
            many += "[Framework]\nTopLeft = 0 0 1 1\n";
        cases.push_back({"sections_3000", many, {{"skin.png", OrdinaryImage()}}});
    }
    return cases;
}

std::vector<SkinCase> MutatedSkinCases(unsigned seed, int count)
{
    static const char* const kNumbers[] = {"0", "-1", "1", "65535", "65536", "-2147483648", "2147483647",
                                           "4294967295", "99999999", "-100000000", "30000", "1e9", "0x7FFFFFFF"};
    static const char* const kKeys[] = {"TopLeft", "TopMiddle", "TopRight", "MiddleRight", "BottomRight",
                                        "BottomMiddle", "BottomLeft", "MiddleLeft", "Window", "Normal", "Hot",
                                        "Type", "Style", "Text Size", "Margins", "Shadow.Thickness"};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    const SkinCase base = Ordinary("base", "[Shadow]\nDarkness = 100\n");
    std::vector<SkinCase> out;
    for (int i = 0; i < count; ++i) {
        SkinCase c = base;
        c.name = "mutation_" + std::to_string(i);
        std::string& d = c.description;
        const int edits = 1 + static_cast<int>(pick(6));
        for (int e = 0; e < edits; ++e) {
            switch (pick(5)) {
            case 0: {   // a number blown up
                size_t at = d.find_first_of("0123456789", pick(d.size()));
                if (at != std::string::npos) {
                    const size_t end = d.find_first_not_of("0123456789", at);
                    d.replace(at, end - at, kNumbers[pick(sizeof(kNumbers) / sizeof(kNumbers[0]))]);
                }
                break;
            }
            case 1: {   // a key added to a random section
                const size_t at = d.find('\n', pick(d.size()));
                if (at != std::string::npos)
                    d.insert(at + 1, std::string(kKeys[pick(sizeof(kKeys) / sizeof(kKeys[0]))]) + " = " +
                                         kNumbers[pick(13)] + " " + kNumbers[pick(13)] + " " + kNumbers[pick(13)] +
                                         " " + kNumbers[pick(13)] + "\n");
                break;
            }
            case 2: {   // a line dropped
                const size_t at = d.find('\n', pick(d.size()));
                const size_t end = at == std::string::npos ? at : d.find('\n', at + 1);
                if (end != std::string::npos)
                    d.erase(at, end - at);
                break;
            }
            case 3:   // the tiled type on some image
                d += "[Branding Image]\nType = Tile\nWindow = 0 0 " + std::string(kNumbers[pick(13)]) + " " +
                     kNumbers[pick(13)] + "\nNormal = " + std::to_string(pick(200)) + " " + std::to_string(pick(100)) +
                     " 1 1\n";
                break;
            default: {   // the picture replaced by a checker board
                if (pick(4) == 0)
                    c.images = {{"skin.png", CheckerImage(static_cast<int>(8 + pick(300)))}};
                break;
            }
            }
        }
        out.push_back(c);
    }
    return out;
}

std::wstring WriteSkinCase(const SkinCase& skin, const std::wstring& folder)
{
    const std::wstring dir = folder + L"\\" + std::wstring(skin.name.begin(), skin.name.end());
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(dir.c_str(), nullptr);
    auto write = [](const std::wstring& path, const std::string& bytes) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    };
    for (const auto& image : skin.images)
        write(dir + L"\\" + std::wstring(image.first.begin(), image.first.end()), image.second);
    const std::wstring inf = dir + L"\\Skin.inf";
    write(inf, skin.description);
    return inf;
}
