// Where markup images come from: loaders, the image list, shadow settings and string-resource lines.
#include "render/HtmlDrawer.h"

namespace {
// Loads one image from a DLL loaded for the call, or else from the drawer's resource module.
HANDLE LoadResourceImage(HMODULE resourceModule, const wchar_t* dllName, UINT id, UINT type, int cx, int cy,
                         UINT flags)
{
    if (id == 0)
        return nullptr;
    if (dllName && *dllName) {
        HMODULE dll = LoadLibraryExW(dllName, nullptr, 0);
        if (!dll)
            return nullptr;
        HANDLE image = LoadImageW(dll, MAKEINTRESOURCEW(id), type, cx, cy, flags);
        FreeLibrary(dll);
        return image;
    }
    return resourceModule ? LoadImageW(resourceModule, MAKEINTRESOURCEW(id), type, cx, cy, flags) : nullptr;
}
}

HBITMAP CHtmlDrawer::LoadBitmapFromResource(UINT id, const wchar_t* dllName) const
{
    return static_cast<HBITMAP>(LoadResourceImage(m_resourceModule, dllName, id, IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
}

HBITMAP CHtmlDrawer::LoadBitmapFromFile(const wchar_t* path)
{
    if (!path || !*path)
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
}

HBITMAP CHtmlDrawer::LoadBitmapFromModule(UINT id)
{
    if (id == 0)
        return nullptr;
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
}

HICON CHtmlDrawer::LoadIconFromResource(UINT id, int cx, int cy, const wchar_t* dllName) const
{
    return static_cast<HICON>(LoadResourceImage(m_resourceModule, dllName, id, IMAGE_ICON, cx, cy, 0));
}

HICON CHtmlDrawer::LoadIconFromFile(const wchar_t* path, int cx, int cy)
{
    if (!path || !*path)
        return nullptr;
    return static_cast<HICON>(LoadImageW(nullptr, path, IMAGE_ICON, cx, cy, LR_LOADFROMFILE));
}

HICON CHtmlDrawer::LoadIconFromModule(UINT id, int cx, int cy)
{
    if (id == 0)
        return nullptr;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0));
}

void CHtmlDrawer::LoadImageList(UINT bitmapId, int cx, int cy, int count, COLORREF maskColor)
{
    HBITMAP bitmap = LoadBitmapFromModule(bitmapId);
    SetImageList(bitmap, cx, cy, count, maskColor);
    if (bitmap)
        DeleteObject(bitmap);
}

void CHtmlDrawer::SetImageList(HBITMAP bitmap, int cx, int cy, int count, COLORREF maskColor)
{
    if (m_imageList)
        ImageList_Destroy(m_imageList);
    m_imageList = nullptr;
    if (!bitmap)
        return;
    InitCommonControls();
    m_imageList = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, count, 1);
    if (!m_imageList)
        return;
    ImageList_AddMasked(m_imageList, bitmap, maskColor);
    m_imageCx = cx;
    m_imageCy = cy;
}

void CHtmlDrawer::SetImageShadow(int offsetX, int offsetY, BYTE darkenPercent, BOOL enabled, int depthX,
                                 int depthY)
{
    m_shadowOffsetX = offsetX;
    m_shadowOffsetY = offsetY;
    m_shadowDarken = darkenPercent > 100 ? 100 : darkenPercent;
    m_shadowEnabled = enabled;
    m_shadowDepthX = depthX;
    m_shadowDepthY = depthY;
    const int grey = MulDiv(255, 100 - m_shadowDarken, 100);
    m_shadowColor = RGB(grey, grey, grey);
}

CMarkupString CHtmlDrawer::GetResourceStringLine(UINT id, int line)
{
    const CMarkupString text = LoadResourceString(GetModuleHandleW(nullptr), id);
    int start = 0;
    for (int n = 0; n < line; ++n) {
        size_t next = text.find(L'\n', static_cast<size_t>(start));
        if (next == std::wstring::npos)
            return CMarkupString();
        start = static_cast<int>(next) + 1;
    }
    if (line < 0)
        return CMarkupString();
    size_t end = text.find(L'\n', static_cast<size_t>(start));
    return text.Mid(start, (end == std::wstring::npos ? text.Length() : static_cast<int>(end)) - start);
}
