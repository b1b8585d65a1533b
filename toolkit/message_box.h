#pragma once

#include <QString>

#include <functional>

class QWidget;

// What a message box is asked to show. Tests see it through the hook below.
struct MessageBoxRequest {
    QWidget* pOwner = nullptr;
    QString strText;
    QString strCaption;
    unsigned nType = 0;
};

// Shows a modal message box with an OK button and the icon of nType
// (MB_ICONSTOP or MB_ICONEXCLAMATION and the other MB_ICON values), owned by
// pOwner's window or else by the active window. The text is plain text,
// shown as it is whatever characters it holds. Returns IDOK. An empty caption
// becomes the application name.
int AfxMessageBox(QWidget* pOwner, const QString& strText, const QString& strCaption,
                  unsigned nType);

// The seam for tests: while a hook is set, every message box goes to it
// instead of the screen and the hook's result is returned. Pass an empty
// function to show boxes again. Returns the hook that was set before.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook);
