#include "framework/FrameworkModule.h"
#include "core/ResourceModule.h"

CFrameworkModule g_Module;

void CFrameworkModule::Init(HINSTANCE instance)
{
    m_instance = instance;
}

void CFrameworkModule::Term()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_loops.clear();
}

HINSTANCE CFrameworkModule::GetModuleInstance() const
{
    return m_instance != nullptr ? m_instance : ::GetModuleHandleW(nullptr);
}

HINSTANCE CFrameworkModule::GetResourceInstance() const
{
    return GetResourceModule();
}

void CFrameworkModule::SetResourceInstance(HINSTANCE instance)
{
    SetResourceModule(instance);
}

bool CFrameworkModule::AddMessageLoop(CMessageLoop* loop, DWORD threadId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return loop != nullptr && m_loops.emplace(threadId, loop).second;
}

bool CFrameworkModule::RemoveMessageLoop(DWORD threadId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_loops.erase(threadId) != 0;
}

CMessageLoop* CFrameworkModule::GetMessageLoop(DWORD threadId) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_loops.find(threadId);
    return it != m_loops.end() ? it->second : nullptr;
}
