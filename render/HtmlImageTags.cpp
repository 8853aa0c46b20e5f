// The picture tags of a run ("bmp", "icon", "ilst") and the "string" tag; table background images.
#include "render/HtmlDrawer.h"
#include "render/MarkupLimits.h"
#include "render/MarkupAttributes.h"
#include "render/MarkupCanvas.h"
#include "core/ResourceModule.h"
#include <algorithm>
#include <cstdlib>

namespace {
HMODULE ProgramModule()
{
    return GetModuleHandleW(nullptr);
}

int Scaled(int base, int value, BOOL percent)
{
    const long long size = percent ? MarkupPercent(base, ClampMarkup(value, kMaxMarkupPercent)) : value;
    return ClampMarkupSize(size, kMaxMarkupImageSide);
}
}

BOOL CHtmlDrawer::IsPercentValue(const CMarkupString& value)
{
    return !value.empty() && value.back() == L'%';
}

BOOL CHtmlDrawer::HasImageShadow(const MarkupImageParams& params) const
{
    return ((params.style | params.hotStyle) & (ImageShadow | ImageSoftShadow)) != 0;
}

void CHtmlDrawer::ParseImageAttributes(const CMarkupString& params, MarkupImageParams& out) const
{
    auto flags = [&](const CMarkupString& value) {
        DWORD result = 0;
        for (wchar_t c : value) {
            if (c == L'g')
                result |= ImageGray;
            else if (c == L'd')
                result |= ImageDarken;
            else if (c == L'l')
                result |= ImageLighten;
            else if (c == L's' && (m_shadowOffsetX != 0 || m_shadowOffsetY != 0))
                result |= m_shadowEnabled ? ImageSoftShadow : ImageShadow;
        }
        return result;
    };
    ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
        if (name == L"index") {
            out.index = GetLength(value, out.index, FALSE);
        } else if (name == L"idres") {
            out.resourceId = static_cast<UINT>(GetLength(value, static_cast<int>(out.resourceId), FALSE));
        } else if (name == L"iddll") {
            out.dllResourceId = static_cast<UINT>(GetLength(value, static_cast<int>(out.dllResourceId), FALSE));
        } else if (name == L"handle") {
            out.handle = static_cast<UINT_PTR>(std::wcstoul(value.c_str(), nullptr, 0));
        } else if (name == L"file") {
            out.file = value;
        } else if (name == L"srcdll") {
            out.dllName = value;
        } else if (name == L"mask") {
            out.mask = TRUE;
            out.maskColor = GetColor(value, out.maskColor);
        } else if (name == L"style") {
            out.style = out.hotStyle = flags(value);
        } else if (name == L"hotstyle") {
            out.hotStyle = flags(value);
        } else if (name == L"width") {
            out.widthPercent = IsPercentValue(value);
            out.width = out.widthPercent ? static_cast<int>(std::wcstol(value.c_str(), nullptr, 10))
                                         : GetLength(value, out.width, FALSE);
        } else if (name == L"height") {
            out.heightPercent = IsPercentValue(value);
            out.height = out.heightPercent ? static_cast<int>(std::wcstol(value.c_str(), nullptr, 10))
                                           : GetLength(value, out.height, FALSE);
        } else if (name == L"cx") {
            out.frameCx = ClampMarkupSize(GetLength(value, out.frameCx, FALSE), kMaxMarkupImageSide);
        } else if (name == L"cy") {
            out.frameCy = ClampMarkupSize(GetLength(value, out.frameCy, FALSE), kMaxMarkupImageSide);
        } else if (name == L"speed") {
            out.speed = GetLength(value, out.speed, FALSE);
        }
    });
}

DWORD CHtmlDrawer::PictureStyle(const MarkupImageParams& params) const
{
    DWORD style = LinkIsHot() ? params.hotStyle : params.style;
    if (!m_outputEnabled)
        style = (style & 0xFF00) | ImageColor;
    return style;
}

// Places a picture of w x h on the line: wraps it when it does not fit, raises the line in the
// measuring pass, leaves a hot area while drawing. Returns whether the caller draws it at (m_x, *top).
bool CHtmlDrawer::PlacePicture(int w, int h, BOOL hasShadow, SIZE* runSize, int* top, int* layoutW,
                               int* layoutH)
{
    const bool visible = w != 0 && h != 0;
    *layoutW = w + (hasShadow && visible ? m_shadowOffsetX : 0);
    *layoutH = h + (hasShadow && visible ? m_shadowOffsetY : 0);
    const int roomWidth = m_runRect.right - m_runRect.left;
    // At the line's start a wider picture stays: ending the line there would only add an empty one.
    bool wrap;
    if (!m_measuring && m_wrapCursor < m_wrapLog.size())
        wrap = m_wrapLog[m_wrapCursor++] != 0;
    else
        wrap = m_maxWidth != 0 && roomWidth > 0 && m_runRect.right - m_x < *layoutW && m_x != m_lineStartX;
    if (m_measuring)
        m_wrapLog.push_back(wrap ? 1 : 0);
    if (wrap) {
        m_line.wrapped = 1;
        EndLine(&m_x, 1, runSize);
    }
    if (m_measuring)
        m_line.alignment = m_style.horizontalAlign;
    *top = ImageTop(m_y, h);
    if (m_measuring || !visible)
        return false;
    AddHotArea(m_x, *top, m_x + *layoutW, *top + *layoutH);
    // The shadow's blur reaches past the picture's room by up to half its depth.
    const int reachX = std::max(0, m_shadowDepthX) / 2 + 1;
    const int reachY = std::max(0, m_shadowDepthY) / 2 + 1;
    if (!AreaVisible(m_x - reachX, *top - reachY, m_x + *layoutW + reachX, *top + *layoutH + reachY))
        return false;
    // Each picture costs the system several bitmaps: a text of thousands on view is bounded.
    return m_picturesDrawn++ < kMaxMarkupPicturesDrawn;
}

void CHtmlDrawer::DrawImageTag(int id, const CMarkupString& params, SIZE* runSize)
{
    MarkupImageParams p;
    ParseImageAttributes(params, p);
    const bool hasSource = p.resourceId || p.dllResourceId || p.handle || !p.file.empty();
    const BOOL shadow = HasImageShadow(p);
    int top = 0, layoutW = 0, layoutH = 0;

    if (id == TagIcon || (id == TagImageList && !hasSource)) {
        HICON icon = nullptr;
        bool owned = true;
        int w = 0, h = 0;
        if (id == TagIcon) {
            if (!hasSource)
                return;
            const int rw = Scaled(GetSystemMetrics(SM_CXICON), p.width, p.widthPercent);
            const int rh = Scaled(GetSystemMetrics(SM_CYICON), p.height, p.heightPercent);
            SIZE size = {0, 0};
            if (p.handle && !p.resourceId && p.file.empty() && !p.dllResourceId) {
                icon = reinterpret_cast<HICON>(p.handle);
                CDrawManager::GetIconSize(icon, &size);
            } else {
                icon = static_cast<HICON>(LoadPicture(IMAGE_ICON, p, rw, rh, &size));
            }
            owned = false;   // the caller's handle, or the pass's loaded picture
            w = size.cx;
            h = size.cy;
        } else {
            if (!m_imageList || p.index < 0 || p.index >= ImageList_GetImageCount(m_imageList))
                return;
            w = Scaled(m_imageCx, p.width, p.widthPercent);
            h = Scaled(m_imageCy, p.height, p.heightPercent);
        }
        if (id == TagIcon && !icon)
            return;
        const bool draw = PlacePicture(w, h, shadow, runSize, &top, &layoutW, &layoutH);
        // The image list's copy is made only for a picture that is drawn.
        if (draw && id == TagImageList)
            icon = ImageList_GetIcon(m_imageList, p.index, 0);
        if (draw && icon) {
            const DWORD style = PictureStyle(p);
            m_drawManager.DrawIcon(m_dc, m_x, top, w, h, icon, FALSE, 0, style, shadow, m_shadowOffsetX,
                                   m_shadowOffsetY, m_shadowDepthX, m_shadowDepthY, m_imageColor);
            MarkupImageDrawn({m_x, top, m_x + w, top + h}, style);
        }
        m_x += layoutW;
        if (owned && icon)
            DestroyIcon(icon);   // an image-list copy
        return;
    }

    if (!hasSource)
        return;
    // The caller's handle, or the pass's loaded picture: neither is deleted here.
    SIZE size = {0, 0};
    HBITMAP bitmap = nullptr;
    if (p.handle && !p.resourceId && p.file.empty() && !p.dllResourceId) {
        bitmap = reinterpret_cast<HBITMAP>(p.handle);
        CDrawManager::GetBitmapSize(bitmap, &size);
    } else {
        bitmap = static_cast<HBITMAP>(LoadPicture(IMAGE_BITMAP, p, 0, 0, &size));
    }
    if (!bitmap)
        return;
    if (id == TagBitmap) {
        const int w = Scaled(size.cx, p.width, p.widthPercent);
        const int h = Scaled(size.cy, p.height, p.heightPercent);
        if (PlacePicture(w, h, shadow, runSize, &top, &layoutW, &layoutH)) {
            const DWORD style = PictureStyle(p);
            m_drawManager.DrawBitmap(m_dc, m_x, top, w, h, bitmap, p.mask, p.maskColor, style, shadow,
                                     m_shadowOffsetX, m_shadowOffsetY, m_shadowDepthX, m_shadowDepthY, m_imageColor);
            MarkupImageDrawn({m_x, top, m_x + w, top + h}, style);
        }
        m_x += layoutW;
    } else {
        int fw = p.frameCx, fh = p.frameCy;
        if (fw == 0 && fh == 0)
            fw = fh = std::min(size.cx, size.cy);
        else if (fw == 0)
            fw = fh;
        else if (fh == 0)
            fh = fw;
        const int columns = fw > 0 ? size.cx / fw : 0;
        const int rows = fh > 0 ? size.cy / fh : 0;
        const int count = columns * rows;
        int frame = p.index;
        if (p.speed != 0) {
            const int slot = ++m_animationCounter;
            if (m_measuring) {
                if (slot >= static_cast<int>(m_animations.size()))
                    m_animations.push_back(MarkupAnimation{p.index, count, 0, p.speed});
                MarkupAnimation& a = m_animations[slot];
                if (a.count != count || a.ticksPerFrame != p.speed)
                    a = MarkupAnimation{p.index, count, 0, p.speed};   // another strip: start afresh
            }
            if (slot < static_cast<int>(m_animations.size()))
                frame = m_animations[slot].frame;
        }
        if (frame >= 0 && frame < count) {
            const int w = Scaled(fw, p.width, p.widthPercent);
            const int h = Scaled(fh, p.height, p.heightPercent);
            if (PlacePicture(w, h, shadow, runSize, &top, &layoutW, &layoutH)) {
                const DWORD style = PictureStyle(p);
                m_drawManager.DrawImageFromStrip(m_dc, m_x, top, w, h, bitmap, frame, fw, fh, p.mask, p.maskColor,
                                                 style, shadow, m_shadowOffsetX, m_shadowOffsetY, m_shadowDepthX,
                                                 m_shadowDepthY, m_imageColor);
                MarkupImageDrawn({m_x, top, m_x + w, top + h}, style);
            }
            m_x += layoutW;
        }
    }
}

HANDLE CHtmlDrawer::LoadPicture(UINT type, const MarkupImageParams& p, int cx, int cy, SIZE* size)
{
    // The first source given wins: the program's resource, a file, a DLL's resource.
    const int kind = p.resourceId ? 0 : !p.file.empty() ? 1 : 2;
    const UINT id = kind == 0 ? p.resourceId : p.dllResourceId;
    const CMarkupString& name = kind == 1 ? p.file : p.dllName;
    // A text names the same picture many times, and each pass meets it again: each is loaded once
    // for the text (a file or a library loaded at every tag made texts of many pictures slow).
    for (const MarkupPicture& cached : m_pictures)
        if (cached.type == type && cached.kind == kind && cached.id == id && cached.cx == cx && cached.cy == cy &&
            cached.name == name) {
            *size = cached.size;   // measuring an icon copies its bitmaps: once is enough
            return cached.image;
        }
    HANDLE image = nullptr;
    if (type == IMAGE_ICON) {
        if (kind == 0)
            image = LoadImageW(ProgramModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0);
        else if (kind == 1)
            image = LoadImageW(nullptr, name.c_str(), IMAGE_ICON, cx, cy, LR_LOADFROMFILE);
        else
            image = LoadIconFromResource(id, cx, cy, name.c_str());
    } else {
        if (kind == 0)
            image = LoadImageW(ProgramModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0);
        else if (kind == 1)
            image = LoadBitmapFromFile(name.c_str());
        else
            image = LoadBitmapFromResource(id, name.c_str());
    }
    if (type == IMAGE_ICON)
        CDrawManager::GetIconSize(static_cast<HICON>(image), size);
    else
        CDrawManager::GetBitmapSize(static_cast<HBITMAP>(image), size);
    const long long pixels = static_cast<long long>(size->cx) * size->cy;
    // Kept within bounds: the oldest go first, and the one loaded now stays until the next load.
    if (m_pictures.size() >= kMaxCachedPictures || m_picturePixels + pixels > kMaxCachedPicturePixels)
        FreePictures();
    m_pictures.push_back(MarkupPicture{type, kind, id, cx, cy, name, image, *size});
    m_picturePixels += pixels;
    return image;
}

void CHtmlDrawer::FreePictures()
{
    for (const MarkupPicture& picture : m_pictures) {
        if (!picture.image)
            continue;
        if (picture.type == IMAGE_ICON)
            DestroyIcon(static_cast<HICON>(picture.image));
        else
            DeleteObject(picture.image);
    }
    m_pictures.clear();
    m_picturePixels = 0;
}

void CHtmlDrawer::DrawStringTag(const CMarkupString& params)
{
    UINT id = 0;
    ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
        if (name == L"idres" || name == L"iddll")
            id = static_cast<UINT>(GetLength(value, static_cast<int>(id), FALSE));
    });
    if (id == 0)
        return;
    const CMarkupString text = LoadResourceString(GetResourceModule(), id);
    if (text.empty())
        return;
    SIZE size = {0, 0};
    GetTextExtentPoint32W(m_dc, text.c_str(), text.Length(), &size);
    const int top = TextTop(m_y, size.cy);
    if (m_measuring) {
        m_line.alignment = m_style.horizontalAlign;
    } else {
        AddHotArea(m_x, top, m_x + size.cx, top + size.cy);
        MarkupTextOut(m_dc, m_x, top, text);
    }
    m_x += size.cx;
}

void CHtmlDrawer::DrawBackgroundImage(HDC dc, int x, int y, int width, int height, const CMarkupString& source)
{
    if (!m_outputEnabled || source.Length() <= 5)
        return;
    int pos = 0;
    if (!SkipToToken(source, pos, FALSE))
        return;
    const int start = pos;
    SkipToAnyOf(source, pos, L" :");
    const CMarkupString kind = source.Mid(start, pos - start);
    const CMarkupString value = GetValueAfter(source, pos, L':', L";");
    HBITMAP bitmap = nullptr;
    if (kind == L"idres")
        bitmap = LoadBitmapFromModule(static_cast<UINT>(std::wcstoul(value.c_str(), nullptr, 0)));
    else if (kind == L"iddll")
        bitmap = LoadBitmapFromResource(static_cast<UINT>(std::wcstoul(value.c_str(), nullptr, 0)), nullptr);
    else if (kind == L"file")
        bitmap = LoadBitmapFromFile(value.c_str());
    if (!bitmap)
        return;
    SIZE size;
    CDrawManager::GetBitmapSize(bitmap, &size);
    HDC memory = CreateCompatibleDC(dc);
    if (memory) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        m_drawManager.TileBlt(dc, x, y, width, height, memory, 0, 0, size.cx, size.cy);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    DeleteObject(bitmap);
}
