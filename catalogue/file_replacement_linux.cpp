#include "file_replacement.h"

#include "disk_file.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinks = 40;

// The new file keeps the old one's owner and permission bits; a catalogue saved
// for the first time gets the usual ones.
void KeepAttributes(int fd, const struct stat* pOld)
{
    if (!pOld) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return;
    }
    // Only root may give a file away; anyone else keeps at least the group when
    // it is theirs. Otherwise the file belongs to the saver, as any new file does.
    if (::fchown(fd, pOld->st_uid, pOld->st_gid) != 0)
        static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), pOld->st_gid) == 0);
    ::fchmod(fd, pOld->st_mode & 07777);
}

void SyncDirectory(const std::string& strDir)
{
    const int fd =
        ::open(strDir.empty() ? "." : strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

// The path with the symbolic links of its last part followed, as open() follows
// them, also to a target that does not exist yet; nothing for a loop.
std::optional<std::string> CFileReplacement::ResolveTarget(const std::string& strPath)
{
    std::string strAt = strPath;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st {
        };
        if (::lstat(strAt.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return strAt;
        std::string strLink(PATH_MAX, '\0');
        const ssize_t n = ::readlink(strAt.c_str(), strLink.data(), strLink.size());
        if (n <= 0)
            return std::nullopt;
        strLink.resize(static_cast<std::size_t>(n));
        strAt = strLink.front() == '/' ? strLink : DirectoryOf(strAt) + strLink;
    }
    return std::nullopt;
}

CFileReplacement::Status CFileReplacement::StatusOf(const std::string& strPath)
{
    struct stat st {
    };
    if (::stat(strPath.c_str(), &st) != 0)
        return {};
    // Whether the user may write it is the folder's matter here, as for any file.
    return {true, S_ISREG(st.st_mode), S_ISDIR(st.st_mode), false,
            static_cast<unsigned long>(st.st_nlink)};
}

std::vector<std::string> CFileReplacement::NamesIn(const std::string& strDir)
{
    std::vector<std::string> names;
    DIR* pDir = ::opendir(strDir.empty() ? "." : strDir.c_str());
    if (!pDir)
        return names;
    while (const dirent* pEntry = ::readdir(pDir))
        names.emplace_back(pEntry->d_name);
    ::closedir(pDir);
    return names;
}

// A running save holds its temporary file locked; one that was killed no longer does.
void CFileReplacement::RemoveIfAbandoned(const std::string& strPath)
{
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(strPath.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
        named.st_ino == held.st_ino)
        ::unlink(strPath.c_str());
    ::close(fd);
}

int CFileReplacement::OpenTemporary(CDiskFile& file, bool bTargetExists)
{
    struct stat old {
    };
    const bool bOld = bTargetExists && ::stat(m_strTarget.c_str(), &old) == 0;
    for (int nAttempt = 0; nAttempt < 3; ++nAttempt) {
        std::string strTemp =
            m_strTarget + std::string(kTemporaryInfix) + std::string(kTemporaryLetters, 'X');
        const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
        if (fd < 0)
            return errno;
        // Another save's clean-up may take the file between its creation and the
        // lock; then a new one is made. Where files cannot be locked at all, the
        // clean-up cannot lock them either and leaves them alone.
        struct stat st {
        };
        const bool bTaken = ::flock(fd, LOCK_EX | LOCK_NB) != 0
                                ? errno == EWOULDBLOCK
                                : ::fstat(fd, &st) == 0 && st.st_nlink == 0;
        if (bTaken) {
            ::close(fd);
            continue;
        }
        // The lock belongs to the open file, which the duplicate keeps open until
        // the rename, after the written file itself is closed.
        const int lockFd = ::dup(fd);
        if (lockFd < 0) {
            const int err = errno;
            ::close(fd);
            ::unlink(strTemp.c_str());
            return err;
        }
        m_lock = lockFd;
        m_strTemp = std::move(strTemp);
        KeepAttributes(fd, bOld ? &old : nullptr);
        file.AttachForWriting(fd);
        return 0;
    }
    return EEXIST;
}

int CFileReplacement::ReplaceTarget()
{
    if (::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
        return errno;
    SyncDirectory(DirectoryOf(m_strTarget));
    return 0;
}

void CFileReplacement::Discard()
{
    if (!m_strTemp.empty())
        ::unlink(m_strTemp.c_str());
    if (m_lock >= 0)
        ::close(static_cast<int>(m_lock));
}
