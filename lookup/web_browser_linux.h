#pragma once

class CWebBrowser;
class QBoxLayout;
class QWebEngineView;

// The engine's view inside a browser's window, or null without one.
QWebEngineView* BrowserView(const CWebBrowser& browser);
// After nLoads loads and nIdleMs without one, the page moves to a fresh
// process of the engine; tests make both small.
void SetProcessRenewal(const CWebBrowser& browser, int nLoads, int nIdleMs);
// The column of the browser's window: the view, then the bars under it.
QBoxLayout* BrowserColumn(const CWebBrowser& browser);
