#include "uilib/skin/SkinSb.h"

#include <algorithm>

#include "uilib/skin/Profile.h"
#include "uilib/skin/TextCopy.h"

namespace FWSkin {

namespace {

const char kSeparatorSection[] = "Statusbar.Separator Image";
const char kDefaultTextSection[] = "Statusbar.Text Text";

}  // namespace

// --- parts ---

CSkinSbPart::CSkinSbPart(ISkinFrame* frame, int id) : CSkinBase(frame, id), image(frame, 0), text(frame, 0)
{
}

void CSkinSbPart::SetSizing(int width)
{
    m_fill = width == kPartFill;
    m_autoSize = width == kPartAutoSize;
}

void CSkinSbPart::SetImageName(const char* name)
{
    lstrcpynA(m_imageName, name ? name : "", sizeof(m_imageName));
}

int CSkinSbPart::ContentWidth()
{
    RECT r = text.Rect();
    r.right = 0x7FFF;  // measured on one line, unbounded
    text.SetRect(r);
    int width = text.Measure().cx;
    int picture = image.Rect().right;
    return picture > 0 ? width + picture + kPartGap : width;
}

void CSkinSbPart::PlaceContent()
{
    const RECT& r = m_rect;
    RECT picture = image.Rect();
    picture.left = r.left;
    picture.top = r.top + std::max<LONG>(0, r.bottom - picture.bottom) / 2;
    image.SetRect(picture);
    LONG textX = picture.right > 0 ? picture.right + kPartGap : 0;
    text.SetRect(RECT{r.left + textX, r.top, std::max<LONG>(0, r.right - textX), r.bottom});
}

void CSkinSbPart::Layout(int, int)
{
    PlaceContent();
    UpdateToolTipRect();
}

void CSkinSbPart::Draw(HDC dc, bool)
{
    if (m_style & kStyleHidden)
        return;
    image.Draw(dc, false);
    text.Draw(dc, false);
}

// --- the bar ---

CSkinSb::CSkinSb(ISkinFrame* frame) : CSkinBase(frame, kStatusBarId)
{
}

CSkinSb::~CSkinSb()
{
    for (CSkinImg*& end : m_ends) {
        delete end;
        end = nullptr;
    }
    while (m_items.GetCount())
        delete m_items.RemoveAt(m_items.GetCount() - 1);
}

void CSkinSb::SetEnds(CSkinImg* left, CSkinImg* middle, CSkinImg* right)
{
    m_ends[kLeft] = left;
    m_ends[kMiddle] = middle;
    m_ends[kRight] = right;
}

void CSkinSb::Unanchor()
{
    for (CSkinImg* end : m_ends)
        if (end)
            end->Unanchor();
}

void CSkinSb::Layout(int frameCx, int frameCy)
{
    m_frameCx = frameCx;
    m_frameCy = frameCy;
    for (CSkinImg* end : m_ends)
        if (end)
            end->Layout(frameCx, frameCy);
    LayoutBar(frameCx, frameCy);
    UpdateToolTipRect();
}

void CSkinSb::Relayout()
{
    Unanchor();
    Layout(m_frameCx, m_frameCy);
}

bool CSkinSb::LayoutBar(int, int)
{
    // A bar described without one of its three images is never laid out.
    for (CSkinImg* end : m_ends)
        if (!end)
            return false;
    const RECT left = m_ends[kLeft]->Rect(), right = m_ends[kRight]->Rect();
    m_rect = RECT{left.left, left.top, right.left + right.right - left.left, left.bottom};
    RECT middle = m_ends[kMiddle]->Rect();
    middle.right = std::max<LONG>(0, m_rect.right - m_ends[kLeft]->Source().right - m_ends[kRight]->Source().right);
    m_ends[kMiddle]->SetRect(middle);

    int room = m_rect.right - m_marginLeft - m_marginRight;
    int fills = 0;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        auto* part = dynamic_cast<CSkinSbPart*>(m_items[i]);
        if (part && part->IsFill())
            ++fills;
        else
            room -= m_items[i]->Rect().right;
    }
    int share = fills ? std::max(0, room / fills) : 0;
    LONG x = m_rect.left + m_marginLeft;
    for (int i = 0; i < m_items.GetCount(); ++i) {
        CSkinBase* item = m_items[i];
        RECT r = item->Rect();
        auto* part = dynamic_cast<CSkinSbPart*>(item);
        if (part && part->IsFill())
            r.right = share;
        r.left = x;
        if (part) {
            r.top = m_rect.top;
            r.bottom = m_rect.bottom;
        } else {
            r.top = m_rect.top + std::max<LONG>(0, m_rect.bottom - r.bottom) / 2;
        }
        item->SetRect(r);
        if (part)
            part->Layout(0, 0);
        x += r.right;
    }
    return true;
}

void CSkinSb::Draw(HDC dc, bool)
{
    if (m_style & kStyleHidden)
        return;
    RECT r = WindowRect();
    if (!RectVisible(dc, &r))
        return;
    for (CSkinImg* end : m_ends)
        if (end)
            end->Draw(dc, false);
    for (int i = 0; i < m_items.GetCount(); ++i)
        m_items[i]->Draw(dc, false);
}

int CSkinSb::ItemIndexOfPart(int index) const
{
    if (index < 0)
        return -1;
    int seen = 0;
    for (int i = 0; i < m_items.GetCount(); ++i)
        if (dynamic_cast<CSkinSbPart*>(m_items[i]) && seen++ == index)
            return i;
    return -1;
}

CSkinSbPart* CSkinSb::GetPart(int index) const
{
    int item = ItemIndexOfPart(index);
    return item < 0 ? nullptr : static_cast<CSkinSbPart*>(m_items[item]);
}

int CSkinSb::FindPart(int id) const
{
    for (int i = 0; i < m_partCount; ++i)
        if (GetPart(i)->Id() == id)
            return i;
    return -1;
}

int CSkinSb::AddPart(CProfileReader& r, int id, int width, const wchar_t* text, const char* textSection,
                     const char* imageSection)
{
    auto* part = new CSkinSbPart(m_frame, id);
    part->SetAnchors(this, nullptr);
    if (m_items.GetCount() && r.SelectSection(kSeparatorSection)) {
        auto* separator = new CSkinImg(m_frame, kSeparatorId);
        RECT normal = {};
        r.GetRect("Normal", &normal);
        separator->SetSource(normal);
        separator->SetRect(RECT{0, 0, normal.right, normal.bottom});
        m_items.Add(separator);
    }
    part->SetSizing(width);
    part->SetRect(RECT{0, 0, width < 0 ? 0 : width, m_rect.bottom});
    SetPartImage(part, r, imageSection);
    if (r.SelectSection(textSection ? textSection : kDefaultTextSection)) {
        part->text.color = r.GetColor("Text Color", kDefaultTextColor);
        part->text.shadow = r.GetColor("Text Color Shadow", kNoColor);
        part->text.attributes = r.GetFontAttributes("Text Attributes");
        part->text.SetTextSize(r.GetInt("Text Size", 0));
        if (const char* face = r.GetString("Text Font"))
            part->text.SetFace(face);
    }
    SetPartText(part, text);
    m_items.Add(part);
    Relayout();
    return m_partCount++;
}

bool CSkinSb::RemovePart(int index)
{
    int item = ItemIndexOfPart(index);
    if (item < 0)
        return false;
    delete m_items.RemoveAt(item);
    // The separator that went with it: the one now in its place, or before it when it was last.
    int neighbour = item < m_items.GetCount() ? item : item - 1;
    CSkinBase* next = m_items.GetAt(neighbour);
    if (next && !dynamic_cast<CSkinSbPart*>(next))
        delete m_items.RemoveAt(neighbour);
    --m_partCount;
    Relayout();
    return true;
}

bool CSkinSb::SetPartText(CSkinSbPart* part, const wchar_t* text)
{
    if (!part)
        return false;
    part->text.SetText(text);
    if (part->IsAutoSize()) {
        RECT r = part->Rect();
        r.right = part->ContentWidth();
        part->SetRect(r);
    }
    part->PlaceContent();
    return true;
}

bool CSkinSb::SetPartImage(CSkinSbPart* part, CProfileReader& r, const char* section)
{
    if (!part)
        return false;
    RECT source = {};
    if (section && r.SelectSection(section)) {
        part->SetImageName(section);
        r.GetRect("Normal", &source);
    } else {
        part->SetImageName("");
    }
    part->image.SetSource(source);
    part->image.SetRect(RECT{0, 0, source.right, source.bottom});
    if (part->IsAutoSize()) {
        RECT rect = part->Rect();
        rect.right = part->ContentWidth();
        part->SetRect(rect);
    }
    part->PlaceContent();
    return true;
}

int CSkinSb::GetPartText(const CSkinSbPart* part, wchar_t* buffer, int size)
{
    return part ? CopyTextOut(part->text.Text(), buffer, size) : 0;
}

int CSkinSb::GetPartImage(const CSkinSbPart* part, char* buffer, int size)
{
    return part ? CopyTextOut(part->ImageName(), buffer, size) : 0;
}

}  // namespace FWSkin
