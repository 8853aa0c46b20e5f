// Runs hostile markup, skins or animation clips, and random mutations of them, one input after
// another under a watchdog, and prints a line per input and a summary:
//   lyrant_fuzz markup|skin|clip [first] [mutations] [seed]
// input <n> <name> <ms> <peak MB> <cpu ms>  an input that finished (wall time, commit during the
//                                           input, the thread's processor time)
// exception <n> <name>                 a C++ exception left the call under test
// crash <n> <name> <code>              a structured exception ended the process (the script resumes at n+1)
// hang <n> <name> <ms>                 an input ran past 10 s of processor time or 300 s of wall time
//                                      (ends the process likewise)
// memory <n> <name> <MB>               an input committed past the watchdog's limit (likewise)
// summary ...                          counts, the slowest input and the peak
//   lyrant_fuzz dump <n> [mutations] [seed]   writes markup input n (UTF-16, its wrap width on the
//                                              first line) to fuzz-input-<n>.txt, to replay it alone
//   lyrant_fuzz replay <file>                  runs such a file as one input under the watchdog
//   lyrant_fuzz dump-skin <n> [mutations] [seed]   writes skin input n into fuzz-skins, a folder per input
//   lyrant_fuzz replay-skin <Skin.inf>             attaches, paints and resizes that skin once
//   lyrant_fuzz dump-clip <n> [mutations] [seed]   writes clip input n into fuzz-clips
//   lyrant_fuzz replay-clip <file.avi>             opens, plays and closes that clip once
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/DibSection32.h"
#include "render/HtmlDrawer.h"
#include "tests/fuzz/HostileClips.h"
#include "tests/fuzz/HostileMarkup.h"
#include "tests/fuzz/HostileSkins.h"
#include "tests/fuzz/Stopwatch.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

// A hang is judged by the input thread's processor time: on a machine shared with many builds the
// wall time of the same work varies tenfold. Wall time past its own limit counts too.
const double kHangCpuMilliseconds = 10000;
const double kHangWallMilliseconds = 300000;
const SIZE_T kMemoryLimit = 1024u * 1024 * 1024;

struct Watch
{
    volatile LONG index = -1;
    std::string name;
    volatile LONGLONG started = 0;    // QueryPerformanceCounter at the input's start; 0 between inputs
    volatile SIZE_T peak = 0;         // the most committed memory seen during the input
    HANDLE thread = nullptr;          // the thread that runs the inputs
    volatile double cpuAtStart = 0;
} g_watch;

double ThreadCpuMilliseconds(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 1e4;
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

SIZE_T Committed()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

double Megabytes(SIZE_T bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

DWORD WINAPI Watchdog(void*)
{
    for (;;) {
        Sleep(2);
        const LONGLONG started = g_watch.started;
        if (!started)
            continue;
        const SIZE_T now = Committed();
        if (now > g_watch.peak)
            g_watch.peak = now;
        if (now > kMemoryLimit) {
            std::printf("memory %ld %s %.0f\n", g_watch.index, g_watch.name.c_str(), Megabytes(now));
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 4);
        }
        const double elapsed = Milliseconds(Now() - started);
        const double cpu = ThreadCpuMilliseconds(g_watch.thread) - g_watch.cpuAtStart;
        if (cpu > kHangCpuMilliseconds || elapsed > kHangWallMilliseconds) {
            std::printf("hang %ld %s %.0f\n", g_watch.index, g_watch.name.c_str(), elapsed);
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 5);
        }
    }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info)
{
    std::printf("crash %ld %s 0x%08lX\n", g_watch.index, g_watch.name.c_str(),
                static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// The hostile cases, then the mutations of them: the indexes every mode numbers inputs by.
template <class Case>
std::vector<Case> Corpus(std::vector<Case> cases, std::vector<Case> mutated)
{
    for (Case& c : mutated)
        cases.push_back(std::move(c));
    return cases;
}

std::vector<MarkupCase> MarkupCorpus(int mutations, unsigned seed)
{
    return Corpus(HostileMarkupCases(), MutatedMarkupCases(seed, mutations));
}

std::vector<SkinCase> SkinCorpus(int mutations, unsigned seed)
{
    return Corpus(HostileSkinCases(), MutatedSkinCases(seed, mutations));
}

std::vector<ClipCase> ClipCorpus(int mutations, unsigned seed)
{
    return Corpus(HostileClipCases(), MutatedClipCases(seed, mutations));
}

void PrintClipTrial(int index, const char* name, const ClipTrial& trial)
{
    std::printf("clip %d %s opened %d ms %.1f\n", index, name, trial.opened ? 1 : 0, 1000 * trial.seconds);
}

// A path from the command line (plain ASCII) as a wide string.
std::wstring Widen(const char* text)
{
    std::wstring wide;
    for (const char* c = text; *c; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return wide;
}

std::wstring TempPathOf(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

void PrintSkinTrial(int index, const char* name, const SkinTrial& trial)
{
    std::printf("skin %d %s attached %d skinned %d attach_ms %.1f paint_ms %.1f resize_ms %.1f\n", index, name,
                trial.attached, trial.skinned ? 1 : 0, 1000 * trial.attachSeconds, 1000 * trial.paintSeconds,
                1000 * trial.resizeSeconds);
}

struct Totals
{
    int inputs = 0;
    int exceptions = 0;
    double slowest = 0;
    std::string slowestName;
    double slowestCpu = 0;
    std::string slowestCpuName;
    SIZE_T peak = 0;
};

template <typename Run>
void RunOne(int index, const std::string& name, Totals& totals, Run run)
{
    g_watch.name = name;
    g_watch.index = index;
    g_watch.peak = Committed();
    g_watch.cpuAtStart = ThreadCpuMilliseconds(g_watch.thread);
    g_watch.started = Now();
    const LONGLONG start = g_watch.started;
    const Stopwatch watch;
    bool threw = false;
    try {
        run();
    } catch (...) {
        threw = true;
    }
    const double ms = Milliseconds(Now() - start);
    const double cpu = 1000 * watch.CpuSeconds();
    g_watch.started = 0;
    const SIZE_T sampled = g_watch.peak;
    const SIZE_T peak = std::max<SIZE_T>(sampled, Committed());
    ++totals.inputs;
    if (threw) {
        ++totals.exceptions;
        std::printf("exception %d %s\n", index, name.c_str());
    }
    std::printf("input %d %s %.1f %.1f %.1f\n", index, name.c_str(), ms, Megabytes(peak), cpu);
    std::fflush(stdout);
    if (ms > totals.slowest) {
        totals.slowest = ms;
        totals.slowestName = name;
    }
    if (cpu > totals.slowestCpu) {
        totals.slowestCpu = cpu;
        totals.slowestCpuName = name;
    }
    totals.peak = std::max(totals.peak, peak);
}

void Summary(const char* kind, const Totals& totals)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    std::printf("summary %s inputs %d exceptions %d slowest_ms %.1f slowest %s slowest_cpu_ms %.1f slowest_cpu %s "
                "peak_mb %.1f process_peak_mb %.1f\n",
                kind, totals.inputs, totals.exceptions, totals.slowest, totals.slowestName.c_str(), totals.slowestCpu,
                totals.slowestCpuName.c_str(), Megabytes(totals.peak), Megabytes(counters.PeakPagefileUsage));
}

int RunMarkup(int first, int mutations, unsigned seed)
{
    const std::vector<MarkupCase> cases = MarkupCorpus(mutations, seed);
    CDibSection32 canvas;
    canvas.Create(400, 300);
    CHtmlDrawer drawer;
    const PictureFixtures pictures;
    Totals totals;
    for (int i = first; i < static_cast<int>(cases.size()); ++i) {
        const std::wstring text = pictures.Fill(cases[i].text);
        RunOne(i, cases[i].name, totals, [&]() { PrepareAndDraw(drawer, canvas.DC(), text, cases[i].maxWidth); });
    }
    Summary("markup", totals);
    return 0;
}

int RunSkins(int first, int mutations, unsigned seed)
{
    EnsureLibraryAttached();
    const std::vector<SkinCase> cases = SkinCorpus(mutations, seed);
    const std::wstring folder = TempPathOf(L"lyrant_fuzz_skins");
    Totals totals;
    int skinned = 0;
    for (int i = first; i < static_cast<int>(cases.size()); ++i) {
        const std::wstring inf = WriteSkinCase(cases[i], folder);
        SkinTrial trial;
        RunOne(i, cases[i].name, totals, [&]() { trial = TrySkin(inf); });
        skinned += trial.skinned ? 1 : 0;
        PrintSkinTrial(i, cases[i].name.c_str(), trial);
    }
    std::printf("skinned %d of %d\n", skinned, totals.inputs);
    Summary("skin", totals);
    return 0;
}

int RunClips(int first, int mutations, unsigned seed)
{
    EnsureLibraryAttached();
    PrepareClipTrials();
    const std::vector<ClipCase> cases = ClipCorpus(mutations, seed);
    const std::wstring folder = TempPathOf(L"lyrant_fuzz_clips");
    Totals totals;
    int opened = 0;
    for (int i = first; i < static_cast<int>(cases.size()); ++i) {
        const std::wstring path = WriteClipCase(cases[i], folder);
        ClipTrial trial;
        RunOne(i, cases[i].name, totals, [&]() { trial = TryClip(path); });
        opened += trial.opened ? 1 : 0;
        PrintClipTrial(i, cases[i].name.c_str(), trial);
        DeleteFileW(path.c_str());
    }
    std::printf("opened %d of %d\n", opened, totals.inputs);
    Summary("clip", totals);
    return 0;
}

int DumpClip(int index, int mutations, unsigned seed)
{
    const std::vector<ClipCase> cases = ClipCorpus(mutations, seed);
    if (index < 0 || index >= static_cast<int>(cases.size()))
        return 2;
    const std::wstring path = WriteClipCase(cases[index], L"fuzz-clips");
    std::printf("dumped %d %s %ls\n", index, cases[index].name.c_str(), path.c_str());
    return 0;
}

int ReplayClip(const char* file)
{
    EnsureLibraryAttached();
    PrepareClipTrials();
    const std::wstring path = Widen(file);
    Totals totals;
    ClipTrial trial;
    RunOne(0, file, totals, [&]() { trial = TryClip(path); });
    PrintClipTrial(0, file, trial);
    return 0;
}

int DumpMarkup(int index, int mutations, unsigned seed)
{
    const std::vector<MarkupCase> cases = MarkupCorpus(mutations, seed);
    if (index < 0 || index >= static_cast<int>(cases.size()))
        return 2;
    const std::wstring file = L"fuzz-input-" + std::to_wstring(index) + L".txt";
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (!out)
        return 1;
    const std::wstring content = std::to_wstring(cases[index].maxWidth) + L"\n" + cases[index].text;
    std::fwrite(content.data(), sizeof(wchar_t), content.size(), out);
    std::fclose(out);
    std::printf("dumped %d %s\n", index, cases[index].name.c_str());
    return 0;
}

int ReplayMarkup(const char* path)
{
    FILE* in = std::fopen(path, "rb");
    if (!in)
        return 1;
    std::wstring content;
    wchar_t c;
    while (std::fread(&c, sizeof(c), 1, in) == 1)
        content += c;
    std::fclose(in);
    const size_t newline = content.find(L'\n');
    if (newline == std::wstring::npos)
        return 2;
    const int maxWidth = std::stoi(content.substr(0, newline));
    CDibSection32 canvas;
    canvas.Create(400, 300);
    CHtmlDrawer drawer;
    const PictureFixtures pictures;
    const std::wstring text = pictures.Fill(content.substr(newline + 1));
    Totals totals;
    RunOne(0, path, totals, [&]() { PrepareAndDraw(drawer, canvas.DC(), text, maxWidth); });
    return totals.exceptions ? 1 : 0;
}

int DumpSkin(int index, int mutations, unsigned seed)
{
    const std::vector<SkinCase> cases = SkinCorpus(mutations, seed);
    if (index < 0 || index >= static_cast<int>(cases.size()))
        return 2;
    const std::wstring inf = WriteSkinCase(cases[index], L"fuzz-skins");
    std::printf("dumped %d %s %ls\n", index, cases[index].name.c_str(), inf.c_str());
    return 0;
}

int ReplaySkin(const char* inf)
{
    EnsureLibraryAttached();
    const std::wstring path = Widen(inf);
    Totals totals;
    SkinTrial trial;
    RunOne(0, inf, totals, [&]() { trial = TrySkin(path); });
    PrintSkinTrial(0, inf, trial);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: lyrant_fuzz markup|skin|clip [first] [mutations] [seed]\n");
        return 2;
    }
    const std::string kind = argv[1];
    const int first = argc > 2 ? std::atoi(argv[2]) : 0;
    const int mutations = argc > 3 ? std::atoi(argv[3]) : 1000;
    const unsigned seed = argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : 23;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnCrash);
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_watch.thread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    if (kind == "dump")
        return DumpMarkup(first, mutations, seed);
    if (kind == "dump-skin")
        return DumpSkin(first, mutations, seed);
    if (kind == "replay-skin" && argc > 2)
        return ReplaySkin(argv[2]);
    if (kind == "replay" && argc > 2)
        return ReplayMarkup(argv[2]);
    if (kind == "dump-clip")
        return DumpClip(first, mutations, seed);
    if (kind == "replay-clip" && argc > 2)
        return ReplayClip(argv[2]);
    if (kind == "clip")
        return RunClips(first, mutations, seed);
    if (kind == "markup")
        return RunMarkup(first, mutations, seed);
    if (kind == "skin")
        return RunSkins(first, mutations, seed);
    std::fprintf(stderr, "lyrant_fuzz: unknown kind %s\n", kind.c_str());
    return 2;
}
