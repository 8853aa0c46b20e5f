#pragma once
#include <windows.h>

// HeapAlloc of the test executable's own code (the engine's library included) through its import
// slot: link HeapAllocSeam.cpp into the test executable itself, not through a library. Calls pass
// on to the system unless a failure is armed.

// From now on, calls for exactly `bytes` succeed `succeed` more times, then return null until
// disarmed (bytes 0).
void FailHeapAllocOfSize(SIZE_T bytes, LONG succeed);
// The armed size's calls that were refused.
LONG RefusedHeapAllocs();
