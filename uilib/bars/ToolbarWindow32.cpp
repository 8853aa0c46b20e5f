#include "uilib/bars/ToolbarWindow32.h"

#include "uilib/bars/WindowsVersion.h"

namespace {

constexpr UINT kTbButtonSize = 20;       // sizeof(TBBUTTON) on 32-bit Windows
constexpr int kSeparatorWidth = 8;
constexpr int kMaxButtonText = 256;
constexpr COLORREF kMaskColour = 0xC0C0C0;  // silver is transparent in strips below 32 bits
constexpr WORD kToolbarResourceType = 241;  // RT_TOOLBAR
constexpr int kToolbarHeaderWords = 4;      // version, width, height, count

// Windows 2000 loses the alpha of 32-bit strips in LoadImage: build the DIB section by hand.
HBITMAP LoadDibByHand(HINSTANCE instance, const char* name)
{
    HRSRC found = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* info = static_cast<const BITMAPINFO*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(instance, found);
    if (!info || size < sizeof(BITMAPINFOHEADER))
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    DWORD colourTable = header.biBitCount == 4 ? 64 : header.biBitCount == 8 ? 1024 : 0;
    DWORD bytes = ((header.biBitCount * header.biWidth + 31) / 32) * labs(header.biHeight) * 4;
    if (sizeof(BITMAPINFOHEADER) + colourTable + bytes > size)
        return nullptr;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (dib)
        memcpy(bits, reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER) + colourTable, bytes);
    return dib;
}

}  // namespace

int CToolbarWindow32::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    m_hWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (!m_hWnd)
        return 0;
    SetButtonStructSize(kTbButtonSize);
    return 1;
}

int CToolbarWindow32::SetButtons(const WORD* ids, int count)
{
    if (count == 0 || !ids)
        return 0;
    for (int i = GetButtonCount(); i > 0; --i)
        DeleteButton(0);
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        button.fsState = TBSTATE_ENABLED;
        button.iString = -1;
        if (ids[i] == 0) {
            button.fsStyle = BTNS_SEP;
            button.iBitmap = kSeparatorWidth;
        } else {
            button.iBitmap = image++;
            button.idCommand = ids[i];
        }
        if (!AddButtons(1, &button))
            return 0;
    }
    return 1;
}

void CToolbarWindow32::ShowToolBarText(HINSTANCE instance, BOOL show)
{
    for (int index = 0; index < GetButtonCount(); ++index) {
        TBBUTTON button = {};
        if (!GetButton(index, &button) || button.fsStyle != 0)
            continue;  // separators, check, group and drop-down buttons keep their text
        char text[kMaxButtonText] = {};
        char* shown = nullptr;
        if (show) {
            if (!LoadStringA(instance, button.idCommand, text, kMaxButtonText))
                continue;
            char* newline = strrchr(text, '\n');
            if (!newline)
                continue;
            shown = newline + 1;
        }
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = shown;
        SetButtonInfo(button.idCommand, &info);
    }
}

int CToolbarWindow32::LoadImageList(HINSTANCE instance, const char* bitmapName, UINT imageCount, DWORD)
{
    if (imageCount == 0)
        return 0;  // nothing to cut the strip into
    HBITMAP bitmap = nullptr;
    if (IsWindowsVersion(5, 0))
        bitmap = LoadDibByHand(instance, bitmapName);
    if (!bitmap)
        bitmap = static_cast<HBITMAP>(LoadImageA(instance, bitmapName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return 0;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    if (info.bmBitsPixel < 32) {
        DeleteObject(bitmap);
        bitmap = static_cast<HBITMAP>(LoadImageA(instance, bitmapName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (!bitmap)
            return 0;
    }
    SIZE image = {info.bmWidth / static_cast<LONG>(imageCount), info.bmHeight};
    SetBitmapSize(image);
    HIMAGELIST list;
    if (info.bmBitsPixel == 32) {
        list = ImageList_Create(image.cx, image.cy, ILC_COLOR32 | ILC_MASK, 0, 0);
        ImageList_Add(list, bitmap, nullptr);
    } else {
        list = ImageList_Create(image.cx, image.cy, ILC_COLORDDB | ILC_MASK, 0, 0);
        ImageList_AddMasked(list, bitmap, kMaskColour);
    }
    m_imageList = list;
    DeleteObject(bitmap);
    SetImageList(list);
    return 1;
}

int CToolbarWindow32::LoadToolBar(HINSTANCE instance, const char* name, DWORD)
{
    HRSRC found = FindResourceA(instance, name, MAKEINTRESOURCEA(kToolbarResourceType));
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(instance, found);
    const WORD* words = static_cast<const WORD*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(instance, found);
    if (!words || size < kToolbarHeaderWords * sizeof(WORD))
        return 0;
    const int count = words[3];
    // A count beyond the resource's own end is refused rather than read past it.
    if ((kToolbarHeaderWords + count) * sizeof(WORD) > size)
        return 0;
    const WORD* ids = words + kToolbarHeaderWords;
    int result = SetButtons(ids, count);
    if (result) {
        SetBitmapSize(SIZE{words[1], words[2]});
        UINT images = 0;
        for (int i = 0; i < count; ++i)
            images += ids[i] != 0;
        result = LoadImageList(instance, name, images, 0);
    }
    FreeResource(loaded);
    return result;
}

int CToolbarWindow32::AddBitmap(int count, HBITMAP bitmap)
{
    TBADDBITMAP add = {nullptr, reinterpret_cast<UINT_PTR>(bitmap)};
    return Send(TB_ADDBITMAP, count, &add);
}

int CToolbarWindow32::AddBitmap(int count, UINT resourceId, HINSTANCE instance)
{
    TBADDBITMAP add = {instance, resourceId};
    return Send(TB_ADDBITMAP, count, &add);
}

BOOL CToolbarWindow32::SaveState(HKEY key, const char* subKey, const char* valueName)
{
    TBSAVEPARAMSA params = {key, subKey, valueName};
    return Send(TB_SAVERESTOREA, 1, &params);
}

BOOL CToolbarWindow32::RestoreState(HKEY key, const char* subKey, const char* valueName)
{
    TBSAVEPARAMSA params = {key, subKey, valueName};
    return Send(TB_SAVERESTOREA, 0, &params);
}

void CToolbarWindow32::SetColorScheme(COLORREF highlight, COLORREF shadow)
{
    COLORSCHEME scheme = {sizeof(scheme), highlight, shadow};
    Send(CCM_SETCOLORSCHEME, 0, &scheme);
}
