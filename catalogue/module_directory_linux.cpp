#include "module_directory.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

std::string ModuleFilePath()
{
    // Linux has no module handle to ask: the loader tells which file holds
    // an address inside this code.
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ModuleFilePath), &info) == 0 || !info.dli_fname)
        return {};
    // The loader reports the name it was given, which may be relative.
    char resolved[PATH_MAX];
    if (::realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}
