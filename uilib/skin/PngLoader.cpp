#include "uilib/skin/PngLoader.h"

#include <gdiplus.h>
#include <objidl.h>

#include <cstring>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/TextConvert.h"

namespace gp = Gdiplus::DllExports;

namespace {

// Bounds checked before decoding: a picture past them, or a chunk that claims more bytes than the
// data holds, would take the decoder past any sane amount of memory. No real skin image comes near
// them: sides up to 16384, 32 M pixels (128 MB a copy, the decoder's and ours), and a file as large
// as such a picture stored without compression.
const DWORD kMaxPngSide = 16384;
const unsigned long long kMaxPngPixels = 32ull * 1024 * 1024;
const DWORD kMaxPngFileBytes = static_cast<DWORD>(4 * kMaxPngPixels + 1024 * 1024);

DWORD BigEndian32(const BYTE* p)
{
    return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) | (static_cast<DWORD>(p[2]) << 8) | p[3];
}

// The signature, a first IHDR chunk of a sane image size, and chunks that stay inside the data.
bool IsSanePng(const BYTE* bytes, size_t size)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const size_t kChunkFrame = 12;   // length, type, CRC
    if (size < sizeof(kSignature) + kChunkFrame + 13 || std::memcmp(bytes, kSignature, sizeof(kSignature)) != 0)
        return false;
    size_t pos = sizeof(kSignature);
    bool first = true;
    while (pos + kChunkFrame <= size) {
        const DWORD length = BigEndian32(bytes + pos);
        const BYTE* type = bytes + pos + 4;
        if (length > size - pos - kChunkFrame)
            return false;
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13)
                return false;
            const DWORD width = BigEndian32(type + 4);
            const DWORD height = BigEndian32(type + 8);
            if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide ||
                static_cast<unsigned long long>(width) * height > kMaxPngPixels)
                return false;
            first = false;
        }
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        pos += kChunkFrame + length;
    }
    return !first;   // cut short after the header: the decoder judges the rest
}

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

// Decodes the PNG held in memory (a movable global block of size bytes, which the stream takes
// over and frees). One copy of the file's bytes is all the loader keeps.
HBITMAP DecodeGlobal(HGLOBAL memory, DWORD size, DWORD flags)
{
    const void* bytes = memory ? GlobalLock(memory) : nullptr;
    bool sane = bytes && IsSanePng(static_cast<const BYTE*>(bytes), size);
    if (memory)
        GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (!sane || FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        if (memory)
            GlobalFree(memory);
        return nullptr;
    }
    HBITMAP result = nullptr;
    ULARGE_INTEGER length = {};
    length.QuadPart = size;
    CGdiplusUse gdiplus;
    Gdiplus::GpBitmap* image = nullptr;
    if (gdiplus.Ok() && SUCCEEDED(stream->SetSize(length)) &&
        gp::GdipCreateBitmapFromStream(stream, &image) == Gdiplus::Ok)
        result = ToDib(image, flags);
    stream->Release();
    return result;
}

HGLOBAL CopyToGlobal(const void* bytes, DWORD size)
{
    HGLOBAL memory = bytes && size ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (void* target = memory ? GlobalLock(memory) : nullptr) {
        memcpy(target, bytes, size);
        GlobalUnlock(memory);
    }
    return memory;
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
    if (!bytes || !size || size > kMaxPngFileBytes)
        return nullptr;
    return DecodeGlobal(CopyToGlobal(bytes, size), size, flags);
}

// The whole file in a global block, when it is of a size a picture can sanely have; null otherwise.
HGLOBAL ReadSmallFile(const wchar_t* path, DWORD* bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size = {};
    HGLOBAL memory = nullptr;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxPngFileBytes) {
        *bytes = static_cast<DWORD>(size.QuadPart);
        memory = GlobalAlloc(GMEM_MOVEABLE, *bytes);
        void* target = memory ? GlobalLock(memory) : nullptr;
        DWORD read = 0;
        bool ok = target && ReadFile(file, target, *bytes, &read, nullptr) && read == *bytes;
        if (memory)
            GlobalUnlock(memory);
        if (!ok && memory) {
            GlobalFree(memory);
            memory = nullptr;
        }
    }
    CloseHandle(file);
    return memory;
}

}  // namespace

HBITMAP WINAPI LoadPNG(const wchar_t* file, DWORD flags)
{
    DWORD size = 0;
    HGLOBAL memory = file ? ReadSmallFile(file, &size) : nullptr;
    return memory ? DecodeGlobal(memory, size, flags) : nullptr;
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
