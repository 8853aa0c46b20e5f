#include "core/ResourceModule.h"

static HINSTANCE s_resourceModule;

HINSTANCE GetResourceModule()
{
    return s_resourceModule ? s_resourceModule : GetModuleHandleW(nullptr);
}

void SetResourceModule(HINSTANCE module)
{
    s_resourceModule = module;
}
