#pragma once

#include <string>
#include <string_view>

// The program keeps paths in UTF-8; the system takes them in UTF-16, through
// the wide (...W) functions only, so that any folder name works.
std::wstring WidePath(std::string_view strPath);
std::string Utf8Path(std::wstring_view path);

// The errno value that stands for a Windows error code, so that a failure
// reads the same on both platforms.
int ErrnoFromWindowsError(unsigned long nError);
