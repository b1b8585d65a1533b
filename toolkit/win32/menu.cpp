#include "menu.h"

#include "menu_platform.h"
#include "wide_text.h"
#include "wnd.h"

CMenu::CMenu() : m_pPlatform(std::make_unique<CMenuPlatform>()) {}

CMenu::~CMenu()
{
    if (m_pPlatform->hMenu)
        ::DestroyMenu(m_pPlatform->hMenu);
}

bool CMenu::CreatePopupMenu()
{
    if (m_pPlatform->hMenu)
        return false;
    m_pPlatform->hMenu = ::CreatePopupMenu();
    return m_pPlatform->hMenu != nullptr;
}

bool CMenu::AppendMenu(unsigned nFlags, unsigned nIDNewItem, const CString& strNewItem)
{
    if (!m_pPlatform->hMenu)
        return false;
    if (nFlags & MF_SEPARATOR)
        return ::AppendMenuW(m_pPlatform->hMenu, MF_SEPARATOR, 0, nullptr) != FALSE;
    return ::AppendMenuW(m_pPlatform->hMenu, nFlags, nIDNewItem, WideText(strNewItem)) != FALSE;
}

unsigned CMenu::GetMenuItemCount() const
{
    const int nCount = m_pPlatform->hMenu ? ::GetMenuItemCount(m_pPlatform->hMenu) : 0;
    return nCount < 0 ? 0 : static_cast<unsigned>(nCount);
}

int CMenu::TrackPopupMenu(unsigned nFlags, int x, int y, CWnd* pWnd)
{
    const HMENU hMenu = m_pPlatform->hMenu;
    if (!hMenu)
        return 0;
    m_pPlatform->hMenu = nullptr;
    // The menu needs a window of the thread to own it while it is open.
    HWND hOwner = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (!hOwner)
        hOwner = ::GetActiveWindow();
    // The system's popup menu closes on a click elsewhere only when its
    // owner is the window in front.
    if (hOwner)
        ::SetForegroundWindow(::GetAncestor(hOwner, GA_ROOT));
    const int nID = hOwner ? static_cast<int>(::TrackPopupMenuEx(
                                 hMenu, (nFlags & ~TPM_RETURNCMD) | TPM_RETURNCMD | TPM_NONOTIFY, x,
                                 y, hOwner, nullptr))
                           : 0;
    ::DestroyMenu(hMenu);
    if (nFlags & TPM_RETURNCMD)
        return nID;
    // The choice reaches the window as a command, once the menu has gone.
    if (nID != 0 && pWnd && pWnd->IsWindow())
        pWnd->SendCommand(nID, nullptr);
    return 0;
}
