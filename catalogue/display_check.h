#pragma once

// Whether this process has a display to show windows on. Qt ends the whole
// process when it cannot open one, so the program and the library ask first.
bool HasDisplay();
