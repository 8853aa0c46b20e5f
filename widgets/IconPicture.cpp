#include "widgets/IconPicture.h"
#include "core/ResourceModule.h"

HICON CIconPicture::SetIcon(UINT id, int width, int height)
{
    m_width = width;
    m_height = height;
    m_icon = static_cast<HICON>(::LoadImageW(GetResourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, 0));
    return m_icon;
}

LRESULT CIconPicture::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (m_icon != nullptr) {
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            ::SendMessageW(GetParent(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)));
        RECT client;
        GetClientRect(&client);
        ::FillRect(dc, &client, brush);
        ::DrawIconEx(dc, 0, 0, m_icon, m_width, m_height, 0, nullptr, DI_NORMAL);
    }
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CIconPicture::OnMove(UINT, WPARAM, LPARAM, BOOL&)
{
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}
