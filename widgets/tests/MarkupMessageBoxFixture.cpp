#include "widgets/tests/MarkupMessageBoxFixture.h"

#include <algorithm>

#include "render/HtmlDrawer.h"
#include "tests/support/DialogWatcher.h"

namespace {

constexpr UINT_PTR kSafetyTimer = 0x5AFE;
constexpr UINT kSafetyMs = 30000;

void CALLBACK CloseLeftOpen(HWND box, UINT, UINT_PTR, DWORD)
{
    KillTimer(box, kSafetyTimer);
    EndDialog(box, kLeftOpen);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* view = reinterpret_cast<BoxView*>(param);
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Button") != 0 && lstrcmpiW(className, L"Static") != 0)
        return TRUE;
    HWND box = GetParent(child);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rect), 2);
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    const UINT id = static_cast<UINT>(GetDlgCtrlID(child));
    if (lstrcmpiW(className, L"Static") == 0) {
        view->checkBoxCaption = text;
        view->labelRect = rect;
    } else if (id == 0) {
        view->checkBox = child;
        view->checkBoxRect = rect;
    } else {
        view->buttons.push_back(BoxButton{id, text, rect, IsWindowEnabled(child) != FALSE,
                                          (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON});
    }
    return TRUE;
}

}  // namespace

BoxView ViewBox(HWND box)
{
    BoxView view = {};
    wchar_t title[256] = {};
    GetWindowTextW(box, title, 256);
    view.title = title;
    GetWindowRect(box, &view.window);
    GetClientRect(box, &view.client);
    EnumChildWindows(box, &CollectChild, reinterpret_cast<LPARAM>(&view));
    std::sort(view.buttons.begin(), view.buttons.end(),
              [](const BoxButton& a, const BoxButton& b) { return a.rect.left < b.rect.left; });
    view.closeEnabled = CloseMenuEnabled(box);
    return view;
}

const BoxButton* FindButton(const BoxView& view, UINT id)
{
    for (const BoxButton& button : view.buttons)
        if (button.id == id)
            return &button;
    return nullptr;
}

std::vector<UINT> ButtonIds(const BoxView& view)
{
    std::vector<UINT> ids;
    for (const BoxButton& button : view.buttons)
        ids.push_back(button.id);
    return ids;
}

MarkupMessageBoxParams QuietParams(UINT style)
{
    MarkupMessageBoxParams params;
    InitMarkupMessageBoxParams(&params);
    params.style = style | MMB_NOSOUND;
    return params;
}

int RunBox(const MarkupMessageBoxParams& params, const std::function<void(HWND)>& action, HWND* caught)
{
    CDialogWatcher watch([&](HWND box) {
        SetTimer(box, kSafetyTimer, kSafetyMs, &CloseLeftOpen);
        action(box);
    });
    const int result = MarkupMessageBoxIndirect(&params);
    if (caught != nullptr)
        *caught = watch.Caught();
    return result;
}

void Tick(HWND box, int times)
{
    for (int i = 0; i < times && StillOpen(box); ++i)
        SendMessageW(box, WM_TIMER, 1, 0);
}

bool StillOpen(HWND box)
{
    return IsWindow(box) && IsWindowVisible(box);
}

bool CloseMenuEnabled(HWND box)
{
    const UINT state = GetMenuState(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

HFONT MessageFont()
{
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }();
    return font;
}

SIZE TextSize(HFONT font, const std::wstring& text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size;
}

SIZE MarkupSize(HFONT font, const std::wstring& markup)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    CHtmlDrawer drawer;
    SIZE size = {0, 0};
    drawer.PrepareOutput(dc, markup.c_str(), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return size;
}

CTestOwner::CTestOwner(int x, int y, int width, int height, bool visible, UINT countedMessage)
    : m_counted(countedMessage)
{
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MarkupBoxTestOwner";
        windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        atom = RegisterClassW(&windowClass);
    }
    m_window = CreateWindowExW(0, L"MarkupBoxTestOwner", L"Owner window", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                               x, y, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CTestOwner::~CTestOwner()
{
    DestroyWindow(m_window);
}

LRESULT CALLBACK CTestOwner::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CTestOwner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->m_counted != 0 && message == self->m_counted) {
        ++self->m_count;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
