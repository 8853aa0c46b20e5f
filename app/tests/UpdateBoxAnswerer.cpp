#include "app/tests/UpdateBoxAnswerer.h"

#include <cwchar>

#include "tests/support/ProcessWindows.h"

namespace {

constexpr DWORD kPollMs = 20;

// The update question or notice: found by its caption, whatever its window class.
bool IsUpdateBox(HWND window)
{
    // Not GetWindowText: it would send to the window's thread, which may be waiting for this one.
    wchar_t caption[32] = {};
    InternalGetWindowText(window, caption, 32);
    return IsWindowVisible(window) && wcscmp(caption, L"Freshet") == 0;
}

}  // namespace

CUpdateBoxAnswerer::CUpdateBoxAnswerer(DWORD processId, int answer)
    : m_processId(processId), m_answer(answer), m_thread([this] { Watch(); })
{
}

CUpdateBoxAnswerer::~CUpdateBoxAnswerer()
{
    m_stop = true;
    m_thread.join();
}

void CUpdateBoxAnswerer::Watch()
{
    HWND answered = nullptr;
    while (!m_stop) {
        Sleep(kPollMs);
        HWND box = FindProcessWindow(m_processId, IsUpdateBox);
        if (!box || box == answered)
            continue;
        Box seen = {GetWindowThreadProcessId(box, nullptr), GetWindow(box, GW_OWNER),
                    GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO), GetDlgItem(box, IDOK) != nullptr};
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, m_answer)));
        answered = box;
        std::lock_guard<std::mutex> lock(m_lock);
        m_boxes.push_back(seen);
    }
}

std::vector<CUpdateBoxAnswerer::Box> CUpdateBoxAnswerer::Boxes()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_boxes;
}

bool CUpdateBoxAnswerer::WaitForBoxes(size_t count, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if (Boxes().size() >= count)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}
