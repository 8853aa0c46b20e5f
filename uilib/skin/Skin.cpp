#include "uilib/skin/Skin.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/PngLoader.h"
#include "uilib/skin/PtrArray.h"

namespace Glazier {

extern "C" const IID IID_ISkin = {0x6C1F3A52, 0x8B47, 0x4D0E, {0x9E, 0x21, 0x5A, 0x7C, 0x3B, 0x9D, 0x4E, 0x10}};

namespace {

// The process-wide image cache, guarded by the library lock.
CPtrArray<CSkin::SkinResource> g_cache;

constexpr int kRegionGrowBy = 100;
// A picture whose opaque pixels make more runs than this gets its whole rectangle as region: the
// display refuses shapes of that many rectangles, and building them freezes the frame.
constexpr DWORD kMaxRegionRects = 2048;

RECT PartOrWhole(const RECT* part, const DibPixels& dib)
{
    return part ? *part : RECT{0, 0, dib.width, dib.height};
}

}  // namespace

CSkin::~CSkin()
{
    Free();
}

HRESULT STDMETHODCALLTYPE CSkin::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISkin)) {
        *out = static_cast<ISkin*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CSkin::AddRef()
{
    return ++m_refCount;
}

ULONG STDMETHODCALLTYPE CSkin::Release()
{
    ULONG left = --m_refCount;
    if (left == 0)
        DeleteThis();
    return left;
}

template <class LoadFn>
bool CSkin::Attach(const char* key, LoadFn load)
{
    Free();
    CLibraryLock lock;
    for (int i = 0; i < g_cache.GetCount(); ++i) {
        SkinResource* record = g_cache[i];
        if (lstrcmpiA(record->key, key) == 0) {
            ++record->users;
            m_resource = record;
            return true;
        }
    }
    HBITMAP image = load();
    if (!image)
        return false;
    auto* record = static_cast<SkinResource*>(calloc(1, sizeof(SkinResource)));
    char* keyCopy = static_cast<char*>(malloc(strlen(key) + 1));
    if (record)
        record->dc = CreateCompatibleDC(nullptr);
    if (!record || !keyCopy || !record->dc || g_cache.Add(record) < 0) {
        if (record && record->dc)
            DeleteDC(record->dc);
        free(record);
        free(keyCopy);
        DeleteObject(image);
        return false;
    }
    strcpy(keyCopy, key);
    record->key = keyCopy;
    record->image = image;
    // The DC keeps the image selected for its whole life: drawing is one blit from it.
    record->old = SelectObject(record->dc, image);
    record->users = 1;
    m_resource = record;
    return true;
}

bool CSkin::Load(const char* pngFile)
{
    if (!pngFile)
        return false;
    char path[MAX_PATH];
    if (PathIsRelativeA(pngFile)) {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        PathRemoveFileSpecA(exe);
        if (!PathCombineA(path, exe, pngFile))
            return false;
    } else {
        lstrcpynA(path, pngFile, MAX_PATH);
    }
    return Attach(path, [&]() { return LoadPNG(path); });
}

bool CSkin::LoadFromResource(HINSTANCE module, const wchar_t* name)
{
    if (!name)
        return false;
    // A string name is keyed by its text: two pointers to equal names share one image.
    char key[MAX_PATH + 32];
    char moduleKey[24];  // the whole handle: wsprintfA has no pointer-sized conversion
    snprintf(moduleKey, sizeof(moduleKey), "%p", static_cast<void*>(module));
    if (IS_INTRESOURCE(name))
        wsprintfA(key, "%s#%d", moduleKey, static_cast<int>(LOWORD(name)));
    else
        wsprintfA(key, "%s:%.255ls", moduleKey, name);
    return Attach(key, [&]() { return LoadPNGFromResource(module, name); });
}

void CSkin::Free()
{
    if (!m_resource)
        return;
    CLibraryLock lock;
    SkinResource* record = m_resource;
    m_resource = nullptr;
    if (--record->users > 0)
        return;
    g_cache.RemoveAt(g_cache.Find(record));
    SelectObject(record->dc, record->old);
    DeleteObject(record->image);
    DeleteDC(record->dc);
    free(record->key);
    free(record);
}

int CSkin::CachedImageCount()
{
    CLibraryLock lock;
    return g_cache.GetCount();
}

int CSkin::Draw(HDC dc, const RECT* dst, const RECT* src, BYTE alpha)
{
    if (!m_resource || !dst || !src || dst->right <= 0 || dst->bottom <= 0 || src->right <= 0 || src->bottom <= 0)
        return 0;
    CLibraryLock lock;
    return AlphaBlendRTL(dc, dst->left, dst->top, dst->right, dst->bottom, m_resource->dc, src->left, src->top,
                         src->right, src->bottom, BLENDFUNCTION{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA});
}

int CSkin::DrawEffect(HDC dc, const RECT* dst, const RECT* src, int effect, BYTE alpha)
{
    if (effect != kEffectGrey && effect != kEffectSepia)
        return Draw(dc, dst, src, alpha);
    if (!m_resource || !dst || !src || src->right <= 0 || src->bottom <= 0)
        return 0;
    HBITMAP copy = CreateBitmap(src->left, src->top, src->right, src->bottom);
    DibPixels pixels = DibOfBitmap(copy);
    if (!pixels.Ok()) {
        if (copy)
            DeleteObject(copy);
        return 0;
    }
    for (int i = 0; i < pixels.width * pixels.height; ++i) {
        DWORD p = pixels.bits[i];
        int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        int nr, ng, nb;
        if (effect == kEffectGrey) {
            nr = ng = nb = r * 3 / 10 + g * 6 / 10 + b / 10;
        } else {
            nr = r * 393 / 1000 + g * 769 / 1000 + b * 189 / 1000;
            ng = r * 349 / 1000 + g * 686 / 1000 + b * 168 / 1000;
            nb = r * 272 / 1000 + g * 534 / 1000 + b * 131 / 1000;
            nr = nr > 255 ? 255 : nr;
            ng = ng > 255 ? 255 : ng;
        }
        pixels.bits[i] = (p & 0xFF000000) | (nr << 16) | (ng << 8) | nb;
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, copy);
    int done = AlphaBlend(dc, dst->left, dst->top, dst->right, dst->bottom, memory, 0, 0, pixels.width,
                          pixels.height, BLENDFUNCTION{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA});
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(copy);
    return done;
}

int CSkin::DrawAt(HDC dc, int x, int y)
{
    SIZE size;
    GetSize(&size);
    RECT dst = {x, y, size.cx, size.cy};
    RECT src = {0, 0, size.cx, size.cy};
    return Draw(dc, &dst, &src, 255);
}

RECT* CSkin::GetRegionBox(RECT* out, const RECT* part)
{
    if (!out)
        return out;
    RECT p = part ? *part : RECT{};
    *out = RECT{p.left, p.top, p.left + p.right, p.top + p.bottom};
    // The bounding box of the opaque pixels: empty, at the part's corner, when there are none.
    if (HRGN region = CreateRegion(part, 1)) {
        RECT box;
        if (GetRgnBox(region, &box) != ERROR) {
            OffsetRect(&box, p.left, p.top);
            *out = box;
        }
        DeleteObject(region);
    }
    return out;
}

SIZE* CSkin::GetSize(SIZE* out)
{
    if (!out)
        return out;
    *out = SIZE{0, 0};
    if (m_resource) {
        BITMAP bm = {};
        GetObjectW(m_resource->image, sizeof(bm), &bm);
        *out = SIZE{bm.bmWidth, bm.bmHeight};
    }
    return out;
}

HDC CSkin::GetDC()
{
    return m_resource ? m_resource->dc : nullptr;
}

HBITMAP CSkin::CreateBitmap(int x, int y, int cx, int cy)
{
    if (!m_resource || cx <= 0 || cy <= 0)
        return nullptr;
    DibPixels source = DibOfBitmap(m_resource->image);
    DWORD* bits = nullptr;
    HBITMAP copy = CreateDib32(cx, cy, &bits);
    if (!copy || !source.Ok())
        return copy;
    DibPixels target = DibOfBitmap(copy);
    for (int row = 0; row < cy; ++row) {
        DWORD* out = target.Row(row);
        int sy = y + row;
        for (int col = 0; col < cx; ++col) {
            int sx = x + col;
            bool inside = sx >= 0 && sy >= 0 && sx < source.width && sy < source.height;
            out[col] = inside ? source.Row(sy)[sx] : 0;
        }
    }
    return copy;
}

HRGN CSkin::CreateRegion(const RECT* part, BYTE threshold)
{
    if (!m_resource)
        return nullptr;
    DibPixels dib = DibOfBitmap(m_resource->image);
    if (!dib.Ok())
        return nullptr;
    RECT p = PartOrWhole(part, dib);
    auto clampTo = [](LONG v, LONG hi) { return v < 0 ? 0 : (v > hi ? hi : v); };
    LONG left = clampTo(p.left, dib.width), top = clampTo(p.top, dib.height);
    LONG right = clampTo(p.left + p.right, dib.width), bottom = clampTo(p.top + p.bottom, dib.height);
    if (!part) {
        right = dib.width;
        bottom = dib.height;
    }

    DWORD capacity = kRegionGrowBy;
    auto* data = static_cast<RGNDATA*>(malloc(sizeof(RGNDATAHEADER) + capacity * sizeof(RECT)));
    if (!data)
        return nullptr;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 0;
    data->rdh.nRgnSize = 0;
    SetRectEmpty(&data->rdh.rcBound);
    for (LONG y = top; y < bottom; ++y) {
        const DWORD* row = dib.Row(y);
        for (LONG x = left; x < right;) {
            while (x < right && (row[x] >> 24) < threshold)
                ++x;
            LONG start = x;
            while (x < right && (row[x] >> 24) >= threshold)
                ++x;
            if (x == start)
                continue;
            if (data->rdh.nCount == kMaxRegionRects) {
                free(data);
                return CreateRectRgn(0, 0, right - left, bottom - top);
            }
            if (data->rdh.nCount == capacity) {
                capacity += kRegionGrowBy;
                auto* grown =
                    static_cast<RGNDATA*>(realloc(data, sizeof(RGNDATAHEADER) + capacity * sizeof(RECT)));
                if (!grown) {
                    free(data);
                    return nullptr;
                }
                data = grown;
            }
            RECT run = {start - left, y - top, x - left, y - top + 1};
            reinterpret_cast<RECT*>(data->Buffer)[data->rdh.nCount++] = run;
            UnionRect(&data->rdh.rcBound, &data->rdh.rcBound, &run);
        }
    }
    HRGN region = ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) + data->rdh.nCount * sizeof(RECT), data);
    free(data);
    if (!region)
        region = CreateRectRgn(0, 0, 0, 0);
    return region;
}

}  // namespace Glazier
