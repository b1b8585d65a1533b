#pragma once

class CWebBrowser;
class QBoxLayout;
class QWebEngineView;

// The engine's view inside a browser's window, or null without one.
QWebEngineView* BrowserView(const CWebBrowser& browser);
// The column of the browser's window: the view, then the bars under it.
QBoxLayout* BrowserColumn(const CWebBrowser& browser);
