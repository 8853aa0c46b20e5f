#pragma once
#include <string>
#include <utility>
#include <vector>

// Skins that try to freeze the frame or take all memory: region bombs, edge arithmetic that
// overflows, countless tiles, corners past any screen, PNGs that lie about their size. Shared by
// the skin engine's tests and the fuzz driver.
struct SkinCase
{
    std::string name;
    std::string description;                                   // the Skin.inf text
    std::vector<std::pair<std::string, std::string>> images;   // file name, bytes
};

std::vector<SkinCase> HostileSkinCases();
// count random mutations of an ordinary skin (numbers blown up, keys dropped or repeated, image
// rectangles moved); the same seed gives the same cases.
std::vector<SkinCase> MutatedSkinCases(unsigned seed, int count);
// Writes the case into folder\name\ and returns the path of its Skin.inf.
std::wstring WriteSkinCase(const SkinCase& skin, const std::wstring& folder);

// What a skin did to a fresh visible window: SetWindowSkin's result, whether the window then
// carries the skin, and the seconds its attach, one whole repaint and two resizes (larger, then
// smaller than the skin's corners) took, messages pumped after each. The window is destroyed after.
struct SkinTrial
{
    int attached = 0;
    bool skinned = false;
    double attachSeconds = 0;   // wall time
    double paintSeconds = 0;
    double resizeSeconds = 0;
    double cpuSeconds = 0;      // the calling thread's processor time for all three
};
SkinTrial TrySkin(const std::wstring& inf);
