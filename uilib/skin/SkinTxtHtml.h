#pragma once
#include "uilib/skin/SkinTxt.h"

namespace FWSkin {

// A text drawn as markup by the outside library's DrawHTML (Scrivel.dll, loaded on first use).
class CSkinTxtHtml : public CSkinTxt {
public:
    using CSkinTxt::CSkinTxt;
    void Draw(HDC dc, bool withBackground) override;
};

}  // namespace FWSkin
