#include "uilib/bars/MenuXP.h"

#include <new>

HFONT CMenuXP::m_hfontMenu = nullptr;
int CMenuXP::m_cRef = 0;

CMenuXP::CMenuXP() : m_menu(new (std::nothrow) Glazier::CMenu())
{
    if (m_menu)
        m_hfontMenu = m_menu->GetMenuFont();
}

CMenuXP::CMenuXP(const CMenuXP& other) : CMenuXP()
{
    *this = other;
}

CMenuXP& CMenuXP::operator=(const CMenuXP& other)
{
    if (this != &other) {
        m_hMenu = other.m_hMenu;
        for (int i = 0; i < 4; ++i)
            m_reserved[i] = other.m_reserved[i];
        // The copy measures and draws the menu the original prepared, for the same owner.
        if (m_menu && other.m_menu)
            static_cast<Glazier::CMenu*>(m_menu)->CopyStateOf(*static_cast<Glazier::CMenu*>(other.m_menu));
    }
    return *this;
}

CMenuXP::~CMenuXP()
{
    if (m_menu)
        m_menu->DeleteThis();
}

void CMenuXP::PrepareMenu(HMENU menu, HWND owner)
{
    m_hMenu = menu;
    if (m_menu)
        m_menu->PrepareMenu(menu, owner);
}

void CMenuXP::DrawItem(DRAWITEMSTRUCT* item)
{
    if (m_menu)
        m_menu->DrawItem(item);
}

void CMenuXP::MeasureItem(MEASUREITEMSTRUCT* item)
{
    if (m_menu)
        m_menu->MeasureItem(item);
}

BOOL CMenuXP::TrackPopupMenu(HMENU menu, int x, int y, HWND owner, HWND anchor)
{
    return m_menu ? m_menu->TrackPopupMenu(menu, x, y, owner, anchor) : FALSE;
}
