#pragma once
#include "uilib/skin/SkinBtnBase.h"

namespace FWSkin {

// An image button: Normal, Hot, Pushed and Disabled source rectangles of the skin image.
class CSkinBtn : public CSkinBtnBase {
public:
    using CSkinBtnBase::CSkinBtnBase;
    void Draw(HDC dc, bool withBackground) override;

    RECT normal = {}, hot = {}, pushed = {}, disabled = {};

private:
    const RECT& Picture(DWORD state) const;
};

}  // namespace FWSkin
