#pragma once
#include <string>
#include <vector>

// Runs a command line as a debuggee and collects what it sends to the debugger output.
struct DebugRun
{
    bool started = false;
    unsigned long exitCode = 0;
    std::vector<std::wstring> strings;
};

DebugRun RunCapturingDebugOutput(const std::wstring& commandLine, unsigned long timeoutMs = 30000);
