#pragma once

#include <string>

// The directory of the file that holds this code (the library, or a program
// linked with it), with a trailing slash; empty when it cannot be found.
std::string ModuleDirectory();

// The module file's name without directory and extension: the application name.
std::string ModuleBaseName();
