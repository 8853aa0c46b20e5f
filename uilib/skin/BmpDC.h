#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// A screen-compatible memory DC that owns the bitmap selected into it.
class TARNUI_API BmpDC {
public:
    explicit BmpDC(HBITMAP bitmap);
    BmpDC(int cx, int cy);
    virtual ~BmpDC();
    BmpDC(const BmpDC&) = delete;
    BmpDC& operator=(const BmpDC&) = delete;

    // Selects the old object back and deletes the DC; returns the bitmap, or deletes it.
    HBITMAP Detach(bool deleteBitmap);
    void Draw(HDC dst, int x, int y, int cx, int cy) const;
    HDC Dc() const { return m_dc; }
    const BITMAP& Info() const { return m_info; }

private:
    void Select(HBITMAP bitmap);

    HDC m_dc = nullptr;
    BITMAP m_info = {};
    HGDIOBJ m_old = nullptr;
    HBITMAP m_bitmap = nullptr;
};
