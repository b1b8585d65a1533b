#pragma once

#include <string>

// What separates a folder from the name after it in the system's paths: the
// one the system writes, and every one it reads.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparators = "/";
#endif

// The full path of the file that holds this code (the library, or a program
// linked with it), in the system's own bytes (UTF-8 on Windows); empty when
// it cannot be found.
std::string ModuleFilePath();

// The directory of that file with a trailing separator; empty when it cannot be found.
std::string ModuleDirectory();

// The module file's name without directory and extension: the application name.
std::string ModuleBaseName();
