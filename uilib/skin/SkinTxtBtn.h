#pragma once
#include "uilib/skin/SkinBtnBase.h"
#include "uilib/skin/SkinTxt.h"

namespace FWSkin {

// A button of three pictures (Left, stretched Middle, Right) per state with a centred caption.
class CSkinTxtBtn : public CSkinBtnBase {
public:
    enum StateIndex { kNormal, kHot, kPushed, kDisabled, kStateCount };
    struct StateLook {
        RECT left = {}, middle = {}, right = {};  // source rectangles, x, y, cx, cy
        COLORREF color = kDefaultTextColor;
        COLORREF shadow = kNoColor;
        int attributes = 0;
        int size = 0;
        bool present = false;
    };

    CSkinTxtBtn(ISkinFrame* frame, int id);

    void Draw(HDC dc, bool withBackground) override;
    void Layout(int frameCx, int frameCy) override;
    void Unanchor() override;

    // Stores and measures the caption and centres it between the ends.
    void SetCaption(const wchar_t* caption);
    const wchar_t* Caption() const { return m_caption.Text(); }
    // The caption's rectangle relative to the button (x, y, cx, cy).
    const RECT& CaptionRect() const { return m_captionRect; }
    SIZE MeasureCaption();

    StateLook looks[kStateCount];

private:
    void ApplyLook(const StateLook& look);
    // The caption element at its place in the button (the button keeps its own position).
    void PlaceCaption();
    StateIndex VisibleIndex() const;

    CSkinTxt m_caption;
    RECT m_captionRect = {};
};

}  // namespace FWSkin
