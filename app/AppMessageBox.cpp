#include "app/AppMessageBox.h"

// For now the system's message box shows the question. The program's own markup message box,
// with the program's background colours (a horizontal shade 0xEEEEAF / 0xFAFAFA / 0xF0F0F0 behind
// the text, a solid 0xF0F0F0 band behind the buttons) and the captions of the language library,
// replaces it here once that widget exists; callers stay as they are.
int AppMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    return MessageBoxW(owner, text, caption, style);
}
