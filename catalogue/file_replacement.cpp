#include "file_replacement.h"

#include "disk_file.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{

constexpr std::string_view kTemporaryInfix = ".quillbridge-save-";
constexpr std::string_view kTemporaryPattern = "XXXXXX";
// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinks = 40;

std::string DirectoryOf(const std::string& strPath)
{
    const auto nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

// The path with the symbolic links of its last part followed, as open() follows
// them, also to a target that does not exist yet; nothing for a loop.
std::optional<std::string> FollowLinks(std::string strPath)
{
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st {
        };
        if (::lstat(strPath.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return strPath;
        std::string strLink(PATH_MAX, '\0');
        const ssize_t n = ::readlink(strPath.c_str(), strLink.data(), strLink.size());
        if (n <= 0)
            return std::nullopt;
        strLink.resize(static_cast<std::size_t>(n));
        strPath = strLink.front() == '/' ? strLink : DirectoryOf(strPath) + strLink;
    }
    return std::nullopt;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kTemporaryPattern.size() || !name.starts_with(prefix))
        return false;
    for (const char c : name.substr(prefix.size())) {
        const bool bAlnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!bAlnum)
            return false;
    }
    return true;
}

// A running save holds its temporary file locked; one that was killed no longer does.
void RemoveIfAbandoned(const std::string& strPath)
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

void RemoveLeftoversBeside(const std::string& strTarget)
{
    const std::string strDir = DirectoryOf(strTarget);
    DIR* pDir = ::opendir(strDir.empty() ? "." : strDir.c_str());
    if (!pDir)
        return;
    const std::string strPrefix = strTarget.substr(strDir.size()) + std::string(kTemporaryInfix);
    while (const dirent* pEntry = ::readdir(pDir)) {
        if (IsTemporaryName(pEntry->d_name, strPrefix))
            RemoveIfAbandoned(strDir + pEntry->d_name);
    }
    ::closedir(pDir);
}

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

void SyncDirectory(const std::string& strTarget)
{
    const std::string strDir = DirectoryOf(strTarget);
    const int fd =
        ::open(strDir.empty() ? "." : strDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

CFileReplacement::CFileReplacement(std::string strPath, std::string endMark)
    : m_strPath(std::move(strPath)), m_endMark(std::move(endMark))
{
}

CFileReplacement::~CFileReplacement()
{
    if (!m_strTemp.empty())
        ::unlink(m_strTemp.c_str());
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void CFileReplacement::RemoveLeftovers(const std::string& strPath)
{
    if (const auto target = FollowLinks(strPath))
        RemoveLeftoversBeside(*target);
}

bool CFileReplacement::Open(CDiskFile& file)
{
    const auto target = FollowLinks(m_strPath);
    if (!target) {
        m_nError = ELOOP;
        return false;
    }
    m_strTarget = *target;
    RemoveLeftoversBeside(m_strTarget);

    struct stat old {
    };
    const bool bExists = ::stat(m_strTarget.c_str(), &old) == 0;
    if (bExists && !S_ISREG(old.st_mode)) {
        m_nError = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // Replacing the file would detach it from its other names.
    if (bExists && old.st_nlink > 1)
        return OpenInPlace(file, &m_nError);

    const int fd = CreateTemporary();
    if (fd < 0) {
        m_nError = errno;
        // A folder the user may not write can still hold a file the user may.
        const bool bFolderRefused = errno == EACCES || errno == EPERM;
        return bExists && bFolderRefused && OpenInPlace(file, nullptr);
    }
    KeepAttributes(fd, bExists ? &old : nullptr);
    file.AttachForWriting(fd);
    return true;
}

bool CFileReplacement::OpenInPlace(CDiskFile& file, int* pError)
{
    if (!file.Open(m_strTarget, CDiskFile::modeOverwrite, pError))
        return false;
    file.SetEndMark(m_endMark);
    return true;
}

int CFileReplacement::CreateTemporary()
{
    for (int nAttempt = 0; nAttempt < 3; ++nAttempt) {
        std::string strTemp =
            m_strTarget + std::string(kTemporaryInfix) + std::string(kTemporaryPattern);
        const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
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
        m_lockFd = ::dup(fd);
        if (m_lockFd < 0) {
            const int err = errno;
            ::close(fd);
            ::unlink(strTemp.c_str());
            errno = err;
            return -1;
        }
        m_strTemp = std::move(strTemp);
        return fd;
    }
    errno = EEXIST;
    return -1;
}

bool CFileReplacement::Commit(CDiskFile& file)
{
    file.Close();
    if (m_strTemp.empty())
        return true;
    if (::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
        m_nError = errno;
        return false;
    }
    m_strTemp.clear();
    SyncDirectory(m_strTarget);
    return true;
}
