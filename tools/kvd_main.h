#pragma once

#include <string>
#include <vector>

// quillbridge-kvd with its arguments (without the program's name), in the
// system's own bytes (UTF-8 on Windows); the exit status.
int KvdMain(std::vector<std::string> args);
