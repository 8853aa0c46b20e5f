#pragma once
#include <windows.h>

// The module that UI strings and dialog templates come from: the language library once the run
// routine has loaded one, else the program itself.
HINSTANCE GetResourceModule();
void SetResourceModule(HINSTANCE module);  // null returns to the program's own resources
