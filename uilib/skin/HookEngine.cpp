#include "uilib/skin/HookEngine.h"

#include <tlhelp32.h>

#include <new>
#include <vector>

#include "uilib/skin/LibraryEntry.h"

// Modules already walked by one PatchLoadedModule pass (import graphs have cycles).
struct CModuleList {
    std::vector<HMODULE> modules;
    bool Contains(HMODULE m) const
    {
        for (HMODULE known : modules)
            if (known == m)
                return true;
        return false;
    }
};

namespace {

CImportHook* g_firstHook = nullptr;

FARPROC WINAPI HookedGetProcAddress(HMODULE module, LPCSTR name);

// The module that holds this code: the library itself, or a program that links it statically.
void* OwnModuleBase()
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(reinterpret_cast<void*>(&HookedGetProcAddress), &info, sizeof(info)))
        return nullptr;
    return info.AllocationBase;
}

// LoadLibraryEx flags that map a file as data or as a resource image: no code, no import table
// bound, so nothing to patch (and the headers would be read at the wrong offsets).
constexpr DWORD kLoadAsDataFile = 0x2;           // LOAD_LIBRARY_AS_DATAFILE
constexpr DWORD kLoadAsImageResource = 0x20;     // LOAD_LIBRARY_AS_IMAGE_RESOURCE
constexpr DWORD kLoadAsDataFileExclusive = 0x40; // LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE
constexpr DWORD kDataLoadFlags = kLoadAsDataFile | kLoadAsImageResource | kLoadAsDataFileExclusive;

// The import descriptors of a mapped image, or null when it has none (or is no PE image).
IMAGE_IMPORT_DESCRIPTOR* ImportDescriptors(HMODULE module)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return nullptr;
    if (nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress || !dir.Size)
        return nullptr;
    return reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
}

// One 32-bit write into a table entry; the page is made writable for it when it is not.
void WriteEntry(void** entry, void* value)
{
    if (WriteProcessMemory(GetCurrentProcess(), entry, &value, sizeof(value), nullptr))
        return;
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(entry, &info, sizeof(info)))
        return;
    DWORD previous = 0;
    if (!VirtualProtect(info.BaseAddress, info.RegionSize, PAGE_READWRITE, &previous))
        return;
    WriteProcessMemory(GetCurrentProcess(), entry, &value, sizeof(value), nullptr);
    VirtualProtect(info.BaseAddress, info.RegionSize, previous, &previous);
}

HMODULE WINAPI HookedLoadLibraryA(LPCSTR name)
{
    HMODULE module = LoadLibraryA(name);
    PatchLoadedModule(module, 0);
    return module;
}

HMODULE WINAPI HookedLoadLibraryW(LPCWSTR name)
{
    HMODULE module = LoadLibraryW(name);
    PatchLoadedModule(module, 0);
    return module;
}

HMODULE WINAPI HookedLoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = LoadLibraryExA(name, file, flags);
    PatchLoadedModule(module, flags);
    return module;
}

HMODULE WINAPI HookedLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags)
{
    HMODULE module = LoadLibraryExW(name, file, flags);
    PatchLoadedModule(module, flags);
    return module;
}

FARPROC WINAPI HookedGetProcAddress(HMODULE module, LPCSTR name)
{
    FARPROC result = GetProcAddress(module, name);
    if (!result)
        return result;
    for (CImportHook* hook = g_firstHook; hook; hook = hook->next)
        if (hook->real == reinterpret_cast<void*>(result))
            return reinterpret_cast<FARPROC>(hook->replacement);
    return result;
}

}  // namespace

void CImportHook::PatchAllModules(bool restore)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry))
        PatchModule(nullptr, reinterpret_cast<HMODULE>(entry.modBaseAddr), restore);
    CloseHandle(snapshot);
}

void CImportHook::PatchModule(CModuleList* visited, HMODULE base, bool restore)
{
    if (skipOwnModule && base == ownBase)
        return;
    IMAGE_IMPORT_DESCRIPTOR* first = ImportDescriptors(base);
    if (!first)
        return;
    auto* image = reinterpret_cast<BYTE*>(base);
    if (visited) {
        for (IMAGE_IMPORT_DESCRIPTOR* d = first; d->Name; ++d) {
            HMODULE imported = GetModuleHandleA(reinterpret_cast<const char*>(image + d->Name));
            if (imported && !visited->Contains(imported)) {
                visited->modules.push_back(imported);
                PatchModule(visited, imported, restore);
            }
        }
    }
    IMAGE_IMPORT_DESCRIPTOR* match = nullptr;
    for (IMAGE_IMPORT_DESCRIPTOR* d = first; d->Name && !match; ++d)
        if (lstrcmpiA(reinterpret_cast<const char*>(image + d->Name), module) == 0)
            match = d;
    if (!match || !match->FirstThunk)
        return;
    void* from = restore ? replacement : real;
    void* to = restore ? real : replacement;
    if (!from)
        return;
    for (auto** entry = reinterpret_cast<void**>(image + match->FirstThunk); *entry; ++entry) {
        if (*entry == from) {
            WriteEntry(entry, to);
            return;
        }
    }
}

CImportHook* InstallHook(const char* module, const char* function, void* replacement, bool skipOwnModule)
{
    auto* hook = new (std::nothrow) CImportHook{};
    if (!hook)
        return nullptr;
    hook->ownBase = OwnModuleBase();
    hook->module = module;
    hook->function = function;
    HMODULE exporter = GetModuleHandleA(module);
    hook->real = exporter ? reinterpret_cast<void*>(GetProcAddress(exporter, function)) : nullptr;
    hook->replacement = replacement;
    hook->skipOwnModule = skipOwnModule;
    hook->next = g_firstHook;
    g_firstHook = hook;
    g_pfnRemoveAllHooks = RemoveAllHooks;  // unload puts the entries back
    hook->PatchAllModules(false);
    return hook;
}

void PatchLoadedModule(HMODULE module, DWORD flags)
{
    // A failed load, or a file mapped as data (its handle carries low tag bits): nothing to patch.
    if (!module || (flags & kDataLoadFlags) || (reinterpret_cast<ULONG_PTR>(module) & 3))
        return;
    DWORD error = GetLastError();  // the caller of LoadLibrary sees the loader's own last error
    CModuleList visited;
    for (CImportHook* hook = g_firstHook; hook; hook = hook->next) {
        visited.modules.assign(1, module);
        hook->PatchModule(&visited, module, false);
    }
    SetLastError(error);
}

void RemoveAllHooks()
{
    while (CImportHook* hook = g_firstHook) {
        hook->PatchAllModules(true);
        g_firstHook = hook->next;
        delete hook;
    }
}

CImportHook* FirstHook()
{
    return g_firstHook;
}

void InstallLoaderHooks()
{
    InstallHook("Kernel32.dll", "LoadLibraryA", reinterpret_cast<void*>(&HookedLoadLibraryA), true);
    InstallHook("Kernel32.dll", "LoadLibraryW", reinterpret_cast<void*>(&HookedLoadLibraryW), true);
    InstallHook("Kernel32.dll", "LoadLibraryExA", reinterpret_cast<void*>(&HookedLoadLibraryExA), true);
    InstallHook("Kernel32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&HookedLoadLibraryExW), true);
    InstallHook("Kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&HookedGetProcAddress), true);
}
