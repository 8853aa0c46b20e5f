#include "tests/support/Screenshot.h"

#include <windows.h>
#include <gdiplus.h>

#include "tests/support/TestPaths.h"

namespace {

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    if (bytes == 0)
        return false;
    std::string buffer(bytes, '\0');
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(&buffer[0]);
    Gdiplus::GetImageEncoders(count, bytes, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (lstrcmpW(encoders[i].MimeType, L"image/png") == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SavePixelsAsPng(const PixelImage& image, const std::wstring& path)
{
    if (image.Empty())
        return false;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool saved = false;
    {
        Gdiplus::Bitmap bitmap(image.width, image.height, PixelFormat32bppRGB);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                COLORREF c = image.At(x, y);
                bitmap.SetPixel(x, y, Gdiplus::Color(GetRValue(c), GetGValue(c), GetBValue(c)));
            }
        CLSID png;
        saved = PngEncoder(&png) && bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

std::wstring ScreenshotFolder()
{
    std::wstring folder = TestExeFolder() + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}
