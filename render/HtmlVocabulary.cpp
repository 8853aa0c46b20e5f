// The markup's vocabulary: tags, entities, colour names, value syntax and the scanning helpers.
#include "render/HtmlDrawer.h"
#include "render/MarkupLimits.h"
#include "render/MarkupTagIndex.h"
#include <cwctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
struct NamedColour { const wchar_t* name; COLORREF colour; };

#define HEX(rgb) RGB(((rgb) >> 16) & 255, ((rgb) >> 8) & 255, (rgb) & 255)
const NamedColour kHtmlColours[] = {
    {L"aqua", HEX(0x00FFFF)}, {L"black", HEX(0x000000)}, {L"blue", HEX(0x0000FF)}, {L"brown", HEX(0xA52A2A)},
    {L"cyan", HEX(0x00FFFF)}, {L"gold", HEX(0xFFD700)}, {L"gray", HEX(0x808080)}, {L"green", HEX(0x008000)},
    {L"magenta", HEX(0xFF00FF)}, {L"maroon", HEX(0x800000)}, {L"navy", HEX(0x000080)},
    {L"olive", HEX(0x808000)}, {L"orange", HEX(0xFFA500)}, {L"pink", HEX(0xFFC0CB)},
    {L"purple", HEX(0x800080)}, {L"red", HEX(0xFF0000)}, {L"silver", HEX(0xC0C0C0)}, {L"snow", HEX(0xFFFAFA)},
    {L"violet", HEX(0xEE82EE)}, {L"white", HEX(0xFFFFFF)}, {L"yellow", HEX(0xFFFF00)},
    {L"aliceblue", HEX(0xF0F8FF)}, {L"antiquewhite", HEX(0xFAEBD7)}, {L"aquamarine", HEX(0x7FFFD4)},
    {L"azure", HEX(0xF0FFFF)}, {L"beige", HEX(0xF5F5DC)}, {L"bisque", HEX(0xFFE4C4)},
    {L"blanchedalmond", HEX(0xFFEBCD)}, {L"blueviolet", HEX(0x8A2BE2)}, {L"burlywood", HEX(0xDEB887)},
    {L"cadetblue", HEX(0x5F9EA0)}, {L"chartreuse", HEX(0x7FFF00)}, {L"chocolate", HEX(0xD2691E)},
    {L"coral", HEX(0xFF7F50)}, {L"cornflowerblue", HEX(0x6495ED)}, {L"cornsilk", HEX(0xFFF8DC)},
    {L"crimson", HEX(0xDC143C)}, {L"darkblue", HEX(0x00008B)}, {L"darkcyan", HEX(0x008B8B)},
    {L"darkgoldenrod", HEX(0xB8860B)}, {L"darkgray", HEX(0xA9A9A9)}, {L"darkgreen", HEX(0x006400)},
    {L"darkkhaki", HEX(0xBDB76B)}, {L"darkmagenta", HEX(0x8B008B)}, {L"darkolivegreen", HEX(0x556B2F)},
    {L"darkorange", HEX(0xFF8C00)}, {L"darkorchid", HEX(0x9932CC)}, {L"darkred", HEX(0x8B0000)},
    {L"darksalmon", HEX(0xE9967A)}, {L"darkseagreen", HEX(0x8FBC8B)}, {L"darkslateblue", HEX(0x483D8B)},
    {L"darkslategray", HEX(0x2F4F4F)}, {L"darkturquoise", HEX(0x00CED1)}, {L"darkviolet", HEX(0x9400D3)},
    {L"deeppink", HEX(0xFF1493)}, {L"deepskyblue", HEX(0x00BFFF)}, {L"dimgray", HEX(0x696969)},
    {L"dodgerblue", HEX(0x1E90FF)}, {L"firebrick", HEX(0xB22222)}, {L"floralwhite", HEX(0xFFFAF0)},
    {L"forestgreen", HEX(0x228B22)}, {L"fuchsia", HEX(0xFF00FF)}, {L"gainsboro", HEX(0xDCDCDC)},
    {L"ghostwhite", HEX(0xF8F8FF)}, {L"goldenrod", HEX(0xDAA520)}, {L"greenyellow", HEX(0xADFF2F)},
    {L"honeydew", HEX(0xF0FFF0)}, {L"hotpink", HEX(0xFF69B4)}, {L"indianred", HEX(0xCD5C5C)},
    {L"indigo", HEX(0x4B0082)}, {L"ivory", HEX(0xFFFFF0)}, {L"khaki", HEX(0xF0E68C)},
    {L"lavender", HEX(0xE6E6FA)}, {L"lavenderblush", HEX(0xFFF0F5)}, {L"lawngreen", HEX(0x7CFC00)},
    {L"lemonchiffon", HEX(0xFFFACD)}, {L"lightblue", HEX(0xADD8E6)}, {L"lightcoral", HEX(0xF08080)},
    {L"lightcyan", HEX(0xE0FFFF)}, {L"lightgoldenrodyellow", HEX(0xFAFAD2)}, {L"lightgreen", HEX(0x90EE90)},
    {L"lightgrey", HEX(0xD3D3D3)}, {L"lightpink", HEX(0xFFB6C1)}, {L"lightsalmon", HEX(0xFFA07A)},
    {L"lightseagreen", HEX(0x20B2AA)}, {L"lightskyblue", HEX(0x87CEFA)}, {L"lightslategray", HEX(0x778899)},
    {L"lightsteelblue", HEX(0xB0C4DE)}, {L"lightyellow", HEX(0xFFFFE0)}, {L"lime", HEX(0x00FF00)},
    {L"limegreen", HEX(0x32CD32)}, {L"linen", HEX(0xFAF0E6)}, {L"mediumaquamarine", HEX(0x66CDAA)},
    {L"mediumblue", HEX(0x0000CD)}, {L"mediumorchid", HEX(0xBA55D3)}, {L"mediumpurple", HEX(0x9370DB)},
    {L"mediumseagreen", HEX(0x3CB371)}, {L"mediumslateblue", HEX(0x7B68EE)},
    {L"mediumspringgreen", HEX(0x00FA9A)}, {L"mediumturquoise", HEX(0x48D1CC)},
    {L"mediumvioletred", HEX(0xC71585)}, {L"midnightblue", HEX(0x191970)}, {L"mintcream", HEX(0xF5FFFA)},
    {L"mistyrose", HEX(0xFFE4E1)}, {L"moccasin", HEX(0xFFE4B5)}, {L"navajowhite", HEX(0xFFDEAD)},
    {L"oldlace", HEX(0xFDF5E6)}, {L"olivedrab", HEX(0x6B8E23)}, {L"orangered", HEX(0xFF4500)},
    {L"orchid", HEX(0xDA70D6)}, {L"palegoldenrod", HEX(0xEEE8AA)}, {L"palegreen", HEX(0x98FB98)},
    {L"paleturquoise", HEX(0xAFEEEE)}, {L"palevioletred", HEX(0xDB7093)}, {L"papayawhip", HEX(0xFFEFD5)},
    {L"peachpuff", HEX(0xFFDAB9)}, {L"peru", HEX(0xCD853F)}, {L"plum", HEX(0xDDA0DD)},
    {L"powderblue", HEX(0xB0E0E6)}, {L"rosybrown", HEX(0xBC8F8F)}, {L"royalblue", HEX(0x4169E1)},
    {L"saddlebrown", HEX(0x8B4513)}, {L"salmon", HEX(0xFA8072)}, {L"sandybrown", HEX(0xF4A460)},
    {L"seagreen", HEX(0x2E8B57)}, {L"seashell", HEX(0xFFF5EE)}, {L"sienna", HEX(0xA0522D)},
    {L"skyblue", HEX(0x87CEEB)}, {L"slateblue", HEX(0x6A5ACD)}, {L"slategray", HEX(0x708090)},
    {L"springgreen", HEX(0x00FF7F)}, {L"steelblue", HEX(0x4682B4)}, {L"tan", HEX(0xD2B48C)},
    {L"teal", HEX(0x008080)}, {L"thistle", HEX(0xD8BFD8)}, {L"tomato", HEX(0xFF6347)},
    {L"turquoise", HEX(0x40E0D0)}, {L"wheat", HEX(0xF5DEB3)}, {L"whitesmoke", HEX(0xF5F5F5)},
    {L"yellowgreen", HEX(0x9ACD32)},
};
#undef HEX

struct SystemColourName { const wchar_t* name; int index; };
const SystemColourName kSystemColours[] = {
    {L"activeborder", COLOR_ACTIVEBORDER}, {L"activecaption", COLOR_ACTIVECAPTION},
    {L"appworkspace", COLOR_APPWORKSPACE}, {L"background", COLOR_BACKGROUND}, {L"buttonface", COLOR_BTNFACE},
    {L"buttonhighlight", COLOR_BTNHIGHLIGHT}, {L"buttonshadow", COLOR_BTNSHADOW},
    {L"buttontext", COLOR_BTNTEXT}, {L"captiontext", COLOR_CAPTIONTEXT}, {L"graytext", COLOR_GRAYTEXT},
    {L"highlight", COLOR_HIGHLIGHT}, {L"highlighttext", COLOR_HIGHLIGHTTEXT},
    {L"inactiveborder", COLOR_INACTIVEBORDER}, {L"inactivecaption", COLOR_INACTIVECAPTION},
    {L"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT}, {L"infobackground", COLOR_INFOBK},
    {L"infotext", COLOR_INFOTEXT}, {L"menu", COLOR_MENU}, {L"menutext", COLOR_MENUTEXT},
    {L"scrollbar", COLOR_SCROLLBAR}, {L"threeddarkshadow", COLOR_3DDKSHADOW}, {L"threedface", COLOR_3DFACE},
    {L"threedhighlight", COLOR_3DHIGHLIGHT}, {L"threedlightshadow", COLOR_3DLIGHT},
    {L"threedshadow", COLOR_3DSHADOW}, {L"window", COLOR_WINDOW}, {L"windowframe", COLOR_WINDOWFRAME},
    {L"windowtext", COLOR_WINDOWTEXT},
};

struct TagEntry { const wchar_t* name; int id; const wchar_t* className; };
const TagEntry kTags[] = {
    {L"b", TagBold, L"bold"}, {L"i", TagItalic, L"italic"}, {L"em", TagItalic, L"italic"},
    {L"u", TagUnderline, L"underline"}, {L"s", TagStrikeout, L"strikeout"},
    {L"strike", TagStrikeout, L"strikeout"}, {L"font", TagFont, L"font"}, {L"hr", TagRule, L""},
    {L"br", TagBreak, L""}, {L"\n", TagBreak, L""}, {L"t", TagTab, L""}, {L"\t", TagTab, L""},
    {L"left", TagLeft, L"left"}, {L"center", TagCenter, L"center"}, {L"right", TagRight, L"right"},
    {L"justify", TagJustify, L"justify"}, {L"baseline", TagBaseline, L"baseline"}, {L"top", TagTop, L"top"},
    {L"vcenter", TagVCenter, L"vcenter"}, {L"middle", TagVCenter, L"vcenter"},
    {L"bottom", TagBottom, L"vcenter"}, {L"bmp", TagBitmap, L""}, {L"icon", TagIcon, L""},
    {L"ilst", TagImageList, L""}, {L"string", TagString, L""}, {L"span", TagSpan, L"span"},
    {L"a", TagLink, L"link"},
};
const wchar_t* const kStyleClassTags[] = {L"body", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"code",
                                          L"pre", L"big", L"small", L"sub", L"sup"};

const int kHtmlFontSizes[7] = {8, 10, 12, 14, 18, 24, 36};

bool IsTokenChar(wchar_t c, BOOL withOperators)
{
    if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'.')
        return true;
    return withOperators && (c == L'+' || c == L'-' || c == L'*' || c == L'/');
}

// Reads an unsigned number with its base by prefix ("0x" hexadecimal, leading "0" octal, else decimal).
unsigned long ReadPrefixedNumber(const CMarkupString& value)
{
    return std::wcstoul(value.c_str(), nullptr, 0);
}

bool IsBlank(wchar_t c)
{
    return std::iswspace(c) || std::iswblank(c);
}
}

void CHtmlDrawer::InitTags()
{
    for (const TagEntry& t : kTags)
        m_tags[t.name] = MarkupTag{t.id, t.className};
    for (const wchar_t* name : kStyleClassTags)
        m_tags[name] = MarkupTag{TagStyleClass, name};
}

void CHtmlDrawer::InitEntities()
{
    m_entities[L"&amp;"] = L"&";
    m_entities[L"&bull;"] = std::wstring(1, wchar_t(0x95));
    m_entities[L"&copy;"] = std::wstring(1, wchar_t(0xA9));
    m_entities[L"&euro;"] = std::wstring(1, wchar_t(0x80));
    m_entities[L"&gt;"] = L">";
    m_entities[L"&iquest;"] = std::wstring(1, wchar_t(0xBF));
    m_entities[L"&lt;"] = L"<<";
    m_entities[L"&nbsp;"] = L" ";
    m_entities[L"&para;"] = std::wstring(1, wchar_t(0xB6));
    m_entities[L"&pound;"] = std::wstring(1, wchar_t(0xA3));
    m_entities[L"&quot;"] = L"\"";
    m_entities[L"&reg;"] = std::wstring(1, wchar_t(0xAE));
    m_entities[L"&trade;"] = std::wstring(1, wchar_t(0x99));
}

void CHtmlDrawer::InitColorNames()
{
    for (const NamedColour& c : kHtmlColours)
        SetColorName(c.name, c.colour);
    for (const SystemColourName& c : kSystemColours)
        SetColorName(c.name, GetSysColor(c.index));
}

void CHtmlDrawer::SetColorName(const wchar_t* name, COLORREF colour)
{
    if (name)
        m_colorNames[name] = colour;
}

void CHtmlDrawer::NormalizeText()
{
    for (const auto& entity : m_entities) {
        size_t at = 0;
        while ((at = m_text.find(entity.first, at)) != std::wstring::npos) {
            m_text.replace(at, entity.first.size(), entity.second);
            at += entity.second.size();
        }
    }
    CMarkupString out;
    out.reserve(m_text.size());
    for (wchar_t c : m_text) {
        if (c == L'\r')
            continue;
        if (c == L'\n' || c == L'\t') {
            if (m_convertNewlines)
                out += c == L'\n' ? L"<br>" : L"<t>";
            continue;
        }
        out += c;
    }
    m_text = out;
}

COLORREF CHtmlDrawer::GetColor(const CMarkupString& value, COLORREF defaultColor) const
{
    if (value.empty())
        return defaultColor;
    if (value[0] == L'#') {
        if (value.size() != 7)
            return defaultColor;
        for (int i = 1; i < 7; ++i)
            if (!std::iswxdigit(value[i]))
                return defaultColor;
        CMarkupString swapped = L"0x" + value.Mid(5, 2) + value.Mid(3, 2) + value.Mid(1, 2);
        return static_cast<COLORREF>(std::wcstoul(swapped.c_str(), nullptr, 16));
    }
    if (value[0] >= L'0' && value[0] <= L'9')
        return static_cast<COLORREF>(ReadPrefixedNumber(value));
    return GetColorByName(value.c_str(), defaultColor);
}

COLORREF CHtmlDrawer::GetColorByName(const wchar_t* name, COLORREF defaultColor) const
{
    if (!m_outputEnabled)
        return m_disabledColor;
    auto found = m_colorNames.find(name ? name : L"");
    return found == m_colorNames.end() ? defaultColor : found->second;
}

int CHtmlDrawer::GetLength(const CMarkupString& value, int defaultValue, BOOL htmlSizes) const
{
    if (value.empty())
        return defaultValue;
    // No length of the text is negative: a minus sign counts for nothing, and a number too big for
    // a length would wrap to a negative one. Both give 0.
    if (value.back() == L'%')
        return std::max(0, MulDiv(defaultValue, std::wcstol(value.c_str(), nullptr, 10), 100));
    CMarkupString v = value;
    if (v[0] == L'+' || v[0] == L'-')
        v = v.Mid(1);
    // In 64 bits: a huge number times the resolution must not wrap to a small or negative size.
    const long long n = std::wcstol(v.c_str(), nullptr, 10);
    const CMarkupString unit = value.size() < 2 ? CMarkupString() : value.Right(2);
    const int dpi = m_dc ? GetDeviceCaps(m_dc, LOGPIXELSY) : 96;
    const auto saturate = [](long long x) { return ClampMarkup(x, 0x7FFFFFFF); };
    if (unit == L"px")
        return saturate(n);
    if (unit == L"ex") {
        SIZE x = {0, 0};
        if (m_dc)
            GetTextExtentPoint32W(m_dc, L"x", 1, &x);
        return saturate(n * x.cy);
    }
    if (unit == L"em")
        return saturate(n * m_textMetric.tmHeight);
    if (unit == L"in")
        return saturate(n * dpi);
    if (unit == L"cm")
        return saturate(static_cast<long long>((n * dpi) / 2.54));
    if (unit == L"mm")
        return saturate(static_cast<long long>((n * dpi) / 25.4));
    if (unit == L"pt")
        return saturate((n * dpi) / 72);
    if (unit == L"pc")
        return saturate((n * dpi) / 6);
    const unsigned long number = ReadPrefixedNumber(v);
    if (htmlSizes && number >= 1 && number <= 7)
        return kHtmlFontSizes[number - 1];
    return number > 0x7FFFFFFFul ? 0 : static_cast<int>(number);
}

int CHtmlDrawer::GetEffect(const CMarkupString& value, int defaultValue) const
{
    if (value.empty())
        return defaultValue;
    if (value == L"transparent")
        return EffectTransparent;
    for (int i = 0; i < 16; ++i)
        if (value == CDrawManager::EffectNames[i])
            return i;
    return GetLength(value, defaultValue, FALSE);
}

MarkupTag CHtmlDrawer::LookupTag(const CMarkupString& name) const
{
    CMarkupString key = !name.empty() && name[0] == L'/' ? name.Mid(1) : name;
    auto found = m_tags.find(key);
    return found == m_tags.end() ? MarkupTag() : found->second;
}

BOOL CHtmlDrawer::SkipToToken(const CMarkupString& text, int& pos, BOOL withOperators)
{
    if (pos < 0)
        pos = 0;
    while (pos < text.Length() && !IsTokenChar(text[pos], withOperators))
        ++pos;
    return pos < text.Length();
}

wchar_t CHtmlDrawer::SkipToAnyOf(const CMarkupString& text, int& pos, const wchar_t* set)
{
    if (pos < 0)
        pos = 0;
    while (pos < text.Length()) {
        if (std::wcschr(set, text[pos]) && text[pos])
            return text[pos];
        ++pos;
    }
    return 0;
}

wchar_t CHtmlDrawer::SkipAnyOf(const CMarkupString& text, int& pos, const wchar_t* set)
{
    if (pos < 0)
        pos = 0;
    while (pos < text.Length() && text[pos] && std::wcschr(set, text[pos]))
        ++pos;
    return pos < text.Length() ? text[pos] : 0;
}

BOOL CHtmlDrawer::ExpectChar(const CMarkupString& text, int& pos, wchar_t c)
{
    SkipAnyOf(text, pos, L" ");
    if (pos < text.Length() && text[pos] == c) {
        ++pos;
        return TRUE;
    }
    return FALSE;
}

int CHtmlDrawer::CountChar(const CMarkupString& text, wchar_t c)
{
    int count = 0;
    for (wchar_t t : text)
        if (t == c)
            ++count;
    return count;
}

CMarkupString CHtmlDrawer::GetWord(const CMarkupString& text, int& pos)
{
    SkipAnyOf(text, pos, L" ");
    const int start = pos;
    SkipToAnyOf(text, pos, L" =");
    return text.Mid(start, pos - start);
}

CMarkupString CHtmlDrawer::GetAttribute(const CMarkupString& text, int& pos, CMarkupString& value)
{
    value.clear();
    if (!SkipToToken(text, pos, FALSE))
        return CMarkupString();
    const int start = pos;
    SkipToAnyOf(text, pos, L" =");
    CMarkupString name = text.Mid(start, pos - start);
    if (!ExpectChar(text, pos, L'='))
        return name;
    SkipAnyOf(text, pos, L" ");
    if (pos < text.Length() && (text[pos] == L'"' || text[pos] == L'\'')) {
        const wchar_t quote = text[pos++];
        const int valueStart = pos;
        while (pos < text.Length() && text[pos] != quote)
            ++pos;
        value = text.Mid(valueStart, pos - valueStart);
    } else {
        const int valueStart = pos;
        while (pos < text.Length() && text[pos] != L' ')
            ++pos;
        value = text.Mid(valueStart, pos - valueStart);
    }
    if (pos < text.Length())
        ++pos;
    return name;
}

CMarkupString CHtmlDrawer::GetValueAfter(const CMarkupString& text, int& pos, wchar_t separator,
                                         const wchar_t* stops)
{
    if (!ExpectChar(text, pos, separator))
        return CMarkupString();
    SkipAnyOf(text, pos, L" ");
    const int start = pos;
    if (pos < text.Length() && text[pos] == L'"') {
        ++pos;
        const int valueStart = pos;
        while (pos < text.Length() && text[pos] != L'"')
            ++pos;
        CMarkupString value = text.Mid(valueStart, pos - valueStart);
        if (pos < text.Length())
            ++pos;
        return value;
    }
    SkipToAnyOf(text, pos, stops);
    return text.Mid(start, pos - start);
}

CMarkupString CHtmlDrawer::GetTagName(const CMarkupString& text, int& pos)
{
    if (!SkipToToken(text, pos, FALSE))
        return CMarkupString();
    const int start = pos;
    SkipToAnyOf(text, pos, L" =");
    return text.Mid(start, pos - start);
}

void CHtmlDrawer::FindTag(const CMarkupString& text, int& pos, const wchar_t* name)
{
    const std::wstring needle = std::wstring(L"<") + name;
    size_t at = pos < 0 ? 0 : static_cast<size_t>(pos);
    while ((at = text.find(needle, at)) != std::wstring::npos) {
        if (at == 0 || text[at - 1] != L'<')
            break;
        ++at;   // the escaped "<<" is a literal
    }
    pos = at == std::wstring::npos ? text.Length() : static_cast<int>(at);
}

void CHtmlDrawer::FindTableEnd(const CMarkupString& text, int& pos)
{
    pos = CMarkupTagIndex(text).TableEnd(pos);
}

void CHtmlDrawer::FindRowEnd(const CMarkupString& text, int& pos)
{
    pos = CMarkupTagIndex(text).RowEnd(pos);
}

void CHtmlDrawer::FindCellEnd(const CMarkupString& text, int& pos)
{
    pos = CMarkupTagIndex(text).CellEnd(pos);
}

CMarkupString CHtmlDrawer::TrimLeft(const CMarkupString& text)
{
    int i = 0;
    while (i < text.Length() && IsBlank(text[i]))
        ++i;
    return text.Mid(i);
}

CMarkupString CHtmlDrawer::TrimRight(const CMarkupString& text)
{
    int n = text.Length();
    while (n > 0 && IsBlank(text[n - 1]))
        --n;
    return text.Left(n);
}
