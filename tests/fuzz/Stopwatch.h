#pragma once
#include <windows.h>

// Wall time and the calling thread's processor time since construction. Processor time is what
// the tests bound: on a machine shared with many builds the wall time of the same work varies
// tenfold.
class Stopwatch
{
public:
    Stopwatch() : m_wall(Ticks()), m_cpu(ThreadTime()) {}
    double WallSeconds() const { return static_cast<double>(Ticks() - m_wall) / Frequency(); }
    double CpuSeconds() const { return static_cast<double>(ThreadTime() - m_cpu) / 1e7; }

private:
    static LONGLONG Ticks()
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    static double Frequency()
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }
    // User and kernel time in 100 ns units.
    static unsigned long long ThreadTime()
    {
        FILETIME created, exited, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
        auto value = [](const FILETIME& t) {
            return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        return value(kernel) + value(user);
    }

    LONGLONG m_wall;
    unsigned long long m_cpu;
};
