#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"
#include "uilib/skin/TarnUIApi.h"

// An off-screen 32-bit paint buffer for one area of a target DC. Between Begin and End callers
// draw into Dc() in the target's coordinates; End copies (or blends) the buffer onto the target.
class TARNUI_API COffscreenDC {
public:
    COffscreenDC() = default;
    ~COffscreenDC() { Free(); }
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    HDC Begin(HDC target, const RECT* area, int yOrigin, const GRADIENT* fill, bool horizontal, BYTE alpha);
    void End();
    HDC Dc() const { return m_dc; }
    void* Bits() const { return m_bits; }

private:
    void Free();

    HBITMAP m_buffer = nullptr;
    void* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
    HDC m_target = nullptr;
    HDC m_dc = nullptr;
    RECT m_area = {};
    BYTE m_alpha = 255;
};
