#include "history_file.h"

#include "user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// The path with every link followed; empty when that fails.
std::string RealPath(const std::string& strPath)
{
    const std::unique_ptr<char, decltype(&std::free)> pszReal(::realpath(strPath.c_str(), nullptr),
                                                              &std::free);
    return pszReal ? std::string(pszReal.get()) : std::string();
}

} // namespace

bool CHistoryFile::IsWritable(const std::string& strPath)
{
    struct stat named {
    };
    if (::lstat(strPath.c_str(), &named) != 0)
        return errno == ENOENT;
    if (!S_ISLNK(named.st_mode))
        return S_ISREG(named.st_mode) && named.st_uid == ::geteuid() && named.st_nlink == 1;
    // A link the user made to keep the history elsewhere in the home folder is
    // followed; one to anybody else's file, or out of the home folder, is not.
    struct stat target {
    };
    const std::string strTarget = RealPath(strPath);
    const std::string strHome = CUserFolders::HomeFolder();
    const std::string strRealHome = strHome.empty() ? std::string() : RealPath(strHome) + "/";
    return !strTarget.empty() && strRealHome.size() > 1 && strTarget.starts_with(strRealHome) &&
           ::lstat(strTarget.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
           target.st_uid == ::geteuid() && target.st_nlink == 1;
}

bool CHistoryFile::Remove(const std::string& strPath)
{
    return ::unlink(strPath.c_str()) == 0;
}
