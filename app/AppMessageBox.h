#pragma once
#include <windows.h>

#include "widgets/MarkupMessageBoxParams.h"

// The one call through which the manager asks the user a question or reports an error: the
// pressed button's id (IDOK, IDCANCEL, IDYES, IDNO...). style takes the standard MB_* flags.
int AppMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// A failure the user must hear of: logged, then shown with the caption "Error" and the stop icon.
void ReportError(HWND owner, const wchar_t* text);

// The record AppMessageBox shows with: the message box's defaults with the program's colours (a
// horizontal shade behind the whole box, a solid band behind the buttons).
MarkupMessageBoxParams AppMessageBoxParams();
