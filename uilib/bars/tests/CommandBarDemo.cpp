#include "uilib/bars/tests/CommandBarDemo.h"

#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

const wchar_t kDemoClass[] = L"TarnCommandBarDemo";
constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kWork = WM_APP + 2;
constexpr int kImageSize = 16;

// Sixteen-pixel squares in distinct colours, one per toolbar image.
HIMAGELIST MakeImages(int count)
{
    HIMAGELIST list = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32, count, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < count; ++i) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, kImageSize, kImageSize);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, kImageSize, kImageSize};
        HBRUSH back = CreateSolidBrush(RGB(40 + 20 * i, 120, 200 - 15 * i));
        FillRect(dc, &all, back);
        DeleteObject(back);
        SelectObject(dc, old);
        ImageList_Add(list, bitmap, nullptr);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    return list;
}

HMENU MakeMenu()
{
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kCmdOpen, L"&Open\tCtrl+O");
    AppendMenuW(file, MF_STRING, kCmdSave, L"&Save\tCtrl+S");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kCmdExit, L"E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kCmdCut, L"Cu&t");
    AppendMenuW(edit, MF_STRING, kCmdCopy, L"&Copy");
    AppendMenuW(edit, MF_STRING | MF_GRAYED, kCmdPaste, L"&Paste");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING | MF_CHECKED, kCmdToolbar, L"&Toolbar");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kCmdAbout, L"&About");
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(menu, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(view), L"&View");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return menu;
}

}  // namespace

CommandBarDemo::CommandBarDemo(int width, int height, bool subclassParent)
{
    EnsureLibraryAttached();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kDemoClass;
        atom = RegisterClassW(&wc);
    }
    m_window = CreateWindowExW(0, kDemoClass, L"Command bar", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, width,
                               height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    m_images = MakeImages(8);
    m_menu = MakeMenu();
    m_bar = new Glazier::CCommandBar();
    m_bar->AddRef();
    m_bar->Create(0, m_window, 900, subclassParent);
    const UINT tools[] = {kCmdOpen, kCmdSave, 0, kCmdCut, kCmdCopy, kCmdPaste, 0, kCmdAbout};
    m_tools = MakeToolbar(tools, 8, m_window);
    const UINT format[] = {kCmdBold, kCmdItalic, kCmdUnderline};
    m_format = MakeToolbar(format, 3, m_window);
}

CommandBarDemo::~CommandBarDemo()
{
    m_bar->Release();
    DestroyWindow(m_window);
    DestroyMenu(m_menu);
    ImageList_Destroy(m_images);
}

HWND CommandBarDemo::MakeToolbar(const UINT* ids, int count, HWND parent)
{
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, 0, 0, 100, 24,
                                   parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(700 + count)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        button.idCommand = static_cast<int>(ids[i]);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = ids[i] ? BTNS_BUTTON : BTNS_SEP;
        button.iBitmap = ids[i] ? image++ : 0;
        button.iString = -1;
        SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    return toolbar;
}

void CommandBarDemo::FillBands(bool secondToolbar)
{
    m_bar->SetMenu(m_menu);
    m_bar->SetToolBar(m_tools);
    if (secondToolbar)
        m_bar->AddToolBar(m_format, FALSE, 0);
    RECT client;
    GetClientRect(m_window, &client);
    SendMessageW(m_window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
}

std::vector<UINT> CommandBarDemo::BandIds() const
{
    std::vector<UINT> ids;
    const int count = static_cast<int>(SendMessageA(Rebar(), RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA info = Glazier::RebarBandInfo(RBBIM_ID);
        SendMessageA(Rebar(), RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info));
        ids.push_back(info.wID);
    }
    return ids;
}

REBARBANDINFOA CommandBarDemo::Band(UINT id, UINT mask) const
{
    REBARBANDINFOA info = Glazier::RebarBandInfo(mask);
    SendMessageA(Rebar(), RB_GETBANDINFOA, SendMessageA(Rebar(), RB_IDTOINDEX, id, 0), reinterpret_cast<LPARAM>(&info));
    return info;
}

RECT CommandBarDemo::BandRect(UINT id) const
{
    RECT rect = {};
    SendMessageA(Rebar(), RB_GETRECT, SendMessageA(Rebar(), RB_IDTOINDEX, id, 0), reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CommandBarDemo::Settle()
{
    SetCursorPos(1010, 750);
    SetForegroundWindow(m_window);
    RepaintNow(m_window);
}

void CommandBarDemo::PostProbe()
{
    PostMessageW(m_window, kProbe, 0, 0);
}

void CommandBarDemo::PostWork(std::function<void()> work)
{
    m_work.push_back(std::move(work));
    PostMessageW(m_window, kWork, 0, 0);
}

LRESULT CALLBACK CommandBarDemo::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CommandBarDemo*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->m_bar)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CommandBarDemo::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        RECT bar = {};
        GetWindowRect(Rebar(), &bar);
        MoveWindow(Rebar(), 0, 0, LOWORD(lParam), bar.bottom - bar.top, TRUE);
        return 0;
    }
    case WM_SYSCOMMAND:
        if (m_bar->OnSysCommand(static_cast<UINT>(wParam), lParam))
            return 0;
        break;
    case WM_MENUCHAR:
        break;
    case WM_INITMENUPOPUP:
        popups.push_back(reinterpret_cast<HMENU>(wParam));
        if (onPopup)
            onPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_COMMAND:
        commands.push_back(LOWORD(wParam));
        return 0;
    case kProbe:
        hotItems.push_back(MenuBar() ? static_cast<int>(SendMessageW(MenuBar(), TB_GETHOTITEM, 0, 0)) : -2);
        return 0;
    case kWork:
        if (!m_work.empty()) {
            auto work = std::move(m_work.front());
            m_work.pop_front();
            work();
        }
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        notifications.push_back(header->code);
        if (header->code == static_cast<UINT>(TBN_DROPDOWN))
            return reinterpret_cast<LRESULT>(dropDown);
        if (header->code == static_cast<UINT>(TTN_GETDISPINFOA)) {
            // A string id without a module: nothing to load it from.
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            info->lpszText = MAKEINTRESOURCEA(1234);
            info->hinst = nullptr;
        }
        return 0;
    }
    default:
        break;
    }
    if (message == WM_MENUXP_GETIMAGE) {
        // Menu items show the toolbar image of the same command.
        auto* image = reinterpret_cast<Glazier::MENUXPIMAGE*>(lParam);
        const int index = static_cast<int>(SendMessageW(m_tools, TB_COMMANDTOINDEX, image->id, 0));
        TBBUTTON button = {};
        if (index >= 0 && SendMessageW(m_tools, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) {
            image->type = Glazier::kMenuImageList;
            image->handle = m_images;
            image->index = button.iBitmap;
        }
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    while (!done() && static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
    return done();
}

void PostKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
}
