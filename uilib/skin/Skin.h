#pragma once
#include <windows.h>
#include <unknwn.h>

#include "uilib/skin/TarnUIApi.h"

namespace Glazier {

// {6C1F3A52-8B47-4D0E-9E21-5A7C3B9D4E10}
extern "C" TARNUI_API const IID IID_ISkin;

// One skin image (PNG with per-pixel alpha) shared through the library's image cache.
// RECT arguments hold x, y, width, height, except the one GetRegionBox returns.
// The slot order is the interface: no virtual destructor among the slots (GCC gives it two).
class ISkin {
public:
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
    virtual bool Load(const char* pngFile) = 0;
    virtual bool LoadFromResource(HINSTANCE module, const wchar_t* name) = 0;
    virtual void Free() = 0;
    virtual int Draw(HDC dc, const RECT* dst, const RECT* src, BYTE alpha) = 0;
    virtual int DrawEffect(HDC dc, const RECT* dst, const RECT* src, int effect, BYTE alpha) = 0;
    virtual int DrawAt(HDC dc, int x, int y) = 0;
    virtual RECT* GetRegionBox(RECT* out, const RECT* part) = 0;
    virtual SIZE* GetSize(SIZE* out) = 0;
    virtual HDC GetDC() = 0;
    virtual HBITMAP CreateBitmap(int x, int y, int cx, int cy) = 0;
    virtual HRGN CreateRegion(const RECT* part, BYTE alphaThreshold) = 0;
    virtual void DeleteThis() = 0;  // the deleting destructor's slot

    // Draw with the destination at a point and the source's own size.
    int DrawPart(HDC dc, const POINT* at, const RECT* src, BYTE alpha)
    {
        if (!at || !src)
            return 0;
        RECT dst = {at->x, at->y, src->right, src->bottom};
        return Draw(dc, &dst, src, alpha);
    }

protected:
    ~ISkin() = default;
};

constexpr int kEffectGrey = 1;
constexpr int kEffectSepia = 2;

class TARNUI_API CSkin : public ISkin {
public:
    // A cache record: one decoded image shared by every CSkin that loaded the same name.
    struct SkinResource {
        char* key;
        HDC dc;
        HBITMAP image;
        HGDIOBJ old;
        int users;
    };

    CSkin() = default;
    virtual ~CSkin();
    CSkin(const CSkin&) = delete;
    CSkin& operator=(const CSkin&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    bool Load(const char* pngFile) override;
    bool LoadFromResource(HINSTANCE module, const wchar_t* name) override;
    void Free() override;
    int Draw(HDC dc, const RECT* dst, const RECT* src, BYTE alpha) override;
    int DrawEffect(HDC dc, const RECT* dst, const RECT* src, int effect, BYTE alpha) override;
    int DrawAt(HDC dc, int x, int y) override;
    RECT* GetRegionBox(RECT* out, const RECT* part) override;
    SIZE* GetSize(SIZE* out) override;
    HDC GetDC() override;
    HBITMAP CreateBitmap(int x, int y, int cx, int cy) override;
    HRGN CreateRegion(const RECT* part, BYTE alphaThreshold) override;
    void DeleteThis() override { delete this; }

    HBITMAP Image() const { return m_resource ? m_resource->image : nullptr; }
    // Cache records alive in the process (tests).
    static int CachedImageCount();

private:
    // Shares the cached record of key, or makes one with the bitmap load() gives.
    template <class LoadFn>
    bool Attach(const char* key, LoadFn load);

    ULONG m_refCount = 0;
    SkinResource* m_resource = nullptr;
};

}  // namespace Glazier
