#include "uilib/skin/SkinFrame.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "uilib/skin/SkinBtn.h"
#include "uilib/skin/SkinImg.h"
#include "uilib/skin/SkinImgTile.h"
#include "uilib/skin/SkinTxt.h"
#include "uilib/skin/SkinTxtBtn.h"
#include "uilib/skin/SkinTxtHtml.h"
#include "uilib/skin/TextConvert.h"

namespace FWSkin {

// {B0D3E7A1-5C62-4F18-8A94-2E61D7C3F501}, {...502}, {...503}
extern "C" const IID IID_ISkinFrame = {0xB0D3E7A1, 0x5C62, 0x4F18, {0x8A, 0x94, 0x2E, 0x61, 0xD7, 0xC3, 0xF5, 0x01}};
extern "C" const IID IID_ISkinPainter = {0xB0D3E7A1, 0x5C62, 0x4F18, {0x8A, 0x94, 0x2E, 0x61, 0xD7, 0xC3, 0xF5, 0x02}};
extern "C" const IID IID_ISkinToolTipProvider = {0xB0D3E7A1, 0x5C62, 0x4F18,
                                                 {0x8A, 0x94, 0x2E, 0x61, 0xD7, 0xC3, 0xF5, 0x03}};

namespace {

bool Contains(const char* text, const char* word)
{
    return text && StrStrIA(text, word) != nullptr;
}

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

constexpr int kToolTipTextChars = 1024;
// The largest design position or size of an element, in pixels.
constexpr int kMaxDesignExtent = 16384;

}  // namespace

CSkinFrame::CSkinFrame() = default;

CSkinFrame::~CSkinFrame()
{
    Attach(nullptr, false);
    ReleaseSkin();
    if (m_tooltip)
        DestroyWindow(m_tooltip);
}

HRESULT STDMETHODCALLTYPE CSkinFrame::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISkinFrame))
        *out = static_cast<ISkinFrame*>(this);
    else if (IsEqualIID(iid, IID_ISkinPainter))
        *out = static_cast<ISkinPainter*>(this);
    else if (IsEqualIID(iid, IID_ISkinToolTipProvider))
        *out = static_cast<ISkinToolTipProvider*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

void CSkinFrame::Invalidate(const RECT*)
{
    // The frame is painted whole from its off-screen buffer: any change repaints it.
    if (BorderWindow())
        m_layeredBorder->PostRepaint();
    else if (m_window)
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

CSkinLayout* CSkinFrame::Layout(int kind) const
{
    for (int i = 0; i < m_layouts.GetCount(); ++i)
        if (m_layouts[i]->Kind() == kind)
            return m_layouts[i];
    return nullptr;
}

void CSkinFrame::DrawBackground(HDC dc, const RECT* rect)
{
    CSkinLayout* layout = CurrentLayout();
    if (!layout || !rect)
        return;
    SaveDC(dc);
    IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    // A layered border shows through where the skin image is transparent: no background fill.
    layout->Draw(dc, BorderWindow() ? nullptr : rect);
    RestoreDC(dc, -1);
}

void CSkinFrame::DrawImage(HDC dc, const RECT* dst, const RECT* src, BYTE alpha)
{
    m_skin.Draw(dc, dst, src, alpha);
}

void CSkinFrame::DrawImageAt(HDC dc, const POINT* at, const RECT* src, BYTE alpha)
{
    m_skin.DrawPart(dc, at, src, alpha);
}

// --- tooltips: rectangles arrive in window coordinates ---

bool CSkinFrame::EnsureToolTipWindow()
{
    if (m_tooltip)
        return true;
    if (!m_window)
        return false;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, instance, nullptr);
    return m_tooltip != nullptr;
}

namespace {

TOOLINFOW ToolInfo(HWND window, int id)
{
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = window;
    info.uId = static_cast<UINT_PTR>(id);
    return info;
}

}  // namespace

int CSkinFrame::AddToolTip(int id, const RECT* rect, const wchar_t* text)
{
    if (!text || !EnsureToolTipWindow())
        return 0;
    TOOLINFOW info = ToolInfo(m_window, id);
    if (rect)
        info.rect = *rect;
    if (CSkinLayout* layout = CurrentLayout())
        OffsetRect(&info.rect, -layout->BorderLeft(), -layout->BorderTop());
    info.lpszText = const_cast<wchar_t*>(text);
    return static_cast<int>(SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

int CSkinFrame::RemoveToolTip(int id)
{
    if (!m_tooltip)
        return 0;
    TOOLINFOW info = ToolInfo(m_window, id);
    SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return 1;
}

int CSkinFrame::SetToolTipRect(int id, const RECT* rect)
{
    if (!m_tooltip)
        return 0;
    TOOLINFOW info = ToolInfo(m_window, id);
    if (rect)
        info.rect = *rect;
    if (CSkinLayout* layout = CurrentLayout(); layout && !IsRectEmpty(&info.rect))
        OffsetRect(&info.rect, -layout->BorderLeft(), -layout->BorderTop());
    SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    return 1;
}

int CSkinFrame::SetToolTipText(int id, const wchar_t* text)
{
    if (!m_tooltip)
        return 0;
    TOOLINFOW info = ToolInfo(m_window, id);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    return 1;
}

int CSkinFrame::GetToolTipText(int id, wchar_t* buffer, int size)
{
    if (!m_tooltip || !buffer || size <= 0)
        return 0;
    // The tooltip control writes without a bound: read into room of our own, then copy.
    wchar_t* own = static_cast<wchar_t*>(calloc(kToolTipTextChars, sizeof(wchar_t)));
    if (!own)
        return 0;
    TOOLINFOW info = ToolInfo(m_window, id);
    info.lpszText = own;
    SendMessageW(m_tooltip, TTM_GETTEXTW, kToolTipTextChars, reinterpret_cast<LPARAM>(&info));
    own[kToolTipTextChars - 1] = 0;
    lstrcpynW(buffer, own, size);
    free(own);
    return lstrlenW(buffer);
}

// --- the description ---

void CSkinFrame::ReleaseSkin()
{
    // The shadow belongs to the skin: a fresh skin or none makes its own.
    DestroyShadowWindow();
    delete m_layeredBorder;
    m_layeredBorder = nullptr;
    m_captured = nullptr;
    while (m_elements.GetCount())
        delete m_elements.RemoveAt(m_elements.GetCount() - 1);
    while (m_layouts.GetCount())
        delete m_layouts.RemoveAt(m_layouts.GetCount() - 1);
}

bool CSkinFrame::LoadSkin(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    wchar_t full[MAX_PATH];
    if (PathIsRelativeW(path)) {
        // A path that does not fit beside the program counts as missing.
        wchar_t folder[MAX_PATH] = {};
        DWORD length = GetModuleFileNameW(nullptr, folder, MAX_PATH);
        if (!length || length >= MAX_PATH)
            return false;
        PathRemoveFileSpecW(folder);
        size_t need = wcslen(folder) + 1 + wcslen(path) + 1;
        if (need > MAX_PATH)
            return false;
        wchar_t joined[MAX_PATH];
        lstrcpyW(joined, folder);
        if (!PathAppendW(joined, path) || !PathCanonicalizeW(full, joined))
            return false;
    } else {
        if (wcslen(path) >= MAX_PATH || !PathCanonicalizeW(full, path))
            return false;
    }
    char narrow[MAX_PATH];
    if (!WideToNarrow(narrow, full, MAX_PATH, CP_ACP))
        return false;
    if (!m_reader.Load(narrow, false))
        return false;
    lstrcpynW(m_path, full, MAX_PATH);

    ReleaseSkin();
    m_options &= ~kOptionShadow;

    if (!m_reader.SelectSection("General"))
        return false;
    const char* image = m_reader.GetString("Image");
    if (!image || !*image)
        return false;
    char imagePath[MAX_PATH];
    if (PathIsRelativeA(image)) {
        if (strlen(m_reader.Folder()) + 1 + strlen(image) + 1 > MAX_PATH)
            return false;
        char joined[MAX_PATH];
        if (!PathCombineA(joined, m_reader.Folder(), image) || !PathCanonicalizeA(imagePath, joined))
            return false;
    } else {
        if (strlen(image) >= MAX_PATH || !PathCanonicalizeA(imagePath, image))
            return false;
    }
    if (!m_skin.Load(imagePath))
        return false;

    auto* normal = new CSkinLayout(1);
    if (!normal->Load(this, m_reader, m_skin)) {
        delete normal;
        return false;
    }
    m_layouts.Add(normal);
    m_layoutKind = 1;
    auto* fullScreen = new CSkinLayout(2);
    if (fullScreen->Load(this, m_reader, m_skin))
        m_layouts.Add(fullScreen);
    else
        delete fullScreen;

    if (m_reader.SelectSection("Shadow")) {
        m_options |= kOptionShadow;
        m_shadow.darkness = Clamp(m_reader.GetInt("Darkness", 150), 0, 255);
        m_shadow.sharpness = Clamp(m_reader.GetInt("Sharpness", 5), 0, 20);
        m_shadow.size = Clamp(m_reader.GetInt("Size", 0), -20, 20);
        m_shadow.xOffset = Clamp(m_reader.GetInt("XOffset", 5), -20, 20);
        m_shadow.yOffset = Clamp(m_reader.GetInt("YOffset", 5), -20, 20);
        m_shadow.color = m_reader.GetColor("Color", 0);
    }
    return true;
}

CSkinBase* CSkinFrame::MakeElement(const char* section, int id, bool visible)
{
    if (!section || !m_reader.SelectSection(section))
        return nullptr;
    CSkinBase* element = nullptr;
    // Tested in this order: " TextButton" does not contain " Button", and comes before " Text".
    if (Contains(section, " Image"))
        element = Contains(m_reader.GetString("Type"), "Tile") ? new CSkinImgTile(this, id) : new CSkinImg(this, id);
    else if (Contains(section, " Button"))
        element = new CSkinBtn(this, id);
    else if (Contains(section, " TextButton"))
        element = new CSkinTxtBtn(this, id);
    else if (Contains(section, " Text"))
        element = new CSkinTxt(this, id);
    else if (Contains(section, " Html"))
        element = new CSkinTxtHtml(this, id);
    if (!element)
        return nullptr;

    RECT window;
    bool placed = m_reader.GetRect("Window", &window) &&
                  (window.left || window.top || window.right || window.bottom);
    // Design positions past any screen would only overflow the anchoring arithmetic.
    auto sane = [](LONG v) { return Clamp(v, -kMaxDesignExtent, kMaxDesignExtent); };
    window = RECT{sane(window.left), sane(window.top), sane(window.right), sane(window.bottom)};
    element->SetRect(window);
    if (placed) {
        if (CSkinLayout* layout = Layout(1)) {
            CSkinBase* left = layout->PartAt(POINT{window.left, window.top});
            CSkinBase* right = layout->PartAt(POINT{window.left + window.right, window.top});
            element->SetAnchors(left, right != left ? right : nullptr);
        }
    }
    if (!visible)
        element->AddStyle(kStyleHidden);
    const char* style = m_reader.GetString("Style");
    if (Contains(style, "xCenter"))
        element->AddStyle(kStyleCenterX);
    else if (Contains(style, "yCenter"))
        element->AddStyle(kStyleCenterY);
    return element;
}

void CSkinFrame::FinishPlacement(CSkinBase* element)
{
    // The design position becomes offsets from the anchors' design positions, then a window
    // position against the anchors where they stand now (moved by any layout pass).
    CSkinLayout* layout = Layout(1);
    if (element->LeftAnchor() && layout) {
        RECT r = element->Rect();
        LONG right = r.left + r.right;
        RECT leftDesign = layout->DesignRect(element->LeftAnchor());
        r.left -= leftDesign.left;
        r.top -= leftDesign.top;
        if (element->RightAnchor())
            r.right = right - layout->DesignRect(element->RightAnchor()).left;
        element->SetRect(r);
    } else if (!element->HasStyle(kStyleCenterX | kStyleCenterY)) {
        return;
    }
    element->Layout(m_cx, m_cy);
}

CSkinBase* CSkinFrame::CreateChild(const char* section, int id, bool visible)
{
    CSkinBase* element = MakeElement(section, id, visible);
    if (element)
        FinishPlacement(element);
    return element;
}

void CSkinFrame::ReadText(CSkinTxt* text, const wchar_t* value)
{
    CProfileReader& r = m_reader;
    text->color = r.GetColor("Text Color", kDefaultTextColor);
    text->shadow = r.GetColor("Text Color Shadow", kNoColor);
    text->attributes = r.GetFontAttributes("Text Attributes");
    text->SetTextSize(r.GetInt("Text Size", 0));
    if (const char* face = r.GetString("Text Font"))
        text->SetFace(face);
    const char* style = r.GetString("Style");
    if (Contains(style, "MultiLine"))
        text->AddStyle(kStyleMultiLine);
    if (Contains(style, "Center"))
        text->AddStyle(kStyleCenterText);
    text->SetText(value);
}

void CSkinFrame::ReadButton(CSkinBtn* button, const wchar_t* tip)
{
    CProfileReader& r = m_reader;
    r.GetRect("Normal", &button->normal);
    r.GetRect("Pushed", &button->pushed);
    r.GetRect("Disabled", &button->disabled);
    r.GetRect("Hot", &button->hot);
    if (button->normal.right > 0 && button->normal.bottom > 0)
        button->SetRegion(m_skin.CreateRegion(&button->normal, 1));
    if (r.HasValue("Cursor", "Hand"))
        button->SetCursorKind(kCursorHand);
    if (Contains(r.GetString("Style"), "FxFading"))
        button->AddStyle(kStyleFxFading);
    if (tip)
        button->SetToolTip(tip);
}

void CSkinFrame::ReadTextButton(CSkinTxtBtn* button, const char* section, const wchar_t* caption)
{
    CProfileReader& r = m_reader;
    if (r.HasValue("Cursor", "Hand"))
        button->SetCursorKind(kCursorHand);
    static const char* const kStates[CSkinTxtBtn::kStateCount] = {"Normal", "Hot", "Pushed", "Disabled"};
    for (int i = 0; i < CSkinTxtBtn::kStateCount; ++i) {
        char name[kMaxSectionName];
        int written = snprintf(name, sizeof(name), "%s.%s", section, kStates[i]);
        // A name that does not fit counts as a missing state section.
        if (written < 0 || written >= static_cast<int>(sizeof(name)) || !r.SelectSection(name))
            continue;
        CSkinTxtBtn::StateLook& look = button->looks[i];
        look.present = true;
        r.GetRect("Left", &look.left);
        r.GetRect("Middle", &look.middle);
        r.GetRect("Right", &look.right);
        look.color = r.GetColor("Text Color", kDefaultTextColor);
        look.shadow = r.GetColor("Text Color Shadow", kNoColor);
        look.attributes = r.GetFontAttributes("Text Attributes");
        look.size = r.GetInt("Text Size", 0);
    }
    const CSkinTxtBtn::StateLook& normal = button->looks[CSkinTxtBtn::kNormal];
    button->SetCaption(caption);
    SIZE captionSize = button->MeasureCaption();
    RECT rect = button->Rect();
    rect.right = std::max<LONG>(rect.right, normal.left.right + captionSize.cx + normal.right.right);
    rect.bottom = std::max<LONG>(captionSize.cy, normal.middle.bottom);
    button->SetRect(rect);
    button->SetCaption(caption);  // centred again in the final width

    // Hit region: the opaque pixels of both ends and the whole room between them.
    HRGN region = CreateRectRgn(normal.left.right, 0, rect.right - normal.right.right, rect.bottom);
    if (normal.left.right > 0 && normal.left.bottom > 0) {
        HRGN left = m_skin.CreateRegion(&normal.left, 1);
        CombineRgn(region, region, left, RGN_OR);
        DeleteObject(left);
    }
    if (normal.right.right > 0 && normal.right.bottom > 0) {
        HRGN right = m_skin.CreateRegion(&normal.right, 1);
        OffsetRgn(right, rect.right - normal.right.right, 0);
        CombineRgn(region, region, right, RGN_OR);
        DeleteObject(right);
    }
    button->SetRegion(region);
}

bool CSkinFrame::AddChild(const char* section, int id, bool visible, const wchar_t* text)
{
    CSkinBase* element = MakeElement(section, id, visible);
    if (!element)
        return false;
    if (auto* textButton = dynamic_cast<CSkinTxtBtn*>(element))
        ReadTextButton(textButton, section, text);
    else if (auto* button = dynamic_cast<CSkinBtn*>(element))
        ReadButton(button, text);
    else if (auto* textElement = dynamic_cast<CSkinTxt*>(element))
        ReadText(textElement, text);
    else if (auto* image = dynamic_cast<CSkinImg*>(element)) {
        RECT normal;
        m_reader.GetRect("Normal", &normal);
        image->SetSource(normal);
        if (Contains(m_reader.GetString("Style"), "NoMirror"))
            image->AddStyle(kStyleNoMirror);
    }
    FinishPlacement(element);
    if (m_elements.Add(element) < 0) {
        delete element;
        return false;
    }
    return true;
}

CSkinBase* CSkinFrame::FindElement(int id) const
{
    for (int i = 0; i < m_elements.GetCount(); ++i)
        if (m_elements[i]->Id() == id)
            return m_elements[i];
    return nullptr;
}

void CSkinFrame::UnanchorElements()
{
    for (int i = 0; i < m_elements.GetCount(); ++i)
        m_elements[i]->Unanchor();
}

void CSkinFrame::LayoutElements()
{
    for (int i = 0; i < m_elements.GetCount(); ++i)
        m_elements[i]->Layout(m_cx, m_cy);
}

void CSkinFrame::LayoutPass(int width, int height)
{
    UnanchorElements();
    m_cx = width;
    m_cy = height;
    if (CSkinLayout* current = CurrentLayout())
        current->Place(width, height);
    if (m_layoutKind != 1)
        if (CSkinLayout* normal = Layout(1))
            normal->Place(width, height);
    LayoutElements();
}

void CSkinFrame::ReplacePartRect(CSkinImg* part, const RECT& xywh, bool redraw)
{
    // The elements anchored to the part follow it; taken off it before it moves, so that their
    // offsets stay true for the next layout pass too.
    UnanchorElements();
    part->SetRect(xywh);
    LayoutElements();
    if (!redraw)
        return;
    // The part keeps the caller's place until the window's size changes: the region is built from
    // the parts where they stand, not placed afresh.
    SetWindowRegion(true);
    SetWindowPos(m_window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Invalidate(nullptr);  // a layered border is not repainted by the frame change
}

}  // namespace FWSkin
