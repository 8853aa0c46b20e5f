#include "uilib/bars/CommandBarXP.h"

#include <new>

CCommandBarXP::CCommandBarXP() : m_bar(new (std::nothrow) Glazier::CCommandBar())
{
    if (m_bar)
        m_bar->AddRef();
}

CCommandBarXP::CCommandBarXP(const CCommandBarXP& other)
    : m_hWnd(other.m_hWnd),
      m_items(other.m_items),
      m_gradient(other.m_gradient),
      m_grippers(other.m_grippers),
      m_group(other.m_group),
      m_bar(other.m_bar)
{
    for (int i = 0; i < 4; ++i)
        m_reserved[i] = other.m_reserved[i];
    if (m_bar)
        m_bar->AddRef();
}

CCommandBarXP& CCommandBarXP::operator=(const CCommandBarXP& other)
{
    if (this == &other)
        return *this;
    if (other.m_bar)
        other.m_bar->AddRef();
    if (m_bar)
        m_bar->Release();
    m_hWnd = other.m_hWnd;
    m_items = other.m_items;
    m_gradient = other.m_gradient;
    m_grippers = other.m_grippers;
    m_group = other.m_group;
    m_bar = other.m_bar;
    for (int i = 0; i < 4; ++i)
        m_reserved[i] = other.m_reserved[i];
    return *this;
}

CCommandBarXP::~CCommandBarXP()
{
    // Shared by copies: the last one's release runs the deleting destructor.
    if (m_bar)
        m_bar->Release();
}

void CCommandBarXP::PushOptions()
{
    if (m_group)
        m_bar->GroupBackground(TRUE);
    else
        m_bar->GradientBackground(m_gradient);
    m_bar->DrawGripper(m_grippers);
}

BOOL CCommandBarXP::Create(DWORD style, HWND parent, UINT id, bool subclassParent)
{
    if (!m_bar || !m_bar->Create(style, parent, id, subclassParent))
        return FALSE;
    m_hWnd = m_bar->GetHwnd();
    return TRUE;
}

BOOL CCommandBarXP::SetMenu(HMENU menu)
{
    if (!m_bar)
        return FALSE;
    PushOptions();
    return m_bar->SetMenu(menu);
}

BOOL CCommandBarXP::SetToolBar(HWND toolbar)
{
    if (!m_bar)
        return FALSE;
    PushOptions();
    return m_bar->SetToolBar(toolbar);
}

BOOL CCommandBarXP::AddToolBar(HWND toolbar, BOOL rowBreak, UINT index)
{
    if (!m_bar)
        return FALSE;
    PushOptions();
    return m_bar->AddToolBar(toolbar, rowBreak, index);
}

BOOL CCommandBarXP::AddToolBar(HWND toolbar, CToolBarXP* object, int position, WORD bandId, BOOL rowBreak)
{
    if (!m_bar)
        return FALSE;
    PushOptions();
    return m_bar->InsertBand(toolbar, object, position, bandId, rowBreak);
}

void CCommandBarXP::ShowBand(int bandIndex, BOOL show)
{
    if (m_bar)
        m_bar->ShowBand(bandIndex, show);
}

void CCommandBarXP::Show(UINT index, BOOL show)
{
    if (m_bar)
        m_bar->Show(index, show);
}

BOOL CCommandBarXP::ShowToolBar(HWND toolbar, BOOL show)
{
    return m_bar ? m_bar->ShowToolBar(toolbar, show) : show;
}

BOOL CCommandBarXP::RemoveToolBar(HWND toolbar)
{
    return m_bar ? m_bar->RemoveToolBar(toolbar) : FALSE;
}

void CCommandBarXP::AutoSize(HWND toolbar)
{
    if (m_bar)
        m_bar->AutoSize(toolbar);
}

BOOL CCommandBarXP::SaveState(const char* subKey, const char* name)
{
    return m_bar ? m_bar->SaveState(subKey, name) : FALSE;
}

BOOL CCommandBarXP::LoadState(const char* subKey, const char* name)
{
    return m_bar ? m_bar->LoadState(subKey, name) : FALSE;
}

LRESULT CCommandBarXP::OnMenuChar(UINT character)
{
    return m_bar ? m_bar->OnMenuChar(character) : 0;
}

BOOL CCommandBarXP::OnSysCommand(UINT command, LPARAM lParam)
{
    return m_bar ? m_bar->OnSysCommand(command, lParam) : FALSE;
}

void CCommandBarXP::SetColorScheme(ColorScheme scheme)
{
    if (m_bar)
        m_bar->SetColorScheme(scheme);
}

void CCommandBarXP::GradientBackground(bool on)
{
    m_gradient = on;
    m_group = false;
}

void CCommandBarXP::GroupBackground(bool on)
{
    m_group = on;
    m_gradient = !on;
}

void CCommandBarXP::DrawGripper(bool on)
{
    m_grippers = on;
}
