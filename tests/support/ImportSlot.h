#pragma once

// The linker symbol of a system function's import slot, for test seams that define the slot
// themselves: 32-bit names carry the stdcall decoration (__imp__Name@Bytes), 64-bit names do not.
#if defined(_WIN64)
#define IMPORT_SLOT(name, argBytes) "__imp_" #name
#else
#define IMPORT_SLOT(name, argBytes) "__imp__" #name "@" #argBytes
#endif

// The linker symbol of the import thunk itself (what taking the function's address refers to):
// a seam that defines its slot must define this too when code of the executable takes the address.
#if defined(_WIN64)
#define IMPORT_THUNK(name, argBytes) #name
#else
#define IMPORT_THUNK(name, argBytes) "_" #name "@" #argBytes
#endif
