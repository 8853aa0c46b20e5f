#include "tests/support/PulseAudioIo.h"

#include <mmsystem.h>

#include <cstdio>

#include "tests/support/TestPaths.h"

namespace {

constexpr DWORD kPollMs = 20;

// Wine runs the Unix shell but gives back no process to wait for: completion shows as files.
bool StartScript(const std::string& arguments)
{
    std::string script = UnixPath(TestExeFolder() + L"\\pulse_io.sh");
    if (script.empty())
        return false;
    std::string command = "/bin/sh " + script + " " + arguments;
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::string SpecArguments(const PcmSpec& spec)
{
    return std::string(spec.format) + " " + std::to_string(spec.rate) + " " + std::to_string(spec.channels);
}

bool FileSize(const std::wstring& file, ULONGLONG* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
        return false;
    *size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// Looks at least once, so a timeout of 0 asks without waiting.
bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

}  // namespace

std::wstring AudioScratchFolder(const wchar_t* name)
{
    std::wstring root = TestExeFolder() + L"\\audio_scratch";
    CreateDirectoryW(root.c_str(), nullptr);
    std::wstring folder = root + L"\\" + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return folder;
}

bool PulsePlay(const char* sink, const std::wstring& file, const PcmSpec& spec, DWORD latencyMs)
{
    return StartScript(std::string("play ") + sink + " " + UnixPath(file) + " " + SpecArguments(spec) + " " +
                       std::to_string(latencyMs));
}

bool PulseRecord(const char* source, const std::wstring& file, const PcmSpec& spec, size_t bytes)
{
    return StartScript(std::string("record ") + source + " " + UnixPath(file) + " " + SpecArguments(spec) + " " +
                       std::to_string(bytes));
}

bool WaitUntilDone(const std::wstring& file, DWORD timeoutMs)
{
    return WaitForFile(file + L".done", timeoutMs);
}


bool WaitForBytes(const std::wstring& file, size_t bytes, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        ULONGLONG size = 0;
        if (FileSize(file, &size) && size >= bytes)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

bool WriteRaw(const std::wstring& file, const void* data, size_t bytes)
{
    FILE* f = _wfopen(file.c_str(), L"wb");
    if (!f)
        return false;
    bool ok = fwrite(data, 1, bytes, f) == bytes;
    return fclose(f) == 0 && ok;
}

bool LoadSinks48k(const std::wstring& stateFile, DWORD timeoutMs)
{
    DeleteFileW((stateFile + L".done").c_str());  // the state itself tells what a cut-short run left
    return StartScript("sinks48k " + UnixPath(stateFile)) && WaitUntilDone(stateFile, timeoutMs);
}

bool UnloadSinks48k(const std::wstring& stateFile, DWORD timeoutMs)
{
    std::wstring unloaded = stateFile + L".unloaded";
    DeleteFileW(unloaded.c_str());
    return StartScript("unload " + UnixPath(stateFile)) && WaitForFile(unloaded, timeoutMs);
}

int FindWaveIn(const wchar_t* name)
{
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        WAVEINCAPSW caps = {};
        if (waveInGetDevCapsW(id, &caps, sizeof(caps)) == MMSYSERR_NOERROR && wcsstr(caps.szPname, name))
            return static_cast<int>(id);
    }
    return -1;
}

int FindWaveOut(const wchar_t* name)
{
    for (UINT id = 0; id < waveOutGetNumDevs(); ++id) {
        WAVEOUTCAPSW caps = {};
        if (waveOutGetDevCapsW(id, &caps, sizeof(caps)) == MMSYSERR_NOERROR && wcsstr(caps.szPname, name))
            return static_cast<int>(id);
    }
    return -1;
}
