#pragma once

#include <QtGlobal>

// Keeps the library's own Qt application quiet: Qt and its browser engine
// report their set-up (the browser context, the thread the application was
// made on, pages' console lines) on standard error at every start, none of
// which a user can act on. Critical and fatal messages, which come before a
// failure the user sees, still pass; QUILLBRIDGE_DEBUG=1 in the environment
// lets everything through.
class CMessageFilter
{
public:
    // Routes Qt's messages through the filter; call before the application exists.
    static void Install();
    // pfnHandler runs when the window system reports that the connection to
    // the display is lost, just before it ends the process; null for none.
    static void SetDisplayLostHandler(void (*pfnHandler)());

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& strText);
};
