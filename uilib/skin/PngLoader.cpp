#include "uilib/skin/PngLoader.h"

#include <gdiplus.h>
#include <objidl.h>

#include <cstring>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/TextConvert.h"

namespace gp = Gdiplus::DllExports;

namespace {

// The decoded image as an upright 32-bit bottom-up DIB; disposes the GDI+ image.
HBITMAP ToDib(Gdiplus::GpBitmap* image, DWORD flags)
{
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(image, &width);
    gp::GdipGetImageHeight(image, &height);
    HBITMAP dib = nullptr;
    DWORD* bits = nullptr;
    if (width && height)
        dib = CreateDib32(static_cast<int>(width), static_cast<int>(height), &bits);
    if (dib) {
        Gdiplus::BitmapData data = {};
        data.Width = width;
        data.Height = height;
        data.Stride = -4 * static_cast<INT>(width);  // picture top row into the last memory row
        data.PixelFormat = (flags & kPngPremultiplied) ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
        data.Scan0 = bits + static_cast<size_t>(height - 1) * width;
        Gdiplus::GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        Gdiplus::GpStatus status = gp::GdipBitmapLockBits(
            image, &rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, data.PixelFormat, &data);
        if (status == Gdiplus::Ok) {
            gp::GdipBitmapUnlockBits(image, &data);
        } else {
            // A blank picture is not a loaded one.
            DeleteObject(dib);
            dib = nullptr;
        }
    }
    gp::GdipDisposeImage(image);
    return dib;
}

HBITMAP LoadFromResource(HINSTANCE module, const wchar_t* name, DWORD flags)
{
    if (!name)
        return nullptr;
    HRSRC found = FindResourceW(module, name, L"PNG");
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || !size)
        return nullptr;
    CGdiplusUse gdiplus;
    if (!gdiplus.Ok())
        return nullptr;
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return nullptr;
    HBITMAP result = nullptr;
    ULONG written = 0;
    LARGE_INTEGER start = {};
    Gdiplus::GpBitmap* image = nullptr;
    if (SUCCEEDED(stream->Write(bytes, size, &written)) && written == size &&
        SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
        gp::GdipCreateBitmapFromStream(stream, &image) == Gdiplus::Ok)
        result = ToDib(image, flags);
    stream->Release();
    return result;
}

}  // namespace

HBITMAP WINAPI LoadPNG(const wchar_t* file, DWORD flags)
{
    if (!file)
        return nullptr;
    CGdiplusUse gdiplus;
    if (!gdiplus.Ok())
        return nullptr;
    Gdiplus::GpBitmap* image = nullptr;
    if (gp::GdipCreateBitmapFromFile(file, &image) != Gdiplus::Ok)
        return nullptr;
    return ToDib(image, flags);
}

HBITMAP WINAPI LoadPNG(const wchar_t* file)
{
    return LoadPNG(file, kPngPremultiplied);
}

HBITMAP WINAPI LoadPNG(const unsigned short* file, DWORD flags)
{
    return LoadPNG(reinterpret_cast<const wchar_t*>(file), flags);
}

HBITMAP WINAPI LoadPNG(const unsigned short* file)
{
    return LoadPNG(reinterpret_cast<const wchar_t*>(file), kPngPremultiplied);
}

HBITMAP WINAPI LoadPNG(const char* file)
{
    if (!file)
        return nullptr;
    wchar_t wide[MAX_PATH];
    if (!NarrowToWide(wide, file, MAX_PATH, CP_ACP))
        return nullptr;
    return LoadPNG(static_cast<const wchar_t*>(wide), kPngPremultiplied);
}

HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const wchar_t* name, DWORD flags)
{
    return LoadFromResource(module, name, flags);
}

HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const wchar_t* name)
{
    return LoadFromResource(module, name, kPngPremultiplied);
}

HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const unsigned short* name, DWORD flags)
{
    return LoadFromResource(module, reinterpret_cast<const wchar_t*>(name), flags);
}

HBITMAP WINAPI LoadPNGFromResource(HINSTANCE module, const unsigned short* name)
{
    return LoadFromResource(module, reinterpret_cast<const wchar_t*>(name), kPngPremultiplied);
}

HICON WINAPI LoadIconFromPNGResource(HINSTANCE module, const wchar_t* name)
{
    HBITMAP colour = LoadFromResource(module, name, 0);
    if (!colour)
        return nullptr;
    BITMAP bm = {};
    GetObjectW(colour, sizeof(bm), &bm);
    HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    HICON icon = nullptr;
    if (mask) {
        // CreateBitmap leaves the bits undefined: clear them.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, BLACKNESS);
        SelectObject(dc, old);
        DeleteDC(dc);
        ICONINFO info = {TRUE, 0, 0, mask, colour};
        icon = CreateIconIndirect(&info);
        DeleteObject(mask);
    }
    DeleteObject(colour);
    return icon;
}

HICON WINAPI LoadIconFromPNGResource(HINSTANCE module, const unsigned short* name)
{
    return LoadIconFromPNGResource(module, reinterpret_cast<const wchar_t*>(name));
}
