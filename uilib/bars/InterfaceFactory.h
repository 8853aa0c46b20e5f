#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// The library's objects by interface identifier: the requested interface with one reference,
// or NULL for an identifier the factory does not make (IUnknown's included).
extern "C" TARNUI_API void* WINAPI glzCreateInstance(REFIID iid);
