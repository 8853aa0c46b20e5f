#pragma once
#include <windows.h>

#include <string>

#include "tests/support/WindowPixels.h"
#include "uilib/skin/tests/LibraryFixture.h"

// A visible top-level host for child controls, destroyed with the object.
class HostWindow {
public:
    HostWindow(int width = 480, int height = 360);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Get() const { return m_window; }
    HWND AddChild(const wchar_t* className, const wchar_t* text, int x, int y, int cx, int cy,
                  DWORD style = 0, DWORD exStyle = 0);

private:
    HWND m_window;
};

// Runs the message loop for about ms milliseconds.
void PumpMessagesFor(int ms);
// Repaints the window with its frame and children at once and lets the desktop settle.
void RepaintNow(HWND window);
// The whole window (frame included) as it is on the screen.
PixelImage CaptureWindowPixels(HWND window);
// Loads a colour scheme written from text (fails the test when it does not load).
void LoadSchemeText(const TempFolder& folder, const std::string& text);
