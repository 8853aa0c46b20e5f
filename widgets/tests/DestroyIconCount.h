#pragma once
#include <windows.h>

// Every DestroyIcon of this executable goes through a hook that counts the calls for one icon.
void CountDestroyIconOf(HICON icon);
int DestroyIconCount();
