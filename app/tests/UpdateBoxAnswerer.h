#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

// Answers the update check's questions from a thread of its own: every visible top-level window
// captioned "Freshet" of the process is answered with the button id, whatever kind of window
// the message box is, and what it was is kept for the test.
class CUpdateBoxAnswerer
{
public:
    struct Box
    {
        DWORD threadId;
        HWND owner;
        bool hasYesNo;   // buttons IDYES and IDNO
        bool hasOk;      // button IDOK
    };

    CUpdateBoxAnswerer(DWORD processId, int answer);
    ~CUpdateBoxAnswerer();
    CUpdateBoxAnswerer(const CUpdateBoxAnswerer&) = delete;
    CUpdateBoxAnswerer& operator=(const CUpdateBoxAnswerer&) = delete;

    std::vector<Box> Boxes();
    // Polls until at least count boxes were answered.
    bool WaitForBoxes(size_t count, DWORD timeoutMs);

private:
    void Watch();

    DWORD m_processId;
    int m_answer;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<Box> m_boxes;
    std::thread m_thread;
};
