// The drawer object: settings, the host's calling order, hot areas, link actions and the timer.
#include "render/HtmlDrawer.h"
#include <shellapi.h>
#include <vector>

namespace {
const UINT kLinkToolId = 1234;
const int kNoHotLink = -2;
const int kHandCursorResource = 106;
const int kUrlKind = 1;
const int kMessageKind = 2;
}

CHtmlDrawer::CHtmlDrawer() : m_disabledColor(GetSysColor(COLOR_BTNSHADOW))
{
    ZeroMemory(&m_logFont, sizeof(m_logFont));
    ZeroMemory(&m_textMetric, sizeof(m_textMetric));
    InitTags();
    InitEntities();
    InitColorNames();
    LoadHandCursor();
    SetDefaultStyleSheet();
    SetImageShadow(4, 4, 50, TRUE, 7, 7);
}

CHtmlDrawer::~CHtmlDrawer()
{
    FreePictures();
    if (m_ownsResourceModule && m_resourceModule)
        FreeLibrary(m_resourceModule);
    if (m_handCursor)
        DestroyCursor(m_handCursor);
    if (m_imageList)
        ImageList_Destroy(m_imageList);
}

void CHtmlDrawer::LoadHandCursor()
{
    if (m_handCursor)
        return;
    // A shared system cursor is copied, so that destroying ours never touches the shared one.
    HCURSOR shared = LoadCursorW(nullptr, IDC_HAND);
    if (shared) {
        m_handCursor = CopyCursor(shared);
        return;
    }
    wchar_t path[MAX_PATH];
    UINT length = GetWindowsDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 14 >= MAX_PATH)
        return;
    lstrcatW(path, L"\\winhlp32.exe");
    HMODULE help = LoadLibraryW(path);
    if (!help)
        return;
    HCURSOR hand = LoadCursorW(help, MAKEINTRESOURCEW(kHandCursorResource));
    if (hand)
        m_handCursor = CopyCursor(hand);
    FreeLibrary(help);
}

void CHtmlDrawer::SetHandCursor(HCURSOR cursor)
{
    if (m_handCursor && m_handCursor != cursor)
        DestroyCursor(m_handCursor);
    m_handCursor = cursor;
    if (!cursor)
        LoadHandCursor();
}

BOOL CHtmlDrawer::SetResourceDll(const wchar_t* path, DWORD flags)
{
    HMODULE module = LoadLibraryExW(path, nullptr, flags);
    if (m_ownsResourceModule && m_resourceModule)
        FreeLibrary(m_resourceModule);
    m_resourceModule = module;
    m_ownsResourceModule = module != nullptr;
    return module != nullptr;
}

void CHtmlDrawer::SetResourceModule(HINSTANCE module)
{
    if (m_ownsResourceModule && m_resourceModule && m_resourceModule != module)
        FreeLibrary(m_resourceModule);
    m_resourceModule = module;
    m_ownsResourceModule = FALSE;
}

void CHtmlDrawer::SetLinkCallback(HWND window, UINT message, LPARAM lParam)
{
    m_linkWindow = window;
    m_linkMessage = window ? message : 0;
    m_linkParam = window ? lParam : 0;
}

void CHtmlDrawer::SetHotLinkCallback(HWND window, UINT message, LPARAM lParam)
{
    m_hotLinkWindow = window;
    m_hotLinkMessage = window ? message : 0;
    m_hotLinkParam = window ? lParam : 0;
}

// No failure inside the layout (running out of memory above all) may leave these two calls: it would
// end the host's process over one bad text. The text is dropped instead and nothing is drawn.
void CHtmlDrawer::PrepareOutput(HDC dc, const wchar_t* text, SIZE* size)
{
    try {
        PrepareText(dc, text, size);
    } catch (...) {
        AbandonPass();
        if (size)
            *size = {0, 0};
    }
}

void CHtmlDrawer::DrawPreparedOutput(HDC dc, const RECT* rect)
{
    try {
        DrawPrepared(dc, rect);
    } catch (...) {
        AbandonPass();
    }
}

void CHtmlDrawer::AbandonPass()
{
    if (m_font)
        RestoreDc();
    SetTextJustification(m_dc, 0, 0);
    m_justified = false;
    m_measuring = FALSE;
    m_tableDepth = 0;
    CMarkupString().swap(m_text);
    std::vector<MarkupHotArea>().swap(m_hotAreas);
    std::vector<MarkupLine>().swap(m_lines);
    std::vector<MarkupTable>().swap(m_tables);
    std::vector<int>().swap(m_wrapLog);
    std::vector<CMarkupStyle>().swap(m_styleStack);
}

void CHtmlDrawer::PrepareText(HDC dc, const wchar_t* text, SIZE* size)
{
    m_dc = dc;
    SetTextJustification(dc, 0, 0);
    m_justified = false;
    if (!text) {
        m_text.clear();
    } else if (!m_text.empty() && text >= m_text.c_str() && text <= m_text.c_str() + m_text.size()) {
        m_text = CMarkupString(text);   // a pointer into our own text keeps its tail
    } else {
        m_text = text;
    }
    NormalizeText();
    FreePictures();   // the pictures of the text before, or of files that may have changed since
    SIZE measured = {0, 0};
    if (!m_text.empty()) {
        m_measuring = TRUE;
        m_hotAreas.clear();
        m_lines.clear();
        m_tables.clear();
        RECT rect = {0, 0, m_maxWidth, 0};
        DrawMarkup(&measured, &rect);
        m_measuring = FALSE;
        if (measured.cx == 0 && measured.cy == 0) {
            m_text.clear();
        } else {
            if (m_maxWidth != 0 && measured.cx > m_maxWidth)
                measured.cx = m_maxWidth;
        }
        measured.cx += 1;
        measured.cy += 1;
    }
    if (size)
        *size = measured;
}

void CHtmlDrawer::DrawPrepared(HDC dc, const RECT* rect)
{
    if (m_text.empty() || !rect)
        return;
    m_dc = dc;
    m_measuring = FALSE;
    // Hosts repaint many times after one measuring pass: start each drawing pass from no hot areas.
    m_hotAreas.clear();
    const int clip = GetClipBox(dc, &m_clipBox);
    m_clipKnown = clip != ERROR;
    if (clip == NULLREGION)
        m_clipBox = RECT{0, 0, 0, 0};
    SIZE size = {0, 0};
    DrawMarkup(&size, rect);
}

void CHtmlDrawer::DrawHtml(HDC dc, const wchar_t* text, POINT* point)
{
    SIZE size;
    PrepareOutput(dc, text, &size);
    POINT origin = point ? *point : POINT{0, 0};
    RECT rect = {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    DrawPreparedOutput(dc, &rect);
}

void CHtmlDrawer::AddHotArea(int left, int top, int right, int bottom)
{
    if (m_measuring || m_style.linkKind == 0)
        return;
    MarkupHotArea area;
    area.area = {left, top, right, bottom};
    area.kind = m_style.linkKind;
    area.linkNumber = m_linkCounter;
    area.target = m_style.linkTarget;
    area.tooltip = m_style.linkTooltip;
    m_hotAreas.push_back(area);
}

int CHtmlDrawer::HitTest(const POINT& point) const
{
    for (size_t i = 0; i < m_hotAreas.size(); ++i) {
        const RECT& r = m_hotAreas[i].area;
        if (point.x >= r.left && point.x <= r.right && point.y >= r.top && point.y <= r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CHtmlDrawer::OnSetCursor(POINT* point)
{
    if (!point)
        return FALSE;
    const int index = HitTest(*point);
    if (index >= 0) {
        // The host repaints on the notification, which renews the hot areas: read this one first.
        const int linkNumber = m_hotAreas[index].linkNumber;
        const bool hasTarget = !m_hotAreas[index].target.empty();
        if (linkNumber != m_hotIndex) {
            m_hotIndex = linkNumber;
            NotifyHotLink(static_cast<WPARAM>(m_hotIndex));
        }
        if (hasTarget && m_handCursor) {
            SetCursor(m_handCursor);
            return TRUE;
        }
        return FALSE;
    }
    if (m_hotIndex != kNoHotLink) {
        m_hotIndex = kNoHotLink;
        NotifyHotLink(static_cast<WPARAM>(kNoHotLink));
    }
    return FALSE;
}

int CHtmlDrawer::ExecuteLink(int index)
{
    if (index < 0 || index >= static_cast<int>(m_hotAreas.size()))
        return index < 0 ? index : -1;
    // A copy: the callback may prepare new text and so replace the hot areas.
    const MarkupHotArea area = m_hotAreas[index];
    if (area.target.empty())
        return 0;
    if (area.kind == kUrlKind) {
        OpenUrl(area.target.c_str(), SW_SHOW);
        return 0;
    }
    if (area.kind == kMessageKind && m_linkWindow && m_linkMessage)
        return static_cast<int>(SendMessageW(m_linkWindow, m_linkMessage,
                                             reinterpret_cast<WPARAM>(area.target.c_str()), m_linkParam));
    return 0;
}

int CHtmlDrawer::OnLButtonDown(POINT* point)
{
    if (!point)
        return -1;
    return ExecuteLink(HitTest(*point));
}

void CHtmlDrawer::UpdateLinkTooltip(POINT* point, HWND* tooltip)
{
    if (!point || !tooltip || !*tooltip)
        return;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    const bool modern = GetVersionExW(&version) && version.dwMajorVersion >= 6;
    TOOLINFOW info = {};
    info.cbSize = modern ? sizeof(TOOLINFOW) : TTTOOLINFOW_V2_SIZE;  // 48 or 44 in a 32-bit process
    info.hwnd = m_hotLinkWindow;
    info.uId = kLinkToolId;
    const int index = HitTest(*point);
    if (index < 0) {
        SendMessageW(*tooltip, TTM_ACTIVATE, FALSE, 0);
        SendMessageW(*tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    info.uFlags = 0;
    info.rect = m_hotAreas[index].area;
    info.hinst = GetModuleHandleW(nullptr);
    info.lpszText = const_cast<wchar_t*>(m_hotAreas[index].tooltip.c_str());
    SendMessageW(*tooltip, TTM_ACTIVATE, TRUE, 0);
    // Every mouse move over a link comes here: the tool is added once and then only follows the
    // link under the mouse, or the tooltip would collect one tool per move.
    TOOLINFOW existing = info;
    existing.lpszText = nullptr;
    if (!SendMessageW(*tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&existing))) {
        SendMessageW(*tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    if (!EqualRect(&existing.rect, &info.rect))
        SendMessageW(*tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(*tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

BOOL CHtmlDrawer::OnTimer()
{
    BOOL changed = FALSE;
    for (MarkupAnimation& a : m_animations) {
        if (a.count <= 0)
            continue;
        if (++a.tick >= a.ticksPerFrame) {
            if (++a.frame >= a.count)
                a.frame = 0;
            a.tick = 0;
            changed = TRUE;
        }
    }
    return changed;
}

void CHtmlDrawer::NotifyHotLink(WPARAM wParam)
{
    if (m_hotLinkWindow && m_hotLinkMessage)
        SendMessageW(m_hotLinkWindow, m_hotLinkMessage, wParam, m_hotLinkParam);
}

void CHtmlDrawer::NotifyLink(WPARAM wParam)
{
    if (m_linkWindow && m_linkMessage)
        SendMessageW(m_linkWindow, m_linkMessage, wParam, m_linkParam);
}

LONG CHtmlDrawer::GetRegKey(HKEY root, const wchar_t* subkey, wchar_t* out)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    wchar_t value[MAX_PATH] = L"";
    LONG size = sizeof(value);
    LONG read = RegQueryValueW(key, nullptr, value, &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return read;   // an unreadable default value counts as a failed lookup
    value[MAX_PATH - 1] = L'\0';
    lstrcpynW(out, value, MAX_PATH);
    return result;
}

void CHtmlDrawer::OpenUrl(const wchar_t* target, int show)
{
    if (!target)
        return;
    if (m_handCursor) {
        DestroyCursor(m_handCursor);
        m_handCursor = nullptr;
        LoadHandCursor();
    }
    HINSTANCE result = ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, show);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return;
    wchar_t typeName[MAX_PATH];
    if (GetRegKey(HKEY_CLASSES_ROOT, L".htm", typeName) != ERROR_SUCCESS)
        return;
    std::wstring commandKey = std::wstring(typeName) + L"\\shell\\open\\command";
    wchar_t command[MAX_PATH];
    if (GetRegKey(HKEY_CLASSES_ROOT, commandKey.c_str(), command) != ERROR_SUCCESS)
        return;
    std::wstring line = command;
    size_t cut = line.find(L"\"%1\"");
    if (cut == std::wstring::npos)
        cut = line.find(L"%1");
    if (cut != std::wstring::npos)
        line.erase(cut);
    // The target goes in as one argument: quoted, so that spaces do not split it, and with its own
    // quotes as %22, so that none can end the argument and add others to the browser's command.
    line += L" \"";
    for (const wchar_t* c = target; *c; ++c)
        line += *c == L'"' ? std::wstring(L"%22") : std::wstring(1, *c);
    line += L"\"";
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> narrow(bytes > 0 ? bytes : 1, '\0');
    if (bytes > 0 &&
        WideCharToMultiByte(CP_THREAD_ACP, 0, line.c_str(), -1, narrow.data(), bytes, nullptr, nullptr) > 0)
        WinExec(narrow.data(), show);
    // A failed conversion runs nothing: WinExec with no command line does nothing useful.
}
