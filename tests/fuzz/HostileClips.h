#pragma once
#include <string>
#include <vector>

// AVI clips that lie to the animation control: format and frame sizes that disagree with the file
// or with the picture they declare, sizes that wrap, cut files, huge and zero counts, compressed
// clips with garbage frames. Shared by the control's tests and the fuzz driver.
struct ClipCase
{
    std::string name;
    std::string bytes;   // the file
    int opens = -1;      // what opening it must answer: 1, 0, or -1 when either will do
};

std::vector<ClipCase> HostileClipCases();
// count random mutations (fields set to extreme values, bytes flipped, cuts, chunk sizes blown up)
// of ordinary clips; the same seed gives the same cases.
std::vector<ClipCase> MutatedClipCases(unsigned seed, int count);
// Writes the case's file into folder and returns its path.
std::wstring WriteClipCase(const ClipCase& clip, const std::wstring& folder);

// What a clip did to a fresh animation control on a skinned dialog: whether ACM_OPEN took it, and
// the time its opening, every frame drawn (ticks sent straight to the control), a repaint, a
// replay, a stop, a resize and the destruction took. Needs global dialog skinning with a
// background gradient in place (PrepareClipTrials, or the host's own).
struct ClipTrial
{
    bool opened = false;
    double seconds = 0;      // wall time
    double cpuSeconds = 0;   // the calling thread's processor time
};
void PrepareClipTrials();
ClipTrial TryClip(const std::wstring& path);
