#pragma once

#include "text.h"
#include "win_defs.h"

#include <memory>

class CWnd;

// The window system's side of a CMenu; each platform's toolkit defines it.
struct CMenuPlatform;

// A popup menu of commands.
class CMenu
{
public:
    CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu();

    bool CreatePopupMenu();
    // Appends a command (MF_STRING, MF_GRAYED for one that cannot be chosen
    // now) or a separator (MF_SEPARATOR). False without a menu.
    bool AppendMenu(unsigned nFlags, unsigned nIDNewItem = 0,
                    const CString& strNewItem = CString());
    unsigned GetMenuItemCount() const;

    // Shows the menu at x, y on the screen. With TPM_RETURNCMD it waits for
    // the user and returns the id chosen, 0 for none; otherwise it returns at
    // once and the id chosen reaches pWnd as a command. The menu is used up
    // either way.
    int TrackPopupMenu(unsigned nFlags, int x, int y, CWnd* pWnd);

    CMenuPlatform& GetPlatform() const { return *m_pPlatform; }

private:
    std::unique_ptr<CMenuPlatform> m_pPlatform;
};
