// The task pane's description file (styles 2 and 3) and the messages that read or assign its
// colour-scheme groups and pictures.
#include <shlwapi.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

#include "uilib/bars/ExplorerBar.h"
#include "uilib/bars/SkinParts.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/Profile.h"

// A reader whose getters can work on one section of a {group}: sections of the same name in
// other groups must not answer.
class GroupedReader : public CProfileReader {
public:
    bool SelectInGroup(const Group* group, const char* name)
    {
        Section* section = FindSectionInGroup(group, name);
        // SelectSection sets the reader's selected flag (or clears it for a missing name); the
        // group's own section then becomes the current one.
        if (!section || !SelectSection(name)) {
            SelectSection("");
            return false;
        }
        m_currentSection = section;
        return true;
    }
};

namespace {

const char* const kHeaderSections[kHeaderStates] = {"Collapsed Group", "Hot Collapsed Group", "Expanded Group",
                                                    "Hot Expanded Group"};
const char* const kItemSections[kPartsKinds][kLookSelectedHot + 1] = {
    {"Item", "Hot Item", "Selected Item", "Hot Selected Item"},
    {"Last Item", "Hot Last Item", "Selected Last Item", "Hot Selected Last Item"},
    {"Root Item", "Hot Root Item", "Selected Root Item", "Hot Selected Root Item"},
};
const char* const kImageKeys[kLookSelectedHot + 1] = {"Normal", "Hot", "Selected", "Hot Selected"};
const char* const kSchemeHeaderSections[kHeaderStates] = {"Header.Collapsed", "Header.Collapsed.Hot",
                                                          "Header.Expanded", "Header.Expanded.Hot"};
const char* const kSchemeItemSections[kLookStates] = {"Item.Normal", "Item.Hot", "Item.Selected",
                                                      "Item.Selected.Hot", "Item.Disabled"};

void ReadParts(CProfileReader& reader, PaneParts& parts)
{
    reader.GetRect("Left", &parts.left);
    reader.GetRect("Middle", &parts.middle);
    reader.GetRect("Right", &parts.right);
    parts.text = reader.GetColor("Text Color", 0);
    parts.style = reader.GetFontAttributes("Text Attributes");
}

void ReadSchemeLook(CProfileReader& reader, SchemeLook& look, bool header)
{
    look.border = reader.GetColor("Border", CLR_INVALID);
    COLORREF pair[2];
    if (reader.GetColorPair("Background", pair))
        look.background = {pair[0], pair[1]};
    look.text = reader.GetColor("Text Color", 0);
    look.style = reader.GetFontAttributes("Text Attributes");
    if (header)
        reader.GetRect("Icon", &look.icon);
}

char* CopyName(const char* name)
{
    const size_t length = strlen(name) + 1;
    auto* copy = new (std::nothrow) char[length];
    if (copy)
        memcpy(copy, name, length);
    return copy;
}

}  // namespace

LRESULT CExplorerBar::LoadDescription(const char* file)
{
    if (!file)
        file = g_Scheme.explorerBarFile;
    char path[MAX_PATH];
    GroupedReader reader;
    if (!file || !ResolveDescriptionPath(file, path) || !reader.Load(path, true))
        return 0;
    reader.SelectSection("General");
    const char* styleText = reader.GetString("Style");
    const int style = styleText && StrStrIA(styleText, "ColorScheme") ? 3 : 2;
    char* image = reader.GetFilePath(nullptr, "Image");
    Glazier::CSkin skin;
    const bool loaded = image && skin.Load(image);
    if (!loaded && style != 3) {
        free(image);
        return 0;  // the current look stays
    }
    m_skin.Free();
    if (loaded)
        m_skin.Load(image);  // shared from the image cache
    free(image);
    COLORREF pair[2];
    if (reader.GetColorPair("Background Color", pair)) {
        m_backgroundStart = pair[0];
        m_backgroundEnd = pair[1];
    }
    const char* layout = reader.GetString("Background Layout");
    m_verticalBackground = layout && StrStrIA(layout, "vertical");
    if (style == 3)
        ReadSchemeGroups(reader);
    else
        ReadImageLook(reader);
    m_style = style;
    ForgetItemHeights();
    Repaint();
    return 1;
}

void CExplorerBar::ReadImageLook(CProfileReader& reader)
{
    m_imageLook = PaneImageLook();
    for (int s = 0; s < kHeaderStates; ++s) {
        PaneHeaderParts& parts = m_imageLook.headers[s];
        reader.SelectSection(kHeaderSections[s]);
        ReadParts(reader, parts);
        parts.leftMargin = reader.GetInt("Text Left Margin", -1);
        parts.rightMargin = reader.GetInt("Text Right Margin", -1);
    }
    for (int kind = 0; kind < kPartsKinds; ++kind)
        for (int s = 0; s <= kLookSelectedHot; ++s) {
            reader.SelectSection(kItemSections[kind][s]);
            ReadParts(reader, m_imageLook.items[kind][s]);
        }
    reader.SelectSection("Item Images");
    for (int s = 0; s <= kLookSelectedHot; ++s)
        reader.GetRect(kImageKeys[s], &m_imageLook.itemImages[s]);
    reader.GetRect("Pictograms", &m_imageLook.pictograms);
}

void CExplorerBar::ReadSchemeGroups(GroupedReader& reader)
{
    for (int g = 0; g < m_groups.GetCount(); ++g)
        m_groups[g]->colorGroup = -1;
    while (m_schemeGroups.GetCount() > 0)
        delete m_schemeGroups.RemoveAt(m_schemeGroups.GetCount() - 1);
    for (const CProfile::Group* group = reader.FirstGroup(); group; group = group->next) {
        auto* scheme = new (std::nothrow) ColorSchemeGroup();
        if (!scheme)
            break;
        scheme->name = CopyName(group->name);
        for (int s = 0; s < kHeaderStates; ++s)
            if (reader.SelectInGroup(group, kSchemeHeaderSections[s]))
                ReadSchemeLook(reader, scheme->headers[s], true);
        for (int s = 0; s < kLookStates; ++s)
            if (reader.SelectInGroup(group, kSchemeItemSections[s]))
                ReadSchemeLook(reader, scheme->items[s], false);
        const int index = m_schemeGroups.Add(scheme);
        if (index < 0) {
            delete scheme;
            break;
        }
        if (CDirectUIGroup* paneGroup = Group(index))
            paneGroup->colorGroup = index;
    }
}

LRESULT CExplorerBar::SetColorGroup(int index, const char* name)
{
    CDirectUIGroup* group = Group(index);
    if (m_style != 3 || !group || !name)
        return 0;
    for (int s = 0; s < m_schemeGroups.GetCount(); ++s)
        if (m_schemeGroups[s]->name && lstrcmpiA(m_schemeGroups[s]->name, name) == 0) {
            group->colorGroup = s;
            Repaint();
            return 1;
        }
    return 0;
}

LRESULT CExplorerBar::ColorRecord(int index, void* out, bool header)
{
    CDirectUIGroup* group = Group(index);
    auto* record = static_cast<EBCOLORS*>(out);
    const ColorSchemeGroup* scheme = group ? SchemeOf(group) : nullptr;
    if (m_style != 3 || !scheme || !record)
        return 0;
    // The state is read only when the caller's record reaches that far.
    if (record->size < offsetof(EBCOLORS, state) + sizeof(record->state))
        return 0;
    const int state = record->state;
    if (state < 0 || state >= (header ? static_cast<int>(kHeaderStates) : static_cast<int>(kLookStates)))
        return 0;
    const SchemeLook& look = header ? scheme->headers[state] : scheme->items[state];
    EBCOLORS colours = {0, state, look.background.start, look.background.end, look.border, look.text};
    CopyClamped(out, colours);
    return 1;
}

HICON CExplorerBar::ItemIcon(UINT id)
{
    CDirectUIItem* item = FindItem(id);
    const RECT& strip = m_imageLook.itemImages[kLookNormal];
    if (!item || item->m_image < 0 || !HasArea(strip) || !m_skin.Image())
        return nullptr;
    HBITMAP colour = m_skin.CreateBitmap(strip.left + item->m_image * strip.right, strip.top, strip.right,
                                         strip.bottom);
    if (!colour)
        return nullptr;
    // The picture's alpha decides; the mask only has to be there.
    std::vector<BYTE> zeros(static_cast<size_t>((strip.right + 15) / 16 * 2) * strip.bottom, 0);
    HBITMAP mask = CreateBitmap(strip.right, strip.bottom, 1, 1, zeros.data());
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}
