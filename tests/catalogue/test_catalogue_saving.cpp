// Where catalogues are read and saved, what a save writes, and two processes
// saving one catalogue. fsync, rename, write and ftruncate are wrapped at link
// time (see CMakeLists.txt), so that the order of the system calls of a save is
// seen, a failing sync can be made and a save can be killed at a chosen call.
#include "catalogue_bytes.h"
#include "catalogue_location.h"
#include "dict_catalogue.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

std::vector<std::string> g_calls;
bool g_bFailSync = false;
// The call at which this process kills itself, as SIGKILL would land there.
std::string g_killAt;

void KillAt(const char* pszCall, int fd)
{
    struct stat st {
    };
    if (g_killAt == pszCall && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        ::raise(SIGKILL);
}

} // namespace

extern "C" int __real_fsync(int fd);
extern "C" int __real_rename(const char* pszFrom, const char* pszTo);
extern "C" ssize_t __real_write(int fd, const void* pData, size_t nCount);
extern "C" int __real_ftruncate(int fd, off_t nLength);

extern "C" ssize_t __wrap_write(int fd, const void* pData, size_t nCount)
{
    KillAt("write", fd);
    return __real_write(fd, pData, nCount);
}

extern "C" int __wrap_ftruncate(int fd, off_t nLength)
{
    KillAt("ftruncate", fd);
    return __real_ftruncate(fd, nLength);
}

extern "C" int __wrap_fsync(int fd)
{
    struct stat st {
    };
    const bool bFile = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    g_calls.push_back(bFile ? "fsync file" : "fsync folder");
    if (g_bFailSync && bFile) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

extern "C" int __wrap_rename(const char* pszFrom, const char* pszTo)
{
    g_calls.push_back("rename");
    return __real_rename(pszFrom, pszTo);
}

namespace
{

const CDictEntry kOne(u"Üks", u"utf8", u"http://1/");
const CDictEntry kTwo(u"Kaks", u"baltic", u"http://2/");
const CDictEntry kThree(u"Kolm", u"western", u"http://3/");

std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteCatalogue(const fs::path& path, std::vector<CDictEntry> entries, int32_t nSelection)
{
    CDictCatalogue catalogue(u"", u"", 0);
    catalogue.entries = std::move(entries);
    catalogue.selection = nSelection;
    ASSERT_EQ(catalogue.SaveFile(path), 0);
}

std::vector<std::string> Listing(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        names.push_back(fs::relative(entry.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

std::pair<ino_t, int64_t> Identity(const fs::path& path)
{
    struct stat st {
    };
    ::stat(path.c_str(), &st);
    return {st.st_ino, st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec};
}

class Saving : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/qb-saving-XXXXXX";
        m_dir = ::mkdtemp(templ);
        for (const char* pszDir : {"lib", "data", "site"})
            fs::create_directory(m_dir / pszDir);
        g_calls.clear();
        g_bFailSync = false;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CCatalogueLocation Location(const std::string& strSeed = {}) const
    {
        return CCatalogueLocation((m_dir / "lib").string() + "/",
                                  (m_dir / "data" / "quillbridge").string() + "/", strSeed);
    }
    fs::path Beside() const { return m_dir / "lib" / "dict.kvd"; }

    fs::path m_dir;
};

} // namespace

// A catalogue is written only when it differs from what was read; the
// installed list starts a user with no files and is never written itself.
TEST_F(Saving, OnlyWhatChangedIsWrittenAndTheInstalledListOnlyRead)
{
    const fs::path seed = m_dir / "site" / "dict.kvd";
    WriteCatalogue(seed, {kOne, kTwo}, 0);
    const std::string strSeed = ReadWhole(seed);
    const auto seedIdentity = Identity(seed);
    const auto seeded = Location((m_dir / "site").string() + "/");
    CDictCatalogue catalogue(u"Sõnastikud", u"dict.kvd", 0);
    EXPECT_EQ(catalogue.Load(seeded), 0);
    EXPECT_EQ(catalogue.entries, (std::vector<CDictEntry>{kOne, kTwo}));
    EXPECT_EQ(catalogue.Save(seeded), 0);
    EXPECT_EQ(Listing(m_dir / "lib"), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(m_dir / "data" / "quillbridge"));

    // The first change goes to the normal place; the list stays as installed.
    catalogue.selection = 1;
    EXPECT_EQ(catalogue.Save(seeded), 0);
    CDictCatalogue reread(u"Sõnastikud", u"dict.kvd", 0);
    EXPECT_EQ(reread.Load(seeded), 0);
    EXPECT_EQ(reread.selection, 1);
    EXPECT_EQ(reread.entries, catalogue.entries);
    EXPECT_EQ(ReadWhole(seed), strSeed);
    EXPECT_EQ(Identity(seed), seedIdentity);

    // Saved once, then left alone by the save at exit and by a run without edits.
    const auto saved = Identity(Beside());
    EXPECT_EQ(catalogue.Save(seeded), 0);
    EXPECT_EQ(reread.Save(seeded), 0);
    EXPECT_EQ(Identity(Beside()), saved);
    EXPECT_EQ(Listing(m_dir / "lib"), (std::vector<std::string>{"dict.kvd", "dict.kvd.lock"}));
}

// Two processes that read one file and each changed it: the second save
// keeps what the first added and removed.
TEST_F(Saving, ASaveMergesWithWhatAnotherProcessSavedMeanwhile)
{
    const CDictEntry ours(u"Meie", u"utf8", u"http://meie/");
    const CDictEntry theirs(u"Nende", u"utf8", u"http://nende/");
    for (const int32_t nFixed : {0, 1}) {
        SCOPED_TRACE(nFixed);
        const std::u16string strName = nFixed ? u"predict.kvd" : u"dict.kvd";
        const fs::path path = m_dir / "lib" / fs::path(strName);
        const int32_t nAt = nFixed; // index of the first stored entry
        WriteCatalogue(path, {kOne, kTwo, kThree}, nAt + 1);
        CDictCatalogue first(u"", strName, nFixed);
        CDictCatalogue second(u"", strName, nFixed);
        ASSERT_EQ(first.Load(Location()), 0);
        ASSERT_EQ(second.Load(Location()), 0);

        // The first removes Kaks, adds its own entry at the end and chooses it.
        first.entries.erase(first.entries.begin() + nAt + 1);
        first.AddEntry(theirs);
        first.selection = nAt + 2;
        ASSERT_EQ(first.Save(Location()), 0);

        // The second adds one at the top, removes Kolm and keeps Kaks chosen.
        second.entries.erase(second.entries.begin() + nAt + 2);
        second.entries.insert(second.entries.begin() + nAt, ours);
        second.selection = nAt + 2;
        ASSERT_EQ(second.Save(Location()), 0);

        std::vector<CDictEntry> wanted = {ours, kOne, theirs};
        if (nFixed)
            wanted.insert(wanted.begin(), CDictEntry(u" --- ", u"utf8", u""));
        CDictCatalogue onDisk(u"", strName, nFixed);
        ASSERT_EQ(onDisk.Load(Location()), 0);
        EXPECT_EQ(onDisk.entries, wanted);
        // The second kept its choice, which the first had removed: the
        // first's choice holds.
        EXPECT_EQ(onDisk.selection, nAt + 2);
        // The second process goes on with the merged catalogue, which needs no save.
        EXPECT_EQ(second.entries, wanted);
        EXPECT_FALSE(second.IsModified());

        // A choice of the second's own wins over the first's.
        second.selection = nAt;
        first.entries.push_back(kThree);
        ASSERT_EQ(first.Save(Location()), 0);
        ASSERT_EQ(second.Save(Location()), 0);
        ASSERT_EQ(onDisk.Load(Location()), 0);
        wanted.push_back(kThree);
        EXPECT_EQ(onDisk.entries, wanted);
        EXPECT_EQ(onDisk.selection, nAt);
    }
}

// Where the library's folder can be written, the newer of the file beside it
// and the user's copy is read, by the second first and then within it: the
// copy holds a save that failed beside the library, the file beside it a later
// one that succeeded there.
TEST_F(Saving, OfTheFileBesideTheLibraryAndTheUsersCopyTheNewerIsRead)
{
    WriteCatalogue(Beside(), {kOne}, 0);
    fs::create_directories(m_dir / "data" / "quillbridge");
    const fs::path copy = m_dir / "data" / "quillbridge" / "dict.kvd";
    WriteCatalogue(copy, {kTwo}, 0);
    const auto touch = [](const fs::path& path, time_t nSeconds, long nNanoseconds) {
        const timespec times[2] = {{nSeconds, nNanoseconds}, {nSeconds, nNanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    const struct {
        time_t nBeside;
        long nBesideNs;
        time_t nCopy;
        long nCopyNs;
        CDictEntry read;
    } cases[] = {
        {2000, 100, 1000, 900, kOne},
        {1000, 900, 2000, 100, kTwo},
        {1500, 200, 1500, 100, kOne},
        {1500, 100, 1500, 200, kTwo},
    };
    for (const auto& c : cases) {
        touch(Beside(), c.nBeside, c.nBesideNs);
        touch(copy, c.nCopy, c.nCopyNs);
        CDictCatalogue catalogue(u"Sõnastikud", u"dict.kvd", 0);
        EXPECT_EQ(catalogue.Load(Location()), 0);
        EXPECT_EQ(catalogue.entries, std::vector<CDictEntry>{c.read})
            << c.nBeside << "." << c.nBesideNs;
    }
}

// Many processes saving at once, each from the same file with an entry of
// its own: the lock keeps every read, merge and write whole.
TEST_F(Saving, ConcurrentSavesLoseNoEntry)
{
    std::vector<CDictEntry> base;
    for (int i = 0; i < 3000; ++i)
        base.push_back(CDictEntry(u"Sõnastik " + std::u16string(1, u'A' + i % 26), u"utf8",
                                  u"http://example.org/" + std::u16string(1, u'a' + i % 26)));
    WriteCatalogue(Beside(), base, 0);
    constexpr int kProcesses = 6;
    int barrier[2];
    ASSERT_EQ(::pipe(barrier), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(barrier[1]);
            CDictCatalogue catalogue(u"", u"dict.kvd", 0);
            catalogue.Load(Location());
            catalogue.AddEntry(
                CDictEntry(u"Laps " + std::u16string(1, u'0' + i), u"utf8", u"http://laps/"));
            char c;
            // Every child has read the file before any saves.
            if (::read(barrier[0], &c, 1) < 0)
                ::_exit(2);
            ::_exit(catalogue.Save(Location()) == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(barrier[0]);
    ::close(barrier[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    CDictCatalogue result(u"", u"dict.kvd", 0);
    ASSERT_EQ(result.Load(Location()), 0);
    EXPECT_EQ(result.GetCount(), 3000 + kProcesses);
    for (int i = 0; i < kProcesses; ++i)
        EXPECT_NE(
            std::find(result.entries.begin(), result.entries.end(),
                      CDictEntry(u"Laps " + std::u16string(1, u'0' + i), u"utf8", u"http://laps/")),
            result.entries.end())
            << i;
}

// The new content is on the disk before it takes the old one's name, and a
// sync that fails is a failed save: the old file stays, and the failure says
// which file and why.
TEST_F(Saving, TheDataIsSyncedBeforeTheRenameAndAFailedSyncFailsTheSave)
{
    WriteCatalogue(Beside(), {kOne}, 0);
    const std::string strOld = ReadWhole(Beside());
    CDictCatalogue catalogue(u"Sõnastikud", u"dict.kvd", 0);
    ASSERT_EQ(catalogue.Load(Location()), 0);
    catalogue.AddEntry(kTwo);
    g_calls.clear();
    ASSERT_EQ(catalogue.Save(Location()), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"fsync file", "rename", "fsync folder"}));

    catalogue.AddEntry(kThree);
    const std::string strSaved = ReadWhole(Beside());
    g_bFailSync = true;
    EXPECT_EQ(catalogue.Save(Location()), -1);
    g_bFailSync = false;
    EXPECT_EQ(ReadWhole(Beside()), strSaved);
    // The save beside the library failed, and so did the one in the user's folder.
    EXPECT_EQ(catalogue.GetFailedPath(), (m_dir / "data" / "quillbridge" / "dict.kvd").string());
    EXPECT_EQ(catalogue.GetFailedError(), EIO);
    EXPECT_EQ(Listing(m_dir / "lib"), (std::vector<std::string>{"dict.kvd", "dict.kvd.lock"}));
    EXPECT_EQ(Listing(m_dir / "data"),
              (std::vector<std::string>{"quillbridge", "quillbridge/dict.kvd.lock"}));
    EXPECT_TRUE(catalogue.IsModified());
}

// A file with a second name is rewritten in place, and a save killed on the
// way never leaves it short: before the write that replaces the content it is
// the old file, between that write and the cut the reader stops at the end of
// the new entries, and a finished save leaves exactly the new file.
TEST_F(Saving, AHardLinkedFileKilledDuringItsSaveKeepsOldOrNewEntries)
{
    const std::vector<CDictEntry> old{kOne, kTwo, kThree};
    WriteCatalogue(Beside(), old, 2);
    const std::string strOld = ReadWhole(Beside());
    WriteCatalogue(m_dir / "single.kvd", {kTwo}, 0);
    const std::string strNew = ReadWhole(m_dir / "single.kvd");
    fs::create_hard_link(Beside(), m_dir / "second-name.kvd");
    const auto save = [&](const char* pszKillAt) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            g_killAt = pszKillAt;
            CDictCatalogue catalogue(u"", u"", 0);
            catalogue.entries = {kTwo};
            ::_exit(catalogue.SaveFile(Beside()) == 0 ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    };
    const auto onDisk = [&] {
        CDictCatalogue catalogue(u"", u"", 0);
        EXPECT_EQ(catalogue.LoadFile(Beside()), 0);
        return std::make_pair(catalogue.entries, catalogue.selection);
    };

    int status = save("write");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(ReadWhole(Beside()), strOld);

    status = save("ftruncate");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(ReadWhole(Beside()).size(), strOld.size());
    EXPECT_EQ(onDisk(), std::make_pair(std::vector<CDictEntry>{kTwo}, 0));

    EXPECT_EQ(save(""), 0);
    EXPECT_EQ(ReadWhole(Beside()), strNew);
    EXPECT_EQ(ReadWhole(m_dir / "second-name.kvd"), strNew);
}

// Where the library's folder cannot be written, the user's data folder and
// every folder made on the way to it are private to the user.
TEST_F(Saving, TheUsersFolderIsPrivate)
{
    const mode_t oldMask = ::umask(022);
    const CCatalogueLocation location((m_dir / "no-library").string() + "/",
                                      (m_dir / "data" / "a" / "b" / "quillbridge").string() + "/");
    CDictCatalogue catalogue(u"Sõnastikud", u"dict.kvd", 0);
    catalogue.Load(location);
    catalogue.AddEntry(kOne);
    EXPECT_EQ(catalogue.Save(location), 0);
    for (const char* pszFolder : {"a", "a/b", "a/b/quillbridge"}) {
        struct stat st {
        };
        ASSERT_EQ(::stat((m_dir / "data" / pszFolder).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << pszFolder;
    }
    EXPECT_TRUE(fs::exists(m_dir / "data" / "a" / "b" / "quillbridge" / "dict.kvd"));

    ::umask(oldMask);
}
