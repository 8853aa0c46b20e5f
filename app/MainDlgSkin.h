#pragma once
#include <windows.h>

// The main dialog's skin: attached while the dialog opens (frame, caption and the title and
// version texts), and the version text replaced once the real version is known.
void AttachMainDialogSkin(HWND dialog);
void SetMainDialogVersionText(HWND dialog, const wchar_t* version);
