#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Helpers for tests that drive windows.

// Runs fn with the active modal window as soon as one other than pExcept
// shows (checked from the event loop the modal run spins), within timeoutMs.
// Returns at once; the modal run that follows is what makes it happen.
void WhenModal(std::function<void(QWidget* pModal)> fn, QWidget* pExcept = nullptr,
               int timeoutMs = 30000);

// Runs the event loop until pred holds or timeoutMs passes; returns pred().
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000);

// Sends a key press and release to the widget that has the focus in pWindow
// (or to pWindow), as the keyboard would.
void PressKey(QWidget* pWindow, int nKey);

// A right click into the page of a browser view at pos, as the window system
// brings it. The engine takes clicks only once it has drawn the page, some
// time after the page has loaded: the click is repeated until a menu opens
// (false if none does).
bool RightClickPage(QWidget* pView, const QPoint& pos = QPoint(30, 30));
