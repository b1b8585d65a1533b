#include "application.h"

#include "module_directory.h"

#include <QApplication>

QString AfxGetAppName()
{
    return QString::fromLocal8Bit(ModuleBaseName());
}

QApplication* AfxEnsureApplication()
{
    if (auto* pApp = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return pApp;
    // QApplication keeps argc and argv for its whole life; Chromium refuses an
    // empty argument list.
    static int s_argc = 1;
    static char s_argv0[] = "quillbridge";
    static char* s_argv[] = {s_argv0, nullptr};
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* pApp = new QApplication(s_argc, s_argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return pApp;
}
