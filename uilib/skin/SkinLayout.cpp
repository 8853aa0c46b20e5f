#include "uilib/skin/SkinLayout.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "uilib/skin/GradientFill.h"
#include "uilib/skin/Profile.h"
#include "uilib/skin/Skin.h"
#include "uilib/skin/SkinImgStrech.h"
#include "uilib/skin/SkinImgTile.h"

namespace FWSkin {

namespace {

const char* const kPartNames[CSkinLayout::kPartCount] = {"TopLeft",     "TopMiddle",    "TopRight",
                                                         "MiddleRight", "BottomRight",  "BottomMiddle",
                                                         "BottomLeft",  "MiddleLeft"};

bool IsCorner(int index)
{
    return index % 2 == 0;
}

}  // namespace

const char* CSkinLayout::PartName(int index)
{
    return index >= 0 && index < kPartCount ? kPartNames[index] : "";
}

CSkinLayout::~CSkinLayout()
{
    for (CSkinImg*& part : m_parts) {
        delete part;
        part = nullptr;
    }
}

bool CSkinLayout::Load(ISkinFrame* frame, CProfileReader& r, Glazier::CSkin& image)
{
    if (m_kind != 1 && m_kind != 2)
        return false;
    if (!r.SelectSection(m_kind == 1 ? "Framework" : "Framework.FullScreen"))
        return false;
    const char* styleValue = r.GetString("Style");
    std::string style = styleValue ? styleValue : "";
    auto styleHas = [&](const char* word) { return StrStrIA(style.c_str(), word) != nullptr; };
    m_translucent = styleHas("Translucent");
    bool stretchMiddle = styleHas("StretchMiddle");

    r.GetGradientEx(&m_background, "Background", 0, 0, false);
    r.GetRect("Shadow.Thickness", &m_shadowThickness);
    if (!r.GetRect("ThickFrame.SizingThickness", &m_sizingThickness))
        m_sizingThickness = RECT{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CXFRAME),
                                 GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CYFRAME)};
    if (!r.GetRect("ThickFrame.SizingCorners", &m_sizingCorners))
        m_sizingCorners = RECT{GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CXSIZE),
                               GetSystemMetrics(SM_CYSIZE), GetSystemMetrics(SM_CYSIZE)};

    for (int i = 0; i < kPartCount; ++i) {
        int id = kFirstPartId - i;
        char key[64];
        snprintf(key, sizeof(key), "%s.SizingMargins", kPartNames[i]);
        CSkinImg* part;
        if (IsCorner(i) || stretchMiddle) {
            auto* stretch = new CSkinImgStrech(frame, id);
            RECT margins;
            r.GetRect(key, &margins);
            stretch->SetMargins(margins);
            part = stretch;
        } else if ((i == kMiddleLeft && styleHas("VGradientMiddleLeft")) ||
                   (i == kMiddleRight && styleHas("VGradientMiddleRight"))) {
            auto* gradient = new CSkinImgTileGradient(frame, id);
            COLORREF pair[2] = {kNoColor, kNoColor};
            r.GetColorPair(i == kMiddleLeft ? "MiddleLeft.Background" : "MiddleRight.Background", pair);
            gradient->SetColors(pair[0], pair[1]);
            part = gradient;
        } else {
            part = new CSkinImgTile(frame, id);
        }
        RECT source;
        r.GetRect(kPartNames[i], &source);
        part->SetSource(source);
        part->SetRect(source);
        m_design[i] = RECT{source.left, source.top, source.left + source.right, source.top + source.bottom};
        if (!m_translucent && source.right > 0 && source.bottom > 0)
            part->SetRegion(image.CreateRegion(&source, 255));
        m_parts[i] = part;
    }
    return true;
}

CSkinImg* CSkinLayout::PartAt(POINT p) const
{
    for (int i = 0; i < kPartCount; ++i)
        if (m_parts[i] && PtInRect(&m_design[i], p))
            return m_parts[i];
    return nullptr;
}

RECT CSkinLayout::DesignRect(const CSkinBase* part) const
{
    for (int i = 0; i < kPartCount; ++i)
        if (m_parts[i] == part)
            return m_design[i];
    return RECT{};
}

void CSkinLayout::Place(int W, int H)
{
    auto src = [&](int i) { return m_parts[i]->Source(); };
    RECT tl = src(kTopLeft), tm = src(kTopMiddle), tr = src(kTopRight), mr = src(kMiddleRight);
    RECT br = src(kBottomRight), bm = src(kBottomMiddle), bl = src(kBottomLeft), ml = src(kMiddleLeft);
    m_parts[kTopLeft]->SetRect(RECT{0, 0, tl.right, tl.bottom});
    m_parts[kTopMiddle]->SetRect(RECT{tl.right, 0, W - tl.right - tr.right, tm.bottom});
    m_parts[kTopRight]->SetRect(RECT{W - tr.right, 0, tr.right, tr.bottom});
    m_parts[kMiddleRight]->SetRect(RECT{W - mr.right, tr.bottom, mr.right, H - tr.bottom - br.bottom});
    m_parts[kBottomRight]->SetRect(RECT{W - br.right, H - br.bottom, br.right, br.bottom});
    m_parts[kBottomMiddle]->SetRect(RECT{bl.right, H - bm.bottom, W - bl.right - br.right, bm.bottom});
    m_parts[kBottomLeft]->SetRect(RECT{0, H - bl.bottom, bl.right, bl.bottom});
    m_parts[kMiddleLeft]->SetRect(RECT{0, tl.bottom, ml.right, H - tl.bottom - bl.bottom});
}

void CSkinLayout::Draw(HDC dc, const RECT* area)
{
    if (area)
        FillGradientEx(dc, &m_background, area);
    for (CSkinImg* part : m_parts)
        if (part)
            part->Draw(dc, false);
}

int CSkinLayout::BorderLeft() const
{
    int w = std::min(m_parts[kTopLeft]->Source().right, m_parts[kBottomLeft]->Source().right);
    int edge = m_parts[kMiddleLeft]->Source().right;
    return edge > 0 ? std::min(edge, w) : w;
}

int CSkinLayout::BorderTop() const
{
    int h = std::min(m_parts[kTopLeft]->Source().bottom, m_parts[kTopRight]->Source().bottom);
    int edge = m_parts[kTopMiddle]->Source().bottom;
    return edge > 0 ? std::min(edge, h) : h;
}

int CSkinLayout::BorderRight() const
{
    int w = std::min(m_parts[kTopRight]->Source().right, m_parts[kBottomRight]->Source().right);
    int edge = m_parts[kMiddleRight]->Source().right;
    return edge > 0 ? std::min(edge, w) : w;
}

int CSkinLayout::BorderBottom() const
{
    int h = std::min(m_parts[kBottomLeft]->Source().bottom, m_parts[kBottomRight]->Source().bottom);
    int edge = m_parts[kBottomMiddle]->Source().bottom;
    return edge > 0 ? std::min(edge, h) : h;
}

}  // namespace FWSkin
