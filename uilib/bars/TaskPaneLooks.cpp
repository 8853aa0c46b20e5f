// The task pane's description-file looks: style 2 paints headers and items from the skin image,
// style 3 from the named colour-scheme groups.
#include "uilib/bars/ExplorerBar.h"
#include "uilib/bars/SkinParts.h"
#include "uilib/skin/GradientFill.h"

namespace {

constexpr int kStyle0WidthExtra = 41;
constexpr int kStyle1WidthExtra = 62;
constexpr int kImageWidthExtra = 15;
constexpr int kSchemeWidthExtra = 22;
constexpr int kStyle0HeaderExtra = 17;
constexpr int kStyle1HeaderExtra = 16;
constexpr int kSchemeHeaderWidth = 20;
constexpr int kSchemeHeaderWidthWithIcon = 50;
constexpr int kAutomaticLeftMargin = 4;
constexpr int kImageLeft = 5;
constexpr int kImageTextGap = 10;
constexpr int kTextRightInset = 5;
constexpr int kSchemeCaptionInset = 10;
constexpr int kSchemeIconBox = 30;
constexpr int kSchemeItemTextLeft = 20;
constexpr int kSchemeItemTextRight = 2;
constexpr int kSchemeRadius = 3;
constexpr int kPictogramGap = 10;
constexpr UINT kLineFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;

// A state's parts, or the fallback's when the description leaves the state without any.
const PaneParts& PartsOr(const PaneParts& parts, const PaneParts& fallback)
{
    return HasArea(parts.left) || HasArea(parts.middle) || HasArea(parts.right) ? parts : fallback;
}

void DrawLine(HDC dc, HFONT font, COLORREF colour, const wchar_t* text, RECT area, UINT format)
{
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour & 0xFFFFFF);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text ? text : L"", -1, &area, format);
    SelectObject(dc, old);
}

void FillSchemeLook(HDC dc, const RECT& rect, const SchemeLook& look)
{
    DrawRoundFrame(dc, &rect, kSchemeRadius, look.border, &look.background);
}

}  // namespace

int PaneParts::Height() const
{
    int height = left.bottom;
    height = middle.bottom > height ? middle.bottom : height;
    return right.bottom > height ? right.bottom : height;
}

int CExplorerBar::ItemWidthExtra() const
{
    switch (m_style) {
    case 0: return kStyle0WidthExtra;
    case 2: return m_imageLook.itemImages[kLookNormal].right + kImageWidthExtra;
    case 3: return kSchemeWidthExtra;
    default: return kStyle1WidthExtra;
    }
}

int CExplorerBar::GroupWidthExtra() const
{
    if (m_style == 2) {
        const PaneHeaderParts& parts = m_imageLook.headers[kHeaderCollapsed];
        const int left = parts.leftMargin >= 0 ? parts.leftMargin : parts.left.right + kAutomaticLeftMargin;
        const int right = parts.rightMargin >= 0 ? parts.rightMargin : parts.right.right;
        return left + right;
    }
    if (m_style == 3) {
        for (int s = 0; s < m_schemeGroups.GetCount(); ++s)
            for (const SchemeLook& look : m_schemeGroups[s]->headers)
                if (HasArea(look.icon))
                    return kSchemeHeaderWidthWithIcon;
        return kSchemeHeaderWidth;
    }
    const int header = GetSystemMetrics(SM_CYCAPTION) + 1;
    return header + (m_style == 0 ? kStyle0HeaderExtra : kStyle1HeaderExtra);
}

int CExplorerBar::HeaderTextStyle() const
{
    if (m_style == 2)
        return m_imageLook.headers[kHeaderCollapsed].style;
    if (m_style == 3 && m_schemeGroups.GetCount() > 0)
        return m_schemeGroups[0]->headers[kHeaderCollapsed].style;
    return kFontBold;
}

int CExplorerBar::HeaderState(const CDirectUIGroup* group) const
{
    const bool hot = group->flags & kGroupHot;
    if (group->collapsed)
        return hot ? kHeaderCollapsedHot : kHeaderCollapsed;
    return hot ? kHeaderExpandedHot : kHeaderExpanded;
}

int CExplorerBar::LookState(const CDirectUIItem* item, bool withDisabled) const
{
    const bool pressed = item->m_flags & kItemPressed, hot = item->m_flags & kItemHot;
    if (pressed && hot)
        return kLookSelectedHot;
    if (pressed)
        return kLookSelected;
    if (hot)
        return kLookHot;
    if (withDisabled && (item->m_flags & kItemDisabled))
        return kLookDisabled;
    return kLookNormal;
}

const ColorSchemeGroup* CExplorerBar::SchemeOf(const CDirectUIGroup* group) const
{
    return m_schemeGroups.GetAt(group->colorGroup);
}

void CExplorerBar::PaintImageHeader(HDC dc, CDirectUIGroup* group)
{
    const RECT& h = group->header;
    const int state = HeaderState(group);
    const int plain = group->collapsed ? kHeaderCollapsed : kHeaderExpanded;
    const auto& parts =
        static_cast<const PaneHeaderParts&>(PartsOr(m_imageLook.headers[state], m_imageLook.headers[plain]));
    DrawThreeParts(m_skin, dc, h.left, h.top, h.right, parts.left, parts.middle, parts.right, false);
    RECT caption = h;
    caption.left += parts.leftMargin >= 0 ? parts.leftMargin : parts.left.right + kAutomaticLeftMargin;
    caption.right -= parts.rightMargin >= 0 ? parts.rightMargin : parts.right.right;
    DrawLine(dc, m_headerFonts.GetFont(static_cast<UINT>(parts.style)), parts.text, group->text, caption,
             kLineFormat | DT_NOPREFIX);
}

void CExplorerBar::PaintImageItem(HDC dc, CDirectUIGroup* group, int index)
{
    CDirectUIItem* item = group->items[index];
    const RECT& r = item->m_rect;
    const int kind = !group->headerShown ? kPartsRoot : index == group->items.GetCount() - 1 ? kPartsLast
                                                                                            : kPartsOrdinary;
    const int state = LookState(item, false);
    const PaneParts& ordinary = PartsOr(m_imageLook.items[kPartsOrdinary][state],
                                        m_imageLook.items[kPartsOrdinary][kLookNormal]);
    const PaneParts& parts =
        PartsOr(PartsOr(m_imageLook.items[kind][state], m_imageLook.items[kind][kLookNormal]), ordinary);
    DrawThreeParts(m_skin, dc, r.left, r.top, r.right, parts.left, parts.middle, parts.right, false);

    const bool disabled = item->m_flags & kItemDisabled;
    const RECT& strip = HasArea(m_imageLook.itemImages[state]) ? m_imageLook.itemImages[state]
                                                               : m_imageLook.itemImages[kLookNormal];
    if (item->m_image >= 0 && HasArea(strip)) {
        RECT src = strip;
        src.left += item->m_image * strip.right;
        RECT dst = {r.left + kImageLeft, (r.top + r.bottom - strip.bottom) / 2, strip.right, strip.bottom};
        m_skin.DrawEffect(dc, &dst, &src, disabled ? Glazier::kEffectGrey : item->m_effect, item->m_alpha);
    }
    RECT text = {r.left + m_imageLook.itemImages[kLookNormal].right + kImageTextGap, r.top, r.right - kTextRightInset,
                 r.bottom};
    DrawLine(dc, m_itemFonts.GetFont(static_cast<UINT>(parts.style)),
             disabled ? GetSysColor(COLOR_GRAYTEXT) : parts.text, item->Text(), text, kLineFormat | DT_HIDEPREFIX);
}

void CExplorerBar::PaintSchemeHeader(HDC dc, CDirectUIGroup* group, const ColorSchemeGroup& scheme)
{
    const RECT& h = group->header;
    const SchemeLook& look = scheme.headers[HeaderState(group)];
    FillSchemeLook(dc, h, look);
    RECT caption = {h.left + kSchemeCaptionInset, h.top, h.right - kSchemeCaptionInset, h.bottom};
    if (HasArea(look.icon)) {
        const int box = h.right - kSchemeIconBox;
        RECT src = look.icon;
        RECT dst = {box + (kSchemeIconBox - look.icon.right) / 2, (h.top + h.bottom - look.icon.bottom) / 2,
                    look.icon.right, look.icon.bottom};
        m_skin.Draw(dc, &dst, &src, 255);
        caption.right = box;
    }
    DrawLine(dc, m_headerFonts.GetFont(static_cast<UINT>(look.style)), look.text, group->text, caption,
             kLineFormat | DT_NOPREFIX);
}

void CExplorerBar::PaintSchemeItem(HDC dc, CDirectUIItem* item, const ColorSchemeGroup& scheme)
{
    const SchemeLook& look = scheme.items[LookState(item, true)];
    const RECT& r = item->m_rect;
    FillSchemeLook(dc, r, look);
    RECT text = {r.left + kSchemeItemTextLeft, r.top, r.right - kSchemeItemTextRight, r.bottom};
    DrawLine(dc, m_itemFonts.GetFont(static_cast<UINT>(look.style)), look.text, item->Text(), text,
             kLineFormat | DT_HIDEPREFIX);
}

// The selected item's picture from the pictogram strip, under the groups or at the pane's bottom.
void CExplorerBar::PaintPictogram(HDC dc, int contentHeight)
{
    const RECT& strip = m_imageLook.pictograms;
    if (!m_selected || m_selected->m_image < 0 || !HasArea(strip))
        return;
    RECT client;
    GetClientRect(m_window, &client);
    const int contentBottom = contentHeight - kPictogramGap - m_scroll;
    int y = contentBottom + kPictogramGap;
    if (client.bottom - strip.bottom > y)
        y = client.bottom - strip.bottom;
    RECT src = strip;
    src.left += m_selected->m_image * strip.right;
    RECT dst = {(client.right - strip.right) / 2, y, strip.right, strip.bottom};
    m_skin.Draw(dc, &dst, &src, 255);
}
