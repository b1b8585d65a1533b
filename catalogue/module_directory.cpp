#include "module_directory.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

namespace
{

std::string ModulePath()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || !info.dli_fname)
        return {};
    // The loader reports the name it was given, which may be relative.
    char resolved[PATH_MAX];
    if (::realpath(info.dli_fname, resolved))
        return resolved;
    return info.dli_fname;
}

} // namespace

std::string ModuleDirectory()
{
    const std::string strPath = ModulePath();
    const auto nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

std::string ModuleBaseName()
{
    std::string strName = ModulePath();
    const auto nSlash = strName.rfind('/');
    if (nSlash != std::string::npos)
        strName.erase(0, nSlash + 1);
    const auto nDot = strName.find('.');
    if (nDot != std::string::npos && nDot > 0)
        strName.erase(nDot);
    return strName;
}
