#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

namespace Glazier {

// Identifiers of the library's interfaces beside IID_ISkin; callers and the library compare them
// byte for byte.
// {3E8B5C21-7A94-4F3D-B612-0C4D9E7A1B01}
extern "C" TARNUI_API const IID IID_IMenu;
// {3E8B5C21-7A94-4F3D-B612-0C4D9E7A1B02}
extern "C" TARNUI_API const IID IID_ICommandBar;
// {3E8B5C21-7A94-4F3D-B612-0C4D9E7A1B03}
extern "C" TARNUI_API const IID IID_IShortcutBar;

}  // namespace Glazier
