#include "application.h"

#include "module_directory.h"
#include "qt_text.h"

#include <QApplication>

CString AfxGetAppName()
{
    return FromQString(QString::fromLocal8Bit(ModuleBaseName()));
}

bool AfxEnsureApplication()
{
    if (QCoreApplication* pApp = QCoreApplication::instance())
        return qobject_cast<QApplication*>(pApp) != nullptr;
    // QApplication keeps argc and argv for its whole life; Chromium refuses an
    // empty argument list.
    static int s_argc = 1;
    static char s_argv0[] = "quillbridge";
    static char* s_argv[] = {s_argv0, nullptr};
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    new QApplication(s_argc, s_argv);
    QCoreApplication::setApplicationName(QString::fromStdString(ModuleBaseName()));
    // Every window the program opens is closed again; that must not end the loop.
    QApplication::setQuitOnLastWindowClosed(false);
    return true;
}
