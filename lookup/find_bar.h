#pragma once

#include <memory>
#include <string>

class CWebBrowser;
struct CFindBarPlatform;

// A small bar under a page's browser for finding text on the page shown: a
// text field (Enter finds the next match, Shift+Enter the previous one), the
// two buttons for that, the number of matches, and a button that closes the
// bar. While the bar is open Esc anywhere on the page closes the bar and
// not the window. The bar stands in the browser's window, under the page,
// which gives up the room the bar takes and gets it back when the bar closes.
class CFindBar
{
public:
    CFindBar();
    ~CFindBar();
    CFindBar(const CFindBar&) = delete;
    CFindBar& operator=(const CFindBar&) = delete;

    // Builds the bar, closed, in the browser's window.
    void Create(CWebBrowser& browser);
    // Opens the bar with its text selected, so that typing replaces it.
    void Open();
    void Close();
    bool IsOpen() const;

    // What the bar says of the matches: "2/5", or "Ei leitud" when there are none.
    static std::u16string CountText(int nActive, int nMatches);

private:
    void Find(bool bBackward);
    void ShowCount(int nActive, int nMatches);

    // The platform's side: the bar's controls, built in the browser's window.
    bool CreateBar(CWebBrowser& browser);
    // Shows or hides the bar; a bar that goes with the focus gives it to the page.
    void ShowBar(bool bShow);
    bool IsBarShown() const;
    std::u16string GetText() const;
    void SetCountText(const std::u16string& strText);
    // The focus to the text, selected.
    void FocusText();

    CWebBrowser* m_pBrowser = nullptr;
    std::unique_ptr<CFindBarPlatform> m_pPlatform;
};
