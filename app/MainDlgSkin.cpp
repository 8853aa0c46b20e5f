#include "app/MainDlgSkin.h"

// The skin library arrives with the skinned frame; until then the dialog keeps the system's frame.
void AttachMainDialogSkin(HWND)
{
}

void SetMainDialogVersionText(HWND, const wchar_t*)
{
}
