#pragma once
#include <windows.h>

// Process-wide patching of import address tables: a hooked function's entry in every loaded
// module's tables points at its replacement until the hooks are removed (the library does that
// when it unloads). Modules loaded later through the hooked loading functions are patched too.

// One hooked function. Records form a list, newest first, that lives until RemoveAllHooks.
struct CImportHook {
    CImportHook* next;
    void* ownBase;         // the library's own module, left alone with skipOwnModule
    const char* module;    // the exporting module, e.g. "Kernel32.dll" (a constant string)
    const char* function;
    void* real;            // null when the function was not found: then nothing matches
    void* replacement;
    bool skipOwnModule;

    // Every loaded module; restore puts the real address back.
    void PatchAllModules(bool restore);
    // One module; with a visited list, first the modules it imports (each once).
    void PatchModule(struct CModuleList* visited, HMODULE base, bool restore);
};

// Fills a fresh record, puts it at the head of the list and patches every module loaded now.
// Null only when out of memory.
CImportHook* InstallHook(const char* module, const char* function, void* replacement, bool skipOwnModule);
// A module that was just loaded (and the modules it imports), for every hook; nothing for a
// failed load or one mapped as data.
void PatchLoadedModule(HMODULE module, DWORD flags);
// Puts every entry back and empties the list.
void RemoveAllHooks();
// The head of the list (newest hook), or null.
CImportHook* FirstHook();

// The loader hooks: LoadLibraryA/W, LoadLibraryExA/W and GetProcAddress of "Kernel32.dll", all
// leaving the library's own tables alone, so that later modules and looked-up addresses follow
// the other hooks.
void InstallLoaderHooks();
