#pragma once

#include <QString>

class QApplication;

// The application name: the module file that holds this code, without folder
// and extension. It captions the message boxes the toolkit shows by itself.
QString AfxGetAppName();

// The process's Qt application, created on first call if there is none (with a
// lasting argv and shared OpenGL contexts, as Qt WebEngine needs) and never
// destroyed, since WebEngine cannot start a second time. For test programs;
// the library's own entry points start the application on their thread.
QApplication* AfxEnsureApplication();
