// A small stand-in for the outside markup library: a handful of inline tags and entities.
#include "outside/scrivel/Scrivel.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kBold = 1, kItalic = 2, kUnderline = 4;

struct Word {
    std::string text;  // decoded; a single " " is a space
    int style;
    bool lineBreak;
    int width = 0;
};

bool StartsWithNoCase(const char* p, const char* word)
{
    for (; *word; ++p, ++word)
        if (!*p || (*p | 0x20) != (*word | 0x20))
            return false;
    return true;
}

// Splits the markup into words, spaces and breaks with the style each has.
std::vector<Word> Parse(const std::string& markup)
{
    std::vector<Word> words;
    int bold = 0, italic = 0, underline = 0;
    std::string current;
    auto style = [&]() { return (bold > 0 ? kBold : 0) | (italic > 0 ? kItalic : 0) | (underline > 0 ? kUnderline : 0); };
    auto flush = [&]() {
        if (!current.empty())
            words.push_back(Word{current, style(), false});
        current.clear();
    };
    for (size_t i = 0; i < markup.size();) {
        const char* p = markup.c_str() + i;
        char c = *p;
        if (c == '<') {
            size_t close = markup.find('>', i);
            if (close == std::string::npos) {
                current += c;
                ++i;
                continue;
            }
            std::string tag = markup.substr(i + 1, close - i - 1);
            bool end = !tag.empty() && tag[0] == '/';
            std::string name = end ? tag.substr(1) : tag;
            while (!name.empty() && (name.back() == '/' || name.back() == ' '))
                name.pop_back();
            int delta = end ? -1 : 1;
            flush();
            if (StartsWithNoCase(name.c_str(), "br") && name.size() == 2)
                words.push_back(Word{"", style(), true});
            else if (name == "b" || name == "B" || StartsWithNoCase(name.c_str(), "strong"))
                bold += delta;
            else if (name == "i" || name == "I" || StartsWithNoCase(name.c_str(), "em"))
                italic += delta;
            else if (name == "u" || name == "U")
                underline += delta;
            i = close + 1;
            continue;
        }
        if (c == '&') {
            static const struct { const char* name; char ch; } kEntities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", '\xA0'}};
            bool matched = false;
            for (const auto& e : kEntities)
                if (StartsWithNoCase(p, e.name)) {
                    current += e.ch;
                    i += strlen(e.name);
                    matched = true;
                    break;
                }
            if (!matched) {
                current += c;
                ++i;
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            flush();
            if (words.empty() || words.back().text != " ")
                words.push_back(Word{" ", style(), false});
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    flush();
    return words;
}

HFONT FontFor(HFONT base, int style)
{
    LOGFONTA lf = {};
    GetObjectA(base, sizeof(lf), &lf);
    if (style & kBold)
        lf.lfWeight = FW_BOLD;
    if (style & kItalic)
        lf.lfItalic = TRUE;
    if (style & kUnderline)
        lf.lfUnderline = TRUE;
    return CreateFontIndirectA(&lf);
}

struct Line {
    std::vector<const Word*> words;
    int width = 0;
};

}  // namespace

extern "C" int DrawHTML(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format)
{
    if (!dc || !text || !rect)
        return 0;
    std::string markup = length < 0 ? std::string(text) : std::string(text, static_cast<size_t>(length));
    std::vector<Word> words = Parse(markup);

    HFONT base = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    HFONT fonts[8] = {};
    auto font = [&](int style) {
        if (!fonts[style])
            fonts[style] = style ? FontFor(base, style) : base;
        return fonts[style];
    };
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    int lineHeight = tm.tmHeight;
    for (Word& w : words) {
        if (w.lineBreak)
            continue;
        SelectObject(dc, font(w.style));
        SIZE size = {};
        GetTextExtentPoint32A(dc, w.text.c_str(), static_cast<int>(w.text.size()), &size);
        w.width = size.cx;
    }

    bool single = (format & DT_SINGLELINE) != 0;
    bool wrap = (format & DT_WORDBREAK) && !single;
    int maxWidth = rect->right - rect->left;
    std::vector<Line> lines(1);
    for (const Word& w : words) {
        if (w.lineBreak) {
            if (!single)
                lines.emplace_back();
            continue;
        }
        Line& line = lines.back();
        if (w.text == " " && line.words.empty())
            continue;  // no leading space on a line
        if (wrap && w.text != " " && !line.words.empty() && line.width + w.width > maxWidth) {
            while (!line.words.empty() && line.words.back()->text == " ") {
                line.width -= line.words.back()->width;
                line.words.pop_back();
            }
            lines.emplace_back();
        }
        lines.back().words.push_back(&w);
        lines.back().width += w.width;
    }
    int height = static_cast<int>(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines)
            widest = line.width > widest ? line.width : widest;
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
    } else {
        int y = rect->top;
        if (single && (format & DT_VCENTER))
            y += (rect->bottom - rect->top - lineHeight) / 2;
        int oldMode = SetBkMode(dc, TRANSPARENT);
        for (const Line& line : lines) {
            int x = rect->left;
            if (format & DT_CENTER)
                x += (maxWidth - line.width) / 2;
            else if (format & DT_RIGHT)
                x += maxWidth - line.width;
            for (const Word* w : line.words) {
                SelectObject(dc, font(w->style));
                TextOutA(dc, x, y, w->text.c_str(), static_cast<int>(w->text.size()));
                x += w->width;
            }
            y += lineHeight;
        }
        SetBkMode(dc, oldMode);
    }
    SelectObject(dc, base);
    for (int i = 1; i < 8; ++i)
        if (fonts[i])
            DeleteObject(fonts[i]);
    return height;
}
