#pragma once

#include "text.h"

// The application name: the module file that holds this code, without folder
// and extension. It captions the message boxes the toolkit shows by itself.
CString AfxGetAppName();

// The process's one application object, on the calling thread, created on
// the first call if the process has none. It lasts until the process ends:
// the browser engine cannot start a second time in a process. The library's
// GUI thread and test programs call it before any window. Returns false when
// the process already has an application that cannot show windows.
bool AfxEnsureApplication();
