#pragma once
#include <windows.h>

// Background-fill records shared by the description reader (which reads them) and the
// drawing helpers (which paint them). A band colour of -1 means "no band".
struct GRADIENT {
    COLORREF start;
    COLORREF end;
};

struct GRADIENTEX {
    COLORREF start;
    COLORREF end;
    bool horizontal;
    COLORREF band1;
    int band1Size;
    COLORREF band2;
    int band2Size;
};

constexpr COLORREF kNoColor = static_cast<COLORREF>(-1);

// Font style bits, shared by description files and CFontSet.
enum FontStyleBits : unsigned {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontAntialias = 8,
};
