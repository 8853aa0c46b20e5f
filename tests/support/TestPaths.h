#pragma once
#include <string>

// The folder of the running test executable (helpers and fixture libraries are built beside it).
std::wstring TestExeFolder();
// The whole file as bytes; empty when it cannot be read. exists tells the two apart.
std::string ReadFileBytes(const std::wstring& path, bool* exists = nullptr);
// Runs a command line to its end; returns its exit code, or -1 when it could not start.
long RunProcess(const std::wstring& commandLine, unsigned long timeoutMs = 60000);
// The Unix path of a Windows path under Wine (for Unix programs the tests start); empty elsewhere.
std::string UnixPath(const std::wstring& windowsPath);
