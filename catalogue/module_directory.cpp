#include "module_directory.h"

std::string ModuleDirectory()
{
    // Cut after the last separator, which stays.
    const std::string strPath = ModuleFilePath();
    const auto nSeparator = strPath.rfind(kPathSeparator);
    return nSeparator == std::string::npos ? std::string() : strPath.substr(0, nSeparator + 1);
}

std::string ModuleBaseName()
{
    std::string strName = ModuleFilePath();
    const auto nSeparator = strName.rfind(kPathSeparator);
    if (nSeparator != std::string::npos)
        strName.erase(0, nSeparator + 1);
    const auto nDot = strName.find('.');
    if (nDot != std::string::npos && nDot > 0)
        strName.erase(nDot);
    return strName;
}
