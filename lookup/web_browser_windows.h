#pragma once

#include "win_defs.h"

class CWebBrowser;

// The control behind a browser's window, or null without one; the caller
// does not own the reference.
IWebBrowser2* BrowserControl(const CWebBrowser& browser);
