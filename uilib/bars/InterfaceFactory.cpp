#include "uilib/bars/InterfaceFactory.h"

#include <new>

#include "uilib/bars/BarInterfaces.h"
#include "uilib/bars/CommandBar.h"
#include "uilib/bars/Menu.h"
#include "uilib/bars/ShortcutBar.h"
#include "uilib/skin/Skin.h"

namespace Glazier {
extern "C" const IID IID_IMenu = {0x3E8B5C21, 0x7A94, 0x4F3D, {0xB6, 0x12, 0x0C, 0x4D, 0x9E, 0x7A, 0x1B, 0x01}};
extern "C" const IID IID_ICommandBar = {0x3E8B5C21, 0x7A94, 0x4F3D, {0xB6, 0x12, 0x0C, 0x4D, 0x9E, 0x7A, 0x1B, 0x02}};
extern "C" const IID IID_IShortcutBar = {0x3E8B5C21, 0x7A94, 0x4F3D, {0xB6, 0x12, 0x0C, 0x4D, 0x9E, 0x7A, 0x1B, 0x03}};
}  // namespace Glazier

namespace {

// A fresh object (count 0) handed out through its own QueryInterface, which takes the one
// reference; a failed allocation gives NULL, and new frees the memory when construction throws.
template <class T>
void* CreateObject(REFIID iid)
{
    T* object = new (std::nothrow) T();
    if (!object)
        return nullptr;
    void* out = nullptr;
    if (object->QueryInterface(iid, &out) != S_OK) {
        object->DeleteThis();
        return nullptr;
    }
    return out;
}

}  // namespace

extern "C" void* WINAPI glzCreateInstance(REFIID iid)
{
    using namespace Glazier;
    if (IsEqualIID(iid, IID_ISkin))
        return CreateObject<CSkin>(iid);
    if (IsEqualIID(iid, IID_IMenu))
        return CreateObject<CMenu>(iid);
    if (IsEqualIID(iid, IID_ICommandBar))
        return CreateObject<CCommandBar>(iid);
    if (IsEqualIID(iid, IID_IShortcutBar))
        return CreateObject<CShortcutBar>(iid);
    return nullptr;
}
