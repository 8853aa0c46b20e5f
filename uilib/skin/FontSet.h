#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// A base font and its style variants (bits 1 bold, 2 italic, 4 underline, 8 antialiased),
// each made on first use and kept.
class TARNUI_API CFontSet {
public:
    static constexpr int kVariants = 16;

    explicit CFontSet(HFONT font = nullptr, bool owned = false);
    ~CFontSet();
    CFontSet(const CFontSet&) = delete;
    CFontSet& operator=(const CFontSet&) = delete;

    void SetFont(HFONT font, bool owned);
    HFONT GetFont(UINT style = 0);
    // Makes a font of that face (points 0: the base's height) the owned base, when the face exists.
    bool SetFace(const char* face, int points);
    int Height() const { return m_height; }

private:
    void Release();

    bool m_owned = false;
    HFONT m_fonts[kVariants] = {};
    int m_height = 0;
};
