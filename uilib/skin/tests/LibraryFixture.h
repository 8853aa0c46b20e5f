#pragma once
#include <windows.h>

#include <string>

// Files a test writes for itself in a fresh folder under the temporary directory.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    // Writes bytes to name inside the folder; returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// The library's attach work runs once per test program (the tests link it statically).
void EnsureLibraryAttached();

// A 32-bit bottom-up DIB section (the library's own kind) selected into a memory DC, for reading
// what was drawn; Pixel takes picture coordinates.
class DibCanvas {
public:
    DibCanvas(int width, int height, DWORD fill = 0);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    DWORD& Pixel(int x, int y) { GdiFlush(); return m_bits[(m_height - 1 - y) * m_width + x]; }
    DWORD Rgb(int x, int y) { return Pixel(x, y) & 0xFFFFFF; }  // as 0x00RRGGBB
    void Fill(DWORD argb);
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

// 0x00RRGGBB as a DIB pixel holds it, from a COLORREF.
inline DWORD DibColor(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Records the delay-load failure texts the library would show, for the object's lifetime.
class DelayLoadMessages {
public:
    DelayLoadMessages();
    ~DelayLoadMessages();
    int Count() const;
    const std::string& Last() const;
};
extern int g_delayLoadMessages;
extern std::string g_lastDelayLoadMessage;
inline int DelayLoadMessages::Count() const { return g_delayLoadMessages; }
inline const std::string& DelayLoadMessages::Last() const { return g_lastDelayLoadMessage; }
