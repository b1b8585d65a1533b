#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

class CWebBrowser;
class QLabel;
class QLineEdit;
class QWebEngineView;

// A small bar under a page's browser for finding text on the page shown: a
// text field (Enter finds the next match, Shift+Enter the previous one), the
// two buttons for that, the number of matches, and a button that closes the
// bar. While the bar is open Esc anywhere on the page closes the bar and
// not the window. The browser gives up the room the bar takes and gets it
// back when the bar closes, whatever size the window gives the browser.
class CFindBar
{
public:
    CFindBar() = default;
    CFindBar(const CFindBar&) = delete;
    CFindBar& operator=(const CFindBar&) = delete;

    // Builds the bar, closed, beside the browser in the browser's window.
    void Create(CWebBrowser& browser);
    // Opens the bar with its text selected, so that typing replaces it.
    void Open();
    void Close();
    bool IsOpen() const;

    QWidget* GetSafeHwnd() const { return m_pBar.data(); }

private:
    void Find(bool bBackward);
    void ShowCount(int nActive, int nMatches);
    // Puts the bar at the bottom of the browser's room and the browser above it.
    void Place();

    QPointer<QWebEngineView> m_pView;
    QPointer<QWidget> m_pBar;
    QLineEdit* m_pText = nullptr;
    QLabel* m_pCount = nullptr;
    QRect m_browserRoom;  // the browser's place with the bar closed
    QRect m_browserPlace; // and with the bar open
    bool m_bPlacing = false;
};
