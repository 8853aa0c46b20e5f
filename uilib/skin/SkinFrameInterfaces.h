#pragma once
#include <windows.h>
#include <unknwn.h>

#include "uilib/skin/TarnUIApi.h"

// What skin elements ask of the frame that owns them. The frame implements all three; elements
// reach the painter and the tooltip provider by QueryInterface on the frame.
namespace FWSkin {

extern "C" TARNUI_API const IID IID_ISkinFrame;
extern "C" TARNUI_API const IID IID_ISkinPainter;
extern "C" TARNUI_API const IID IID_ISkinToolTipProvider;

class ISkinFrame : public IUnknown {
public:
    virtual HWND GetWindow() = 0;
    // Repaints a rectangle (left, top, right, bottom in window coordinates) of the frame.
    virtual void Invalidate(const RECT* rect) = 0;
    virtual void DeleteThis() = 0;  // the deleting destructor's slot

protected:
    ~ISkinFrame() = default;
};

class ISkinPainter : public IUnknown {
public:
    // The current layout's background and parts into the rectangle (left, top, right, bottom).
    virtual void DrawBackground(HDC dc, const RECT* rect) = 0;
    // A source rectangle of the skin image (x, y, cx, cy) stretched to dst (x, y, cx, cy).
    virtual void DrawImage(HDC dc, const RECT* dst, const RECT* src, BYTE alpha) = 0;
    // A source rectangle of the skin image at a point, unscaled.
    virtual void DrawImageAt(HDC dc, const POINT* at, const RECT* src, BYTE alpha) = 0;

protected:
    ~ISkinPainter() = default;
};

// Rectangles are in window coordinates (left, top, right, bottom); the provider moves them into
// the client coordinates of its tooltip window.
class ISkinToolTipProvider : public IUnknown {
public:
    virtual int AddToolTip(int id, const RECT* rect, const wchar_t* text) = 0;
    virtual int RemoveToolTip(int id) = 0;
    virtual int SetToolTipRect(int id, const RECT* rect) = 0;
    virtual int SetToolTipText(int id, const wchar_t* text) = 0;
    virtual int GetToolTipText(int id, wchar_t* buffer, int size) = 0;

protected:
    ~ISkinToolTipProvider() = default;
};

}  // namespace FWSkin
