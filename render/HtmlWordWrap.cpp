// Word wrap: how much of a text piece goes on the current line.
#include "render/HtmlDrawer.h"
#include <algorithm>
#include <cwctype>
#include <vector>

namespace {
const wchar_t kBreakCharacters[] = L" -.,!:;)}]?";
const int kFirstProbe = 16;

bool IsBreak(wchar_t c)
{
    return c != 0 && std::wcschr(kBreakCharacters, c) != nullptr;
}

bool IsBlank(wchar_t c)
{
    return std::iswspace(c) || std::iswblank(c);
}

SIZE ExtentOf(HDC dc, const wchar_t* text, int count)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, count, &size);
    return size;
}

// The length of a prefix of text wider than room, or count + 1 when the whole text fits. Prefixes
// grow by doubling, so a long word costs about what fits on a line, not its whole length.
int FirstWiderPrefix(HDC dc, const wchar_t* text, int count, int room)
{
    long long probe = kFirstProbe;
    for (;;) {
        const int n = static_cast<int>(std::min<long long>(count, probe));
        if (ExtentOf(dc, text, n).cx > room)
            return n;
        if (n == count)
            return count + 1;
        probe *= 2;
    }
}
}

SIZE CHtmlDrawer::BoundedExtent(const wchar_t* text, int count, int room, std::vector<int>* prefixes) const
{
    // A narrow room needs few characters to be exceeded: measuring more only costs.
    const int average = std::max(1, static_cast<int>(m_textMetric.tmAveCharWidth));
    long long probe = std::max(2, std::min(kFirstProbe, room / average + 2));
    for (;;) {
        const int n = static_cast<int>(std::min<long long>(count, probe));
        SIZE size = {0, 0};
        // The widths of every prefix come with the same measurement: the word wrap needs them next.
        prefixes->resize(static_cast<size_t>(std::max(n, 1)));
        GetTextExtentExPointW(m_dc, text, n, 0, nullptr, prefixes->data(), &size);
        prefixes->resize(static_cast<size_t>(n));
        if (size.cx > room || n == count)
            return size;
        probe *= 2;
    }
}

int CHtmlDrawer::WrapAt(const CMarkupString& text, int start, int lineWidth, int* available, int* headLength)
{
    return WrapAt(text, start, lineWidth, available, headLength, nullptr);
}

int CHtmlDrawer::WrapAt(const CMarkupString& text, int start, int lineWidth, int* available, int* headLength,
                        const std::vector<int>* known)
{
    const wchar_t* s = text.c_str() + start;
    const int length = text.Length() - start;
    const int room = *available;
    if (length <= 0) {
        *headLength = 0;
        *available = 0;
        return start;
    }
    // Break characters at or past `over` cannot be candidates: the prefix up to them is too wide.
    // The width of every prefix up to the limit in one measurement: measuring each candidate
    // from the line's start made long lines of short words quadratic. A caller that measured the
    // first prefix wider than the room hands its widths over.
    std::vector<int> measured;
    const std::vector<int>* widths = known;
    int over;
    if (known && !known->empty() && static_cast<int>(known->size()) <= length && known->back() > room) {
        over = static_cast<int>(known->size());
    } else {
        over = FirstWiderPrefix(m_dc, s, length, room);
        const int count = std::min(over, length);
        measured.assign(static_cast<size_t>(count) + 1, 0);
        SIZE all = {0, 0};
        GetTextExtentExPointW(m_dc, s, count, 0, nullptr, measured.data(), &all);
        widths = &measured;
    }
    const int limit = std::min(over, length);
    const std::vector<int>& ends = *widths;
    auto prefixWidth = [&](int n) { return n <= 0 ? 0 : ends[static_cast<size_t>(n) - 1]; };
    int remembered = 0;
    int search = 1;   // a break character at index 0 is never a candidate
    while (search < limit) {
        int breakAt = search;
        while (breakAt < limit && !IsBreak(s[breakAt]))
            ++breakAt;
        if (breakAt >= limit || prefixWidth(breakAt) > room)
            break;
        remembered = breakAt;
        search = breakAt + 1;
    }
    if (remembered > 0) {
        int head = remembered + 1;
        while (head > 0 && IsBlank(s[head - 1]))
            --head;
        int rest = remembered + 1;
        while (rest < length && IsBlank(s[rest]))
            ++rest;
        *headLength = head;
        *available = prefixWidth(head);
        return start + rest;
    }
    if (room == lineWidth) {
        // The word alone is too long for the line: cut it by characters, at least one. The longest
        // prefix that fits is found by halving between one character and the first too wide.
        int head = length;
        if (over <= length) {
            int fits = 1, wide = over;
            while (wide - fits > 1) {
                const int middle = fits + (wide - fits) / 2;
                if ((middle < limit ? prefixWidth(middle) : ExtentOf(m_dc, s, middle).cx) > room)
                    wide = middle;
                else
                    fits = middle;
            }
            head = fits;
        }
        *headLength = head;
        *available = head <= limit ? prefixWidth(head) : ExtentOf(m_dc, s, head).cx;
        return start + head;
    }
    *headLength = 0;
    *available = 0;
    return start;
}

void CHtmlDrawer::WrapLine(CMarkupString* head, CMarkupString& text, int lineWidth, int* available)
{
    int headLength = 0;
    const int rest = WrapAt(text, 0, lineWidth, available, &headLength);
    *head = text.Left(headLength);
    text = text.Mid(rest);
}
