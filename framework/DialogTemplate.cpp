#include "framework/DialogTemplate.h"

#include <cstring>
#include <cwchar>

CDialogTemplate::CDialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                 const wchar_t* caption)
{
    std::vector<WORD> words;
    DLGTEMPLATE header = {};
    header.style = style & ~DS_SETFONT;
    header.dwExtendedStyle = exStyle;
    header.cdit = 0;
    header.x = x;
    header.y = y;
    header.cx = cx;
    header.cy = cy;
    const WORD* raw = reinterpret_cast<const WORD*>(&header);
    words.assign(raw, raw + sizeof(header) / sizeof(WORD));
    words.push_back(0);   // no menu
    words.push_back(0);   // default dialog class
    for (const wchar_t* c = caption != nullptr ? caption : L""; *c != 0; ++c)
        words.push_back(static_cast<WORD>(*c));
    words.push_back(0);

    m_words.assign((words.size() + 1) / 2, 0);
    std::memcpy(m_words.data(), words.data(), words.size() * sizeof(WORD));
}
