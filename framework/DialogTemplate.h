#pragma once
#include <windows.h>
#include <vector>

// A dialog template in memory without controls, no menu, the default dialog class and no font
// (no DS_SETFONT): the header and caption that DialogBoxIndirectParam reads. Units are dialog units.
// The vector's data() is the DLGTEMPLATE.
class CDialogTemplate
{
public:
    CDialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, const wchar_t* caption);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    std::vector<DWORD> m_words;   // DWORD storage keeps the template DWORD-aligned
};
