#include "catalogue_bytes.h"
#include "dict_catalogue.h"
#include "disk_file.h"
#include "file_exception.h"
#include "memory_file.h"
#include "module_directory.h"
#include "test_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace
{

const std::string kExample = Bytes({0x01, 0, 0,    0, 0x41, 0, 0x62, 0, 0,    0, 0x75, 0,
                                    0x74, 0, 0x66, 0, 0x38, 0, 0,    0, 0x71, 0, 0,    0});

std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteWhole(const fs::path& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary) << data;
}

class TempDir : public ::testing::Test
{
protected:
    void SetUp() override { m_dir = CTestPath::MakeTemporaryFolder("qb-catalogue-"); }
    void TearDown() override { fs::remove_all(m_dir); }
    CTestPath m_dir;
};

} // namespace

TEST(DictCatalogue, ProcessWideCatalogues)
{
    EXPECT_EQ(g_dictCatalogue.title, u"Sõnastikud");
    EXPECT_EQ(g_dictCatalogue.fileName, u"dict.kvd");
    EXPECT_EQ(g_dictCatalogue.fixedCount, 0);
    EXPECT_EQ(g_predictCatalogue.title, u"Eelsõnastikud");
    EXPECT_EQ(g_predictCatalogue.fileName, u"predict.kvd");
    ASSERT_EQ(g_predictCatalogue.GetCount(), 1);
    EXPECT_EQ(g_predictCatalogue.GetEntry(0), CDictEntry(u" --- ", u"utf8", u""));
    EXPECT_EQ(g_predictCatalogue.selection, 0);
}

TEST(DictCatalogue, FilePathIsBesideTheModule)
{
    const std::u16string path = g_dictCatalogue.GetFilePath();
    const std::string dir = ModuleDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::path(CTestPath(dir)).is_absolute());
    EXPECT_EQ(dir.back(), kPathSeparator);
    EXPECT_EQ(ModuleFilePath().substr(0, dir.size()), dir);
    EXPECT_TRUE(fs::exists(CTestPath(ModuleFilePath())));
    EXPECT_EQ(path.substr(path.size() - 9), char16_t(kPathSeparator) + std::u16string(u"dict.kvd"));
    EXPECT_EQ(ModuleBaseName(), "test_catalogue");
}

TEST(DictCatalogue, WritesTheExampleFile)
{
    CDictCatalogue catalogue(u"", u"", 0);
    catalogue.selection = 1;
    catalogue.AddEntry(CDictEntry(u"Ab", u"utf8", u"q"));
    CMemoryFile file;
    EXPECT_EQ(catalogue.WriteTo(file), 0);
    EXPECT_EQ(file.GetData(), kExample);
    EXPECT_EQ(file.GetData().size(), 24u);
}

TEST(DictCatalogue, ReadsStreamsOfEveryShape)
{
    const std::string header = Bytes({0x02, 0, 0, 0});
    const std::string rec1 = Str(u"Eesti") + Str(u"baltic") + Str(u"http://a/");
    const std::string rec2 = Str(u"Vene") + Str(u"utf8") + Str(u"http://b/");
    struct Case {
        const char* what;
        std::string data;
        int result;
        int count;
        int32_t selection;
    } cases[] = {
        {"example", kExample, 0, 1, 1},
        {"header only", header, 0, 0, 2},
        {"two records, no end record", header + rec1 + rec2, 0, 2, 2},
        {"cut inside the third string", header + rec1 + Str(u"X") + Str(u"utf8") + "h\0t", 0, 1, 2},
        {"odd final byte", header + rec1 + Bytes({0x41}), 0, 1, 2},
        {"three bytes after the header", header + Bytes({0x41, 0, 0x62}), 0, 0, 2},
        {"empty field ends the list", header + rec1 + Str(u"Tühi") + Str(u"utf8") + Str(u"") + rec2,
         0, 1, 2},
        {"empty encoding ends the list", header + rec1 + rec2 + Str(u"C") + Str(u"") + Str(u"c"), 0,
         2, 2},
        {"header of FF FF FF FF", Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + rec1, 0, 1, -1},
        {"empty stream", "", -1, 0, 0x11223344},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDictCatalogue catalogue(u"", u"", 0);
        catalogue.selection = 0x11223344;
        CMemoryFile file(c.data);
        int result;
        try {
            result = catalogue.ReadFrom(file);
        } catch (const CFileException& e) {
            // The normal end of a complete file: the next record's first string is missing.
            EXPECT_EQ(e.m_cause, CFileException::generic);
            EXPECT_EQ(e.m_lOsError, -1);
            result = 0;
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(catalogue.GetCount(), c.count);
        EXPECT_EQ(catalogue.selection, c.selection);
    }
}

// The reader takes the stream in blocks of 256 KiB: records, strings and the
// cut-off point fall on and around block boundaries here.
TEST_F(TempDir, ReadsAcrossBlockBoundaries)
{
    CDictCatalogue big(u"", u"", 0);
    big.selection = 3;
    // Units with a zero low or high byte must not be taken for the terminator.
    big.AddEntry(CDictEntry(std::u16string(300000, u'\u0100'), u"utf8", u"http://long/"));
    for (int i = 0; i < 9000; ++i)
        big.AddEntry(
            CDictEntry(u"Sõna \u0400" + std::u16string(static_cast<std::size_t>(i % 37), u'ž'),
                       u"baltic", u"http://x/?q=" + std::u16string(1, u'a' + i % 26)));
    CMemoryFile image;
    big.WriteTo(image);
    const std::string& data = image.GetData();
    ASSERT_GT(data.size(), 3u * 256 * 1024);

    CDictCatalogue fromMemory(u"", u"", 0);
    CMemoryFile file(data);
    EXPECT_THROW(fromMemory.ReadFrom(file), CFileException);
    EXPECT_EQ(fromMemory.entries, big.entries);
    ASSERT_EQ(big.SaveFile(m_dir / "big.kvd"), 0);
    CDictCatalogue fromDisk(u"", u"", 0);
    EXPECT_EQ(fromDisk.LoadFile(m_dir / "big.kvd"), 0);
    EXPECT_EQ(fromDisk.entries, big.entries);
    EXPECT_EQ(fromDisk.selection, 3);

    // Cut around the second block boundary: only the records that end before the cut stay.
    std::vector<std::size_t> recordEnds;
    std::size_t nEnd = 4;
    for (const CDictEntry& e : big.entries) {
        nEnd += 2 * (e.name.size() + e.encoding.size() + e.programUrl.size() + 3);
        recordEnds.push_back(nEnd);
    }
    for (std::size_t cut = 2 * 256 * 1024 - 3; cut <= 2 * 256 * 1024 + 3; ++cut) {
        SCOPED_TRACE(cut);
        CDictCatalogue part(u"", u"", 0);
        CMemoryFile partFile(data.substr(0, cut));
        EXPECT_THROW(part.ReadFrom(partFile), CFileException);
        const auto nComplete =
            std::upper_bound(recordEnds.begin(), recordEnds.end(), cut) - recordEnds.begin();
        EXPECT_EQ(part.GetCount(), nComplete);
    }
}

TEST(DictCatalogue, ShortHeaderReplacesOnlyTheDeliveredBytes)
{
    CDictCatalogue catalogue(u"", u"", 0);
    catalogue.selection = 0x11223344;
    CMemoryFile file(Bytes({0xAA, 0xBB}));
    EXPECT_EQ(catalogue.ReadFrom(file), -1);
    EXPECT_EQ(static_cast<uint32_t>(catalogue.selection), 0x1122BBAAu);
}

TEST(DictCatalogue, ReadFromAppends)
{
    CDictCatalogue catalogue(u"", u"", 1);
    CMemoryFile file(kExample);
    EXPECT_THROW(catalogue.ReadFrom(file), CFileException);
    ASSERT_EQ(catalogue.GetCount(), 2);
    EXPECT_EQ(catalogue.GetEntry(0).name, u" --- ");
    EXPECT_EQ(catalogue.GetEntry(1), CDictEntry(u"Ab", u"utf8", u"q"));
}

TEST(DictCatalogue, WriteToLeavesOutEntriesThatWouldEndTheList)
{
    CDictCatalogue catalogue(u"", u"", 1);
    catalogue.AddEntry(CDictEntry(u"Üks", u"utf8", u"http://1/"));
    catalogue.AddEntry(CDictEntry(u"", u"utf8", u"http://2/"));
    catalogue.AddEntry(CDictEntry(u"Kolm", u"", u"http://3/"));
    catalogue.AddEntry(CDictEntry(u"Neli", u"western", std::u16string(u"\0x", 2)));
    catalogue.AddEntry(CDictEntry(u"Viis", u"mystery", u"http://5/"));
    CMemoryFile file;
    catalogue.WriteTo(file);

    CDictCatalogue reread(u"", u"", 1);
    CMemoryFile written(file.GetData());
    EXPECT_THROW(reread.ReadFrom(written), CFileException);
    ASSERT_EQ(reread.GetCount(), 3);
    EXPECT_EQ(reread.GetEntry(1).name, u"Üks");
    // An unknown encoding name is carried like any other.
    EXPECT_EQ(reread.GetEntry(2), CDictEntry(u"Viis", u"mystery", u"http://5/"));
}

TEST_F(TempDir, SaveThenLoadKeepsEverything)
{
    CDictCatalogue predicts(u"Eelsõnastikud", u"predict.kvd", 1);
    predicts.selection = 2;
    predicts.AddEntry(CDictEntry(u"Õigekeelsus", u"baltic", u"http://ee/õ?q="));
    predicts.AddEntry(CDictEntry(u"Русский словарь", u"utf8", u"http://ru/слово="));
    predicts.AddEntry(CDictEntry(u"Šveitsi žargoon", u"western", u"http://ch/"));
    const CTestPath path = m_dir / "predict.kvd";
    ASSERT_EQ(predicts.SaveFile(path), 0);

    CDictCatalogue loaded(u"Eelsõnastikud", u"predict.kvd", 1);
    loaded.selection = 0;
    EXPECT_EQ(loaded.LoadFile(path), 0);
    EXPECT_EQ(loaded.entries, predicts.entries);
    EXPECT_EQ(loaded.selection, 2);
    EXPECT_EQ(loaded.GetEntry(0).name, u" --- ");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(TempDir, LoadResults)
{
    CDictCatalogue catalogue(u"", u"", 1);
    catalogue.AddEntry(CDictEntry(u"a", u"b", u"c"));
    EXPECT_EQ(catalogue.LoadFile(m_dir / "missing.kvd"), -1);
    EXPECT_EQ(catalogue.GetCount(), 1) << "Reset leaves only the built-in entry";

    WriteWhole(m_dir / "short.kvd", Bytes({7, 0}));
    catalogue.selection = 0;
    EXPECT_EQ(catalogue.LoadFile(m_dir / "short.kvd"), -1);
    EXPECT_EQ(catalogue.selection, 7);

    WriteWhole(m_dir / "four.kvd", Bytes({5, 0, 0, 0}));
    EXPECT_EQ(catalogue.LoadFile(m_dir / "four.kvd"), 0);
    EXPECT_EQ(catalogue.selection, 5);
    EXPECT_EQ(catalogue.GetCount(), 1);

    WriteWhole(m_dir / "cut.kvd", kExample + Str(u"B") + "x");
    EXPECT_EQ(catalogue.LoadFile(m_dir / "cut.kvd"), 0);
    EXPECT_EQ(catalogue.GetCount(), 2);
}

TEST_F(TempDir, OnlyBuiltInEntrySavesFourBytes)
{
    CDictCatalogue predicts(u"", u"", 1);
    ASSERT_EQ(predicts.SaveFile(m_dir / "p.kvd"), 0);
    EXPECT_EQ(ReadWhole(m_dir / "p.kvd"), Bytes({0, 0, 0, 0}));
}

// Linux refuses writes beyond a size limit, as a full disk would.
#ifndef _WIN32
TEST_F(TempDir, FailedSaveLeavesTheOldFileWhole)
{
    const CTestPath path = m_dir / "dict.kvd";
    WriteWhole(path, kExample);

    CDictCatalogue big(u"", u"", 0);
    for (int i = 0; i < 2000; ++i)
        big.AddEntry(CDictEntry(u"Sõnastik " + std::u16string(1, u'A' + i % 26), u"utf8",
                                u"http://example.org/very/long/address/of/the/program?q="));

    // Let the system refuse every write beyond 100 bytes, as a full disk would.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = big.SaveFile(path);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadWhole(path), kExample);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}
#endif

TEST_F(TempDir, SaveIntoMissingDirectoryFails)
{
    CDictCatalogue catalogue(u"", u"", 0);
    EXPECT_EQ(catalogue.SaveFile(m_dir / "no" / "dict.kvd"), -1);
}

TEST_F(TempDir, DiskFileReadsInFewSystemCalls)
{
    CDictCatalogue catalogue(u"", u"", 0);
    for (int i = 0; i < 500; ++i)
        catalogue.AddEntry(CDictEntry(u"nimi", u"utf8", u"http://x/"));
    ASSERT_EQ(catalogue.SaveFile(m_dir / "d.kvd"), 0);

    CDiskFile file;
    ASSERT_TRUE(file.Open(m_dir / "d.kvd", CDiskFile::modeRead));
    CDictCatalogue loaded(u"", u"", 0);
    EXPECT_THROW(loaded.ReadFrom(file), CFileException);
    EXPECT_EQ(loaded.GetCount(), 500);
    EXPECT_LT(file.GetSystemCallCount(), 10u);
}

// Links, permission bits, owners, FIFOs and advisory locks as Linux has them.
#ifndef _WIN32
namespace
{

CDictCatalogue OneEntryCatalogue()
{
    CDictCatalogue catalogue(u"", u"", 0);
    catalogue.selection = 3;
    catalogue.AddEntry(CDictEntry(u"Uus", u"utf8", u"http://uus/"));
    return catalogue;
}

std::string OneEntryBytes()
{
    CMemoryFile file;
    OneEntryCatalogue().WriteTo(file);
    return file.GetData();
}

std::vector<std::string> Names(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(TempDir, SaveWritesThroughLinksAndKeepsModeAndOwner)
{
    fs::create_directories(m_dir / "shared");
    fs::create_directories(m_dir / "app");
    const fs::path target = m_dir / "shared" / "target.kvd";
    WriteWhole(target, kExample);
    fs::permissions(target, fs::perms(0640));
    const bool bRoot = ::geteuid() == 0;
    if (bRoot) {
        ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    }
    fs::create_symlink("../shared/target.kvd", m_dir / "app" / "dict.kvd");
    fs::create_symlink("dict.kvd", m_dir / "app" / "again.kvd");
    WriteWhole(m_dir / "shared" / "linked.kvd", kExample);
    fs::create_hard_link(m_dir / "shared" / "linked.kvd", m_dir / "app" / "hard.kvd");

    // Through two links to the shared file; the links stay links.
    ASSERT_EQ(OneEntryCatalogue().SaveFile(m_dir / "app" / "again.kvd"), 0);
    EXPECT_TRUE(fs::is_symlink(m_dir / "app" / "dict.kvd"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "app" / "again.kvd"));
    EXPECT_EQ(ReadWhole(target), OneEntryBytes());
    struct stat st {
    };
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (bRoot) {
        EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(65534u, 65534u));
    }

    // A file with two names keeps both.
    ASSERT_EQ(OneEntryCatalogue().SaveFile(m_dir / "app" / "hard.kvd"), 0);
    EXPECT_EQ(fs::hard_link_count(m_dir / "app" / "hard.kvd"), 2u);
    EXPECT_EQ(ReadWhole(m_dir / "shared" / "linked.kvd"), OneEntryBytes());

    // A link that leads nowhere yet gets its target created.
    fs::create_symlink("../shared/later.kvd", m_dir / "app" / "later.kvd");
    ASSERT_EQ(OneEntryCatalogue().SaveFile(m_dir / "app" / "later.kvd"), 0);
    EXPECT_EQ(ReadWhole(m_dir / "shared" / "later.kvd"), OneEntryBytes());

    EXPECT_EQ(Names(m_dir / "shared"),
              (std::vector<std::string>{"later.kvd", "linked.kvd", "target.kvd"}));
    EXPECT_EQ(Names(m_dir / "app"),
              (std::vector<std::string>{"again.kvd", "dict.kvd", "hard.kvd", "later.kvd"}));
}

TEST_F(TempDir, LeftoversOfKilledSavesGoAndNothingElse)
{
    const CTestPath path = m_dir / "dict.kvd";
    WriteWhole(path, kExample);
    const std::vector<std::string> kept = {
        "dict.kvd",
        "dict.kvd.Ab12Cd",                    // the user's, whatever it looks like
        "dict.kvd.backup",                    //
        "dict.kvd.quillbridge-save-Live01",   // a save running in another host
        "dict.kvd.quillbridge-save-toolong1", //
        "predict.kvd.quillbridge-save-Ab12Cd" // another catalogue's
    };
    for (const std::string& name : kept)
        if (name != "dict.kvd")
            WriteWhole(m_dir / name, "x");
    const int live = ::open((m_dir / "dict.kvd.quillbridge-save-Live01").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    WriteWhole(m_dir / "dict.kvd.quillbridge-save-Ab12Cd", "half");
    CDictCatalogue catalogue(u"", u"", 0);
    EXPECT_EQ(catalogue.LoadFile(path), 0);
    EXPECT_EQ(catalogue.GetCount(), 1);
    EXPECT_EQ(Names(m_dir), kept);

    WriteWhole(m_dir / "dict.kvd.quillbridge-save-zz99ZZ", "half");
    EXPECT_EQ(OneEntryCatalogue().SaveFile(path), 0);
    EXPECT_EQ(Names(m_dir), kept);
    ::close(live);
}

TEST_F(TempDir, OnlyRegularFilesAreOpened)
{
    const fs::path fifo = m_dir / "dict.kvd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_directory(m_dir / "predict.kvd");

    CDictCatalogue catalogue(u"", u"", 1);
    // Neither blocks nor reads a folder as an empty catalogue.
    EXPECT_EQ(catalogue.LoadFile(fifo), -1);
    EXPECT_EQ(catalogue.LoadFile(m_dir / "predict.kvd"), -1);
    EXPECT_EQ(catalogue.GetCount(), 1);
    CDiskFile file;
    int err = 0;
    EXPECT_FALSE(file.Open(m_dir / "predict.kvd", CDiskFile::modeRead, &err));
    EXPECT_EQ(err, EISDIR);

    // A FIFO that a writer holds open, with a whole catalogue waiting in it: a
    // load that took it for a file would read it and then wait for more.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, kExample.data(), kExample.size()),
              static_cast<ssize_t>(kExample.size()));
    auto load = std::async(std::launch::async, [&] {
        CDictCatalogue fromFifo(u"", u"", 0);
        return std::make_pair(fromFifo.LoadFile(fifo), fromFifo.GetCount());
    });
    const bool bReturned = load.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    // Ends a load that blocked, so that the test can fail rather than hang.
    ::close(writer);
    EXPECT_TRUE(bReturned) << "the load blocked on the FIFO";
    EXPECT_EQ(load.get(), std::make_pair(-1, 0));

    // Nor is either replaced by a save.
    EXPECT_EQ(OneEntryCatalogue().SaveFile(fifo), -1);
    EXPECT_EQ(OneEntryCatalogue().SaveFile(m_dir / "predict.kvd"), -1);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(m_dir / "predict.kvd"));
    EXPECT_EQ(Names(m_dir), (std::vector<std::string>{"dict.kvd", "predict.kvd"}));
}

// A writable catalogue in a folder where the user may not create files: the
// save has no room for a temporary file and rewrites the file in place.
TEST_F(TempDir, FolderThatRefusesNewFilesStillGetsTheEdits)
{
    const fs::path dir = m_dir / "locked";
    fs::create_directory(dir);
    const fs::path path = dir / "dict.kvd";
    WriteWhole(path, kExample);
    // Root may write any folder, so the save runs as another user there.
    const bool bRoot = ::geteuid() == 0;
    if (bRoot) {
        fs::permissions(m_dir, fs::perms(0755));
        ASSERT_EQ(::chown(dir.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    }
    fs::permissions(dir, fs::perms(0555));
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (bRoot && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(OneEntryCatalogue().SaveFile(path) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    fs::permissions(dir, fs::perms(0755));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadWhole(path), OneEntryBytes());
    EXPECT_EQ(Names(dir), std::vector<std::string>{"dict.kvd"});
}
#endif
