#include "catalogue_location.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

CCatalogueLocation::CCatalogueLocation(std::string strLibraryFolder, std::string strUserFolder)
    : m_strLibraryFolder(std::move(strLibraryFolder)), m_strUserFolder(std::move(strUserFolder))
{
}

CCatalogueLocation CCatalogueLocation::ForLibrary(std::string strLibraryFolder)
{
    return CCatalogueLocation(std::move(strLibraryFolder), UserDataFolder());
}

std::string CCatalogueLocation::UserDataFolder()
{
    // A relative XDG_DATA_HOME is to be ignored.
    const char* pszData = std::getenv("XDG_DATA_HOME");
    if (pszData && pszData[0] == '/')
        return std::string(pszData) + "/quillbridge/";
    const char* pszHome = std::getenv("HOME");
    if (!pszHome || pszHome[0] != '/') {
        const passwd* pUser = ::getpwuid(::getuid());
        pszHome = pUser && pUser->pw_dir && pUser->pw_dir[0] == '/' ? pUser->pw_dir : nullptr;
    }
    return pszHome ? std::string(pszHome) + "/.local/share/quillbridge/" : std::string();
}

std::string CCatalogueLocation::BesideLibrary(const std::string& strName) const
{
    return m_strLibraryFolder + strName;
}

std::string CCatalogueLocation::InUserFolder(const std::string& strName) const
{
    return m_strUserFolder.empty() ? std::string() : m_strUserFolder + strName;
}

std::string CCatalogueLocation::ReadPath(const std::string& strName) const
{
    const std::string strBeside = BesideLibrary(strName);
    const std::string strUser = InUserFolder(strName);
    struct stat user {
    };
    if (strUser.empty() || ::stat(strUser.c_str(), &user) != 0)
        return strBeside;
    struct stat beside {
    };
    if (::stat(strBeside.c_str(), &beside) != 0)
        return strUser;
    // The user's copy was saved because a save beside the library failed; a
    // file beside it that is newer was saved there later.
    const bool bBesideNewer = beside.st_mtim.tv_sec != user.st_mtim.tv_sec
                                  ? beside.st_mtim.tv_sec > user.st_mtim.tv_sec
                                  : beside.st_mtim.tv_nsec > user.st_mtim.tv_nsec;
    return bBesideNewer ? strBeside : strUser;
}

bool CCatalogueLocation::IsLibraryFolderWritable() const
{
    return !m_strLibraryFolder.empty() && ::access(m_strLibraryFolder.c_str(), W_OK | X_OK) == 0;
}

bool CCatalogueLocation::MakeUserFolder() const
{
    if (m_strUserFolder.empty())
        return false;
    // Each missing folder on the way, private to the user as data folders are.
    for (std::size_t nSlash = m_strUserFolder.find('/', 1); nSlash != std::string::npos;
         nSlash = m_strUserFolder.find('/', nSlash + 1)) {
        const std::string strFolder = m_strUserFolder.substr(0, nSlash);
        if (::mkdir(strFolder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat folder {
    };
    return ::stat(m_strUserFolder.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
}
