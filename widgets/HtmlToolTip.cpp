// The markup tooltip: creation, tools, settings, toolbar and menu tips, the diagnostic table.
#include "widgets/HtmlToolTip.h"

#include <commctrl.h>
#include <algorithm>

namespace {

constexpr int kBalloonSizes[CHtmlToolTip::kSizeCount] = {16, 16, 12, 12, 12, 16, 16, 0, 0};
constexpr int kRectangleSizes[CHtmlToolTip::kSizeCount] = {0, 0, 3, 1, 0, 0, 0, 0, 0};
constexpr int kMaxDiagnosticChars = 40;

bool SameTool(const HtmlToolInfo& a, UINT id, HWND window)
{
    return a.window == window && a.id == id;
}

// Another window's text, shortened, as literal markup: a title must not become tags or links.
CMarkupString Cut(const wchar_t* text)
{
    CMarkupString value = text;
    if (value.Length() > kMaxDiagnosticChars)
        value = value.Left(kMaxDiagnosticChars) + L" ...";
    return CMarkupString::Literal(value);
}

}  // namespace

CHtmlToolTip::CHtmlToolTip()
{
    m_colors[0] = m_colors[1] = m_colors[2] = GetSysColor(COLOR_INFOBK);
    m_borderBrush = CreateSolidBrush(GetSysColor(COLOR_INFOTEXT));
    std::copy(kBalloonSizes, kBalloonSizes + kSizeCount, m_sizes);
}

CHtmlToolTip::~CHtmlToolTip()
{
    FreeTipGraphics();
    if (m_borderBrush)
        DeleteObject(m_borderBrush);
}

HWND CHtmlToolTip::Create(HWND parent, BOOL balloon)
{
    m_parent = parent;
    HWND hWnd = CWindowImpl<CHtmlToolTip>::Create(parent, kDefaultWindowRect, L"CHtmlToolTip", WS_POPUP,
                                                  WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    if (!hWnd)
        return nullptr;
    const int* preset = balloon ? kBalloonSizes : kRectangleSizes;
    std::copy(preset, preset + kSizeCount, m_sizes);
    m_drawer.SetHotLinkCallback(hWnd, kHotLinkMessage, 0);
    // A period of 0 set before the window existed means no animation, not a timer without pause.
    if (m_delays[kDelayAnimation])
        ::SetTimer(hWnd, kAnimationTimer, m_delays[kDelayAnimation], nullptr);
    return hWnd;
}

// --- tools ---

void CHtmlToolTip::AddTool(HWND window, const wchar_t* text, const RECT* rect, UINT id)
{
    HtmlToolInfo tool;
    tool.window = window;
    tool.id = id;
    if (rect)
        tool.rect = *rect;
    tool.text = text;
    AddTool(tool);
}

void CHtmlToolTip::AddTool(const HtmlToolInfo& tool)
{
    if (!tool.window)
        return;
    if (HtmlToolInfo* existing = FindRecord(tool.window, tool.id))
        *existing = tool;
    else
        m_tools[tool.window].push_back(tool);
}

void CHtmlToolTip::AddToolIcon(HWND window, UINT iconId, int width, int height, const wchar_t* text,
                               const RECT* rect, UINT id)
{
    CMarkupString markup;
    markup.Format(L"<table><tr><td><icon idres=%d width=%d height=%d></td><td>%s</td></tr></table>",
                  static_cast<int>(iconId), width, height, text ? text : L"");
    AddTool(window, markup.c_str(), rect, id);
}

void CHtmlToolTip::AddToolIcon(HWND window, HICON icon, const wchar_t* text, const RECT* rect, UINT id)
{
    CMarkupString markup;
    // User handles are 32-bit significant on 64-bit Windows too.
    markup.Format(L"<table><tr><td><icon handle=0x%X></td><td>%s</td></tr></table>",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(icon)), text ? text : L"");
    AddTool(window, markup.c_str(), rect, id);
}

void CHtmlToolTip::AddToolBitmap(HWND window, UINT bitmapId, COLORREF mask, int width, int height,
                                 const wchar_t* text, const RECT* rect, UINT id)
{
    CMarkupString markup;
    markup.Format(L"<table><tr><td><bmp idres=%d mask=0x%X width=%d height=%d></td><td>%s</td></tr></table>",
                  static_cast<int>(bitmapId), static_cast<unsigned>(mask), width, height, text ? text : L"");
    AddTool(window, markup.c_str(), rect, id);
}

void CHtmlToolTip::RemoveTool(HWND window, UINT id)
{
    auto found = m_tools.find(window);
    if (found == m_tools.end())
        return;
    std::vector<HtmlToolInfo>& list = found->second;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const HtmlToolInfo& t) { return SameTool(t, id, window); }),
               list.end());
    if (list.empty())
        m_tools.erase(found);
    if (m_hasCurrent && SameTool(m_current, id, window))
        ForgetTool();
}

void CHtmlToolTip::RemoveAllTools()
{
    m_tools.clear();
    ForgetTool();
}

HtmlToolInfo* CHtmlToolTip::FindRecord(HWND window, UINT id)
{
    auto found = m_tools.find(window);
    if (found == m_tools.end())
        return nullptr;
    for (HtmlToolInfo& tool : found->second)
        if (SameTool(tool, id, window))
            return &tool;
    return nullptr;
}

BOOL CHtmlToolTip::UpdateToolText(HWND window, UINT id, const wchar_t* text)
{
    HtmlToolInfo* tool = FindRecord(window, id);
    if (tool)
        tool->text = text;
    return tool != nullptr;
}

BOOL CHtmlToolTip::UpdateToolRect(HWND window, UINT id, const RECT& rect)
{
    HtmlToolInfo* tool = FindRecord(window, id);
    if (tool)
        tool->rect = rect;
    return tool != nullptr;
}

BOOL CHtmlToolTip::GetTool(HWND window, UINT id, HtmlToolInfo* out) const
{
    const HtmlToolInfo* tool = const_cast<CHtmlToolTip*>(this)->FindRecord(window, id);
    if (tool && out)
        *out = *tool;
    return tool != nullptr;
}

void CHtmlToolTip::AddToolBar(HWND toolbar)
{
    if (toolbar && std::find(m_toolBars.begin(), m_toolBars.end(), toolbar) == m_toolBars.end())
        m_toolBars.push_back(toolbar);
}

void CHtmlToolTip::RemoveToolBar(HWND toolbar)
{
    m_toolBars.erase(std::remove(m_toolBars.begin(), m_toolBars.end(), toolbar), m_toolBars.end());
}

BOOL CHtmlToolTip::FindTool(POINT screen, HtmlToolInfo* out) const
{
    HWND under = WindowFromPoint(screen);
    for (HWND window = under; window; window = ::GetParent(window))
        if (std::find(m_toolBars.begin(), m_toolBars.end(), window) != m_toolBars.end() &&
            FindToolBarButton(window, screen, out))
            return TRUE;
    for (HWND window = under; window; window = ::GetParent(window))
        if (FindToolInWindow(window, screen, out))
            return TRUE;
    return FALSE;
}

BOOL CHtmlToolTip::FindToolInWindow(HWND window, POINT screen, HtmlToolInfo* out) const
{
    auto found = m_tools.find(window);
    if (found == m_tools.end())
        return FALSE;
    POINT point = screen;
    ::ScreenToClient(window, &point);
    for (const HtmlToolInfo& tool : found->second) {
        RECT rect = tool.rect;
        if (IsRectEmpty(&rect))
            ::GetClientRect(window, &rect);
        if (PtInRect(&rect, point)) {
            *out = tool;
            out->rect = rect;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CHtmlToolTip::FindToolBarButton(HWND toolbar, POINT screen, HtmlToolInfo* out) const
{
    POINT point = screen;
    ::ScreenToClient(toolbar, &point);
    const int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT rect;
        if (!::SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)) || !PtInRect(&rect, point))
            continue;
        TBBUTTON button = {};
        if (!::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) ||
            (button.fsStyle & BTNS_SEP))
            return FALSE;
        // The button's explanation is the second line of its command's string.
        CMarkupString text = CHtmlDrawer::GetResourceStringLine(static_cast<UINT>(button.idCommand), 1);
        if (text.empty())
            return FALSE;
        *out = HtmlToolInfo();
        out->window = toolbar;
        out->id = static_cast<UINT>(button.idCommand);
        out->rect = rect;
        out->text = text;
        return TRUE;
    }
    return FALSE;
}

// --- settings ---

void CHtmlToolTip::SetDelayTime(int kind, UINT milliseconds)
{
    if (kind < kDelayAutoPop || kind > kDelayAnimation)
        return;
    m_delays[kind] = milliseconds;
    if (kind == kDelayAnimation && m_hWnd) {
        ::KillTimer(m_hWnd, kAnimationTimer);
        if (milliseconds)
            ::SetTimer(m_hWnd, kAnimationTimer, milliseconds, nullptr);
    }
}

UINT CHtmlToolTip::GetDelayTime(int kind) const
{
    return kind >= kDelayAutoPop && kind <= kDelayAnimation ? m_delays[kind] : 0;
}

void CHtmlToolTip::SetColorBk(COLORREF begin, COLORREF mid, COLORREF end)
{
    m_colors[0] = begin;
    m_colors[1] = mid;
    m_colors[2] = end;
}

void CHtmlToolTip::SetEffectBk(int effect, BYTE granularity)
{
    m_effect = effect;
    m_granularity = granularity;
}

void CHtmlToolTip::SetBorder(COLORREF colour, int width, int height)
{
    SetBorder(width && height ? CreateSolidBrush(colour) : nullptr, width, height);
}

void CHtmlToolTip::SetBorder(HBRUSH brush, int width, int height)
{
    if (m_borderBrush && m_borderBrush != brush)
        DeleteObject(m_borderBrush);
    m_borderBrush = nullptr;
    m_borderWidth = m_borderHeight = 0;
    if (!brush || width == 0 || height == 0) {
        if (brush)
            DeleteObject(brush);   // the tooltip owns the border brush it is given
        return;
    }
    m_borderBrush = brush;
    m_borderWidth = width;
    m_borderHeight = height;
}

void CHtmlToolTip::SetImageShadow(int offsetX, int offsetY, BYTE darkness, BOOL enabled, int depthX, int depthY)
{
    m_shadowX = offsetX;
    m_shadowY = offsetY;
    m_darkness = std::min<int>(darkness, 100);
    m_shadow = enabled;
    m_shadowDepthX = depthX;
    m_shadowDepthY = depthY;
}

void CHtmlToolTip::SetTransparency(BYTE percent)
{
    if (percent <= 100)
        m_targetTransparency = percent;
}

void CHtmlToolTip::SetSize(int index, int value)
{
    if (index >= 0 && index < kSizeCount)
        m_sizes[index] = value;
}

// --- menu tips ---

namespace {

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM result)
{
    wchar_t name[16] = {};
    if (IsWindowVisible(window) && GetClassNameW(window, name, 16) && lstrcmpW(name, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void CHtmlToolTip::OnMenuSelect(UINT itemId, UINT flags, HMENU menu)
{
    if (!m_hWnd)
        return;
    if (!menu || (flags & (MF_POPUP | MF_SEPARATOR)) || itemId >= 0xFFFF) {
        HideTooltip();
        return;
    }
    HWND menuWindow = nullptr;
    EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    const int count = GetMenuItemCount(menu);
    int position = -1;
    for (int i = 0; i < count && position < 0; ++i)
        if (GetMenuItemID(menu, i) == itemId)
            position = i;
    RECT item;
    HtmlToolInfo tool;
    tool.text = CHtmlDrawer::GetResourceStringLine(itemId, 0);
    if (!menuWindow || position < 0 || !GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &item) ||
        tool.text.empty()) {
        HideTooltip();
        return;
    }
    RECT menuRect;
    ::GetWindowRect(menuWindow, &menuRect);
    const int spacing = 2 * GetSystemMetrics(SM_CXEDGE);
    m_target = RECT{menuRect.right + spacing, item.top, menuRect.right + spacing, item.bottom};
    tool.window = menuWindow;
    tool.id = itemId;
    tool.mask = HtmlToolInfo::kMaskDirection;
    tool.direction = 0x30;
    // A menu tip replaces the previous one at once.
    m_nextPending = FALSE;
    if (m_state != kHidden) {
        ::KillTimer(m_hWnd, kHideTimer);
        ::KillTimer(m_hWnd, kFadeInTimer);
        ::KillTimer(m_hWnd, kFadeOutTimer);
        m_state = kHidden;
    }
    m_menuTip = TRUE;
    m_help = FALSE;
    m_current = tool;
    m_hasCurrent = TRUE;
    StartCycle(tool, FALSE);
}

// --- diagnostic table ---

namespace {

void AddRow(CMarkupString& out, const wchar_t* name, const CMarkupString& value)
{
    CMarkupString row;
    row.Format(L"<tr><td width=70 bgcolor=buttonface>%s</td><td width=130 bgcolor=window>%s</td></tr>", name,
               value.c_str());
    out += row;
}

}  // namespace

CMarkupString CHtmlToolTip::BuildDiagnosticText(HWND window, POINT cursor) const
{
    auto describe = [this](CMarkupString& out, HWND w) {
        if (!w) {
            AddRow(out, L"Class name", L"N/A");
            return;
        }
        wchar_t text[256] = {};
        CMarkupString value;
        GetClassNameW(w, text, 256);
        AddRow(out, L"Class name", Cut(text));
        text[0] = 0;
        ::GetWindowTextW(w, text, 256);
        AddRow(out, L"Title", Cut(text));
        value.Format(L"0x%08X", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(w)));
        AddRow(out, L"Handle", value);
        value.Format(L"%d", ::GetDlgCtrlID(w));
        AddRow(out, L"Control ID", value);
        value.Format(L"0x%08X", static_cast<unsigned>(GetWindowLongW(w, GWL_STYLE)));
        AddRow(out, L"Styles", value);
        RECT r = {};
        ::GetWindowRect(w, &r);
        value.Format(L"(%d, %d)-(%d, %d)", static_cast<int>(r.left), static_cast<int>(r.top),
                     static_cast<int>(r.right), static_cast<int>(r.bottom));
        AddRow(out, L"RECT", value);
        value.Format(L"%d", static_cast<int>(r.right - r.left));
        AddRow(out, L"Width", value);
        value.Format(L"%d", static_cast<int>(r.bottom - r.top));
        AddRow(out, L"Height", value);
        AddRow(out, L"Has Tooltip", IsToolWindow(w) ? L"Yes" : L"No");
    };
    CMarkupString out = L"<table>";
    out += L"<tr><td><font color=darkblue>Window</font><table border=1>";
    describe(out, window);
    out += L"</table></td>";
    out += L"<td><font color=darkblue>Window Owner</font><table border=1>";
    describe(out, window ? ::GetParent(window) : nullptr);
    out += L"</table></td></tr>";
    out += L"<tr><td><br><font color=darkblue>Mouse Cursor</font><table border=1>";
    CMarkupString value;
    value.Format(L"(%d, %d)", static_cast<int>(cursor.x), static_cast<int>(cursor.y));
    AddRow(out, L"Position", value);
    out += L"</table></td></tr></table>";
    return out;
}
