#pragma once

// The linker symbol of a system function's import slot, for test seams that define the slot
// themselves: 32-bit names carry the stdcall decoration (__imp__Name@Bytes), 64-bit names do not.
#if defined(_WIN64)
#define IMPORT_SLOT(name, argBytes) "__imp_" #name
#else
#define IMPORT_SLOT(name, argBytes) "__imp__" #name "@" #argBytes
#endif
