#include "tests/fuzz/HostileMarkup.h"

#include "render/DibBitmap.h"
#include "render/HtmlDrawer.h"

#include <cstring>
#include <cwchar>
#include <random>

namespace {

std::wstring Repeat(const std::wstring& piece, int count)
{
    std::wstring out;
    out.reserve(piece.size() * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

const wchar_t* const kEffects[] = {L"solid", L"hgradient", L"vgradient", L"hcgradient", L"vcgradient",
                                   L"3hgradient", L"3vgradient", L"noise", L"diagshade", L"hshade",
                                   L"vshade", L"hbump", L"vbump", L"softbump", L"hardbump", L"metal"};

// Ordinary markup of every kind: the mutations start from these as well.
const wchar_t* const kOrdinary[] = {
    L"<b>bold</b> <i>italic</i> <u>under</u> <s>strike</s> <font color=red size=5 face=Arial>font</font>",
    L"<p align=center>centred</p><p align=justify>a b c d e f g h i j k l m n o p q r s t u v w x y z</p>",
    L"<a href=\"http://example.invalid\" title=tip>link</a> <a msg=\"hello\">message</a>",
    L"<table border=2 cellpadding=3 cellspacing=2 bgcolor=#FFEEDD><tr><td colspan=2>a</td></tr>"
    L"<tr><td rowspan=2 bgeffect=hgradient>b</td><td>c</td></tr><tr><td>d</td></tr></table>",
    L"<table><tr><td><table border=1><tr><td>in</td></tr></table></td><td>out</td></tr></table>",
    L"<hr width=50%><hr size=3 color=blue><br 2>after<t>tab<t 3>tabs",
    L"&lt;&gt;&amp;&quot;&nbsp;&copy;&#65;&#x42;&unknown;&",
    L"<bmp handle=%BMP% width=50%><bmp handle=%BMP% height=200% style=gds><ilst handle=%BMP% cx=8 speed=2>",
    L"<span class=x>class</span><div style=\"color:red;font-size:20px\">div</div>",
};

}  // namespace

std::vector<MarkupCase> HostileMarkupCases()
{
    std::vector<MarkupCase> cases = {
        {"fill_2p29_wide", L"<table><tr><td width=536870912 bgeffect=noise>x", 0},
        {"fill_2p31_wide_table", L"<table width=2147483647 height=2147483647 bgeffect=metal><tr><td>x", 0},
        {"fill_negative_huge", L"<table width=-2147483647 bgeffect=softbump><tr><td width=-99999999>x", 0},
        {"colspan_2p30", L"<table><tr><td colspan=1073741823>x", 0},
        {"rowspan_2p30", L"<table><tr><td rowspan=1073741823>x</td></tr><tr><td>y", 0},
        {"colspan_100000", L"<table><tr><td colspan=100000>x</td></tr><tr><td>y</td></tr></table>", 0},
        {"spans_many_wide", L"<table>" + Repeat(L"<tr><td colspan=1000 rowspan=1000>x</td></tr>", 3000), 0},
        {"nested_1000_closed",
         Repeat(L"<table><tr><td>", 1000) + L"x" + Repeat(L"</td></tr></table>", 1000), 0},
        {"nested_1000_open", Repeat(L"<table><tr><td>", 1000) + L"x", 0},
        {"nested_bare_tables", Repeat(L"<table>", 30000), 0},
        {"cells_30000", L"<table><tr>" + Repeat(L"<td>x</td>", 30000) + L"</tr></table>", 0},
        {"cells_30000_unclosed", L"<table><tr>" + Repeat(L"<td>x", 30000), 0},
        {"rows_30000", L"<table>" + Repeat(L"<tr><td>x</td></tr>", 30000) + L"</table>", 0},
        {"rows_30000_unclosed", L"<table>" + Repeat(L"<tr><td>x", 30000), 0},
        {"grid_300x300",
         L"<table border=1>" + Repeat(L"<tr>" + Repeat(L"<td>x</td>", 300) + L"</tr>", 300) + L"</table>", 0},
        {"cells_with_tables_5000",
         L"<table><tr>" + Repeat(L"<td><table><tr><td>y</td></tr></table></td>", 5000) + L"</tr></table>", 0},
        {"row_tags_no_table", Repeat(L"<tr><td></td></tr>", 30000), 0},
        {"word_100000_wrapped", std::wstring(100000, L'w'), 200},
        {"word_100000_narrow", std::wstring(100000, L'w'), 1},
        {"word_100000_unwrapped", std::wstring(100000, L'w'), 0},
        {"words_50000_wrapped", Repeat(L"ab ", 50000), 300},
        {"breaks_100000_wrapped", std::wstring(100000, L'-'), 100},
        // Right-to-left runs among left-to-right text: the system's reordering of one long string costs
        // the square of its length.
        {"mixed_direction_unwrapped", Repeat(L"word \x05D0\x05D1\x05D2 \x0814\x0815" L"fect=", 3000), 0},
        {"mixed_direction_wrapped", Repeat(L"word \x05D0\x05D1\x05D2 \x0814\x0815" L"fect=", 3000), 300},
        {"justified_long", L"<p align=justify>" + Repeat(L"lorem ipsum ", 20000), 400},
        {"word_in_cell_wrapped", L"<table><tr><td width=50>" + std::wstring(50000, L'q'), 300},
        {"image_percent_65536", L"<bmp handle=%BMP% width=65536% height=65536%>", 0},
        {"image_pixels_huge", L"<bmp handle=%BMP% width=2147483647 height=2147483647>", 0},
        {"image_percent_negative", L"<bmp handle=%BMP% width=-65536% height=-2147483648>", 0},
        {"strip_tiny_frames", L"<ilst handle=%BMP% cx=1 cy=1 index=99999999 speed=1>", 0},
        {"strip_huge_frames", L"<ilst handle=%BMP% cx=2147483647 cy=-2147483647 width=65536%>", 0},
        {"icon_huge", L"<icon idres=32512 width=65536% height=65536%>", 0},
        // An icon file loaded at any size it is asked for: a real picture at the size bound.
        {"icon_file_2147483647", L"<icon file=\"%ICOFILE%\" width=2147483647 height=2147483647>", 0},
        {"icon_file_0x7fffffff", L"<icon file=\"%ICOFILE%\" width=0x7fffffff height=0x7fffffff>", 0},
        {"icon_file_1000000", L"<icon file=\"%ICOFILE%\" width=1000000 height=1000000 style=s>", 0},
        {"icon_file_100000", L"<a href=x><icon file=\"%ICOFILE%\" width=100000 height=100000 hotstyle=gs></a>", 0},
        {"icon_file_65536", L"<icon file=\"%ICOFILE%\" width=65536% height=65536%>", 0},
        {"icons_many_huge", Repeat(L"<icon file=\"%ICOFILE%\" width=4096 height=4096>", 60), 300},
        {"bitmaps_many_huge", Repeat(L"<bmp handle=%BMP% width=2048 height=2048 style=s>", 60), 0},
        {"pictures_many_small", Repeat(L"<bmp handle=%BMP% style=s><icon file=\"%ICOFILE%\" width=8 height=8>", 3000),
         300},
        {"font_65536", L"<font size=65536>big text here</font>", 0},
        {"font_2p31", L"<font size=2147483647>x</font><font size=-2147483647>y</font>", 0},
        {"font_units", L"<font size=99999999in>x</font><font size=99999999em>y</font><font size=9999999pc>z", 0},
        {"font_nested_100", Repeat(L"<font size=+7>", 100) + L"x", 0},
        {"style_font_huge", L"<span style=\"font-size:1000000px\">x</span>", 0},
        {"rule_size_1000000", L"<hr size=1000000>", 0},
        {"rule_width_huge", L"<hr width=2147483647><hr width=100000000%><hr width=-2147483647>", 100},
        {"rules_many", Repeat(L"<hr width=100%>", 20000), 300},
        {"border_1000000", L"<table border=1000000><tr><td>x</td></tr></table>", 0},
        {"border_styles_huge", L"<table border=2147483647 borderstyle=double><tr><td>x", 0},
        {"padding_spacing_huge", L"<table cellpadding=100000000 cellspacing=100000000><tr><td>x</td><td>y", 0},
        {"cell_height_huge", L"<table><tr><td height=2147483647 bgeffect=hbump>x", 0},
        {"line_breaks_huge", L"a<br 2147483647>b<br=99999999>c", 0},
        {"tabs_huge", L"a<t 2147483647>b<t=99999999>c", 0},
        {"many_lines", Repeat(L"x<br>", 100000), 0},
        {"style_nesting_100000", Repeat(L"<b>", 100000) + L"x" + Repeat(L"</b>", 100000), 0},
        {"unclosed_tags_100000", Repeat(L"<i><u><font color=red>", 30000), 0},
        {"lone_angles", Repeat(L"<", 100000), 0},
        {"escaped_angles", Repeat(L"<<table", 30000), 0},
        {"entities_bad", Repeat(L"&#999999999;&#x7FFFFFFF;&#-1;&;&&", 10000), 0},
        {"attributes_long", L"<font color=\"" + std::wstring(100000, L'#') + L"\">x", 0},
        {"links_many", Repeat(L"<a href=x>l</a>", 30000), 300},
        {"background_tiny_tiles", L"<table width=16384 height=16384 background=\"file:%BMPFILE%\"><tr><td>x", 0},
    };
    for (const wchar_t* effect : kEffects)
        cases.push_back({std::string("effect_huge_") + std::string(effect, effect + wcslen(effect)),
                         std::wstring(L"<table width=16384 height=16384 bgeffect=") + effect +
                             L"><tr><td width=16384 height=16384 bgeffect=" + effect + L">x",
                         0});
    return cases;
}

std::vector<MarkupCase> MutatedMarkupCases(unsigned seed, int count)
{
    std::vector<std::wstring> seeds(std::begin(kOrdinary), std::end(kOrdinary));
    for (const MarkupCase& c : HostileMarkupCases())
        if (c.text.size() < 2000)
            seeds.push_back(c.text);
    static const wchar_t* const kPieces[] = {L"<table>", L"</table>", L"<tr>", L"</tr>", L"<td>", L"</td>",
                                             L"<td colspan=", L" rowspan=", L" width=", L"%", L"<br>",
                                             L"<hr size=", L"<font size=", L"&", L";", L"<", L">", L"\"",
                                             L"99999999", L"-2147483648", L"4294967295", L" ", L"<bmp handle=%BMP%"};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    std::vector<MarkupCase> out;
    for (int i = 0; i < count; ++i) {
        std::wstring text = seeds[pick(seeds.size())];
        const int edits = 1 + static_cast<int>(pick(8));
        for (int e = 0; e < edits; ++e) {
            const size_t at = text.empty() ? 0 : pick(text.size() + 1);
            switch (pick(6)) {
            case 0: text.insert(at, kPieces[pick(sizeof(kPieces) / sizeof(kPieces[0]))]); break;
            case 1: if (!text.empty()) text.erase(at, 1 + pick(16)); break;
            case 2: {   // repeat a slice many times
                const size_t length = 1 + pick(24);
                const std::wstring slice = text.substr(at, length);
                std::wstring many;
                for (size_t k = 0, n = 1 + pick(2000); k < n; ++k)
                    many += slice;
                text.insert(at, many);
                break;
            }
            case 3: text.insert(at, 1, static_cast<wchar_t>(1 + pick(0xFFFE))); break;
            case 4: {   // splice another seed in
                const std::wstring& other = seeds[pick(seeds.size())];
                text.insert(at, other.substr(pick(other.size() + 1)));
                break;
            }
            default: {   // blow a digit up into a huge number
                const size_t digit = text.find_first_of(L"0123456789", at);
                if (digit != std::wstring::npos)
                    text.insert(digit, L"9999999");
                break;
            }
            }
        }
        out.push_back({"mutation_" + std::to_string(i), text, pick(3) == 0 ? 0 : static_cast<int>(1 + pick(600))});
    }
    return out;
}

namespace {
std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}
}

std::wstring WithBitmap(const std::wstring& text, const std::wstring& handle, const std::wstring& file,
                        const std::wstring& iconFile)
{
    return ReplaceAll(ReplaceAll(ReplaceAll(text, L"%ICOFILE%", iconFile), L"%BMPFILE%", file), L"%BMP%", handle);
}

namespace {
// A 16 x 16 icon of 32-bit colour, opaque, in the .ico file format.
bool WriteIconFile(const std::wstring& path)
{
    const int side = 16;
    const DWORD pixels = side * side * 4;
    const DWORD mask = side * 4;   // rows of 1 bit per pixel, each padded to 32 bits
    std::vector<BYTE> data(6 + 16 + sizeof(BITMAPINFOHEADER) + pixels + mask, 0);
    BYTE* at = data.data();
    at[2] = 1;   // an icon
    at[4] = 1;   // one image
    BYTE* entry = at + 6;
    entry[0] = entry[1] = side;
    entry[4] = 1;    // planes
    entry[6] = 32;   // bits per pixel
    const DWORD size = sizeof(BITMAPINFOHEADER) + pixels + mask;
    const DWORD offset = 6 + 16;
    memcpy(entry + 8, &size, 4);
    memcpy(entry + 12, &offset, 4);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = side;
    header.biHeight = 2 * side;   // colour and mask
    header.biPlanes = 1;
    header.biBitCount = 32;
    memcpy(at + offset, &header, sizeof(header));
    DWORD* colour = reinterpret_cast<DWORD*>(at + offset + sizeof(header));
    for (int i = 0; i < side * side; ++i)
        colour[i] = 0xFF2060C0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == data.size();
}
}

PictureFixtures::PictureFixtures()
{
    bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    handle = std::to_wstring(reinterpret_cast<UINT_PTR>(bitmap));
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    file = std::wstring(folder) + L"hostile_tile_" + std::to_wstring(GetCurrentProcessId()) + L".bmp";
    CDibBitmap dib;
    dib.Create(1, 1, 24);
    dib.Save(file.c_str());
    iconFile = std::wstring(folder) + L"hostile_icon_" + std::to_wstring(GetCurrentProcessId()) + L".ico";
    WriteIconFile(iconFile);
}

PictureFixtures::~PictureFixtures()
{
    DeleteObject(bitmap);
    DeleteFileW(file.c_str());
    DeleteFileW(iconFile.c_str());
}

void PrepareAndDraw(CHtmlDrawer& drawer, HDC dc, const std::wstring& text, int maxWidth)
{
    SIZE size = {0, 0};
    drawer.SetMaxWidth(maxWidth);
    drawer.PrepareOutput(dc, text.c_str(), &size);
    RECT measured = {0, 0, size.cx, size.cy};
    drawer.DrawPreparedOutput(dc, &measured);
    RECT fixed = {10, 10, 310, 210};
    drawer.DrawPreparedOutput(dc, &fixed);
}
