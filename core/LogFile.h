#pragma once
#include <cstdarg>
#include <cstdio>

// The optional diagnostic log: off until Open (command-line "/d"); then every line goes to the
// debugger output and to "\LOG\Lyrant.log" in the program's application-data folder, in the
// thread's ANSI code page. Written from several threads without a lock: each line is built in
// local buffers and handed to the stream in one fputs, then flushed.
class CLogFile
{
public:
    static constexpr int kLineChars = 260;

    constexpr CLogFile() = default;
    ~CLogFile();

    void Open();
    void Log(const wchar_t* format, ...);
    void LogV(const wchar_t* format, va_list args);

    FILE* file = nullptr;
    bool enabled = false;
};

extern CLogFile g_LogFile;
