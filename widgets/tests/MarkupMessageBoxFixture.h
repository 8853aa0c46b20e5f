#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "widgets/MarkupMessageBoxParams.h"

// Running a markup message box from a test and reading what it shows.

// The result of a box that the test's action left open (the fixture closes it after a while).
constexpr int kLeftOpen = -77;

struct BoxButton
{
    UINT id;
    std::wstring caption;
    RECT rect;          // in the box's client coordinates
    bool enabled;
    bool isDefault;     // BS_DEFPUSHBUTTON
};

struct BoxView
{
    std::wstring title;
    RECT window;
    RECT client;
    std::vector<BoxButton> buttons;   // left to right
    bool closeEnabled;                // the system menu's Close
    HWND checkBox;
    RECT checkBoxRect;
    std::wstring checkBoxCaption;
    RECT labelRect;
};

BoxView ViewBox(HWND box);
const BoxButton* FindButton(const BoxView& view, UINT id);
std::vector<UINT> ButtonIds(const BoxView& view);

// The defaults with the given style and no sound.
MarkupMessageBoxParams QuietParams(UINT style);
// Shows the box; the action runs on it from inside its modal loop. caught receives the box.
int RunBox(const MarkupMessageBoxParams& params, const std::function<void(HWND)>& action, HWND* caught = nullptr);
// Seconds of the countdown, as the box's own timer gives them.
void Tick(HWND box, int times = 1);
// Not yet ended (an ended dialog is hidden at once, destroyed when its loop returns).
bool StillOpen(HWND box);
bool CloseMenuEnabled(HWND box);

// The system's message font, which the box measures and labels with (one handle for the process).
HFONT MessageFont();
// Text extents in a font, on the screen's device context.
SIZE TextSize(HFONT font, const std::wstring& text);
// The markup renderer's measure of a text, with the font selected as the box selects it.
SIZE MarkupSize(HFONT font, const std::wstring& markup);

// A plain top-level window to own boxes; counts a message sent to it.
class CTestOwner
{
public:
    CTestOwner(int x, int y, int width, int height, bool visible, UINT countedMessage = 0);
    ~CTestOwner();
    HWND Window() const { return m_window; }
    int Count() const { return m_count; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window = nullptr;
    UINT m_counted = 0;
    int m_count = 0;
};
