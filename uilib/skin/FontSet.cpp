#include "uilib/skin/FontSet.h"

#include <cstdlib>

CFontSet::CFontSet(HFONT font, bool owned)
{
    SetFont(font, owned);
}

CFontSet::~CFontSet()
{
    Release();
}

void CFontSet::Release()
{
    for (int i = 1; i < kVariants; ++i) {
        if (m_fonts[i])
            DeleteObject(m_fonts[i]);
        m_fonts[i] = nullptr;
    }
    if (m_owned && m_fonts[0])
        DeleteObject(m_fonts[0]);
    m_fonts[0] = nullptr;
    m_owned = false;
}

void CFontSet::SetFont(HFONT font, bool owned)
{
    Release();
    if (!font) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        owned = false;
    }
    m_fonts[0] = font;
    m_owned = owned;
    LOGFONTW lf = {};
    GetObjectW(font, sizeof(lf), &lf);
    m_height = abs(lf.lfHeight);
}

HFONT CFontSet::GetFont(UINT style)
{
    style &= kVariants - 1;
    if (style == 0 || m_fonts[style])
        return m_fonts[style];
    LOGFONTW lf = {};
    GetObjectW(m_fonts[0], sizeof(lf), &lf);
    lf.lfWeight = (style & 1) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & 2) ? TRUE : FALSE;
    lf.lfUnderline = (style & 4) ? TRUE : FALSE;
    lf.lfQuality = (style & 8) ? 5 /* CLEARTYPE_QUALITY */ : DEFAULT_QUALITY;
    m_fonts[style] = CreateFontIndirectW(&lf);
    return m_fonts[style] ? m_fonts[style] : m_fonts[0];
}

namespace {

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool CFontSet::SetFace(const char* face, int points)
{
    if (!face || !*face)
        return false;
    LOGFONTA query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(query.lfFaceName, face, LF_FACESIZE);  // at most 31 characters
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (!found)
        return false;
    LOGFONTA lf = {};
    GetObjectA(m_fonts[0], sizeof(lf), &lf);
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    if (points)
        lf.lfHeight = -MulDiv(dpi, points, 72);
    HFONT font = CreateFontIndirectA(&lf);
    if (!font)
        return false;
    SetFont(font, true);
    return true;
}
