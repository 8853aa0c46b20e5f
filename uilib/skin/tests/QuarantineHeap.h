#pragma once
#include <cstddef>

// A debug heap for one test program: while armed, every block the program frees with delete is
// filled with a pattern and kept instead of freed, so a later write into it, or a second delete,
// shows. Replaces the program's global operator new and delete (link it into one program only).
namespace QuarantineHeap {

void Arm();
// What went wrong with the blocks freed since Arm; then every kept block is freed for real.
struct Findings {
    int writtenAfterFree = 0;
    int freedTwice = 0;
    int kept = 0;  // blocks freed while armed
};
Findings Disarm();

}  // namespace QuarantineHeap
