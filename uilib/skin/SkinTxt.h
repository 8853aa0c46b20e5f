#pragma once
#include "uilib/skin/FontSet.h"
#include "uilib/skin/Gradient.h"
#include "uilib/skin/SkinBase.h"

namespace FWSkin {

constexpr DWORD kStyleMultiLine = kStyleClass1;
constexpr DWORD kStyleCenterText = kStyleClass2;
constexpr COLORREF kDefaultTextColor = 0x010101;
constexpr int kShadowOffset = 2;

// A text drawn in the element's font and colours, optionally with a shadow.
class CSkinTxt : public CSkinBase {
public:
    CSkinTxt(ISkinFrame* frame, int id);
    ~CSkinTxt() override;

    void Draw(HDC dc, bool withBackground) override;

    void SetText(const wchar_t* text);
    const wchar_t* Text() const { return m_text ? m_text : L""; }
    // Points: 0 keeps the font; otherwise a font of that size replaces the base.
    void SetTextSize(int points);
    bool SetFace(const char* face) { return m_fonts.SetFace(face, 0); }
    SIZE Measure();

    COLORREF color = kDefaultTextColor;
    COLORREF shadow = kNoColor;
    int attributes = 0;

    HFONT Font() { return m_fonts.GetFont(static_cast<UINT>(attributes)); }
    int TextSize() const { return m_points; }

protected:
    // Selects the font, clips to the rectangle; the caller restores with RestoreDC(dc, -1).
    RECT PrepareDc(HDC dc);
    UINT Format() const;

    wchar_t* m_text = nullptr;
    CFontSet m_fonts;
    int m_points = 0;
};

}  // namespace FWSkin
