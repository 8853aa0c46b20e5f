// The owner-drawn button's pictures: icons, masked bitmaps, image strips and the background image.
#include "widgets/StyledButton.h"
#include "core/ResourceModule.h"

#include <gdiplus.h>
#include <initializer_list>

namespace {

bool IsOutSentinel(const void* handle)
{
    const INT_PTR value = reinterpret_cast<INT_PTR>(handle);
    return value == -2 || value == -3;
}

// A copy of a 32-bit colour bitmap with each pixel turned grey (luma) or 25 % darker; alpha kept.
HBITMAP RecolouredCopy(HBITMAP source, bool grey)
{
    BITMAP info = {};
    if (source == nullptr || ::GetObjectW(source, sizeof(info), &info) == 0)
        return nullptr;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(screen, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy != nullptr &&
        ::GetDIBits(screen, source, 0, info.bmHeight, bits, &header, DIB_RGB_COLORS) == info.bmHeight) {
        auto* pixel = static_cast<DWORD*>(bits);
        for (int i = 0; i < info.bmWidth * info.bmHeight; ++i) {
            DWORD p = pixel[i];
            DWORD a = p & 0xFF000000;
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (grey) {
                int y = static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b + 0.5);
                r = g = b = y > 255 ? 255 : y;
            } else {
                r = r * 3 / 4;
                g = g * 3 / 4;
                b = b * 3 / 4;
            }
            pixel[i] = a | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
        }
    } else if (copy != nullptr) {
        ::DeleteObject(copy);
        copy = nullptr;
    }
    ::ReleaseDC(nullptr, screen);
    return copy;
}

HICON RecolouredIcon(HICON source, bool grey)
{
    ICONINFO info = {};
    if (!::GetIconInfo(source, &info))
        return nullptr;
    HICON icon = nullptr;
    HBITMAP colour = RecolouredCopy(info.hbmColor, grey);
    if (colour != nullptr) {
        ICONINFO made = info;
        made.fIcon = TRUE;
        made.hbmColor = colour;
        icon = ::CreateIconIndirect(&made);
        ::DeleteObject(colour);
    }
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return icon;
}

// The icon's size as twice its hot spot; false when the icon cannot be measured.
bool MeasureIcon(HICON icon, int* width, int* height)
{
    ICONINFO info = {};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return false;
    *width = static_cast<int>(info.xHotspot * 2);
    *height = static_cast<int>(info.yHotspot * 2);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return true;
}

// A monochrome mask (white where the bitmap has the mask colour); the bitmap's masked pixels are
// turned black so that SRCAND then SRCPAINT draws it transparently.
HBITMAP BuildMask(HBITMAP bitmap, COLORREF maskColour, int width, int height)
{
    HBITMAP mask = ::CreateBitmap(width, height, 1, 1, nullptr);
    if (mask == nullptr)
        return nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC source = ::CreateCompatibleDC(screen);
    HDC target = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldSource = ::SelectObject(source, bitmap);
    HGDIOBJ oldTarget = ::SelectObject(target, mask);
    ::SetBkColor(source, maskColour);
    ::BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    // Mask bits 1 come in as white and 0 as black; AND NOT turns the masked pixels black.
    ::SetBkColor(source, RGB(255, 255, 255));
    ::SetTextColor(source, RGB(0, 0, 0));
    ::BitBlt(source, 0, 0, width, height, target, 0, 0, 0x00220326);   // source AND NOT mask
    ::SelectObject(source, oldSource);
    ::SelectObject(target, oldTarget);
    ::DeleteDC(source);
    ::DeleteDC(target);
    return mask;
}

}  // namespace

void CStyledButton::FreeImages()
{
    for (ImageSlot* slot : {&m_in, &m_out}) {
        if (slot->icon != nullptr) ::DestroyIcon(slot->icon);
        if (slot->bitmap != nullptr) ::DeleteObject(slot->bitmap);
        if (slot->mask != nullptr) ::DeleteObject(slot->mask);
        *slot = ImageSlot();
    }
}

DWORD CStyledButton::SetIcon(HICON in, HICON out)
{
    FreeImages();
    // The button owns what it is given: "out" the same as "in" is one icon, destroyed once.
    if (out == in)
        out = nullptr;
    const bool copyOut = IsOutSentinel(out);
    m_in.icon = in;
    if (!MeasureIcon(in, &m_in.width, &m_in.height)) {
        if (out != nullptr && !copyOut)
            ::DestroyIcon(out);
        FreeImages();
        return kStyledButtonLoadFailed;
    }
    if (copyOut) {
        out = RecolouredIcon(in, out == GreyIcon());
        if (out == nullptr) {
            FreeImages();
            return kStyledButtonLoadFailed;   // no grey or darker copy of this icon
        }
    }
    if (out != nullptr) {
        m_out.icon = out;
        if (!MeasureIcon(out, &m_out.width, &m_out.height)) {
            FreeImages();
            return kStyledButtonLoadFailed;
        }
    }
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetIconFromResource(int in, int out, HMODULE module)
{
    HINSTANCE from = module != nullptr ? module : GetResourceModule();
    HICON iconIn = static_cast<HICON>(::LoadImageW(from, MAKEINTRESOURCEW(in), IMAGE_ICON, 16, 16, 0));
    HICON iconOut = nullptr;
    if (out == -2 || out == -3)
        iconOut = reinterpret_cast<HICON>(static_cast<INT_PTR>(out));
    else if (out != 0)
        iconOut = static_cast<HICON>(::LoadImageW(from, MAKEINTRESOURCEW(out), IMAGE_ICON, 16, 16, 0));
    return SetIcon(iconIn, iconOut);
}

DWORD CStyledButton::SetIconFromImageList(HIMAGELIST list, int in, int out)
{
    HICON iconIn = ImageList_GetIcon(list, in, ILD_NORMAL);
    HICON iconOut = out == -2 || out == -3 ? reinterpret_cast<HICON>(static_cast<INT_PTR>(out))
                                           : ImageList_GetIcon(list, out, ILD_NORMAL);
    return SetIcon(iconIn, iconOut);
}

DWORD CStyledButton::SetBitmaps(HBITMAP in, COLORREF maskIn, HBITMAP out, COLORREF maskOut)
{
    FreeImages();
    const bool copyOut = IsOutSentinel(out);
    BITMAP info = {};
    if (in == nullptr || ::GetObjectW(in, sizeof(info), &info) == 0) {
        if (in != nullptr) ::DeleteObject(in);
        if (out != nullptr && !copyOut) ::DeleteObject(out);
        return kStyledButtonLoadFailed;
    }
    m_in.bitmap = in;
    m_in.width = info.bmWidth;
    m_in.height = info.bmHeight;
    m_in.mask = BuildMask(in, maskIn, m_in.width, m_in.height);
    if (m_in.mask == nullptr) {
        if (out != nullptr && !copyOut) ::DeleteObject(out);
        FreeImages();
        return kStyledButtonMaskFailed;
    }
    if (copyOut) {
        // The copy is made after masking: its masked pixels are black already and share the mask.
        m_out.bitmap = RecolouredCopy(in, out == GreyBitmap());
        m_out.mask = static_cast<HBITMAP>(::CopyImage(m_in.mask, IMAGE_BITMAP, 0, 0, 0));
        if (m_out.bitmap == nullptr || m_out.mask == nullptr) {
            FreeImages();
            return m_out.bitmap == nullptr ? kStyledButtonLoadFailed : kStyledButtonMaskFailed;
        }
        m_out.width = m_in.width;
        m_out.height = m_in.height;
    } else if (out != nullptr) {
        m_out.bitmap = out;
        if (::GetObjectW(out, sizeof(info), &info) == 0) {
            FreeImages();
            return kStyledButtonLoadFailed;
        }
        m_out.width = info.bmWidth;
        m_out.height = info.bmHeight;
        m_out.mask = BuildMask(out, maskOut, m_out.width, m_out.height);
        if (m_out.mask == nullptr) {
            FreeImages();
            return kStyledButtonMaskFailed;
        }
    }
    Repaint();
    return kStyledButtonOk;
}

DWORD CStyledButton::SetBitmapsFromResource(int in, COLORREF maskIn, int out, COLORREF maskOut, HMODULE module)
{
    HINSTANCE from = module != nullptr ? module : GetResourceModule();
    HBITMAP bitmapIn = static_cast<HBITMAP>(::LoadImageW(from, MAKEINTRESOURCEW(in), IMAGE_BITMAP, 0, 0, 0));
    HBITMAP bitmapOut = nullptr;
    if (out == -2 || out == -3)
        bitmapOut = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(out));
    else if (out != 0)
        bitmapOut = static_cast<HBITMAP>(::LoadImageW(from, MAKEINTRESOURCEW(out), IMAGE_BITMAP, 0, 0, 0));
    return SetBitmaps(bitmapIn, maskIn, bitmapOut, maskOut);
}

DWORD CStyledButton::SetImage(Gdiplus::Image* image, int frames)
{
    delete m_image;
    m_image = image;
    // A strip with no frames is drawn as one frame (no division by zero).
    m_imageFrames = frames < 1 ? 1 : frames;
    m_imageWidth = image != nullptr ? static_cast<int>(image->GetWidth()) : 0;
    m_imageHeight = image != nullptr ? static_cast<int>(image->GetHeight()) : 0;
    if (image != nullptr && (m_imageWidth == 0 || m_imageHeight == 0)) {
        delete m_image;
        m_image = nullptr;
        return kStyledButtonLoadFailed;
    }
    if (m_imageFrames > 1)
        m_drawFlags &= static_cast<BYTE>(~kThemed);
    Repaint();
    return kStyledButtonOk;
}

DWORD CStyledButton::SetBkImage(Gdiplus::Image* image, BYTE alpha)
{
    delete m_bkImage;
    m_bkImage = image;
    m_bkAlpha = alpha;
    m_drawFlags &= static_cast<BYTE>(~kThemed);
    Repaint();
    return kStyledButtonOk;
}
