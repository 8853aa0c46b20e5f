// Word wrap: how much of a text piece goes on the current line.
#include "render/HtmlDrawer.h"

namespace {
const wchar_t kBreakCharacters[] = L" -.,!:;)}]?";

int Width(HDC dc, const CMarkupString& text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), text.Length(), &size);
    return size.cx;
}
}

void CHtmlDrawer::WrapLine(CMarkupString* head, CMarkupString& text, int lineWidth, int* available)
{
    const int room = *available;
    int remembered = 0;
    int search = 1;   // a break character at index 0 is never a candidate
    while (search < text.Length()) {
        size_t found = text.find_first_of(kBreakCharacters, static_cast<size_t>(search));
        const int breakAt = found == std::wstring::npos ? text.Length() : static_cast<int>(found);
        if (Width(m_dc, text.Left(breakAt)) > room)
            break;
        if (found == std::wstring::npos)
            break;
        remembered = breakAt;
        search = breakAt + 1;
    }
    if (remembered > 0) {
        *head = TrimRight(text.Left(remembered + 1));
        text = TrimLeft(text.Mid(remembered + 1));
        *available = head->empty() ? 0 : Width(m_dc, *head);
        return;
    }
    if (room == lineWidth) {
        // The word alone is too long for the line: cut it by characters, at least one.
        for (int n = 1; n < text.Length(); ++n) {
            if (Width(m_dc, text.Left(n + 1)) > room) {
                *head = text.Left(n);
                text = text.Mid(n);
                *available = Width(m_dc, *head);
                return;
            }
        }
        *head = text;
        text.clear();
        *available = Width(m_dc, *head);
        return;
    }
    head->clear();
    *available = 0;
}
