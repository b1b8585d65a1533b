#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class QEventLoop;

// The Qt side of a CWnd: the widget, and the context object of the
// connections to it, which end when the widget is detached.
struct CWndPlatform {
    QPointer<QWidget> pWidget;
    bool bOwnsWidget = false;
    std::unique_ptr<QObject> pReceiver;
    QEventLoop* pModalLoop = nullptr;
    QObject* pKeyHook = nullptr;
};

#include "qt_text.h"
#include "wnd.h"

// The widget of a wrapper, or null.
inline QWidget* WidgetOf(const CWnd& wnd)
{
    return FromHandle(wnd.GetSafeHwnd());
}

// The widget of the control with id nID of wnd's window, or null.
inline QWidget* DlgItemWidget(const CWnd& wnd, int nID)
{
    const CWnd* pControl = wnd.GetDlgItem(nID);
    return pControl ? WidgetOf(*pControl) : nullptr;
}
