#pragma once

#include <functional>
#include <string>

class CFindBar;
class CWebBrowser;
class CWnd;

// The keys every browser user has, on a page that shows a browser, wherever
// the focus is on that page: Alt+Left and Alt+Right go back and forward, F5
// and Ctrl+R reload, Ctrl+F opens the find bar, Ctrl+plus, Ctrl+minus and
// Ctrl+0 zoom the page in, out and back, and, where the page has one, Ctrl+L
// and F6 go to its word box. Back and forward do nothing where there is no
// page to go to; the toolbar's routine carries out the commands, so a failure
// is told as a click's would be.
class CBrowserKeys
{
public:
    // onWordBox, when given, takes the focus to the page's word box.
    // strZoomKey names the user's setting that keeps the zoom.
    static void Create(CWnd& page, CWebBrowser& browser, CFindBar& findBar,
                       const std::u16string& strZoomKey, std::function<void()> onWordBox = {});

    enum class ECommand { Back, Forward, Reload, Find, ZoomIn, ZoomOut, ZoomReset, WordBox };

private:
    // The platform's keys for command, on page while the focus is there.
    static void AddKeys(CWnd& page, ECommand command, std::function<void()> action);
};
