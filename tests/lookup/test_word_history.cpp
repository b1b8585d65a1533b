// The words looked up, kept for completion in a file of the user's own.
#include "utf_text.h"
#include "word_history.h"
#include "word_length.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace
{

using Words = std::vector<std::u16string>;

struct TempFolder {
    TempFolder()
    {
        char szTemplate[] = "/tmp/qb-history-XXXXXX";
        strPath = ::mkdtemp(szTemplate);
    }
    ~TempFolder() { std::filesystem::remove_all(strPath); }
    std::string strPath;
};

std::string FileText(const std::filesystem::path& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(WordHistory, NewestFirstEachOnceAtMost500SharedThroughTheFile)
{
    TempFolder tmp;
    // The folder is made on the first save.
    const std::string strPath = tmp.strPath + "/data/quillbridge/history.txt";
    CWordHistory history(strPath);
    history.Load();
    EXPECT_TRUE(history.GetWords().empty());
    for (const char16_t* pszWord : {u"kass", u"maja", u"õun puu", u"kass"})
        EXPECT_TRUE(history.Add(pszWord));
    EXPECT_EQ(history.GetWords(), (Words{u"kass", u"õun puu", u"maja"}));
    EXPECT_EQ(FileText(strPath), "kass\nõun puu\nmaja\n");
    // Not words of one line: nothing changes.
    for (const std::u16string& word :
         Words{u"", u"  ", u"a\nb", u"a\rb", std::u16string(u"a\0b", 3),
               std::u16string(kMaxWordLength + 1, u'x')})
        EXPECT_FALSE(history.Add(word));
    EXPECT_EQ(history.GetWords().size(), 3u);

    // A second window, open beside the first, adds to what the first saved.
    CWordHistory other(strPath);
    other.Load();
    EXPECT_TRUE(other.Add(u"koer"));
    EXPECT_TRUE(history.Add(u"hiir"));
    EXPECT_EQ(history.GetWords(), (Words{u"hiir", u"koer", u"kass", u"õun puu", u"maja"}));

    for (int i = 0; i < 600; ++i)
        history.Add(Utf8ToUtf16(std::string("s").append(std::to_string(i))));
    ASSERT_EQ(history.GetWords().size(), CWordHistory::kMaxWords);
    EXPECT_EQ(history.GetWords().front(), u"s599");
    EXPECT_EQ(history.GetWords().back(), u"s100");

    EXPECT_TRUE(history.Clear());
    EXPECT_EQ(FileText(strPath), "");
    other.Load();
    EXPECT_TRUE(other.GetWords().empty());
}

TEST(WordHistory, AFileFromElsewhereIsReadCarefullyAndAnUnwritableOneKeepsNothing)
{
    TempFolder tmp;
    const std::string strPath = tmp.strPath + "/history.txt";
    std::string text =
        "maja\r\n\n  \nkass\nmaja\n\xff\xfe\n" + std::string(kMaxWordLength + 5, 'y') + "\n";
    for (int i = 0; i < 700; ++i)
        text.append("w").append(std::to_string(i)).append("\n");
    std::ofstream(strPath, std::ios::binary) << text;
    CWordHistory history(strPath);
    history.Load();
    ASSERT_EQ(history.GetWords().size(), CWordHistory::kMaxWords);
    EXPECT_EQ(history.GetWords()[0], u"maja");
    EXPECT_EQ(history.GetWords()[1], u"kass");
    EXPECT_EQ(history.GetWords()[2], u"\uFFFD\uFFFD");
    EXPECT_EQ(history.GetWords()[3], u"w0");

    // Only the first 2 MiB are read, and the line the cap cuts is not kept
    // as a word of its own.
    constexpr std::size_t kCap = 2 * 1024 * 1024;
    text = "alfa\n" + std::string(kCap - 9, ' ') + "\nkassikene\nbeeta\n";
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << text;
    history.Load();
    EXPECT_EQ(history.GetWords(), Words{u"alfa"});
    // A file far larger than any history (here mostly a hole of 1 TiB) costs
    // no more than the cap to read.
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << "alfa\n";
    std::filesystem::resize_file(strPath, std::uintmax_t(1) << 40);
    history.Load();
    EXPECT_EQ(history.GetWords(), Words{u"alfa"});

    // A folder that is a file: nothing can be written there, not even by root.
    std::ofstream(tmp.strPath + "/file") << "x";
    CWordHistory unwritable(tmp.strPath + "/file/history.txt");
    unwritable.Load();
    EXPECT_FALSE(unwritable.Add(u"kass"));
    EXPECT_EQ(unwritable.GetWords(), Words{u"kass"}) << "still offered in this window";
    EXPECT_FALSE(unwritable.Add(u"maja"));
    EXPECT_EQ(unwritable.GetWords(), (Words{u"maja", u"kass"}));

    ::setenv("XDG_DATA_HOME", (tmp.strPath + "/data").c_str(), 1);
    ::setenv("XDG_STATE_HOME", tmp.strPath.c_str(), 1);
    EXPECT_EQ(CWordHistory::DefaultPath(), tmp.strPath + "/quillbridge/history.txt");
    ::unsetenv("XDG_STATE_HOME");
    ::unsetenv("XDG_DATA_HOME");
}

// Two windows adding words at the same moment: the changes are made one after
// the other under the lock, so the file keeps every word of both.
TEST(WordHistory, TwoProcessesAddingAtOnceKeepEveryWord)
{
    TempFolder tmp;
    const std::string strPath = tmp.strPath + "/state/quillbridge/history.txt";
    int barrier[2];
    ASSERT_EQ(::pipe(barrier), 0);
    std::vector<pid_t> children;
    for (const char* pszPrefix : {"a", "b"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(barrier[1]);
            CWordHistory history(strPath);
            history.Load();
            char c;
            if (::read(barrier[0], &c, 1) < 0)
                ::_exit(2);
            bool bAll = true;
            for (int i = 0; i < 200; ++i)
                bAll = history.Add(Utf8ToUtf16(pszPrefix + std::to_string(i))) && bAll;
            ::_exit(bAll ? 0 : 1);
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
    CWordHistory history(strPath);
    history.Load();
    EXPECT_EQ(history.GetWords().size(), 400u);
    for (const char* pszPrefix : {"a", "b"})
        for (int i = 0; i < 200; ++i)
            EXPECT_NE(std::find(history.GetWords().begin(), history.GetWords().end(),
                                Utf8ToUtf16(pszPrefix + std::to_string(i))),
                      history.GetWords().end())
                << pszPrefix << i;
}

// The file is replaced only when it is the user's own: a file the user may
// write but not read, one with a second name, and a link out of the home
// folder are left as they are, while a link to the user's own file in the
// home folder is followed and stays a link. The words still count in the window.
TEST(WordHistory, OnlyTheUsersOwnReadableFileIsReplaced)
{
    namespace fs = std::filesystem;
    TempFolder tmp;
    const fs::path root = tmp.strPath;
    fs::create_directories(root / "home" / "dotfiles");
    fs::create_directories(root / "home" / "state");
    fs::create_directories(root / "outside");
    // Root may read any file, so the checks run as another user there.
    if (::geteuid() == 0) {
        for (const auto& entry : fs::recursive_directory_iterator(root))
            ASSERT_EQ(::chown(entry.path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(root.c_str(), 65534, 65534), 0);
    }
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::setenv("HOME", (root / "home").c_str(), 1);
        int nFailed = 0;
        const auto expect = [&](bool bHolds, const char* pszWhat) {
            if (!bHolds) {
                std::fprintf(stderr, "failed: %s\n", pszWhat);
                ++nFailed;
            }
        };
        const fs::path path = root / "home" / "state" / "history.txt";
        const auto add = [&](const char16_t* pszWord) {
            CWordHistory history(path.string());
            history.Load();
            const bool bWritten = history.Add(pszWord);
            expect(history.GetWords().front() == pszWord, "the word counts in the window");
            return bWritten;
        };

        std::ofstream(path) << "vana\n";
        ::chmod(path.c_str(), 0200);
        expect(!add(u"uus"), "an unreadable file is not replaced");
        ::chmod(path.c_str(), 0600);
        expect(FileText(path) == "vana\n", "an unreadable file keeps its words");

        fs::create_hard_link(path, root / "outside" / "second-name.txt");
        expect(!add(u"uus"), "a file with a second name is not replaced");
        expect(FileText(root / "outside" / "second-name.txt") == "vana\n",
               "the second name sees no change");
        fs::remove(path);

        std::ofstream(root / "outside" / "target.txt") << "vana\n";
        fs::create_symlink(root / "outside" / "target.txt", path);
        expect(!add(u"uus"), "a link out of the home folder is not followed");
        expect(FileText(root / "outside" / "target.txt") == "vana\n",
               "the file out of the home folder keeps its content");
        fs::remove(path);

        std::ofstream(root / "home" / "dotfiles" / "history.txt") << "vana\n";
        fs::create_symlink("../dotfiles/history.txt", path);
        expect(add(u"uus"), "a link to the user's own file in the home folder is followed");
        expect(fs::is_symlink(path), "the link stays a link");
        expect(FileText(root / "home" / "dotfiles" / "history.txt") == "uus\nvana\n",
               "the linked file holds the new word");
        ::_exit(nFailed == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A lookup hands its word over and goes on: the file is changed on the
// history's own thread, under the lock and merged with what another window
// saved, and whatever is still pending is written when the history goes.
TEST(WordHistory, AddLaterLeavesTheDiskToItsThreadAndLosesNothingAtClose)
{
    TempFolder tmp;
    const std::string strPath = tmp.strPath + "/history.txt";
    std::ofstream(strPath) << "vana\n";
    {
        CWordHistory history(strPath);
        history.Load();
        // Held by "another window": a write on the caller's thread would wait
        // for it and the file would have changed by the time AddLater returns.
        const int lockFd = ::open((strPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lockFd, 0);
        ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
        for (const char16_t* pszWord : {u"kass", u"maja", u"kass", u"õun"})
            EXPECT_TRUE(history.AddLater(pszWord));
        EXPECT_FALSE(history.AddLater(u"a\nb"));
        EXPECT_EQ(history.GetWords(), (Words{u"õun", u"kass", u"maja", u"vana"}));
        EXPECT_EQ(FileText(strPath), "vana\n");
        // What that window saved before it let go is merged, not overwritten.
        std::ofstream(strPath) << "muu\nvana\n";
        ::close(lockFd);
        for (const char16_t* pszWord : {u"hiir", u"koer"})
            history.AddLater(pszWord);
    }
    EXPECT_EQ(FileText(strPath), "koer\nhiir\nõun\nkass\nmaja\nmuu\nvana\n");

    // A clear comes after the words handed over before it, which stay gone.
    CWordHistory history(strPath);
    history.Load();
    history.AddLater(u"lind");
    EXPECT_TRUE(history.Clear());
    EXPECT_TRUE(history.GetWords().empty());
    history.Flush();
    EXPECT_EQ(FileText(strPath), "");
}
