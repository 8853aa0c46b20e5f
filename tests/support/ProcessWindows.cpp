#include "tests/support/ProcessWindows.h"

namespace {

struct Search
{
    DWORD processId;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !(*search->accept)(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& accept)
{
    Search search = {processId, &accept, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
