#include "uilib/skin/SkinLayout.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "uilib/skin/GradientFill.h"
#include "uilib/skin/Profile.h"
#include "uilib/skin/RegionTools.h"
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

// Four-integer values are written left, right, top, bottom; the RECT holds them by meaning.
bool GetSides(CProfileReader& r, const char* key, RECT* out)
{
    RECT raw;
    bool present = r.GetRect(key, &raw);
    *out = RECT{raw.left, raw.right, raw.top, raw.bottom};
    return present;
}

// Bounds of the frame's thicknesses in pixels: a shadow or sizing border is never wider.
const LONG kMaxShadowThickness = 255;
const LONG kMaxSizingThickness = 1024;

LONG Clamp(LONG v, LONG low, LONG high)
{
    return v < low ? low : (v > high ? high : v);
}

// A part's rectangle (x, y, cx, cy) cut to the skin image: values past it make the edge arithmetic
// overflow and the tiled edges countless.
RECT ClampToImage(const RECT& source, SIZE image)
{
    RECT r;
    r.left = Clamp(source.left, 0, image.cx);
    r.top = Clamp(source.top, 0, image.cy);
    r.right = Clamp(source.right, 0, image.cx - r.left);
    r.bottom = Clamp(source.bottom, 0, image.cy - r.top);
    return r;
}

void ClampSides(RECT* sides, LONG high)
{
    *sides = RECT{Clamp(sides->left, 0, high), Clamp(sides->top, 0, high), Clamp(sides->right, 0, high),
                  Clamp(sides->bottom, 0, high)};
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
    for (CSkinImgStrech*& piece : m_inner) {
        delete piece;
        piece = nullptr;
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
    GetSides(r, "Shadow.Thickness", &m_shadowThickness);
    if (!GetSides(r, "ThickFrame.SizingThickness", &m_sizingThickness))
        m_sizingThickness = RECT{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME),
                                 GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    if (!GetSides(r, "ThickFrame.SizingCorners", &m_sizingCorners))
        m_sizingCorners = RECT{GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CYSIZE),
                               GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CYSIZE)};

    ClampSides(&m_shadowThickness, kMaxShadowThickness);
    ClampSides(&m_sizingThickness, kMaxSizingThickness);
    ClampSides(&m_sizingCorners, kMaxSizingThickness);
    SIZE imageSize;
    image.GetSize(&imageSize);
    const LONG imageSide = std::max(imageSize.cx, imageSize.cy);

    RECT cornerMargins[4] = {};
    for (int i = 0; i < kPartCount; ++i) {
        int id = kFirstPartId - i;
        char key[64];
        snprintf(key, sizeof(key), "%s.SizingMargins", kPartNames[i]);
        CSkinImg* part;
        if (IsCorner(i) || stretchMiddle) {
            auto* stretch = new CSkinImgStrech(frame, id);
            RECT margins;
            GetSides(r, key, &margins);
            ClampSides(&margins, imageSide);
            stretch->SetMargins(margins);
            if (IsCorner(i))
                cornerMargins[i / 2] = margins;
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
        source = ClampToImage(source, imageSize);
        part->SetSource(source);
        part->SetRect(source);
        m_design[i] = RECT{source.left, source.top, source.left + source.right, source.top + source.bottom};
        if (!m_translucent && source.right > 0 && source.bottom > 0)
            part->SetRegion(image.CreateRegion(&source, 255));
        m_parts[i] = part;
    }
    CutInnerPieces(frame, image, cornerMargins);
    return true;
}

void CSkinLayout::CutInnerPieces(ISkinFrame* frame, Glazier::CSkin& image, const RECT margins[4])
{
    // The corner order of the parts (TopLeft, TopRight, BottomRight, BottomLeft) is the inner order.
    const int L = BorderLeft(), T = BorderTop(), R = BorderRight(), B = BorderBottom();
    for (int k = 0; k < kInnerCount; ++k) {
        RECT corner = m_parts[k * 2]->Source();
        bool left = k == kInnerTopLeft || k == kInnerBottomLeft;
        bool top = k == kInnerTopLeft || k == kInnerTopRight;
        int side = left ? L : R, edge = top ? T : B;
        if (corner.right <= side || corner.bottom <= edge)
            continue;
        RECT source = {corner.left + (left ? side : 0), corner.top + (top ? edge : 0), corner.right - side,
                       corner.bottom - edge};
        // Margins left, right, top, bottom: the cut sides lose the cut thickness, the others are
        // capped by the piece.
        RECT m = margins[k];
        if (left)
            m.left = std::max<LONG>(0, m.left - side), m.right = std::min(m.right, source.right);
        else
            m.right = std::max<LONG>(0, m.right - side), m.left = std::min(m.left, source.right);
        if (top)
            m.top = std::max<LONG>(0, m.top - edge), m.bottom = std::min(m.bottom, source.bottom);
        else
            m.bottom = std::max<LONG>(0, m.bottom - edge), m.top = std::min(m.top, source.bottom);
        auto* piece = new CSkinImgStrech(frame, kFirstInnerId - 2 * k);
        piece->SetSource(source);
        piece->SetMargins(m);
        piece->SetRect(RECT{0, 0, source.right, source.bottom});
        piece->SetRegion(image.CreateRegion(&source, 255));
        m_inner[k] = piece;
        m_hasInner = true;
    }
    PlaceInnerPieces();
}

void CSkinLayout::PlaceInnerPieces()
{
    const int L = BorderLeft(), T = BorderTop();
    for (int k = 0; k < kInnerCount; ++k) {
        CSkinImgStrech* piece = m_inner[k];
        if (!piece)
            continue;
        RECT r = piece->Rect();
        RECT corner = m_parts[k * 2]->Rect();
        r.left = (k == kInnerTopRight || k == kInnerBottomRight) ? corner.left - L : 0;
        r.top = (k == kInnerBottomRight || k == kInnerBottomLeft) ? corner.top - T : 0;
        piece->SetRect(r);
    }
}

CSkinImgStrech* CSkinLayout::InnerPieceById(int id) const
{
    for (CSkinImgStrech* piece : m_inner)
        if (piece && piece->Id() == id)
            return piece;
    return nullptr;
}

HRGN CSkinLayout::GetRegion(int W, int H)
{
    Place(W, H);
    return RegionAsPlaced(W, H);
}

HRGN CSkinLayout::RegionAsPlaced(int W, int H)
{
    int l = BorderLeft(), t = BorderTop(), r = W - BorderRight(), b = H - BorderBottom();
    HRGN region = (r > l && b > t) ? CreateRectRgn(l, t, r, b) : CreateRectRgn(0, 0, 0, 0);
    for (CSkinImg* part : m_parts) {
        if (!part || part->Rect().right <= 0 || part->Rect().bottom <= 0)
            continue;
        if (HRGN piece = part->GetRegion()) {
            CombineRgn(region, region, piece, RGN_OR);
            DeleteObject(piece);
        }
    }
    // A shape of thousands of rectangles is no frame's outline: it only makes every resize and
    // paint of the window crawl. Such a window keeps its whole rectangle.
    if (GetRegionData(region, 0, nullptr) / sizeof(RECT) > static_cast<DWORD>(kMaxWindowRegionRects))
        SetRectRgn(region, 0, 0, W, H);
    return region;
}

void CSkinLayout::DrawInnerPieces(HDC dc, HRGN region)
{
    for (CSkinImgStrech* piece : m_inner) {
        if (!piece)
            continue;
        piece->Draw(dc, false);
        if (!region)
            continue;
        if (HRGN own = piece->GetRegion()) {
            CombineRgn(region, region, own, RGN_OR);
            DeleteObject(own);
        }
    }
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
    PlaceInnerPieces();
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
