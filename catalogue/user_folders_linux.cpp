#include "user_folders.h"

#include "disk_file.h"
#include "file_replacement.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Settings and a history are small; a larger file is no copy of ours to compare.
constexpr std::size_t kMaxComparedBytes = 16 * 1024 * 1024;

// The base folder that pszVariable names, else strUnderHome in the home folder.
std::string BaseFolder(const char* pszVariable, const char* pszUnderHome)
{
    // A relative path in the variable is to be ignored.
    const char* pszValue = std::getenv(pszVariable);
    if (pszValue && pszValue[0] == '/')
        return std::string(pszValue) + "/";
    if (!pszUnderHome)
        return std::string();
    const std::string strHome = CUserFolders::HomeFolder();
    return strHome.empty() ? std::string() : strHome + pszUnderHome;
}

// The whole content of a regular file; false when it cannot be read whole.
bool ReadWhole(const std::string& strPath, std::string& content)
{
    try {
        CDiskFile file;
        if (!file.Open(strPath, CDiskFile::modeRead) || file.GetLength() > kMaxComparedBytes)
            return false;
        content.assign(file.GetLength() + 1, '\0');
        content.resize(file.Read(content.data(), content.size()));
        return content.size() <= file.GetLength();
    } catch (...) {
        return false;
    }
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A copy onto another file system, complete before the old name goes.
bool CopyThenRemove(const std::string& strOld, const struct stat& old, const std::string& strNew)
{
    if (S_ISLNK(old.st_mode)) {
        std::string strTarget(PATH_MAX, '\0');
        const ssize_t n = ::readlink(strOld.c_str(), strTarget.data(), strTarget.size());
        if (n <= 0)
            return false;
        strTarget.resize(static_cast<std::size_t>(n));
        if (::symlink(strTarget.c_str(), strNew.c_str()) != 0)
            return false;
    } else {
        std::string content;
        if (!S_ISREG(old.st_mode) || !ReadWhole(strOld, content))
            return false;
        try {
            CFileReplacement replacement(strNew);
            CDiskFile file;
            if (!replacement.Open(file))
                return false;
            file.Write(content.data(), content.size());
            if (!replacement.Commit(file))
                return false;
        } catch (...) {
            return false;
        }
    }
    ::unlink(strOld.c_str());
    return true;
}

// Whether strOld is the file at strNew, or a copy of it that a move onto
// another file system left when it was stopped before removing it.
bool IsLeftOverOf(const std::string& strOld, const struct stat& old, const std::string& strNew)
{
    struct stat moved {
    };
    if (::lstat(strNew.c_str(), &moved) != 0)
        return false;
    if (SameFile(old, moved))
        return true;
    std::string oldContent, newContent;
    return S_ISREG(old.st_mode) && S_ISREG(moved.st_mode) && old.st_size == moved.st_size &&
           ReadWhole(strOld, oldContent) && ReadWhole(strNew, newContent) &&
           oldContent == newContent;
}

// Moves strOld to strNew unless strNew is there; false when strOld stays and
// strNew is not there.
bool MoveUnlessThere(const std::string& strOld, const struct stat& old, const std::string& strNew)
{
    if (::renameat2(AT_FDCWD, strOld.c_str(), AT_FDCWD, strNew.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return true;
    if (errno == EXDEV)
        return CopyThenRemove(strOld, old, strNew);
    // A file system that cannot refuse to replace in a rename: a second name,
    // which is refused when one is there, then the old name goes.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(strOld.c_str(), strNew.c_str()) != 0)
        return errno == EEXIST || (errno == EXDEV && CopyThenRemove(strOld, old, strNew));
    ::unlink(strOld.c_str());
    return true;
}

} // namespace

std::string CUserFolders::HomeFolder()
{
    const char* pszHome = std::getenv("HOME");
    if (!pszHome || pszHome[0] != '/') {
        const passwd* pUser = ::getpwuid(::getuid());
        pszHome = pUser && pUser->pw_dir && pUser->pw_dir[0] == '/' ? pUser->pw_dir : nullptr;
    }
    return pszHome ? std::string(pszHome) + "/" : std::string();
}

std::string CUserFolders::Folder(Kind kind)
{
    std::string strBase;
    switch (kind) {
    case kindData:
        strBase = BaseFolder("XDG_DATA_HOME", ".local/share/");
        break;
    case kindConfig:
        strBase = BaseFolder("XDG_CONFIG_HOME", ".config/");
        break;
    case kindState:
        strBase = BaseFolder("XDG_STATE_HOME", ".local/state/");
        break;
    case kindRuntime:
        // The socket lies in the runtime folder itself, which the system made.
        return BaseFolder("XDG_RUNTIME_DIR", nullptr);
    }
    return strBase.empty() ? std::string() : strBase + "quillbridge/";
}

std::string CUserFolders::FilePath(Kind kind, const std::string& strName)
{
    const std::string strFolder = Folder(kind);
    if (strFolder.empty())
        return std::string();
    const std::string strPath = strFolder + strName;
    const std::string strDataFolder = Folder(kindData);
    if (kind == kindData || kind == kindRuntime || strDataFolder.empty() ||
        strDataFolder == strFolder)
        return strPath;
    const std::string strOld = strDataFolder + strName;
    struct stat old {
    };
    if (::lstat(strOld.c_str(), &old) != 0)
        return strPath;
    // Moved already: what is left in the old place goes only when it is the
    // same file or a copy of it; anything else is not ours to remove.
    struct stat moved {
    };
    if (::lstat(strPath.c_str(), &moved) == 0) {
        if (IsLeftOverOf(strOld, old, strPath))
            ::unlink(strOld.c_str());
        return strPath;
    }
    if (Make(strFolder) == 0 && MoveUnlessThere(strOld, old, strPath))
        return strPath;
    return strOld;
}

int CUserFolders::Make(const std::string& strFolder)
{
    if (strFolder.empty())
        return ENOENT;
    // Each missing folder on the way, private to the user as XDG folders are.
    for (std::size_t nSlash = strFolder.find('/', 1); nSlash != std::string::npos;
         nSlash = strFolder.find('/', nSlash + 1)) {
        const std::string strPart = strFolder.substr(0, nSlash);
        if (::mkdir(strPart.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat folder {
    };
    if (::stat(strFolder.c_str(), &folder) != 0)
        return errno;
    return S_ISDIR(folder.st_mode) ? 0 : ENOTDIR;
}
