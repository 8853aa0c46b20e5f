#include "framework/MessageLoop.h"

#include <algorithm>

namespace {
constexpr UINT kCaretBlinkTimer = 0x0118;

template <class P>
BOOL AddOnce(std::vector<P*>& list, P* item)
{
    if (item == nullptr || std::find(list.begin(), list.end(), item) != list.end())
        return FALSE;
    list.push_back(item);
    return TRUE;
}

template <class P>
BOOL NullOut(std::vector<P*>& list, P* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (item == nullptr || it == list.end())
        return FALSE;
    *it = nullptr;
    return TRUE;
}
}

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter) { return AddOnce(m_filters, filter); }
BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return NullOut(m_filters, filter); }
BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler) { return AddOnce(m_idleHandlers, handler); }
BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { return NullOut(m_idleHandlers, handler); }

void CMessageLoop::Compact()
{
    if (m_iterating != 0)
        return;
    m_filters.erase(std::remove(m_filters.begin(), m_filters.end(), nullptr), m_filters.end());
    m_idleHandlers.erase(std::remove(m_idleHandlers.begin(), m_idleHandlers.end(), nullptr), m_idleHandlers.end());
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg)
{
    Compact();
    ++m_iterating;
    BOOL taken = FALSE;
    // By index: a filter may add or remove filters (a dialog closing from IsDialogMessage).
    for (size_t i = m_filters.size(); i-- > 0 && !taken;) {
        if (i < m_filters.size() && m_filters[i] != nullptr)
            taken = m_filters[i]->PreTranslateMessage(msg);
    }
    --m_iterating;
    return taken;
}

void CMessageLoop::OnIdle()
{
    Compact();
    ++m_iterating;
    for (size_t i = 0; i < m_idleHandlers.size(); ++i) {
        if (m_idleHandlers[i] != nullptr)
            m_idleHandlers[i]->OnIdle();
    }
    --m_iterating;
}

bool CMessageLoop::IsIdleMessage(const MSG& msg)
{
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kCaretBlinkTimer:
        return false;
    default:
        return true;
    }
}

int CMessageLoop::Run()
{
    bool idleDue = true;
    MSG msg = {};
    for (;;) {
        if (idleDue && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            OnIdle();
            idleDue = false;
        }
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg))
            idleDue = true;
    }
}
