#pragma once
#include <windows.h>

#include <functional>

// The first top-level window of the process that `accept` takes; null when none does.
HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& accept);
