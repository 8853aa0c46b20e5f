#pragma once
#include <windows.h>

namespace FWSkin {

class CSkinFrame;

// Paint flags of CLayeredBorder::Paint.
constexpr UINT kBorderKeepPosition = 1;  // the window stays where it is
constexpr UINT kBorderCurrentSize = 2;   // the layered window's own size is used
constexpr UINT kBorderRepaintMessage = WM_USER + 1;

// The translucent frame's border: a layered popup lying exactly over the skinned window, painted
// with per-pixel alpha from the frame.
class CLayeredBorder {
public:
    explicit CLayeredBorder(CSkinFrame* frame) : m_frame(frame) {}
    ~CLayeredBorder() { Destroy(); }
    CLayeredBorder(const CLayeredBorder&) = delete;
    CLayeredBorder& operator=(const CLayeredBorder&) = delete;

    void Show(bool show);
    void Paint(int x, int y, int cx, int cy, UINT flags);
    void PostRepaint();
    // Asks for WM_NCMOUSELEAVE on the border window; true while it tracks.
    bool TrackLeave();
    // The move loop of SC_MOVE | HTCAPTION; false for any other command.
    bool RunMoveLoop(HWND window, UINT command, int x, int y);
    void Destroy();
    HWND Window() const { return m_window; }
    // The class's procedure; the object arrives with WM_NCCREATE.
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void RepaintAll();
    HWND Skinned() const;

    CSkinFrame* m_frame;
    HWND m_window = nullptr;
    bool m_repaintPosted = false;
    bool m_tracking = false;
};

}  // namespace FWSkin
