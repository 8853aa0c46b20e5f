#include "uilib/skin/tests/LibraryFixture.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

class LibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureLibraryAttached(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

}  // namespace

void EnsureLibraryAttached()
{
    static bool attached = false;
    if (!attached) {
        LibraryProcessAttach(GetModuleHandleW(nullptr));
        attached = true;
    }
}

TempFolder::TempFolder()
{
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    char name[MAX_PATH];
    wsprintfA(name, "%starnui_%lu_%d", base, GetCurrentProcessId(), ++counter);
    m_path = name;
    CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    std::string from = m_path;
    from.push_back(0);  // double-terminated list
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::string path = File(name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

DibCanvas::DibCanvas(int width, int height, DWORD fill) : m_width(width), m_height(height)
{
    m_bitmap = CreateDib32(width, height, &m_bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

DibCanvas::~DibCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

void DibCanvas::Fill(DWORD argb)
{
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i)
        m_bits[i] = argb;
}

int g_delayLoadMessages = 0;
std::string g_lastDelayLoadMessage;

int WINAPI RecordDelayLoadMessage(HWND, LPCSTR text, LPCSTR, UINT)
{
    ++g_delayLoadMessages;
    g_lastDelayLoadMessage = text ? text : "";
    return IDOK;
}

DelayLoadMessages::DelayLoadMessages()
{
    g_delayLoadMessages = 0;
    g_lastDelayLoadMessage.clear();
    g_pfnDelayLoadMessageBox = RecordDelayLoadMessage;
}

DelayLoadMessages::~DelayLoadMessages()
{
    g_pfnDelayLoadMessageBox = MessageBoxA;
}
