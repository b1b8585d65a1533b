#pragma once

#include "tool_bar_ctrl.h"

class CWebBrowser;

// The four navigation buttons above a page's browser: back (1), forward (2),
// stop (3) and reload (4), with the images of bitmap 138.
class CBrowserToolBar : public CToolBarCtrl
{
public:
    // Creates the toolbar inside pPlaceholder (a page's empty static), with
    // pReceiver getting the clicks as commands whose source is the toolbar.
    // Only reload starts enabled. Always returns 0; without a placeholder
    // there is simply no toolbar.
    int Create(CWnd* pPlaceholder, CWnd* pReceiver);

    // Follows the browser: code 1 switches forward, 2 back, 3 stop (a page
    // is loading); any other code is ignored. The low 16 bits of bEnable count.
    void SetCommandState(int nCode, int bEnable);
    // Keeps the buttons in step with the browser's events: stop while a page
    // loads (code 3), back and forward as the browser reports them.
    void FollowBrowser(CWebBrowser& browser);

    // The tooltip of button nID, at most 79 characters; empty for other ids.
    CString GetToolTipText(int nID) const;

protected:
    CString OnNeedToolTipText(int nID) override;
};

// Runs toolbar command nCommand (1 back, 2 forward, 3 stop, 4 reload) on the
// browser. Returns 0, or -1 when the browser refused (after telling the user
// in a message box "Viga" with the stop icon) or the command is unknown.
int ExecuteBrowserCommand(CWebBrowser& browser, int nCommand);
