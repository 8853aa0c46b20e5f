#pragma once
#include <windows.h>
#include <map>
#include <mutex>

class CMessageLoop;

// The framework's process-wide state: the program's module handle, the resource module that
// dialogs and strings come from (the language library when one is loaded), and one registered
// message loop per thread, so that dialogs can add their message filters and idle handlers to the
// loop of the thread they run on.
class CFrameworkModule
{
public:
    void Init(HINSTANCE instance);
    void Term();

    // The program's instance (GetModuleHandle(null) before Init).
    HINSTANCE GetModuleInstance() const;
    // The resource module (core/ResourceModule.h); setting it replaces it for the whole process.
    HINSTANCE GetResourceInstance() const;
    void SetResourceInstance(HINSTANCE instance);

    // The registry of message loops, under the module's lock.
    bool AddMessageLoop(CMessageLoop* loop, DWORD threadId = ::GetCurrentThreadId());
    bool RemoveMessageLoop(DWORD threadId = ::GetCurrentThreadId());
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

private:
    HINSTANCE m_instance = nullptr;
    mutable std::mutex m_lock;
    std::map<DWORD, CMessageLoop*> m_loops;
};

extern CFrameworkModule g_Module;
