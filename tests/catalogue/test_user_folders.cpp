// The user's folders, and the files of earlier versions moved into them.
#include "user_folders.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace
{

std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class UserFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/qb-folders-XXXXXX";
        m_dir = ::mkdtemp(templ);
        for (const char* pszName : kVariables) {
            const char* pszValue = std::getenv(pszName);
            m_saved.emplace_back(pszName,
                                 pszValue ? std::optional<std::string>(pszValue) : std::nullopt);
            ::unsetenv(pszName);
        }
        ::setenv("HOME", (m_dir / "home").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [strName, value] : m_saved) {
            if (value)
                ::setenv(strName.c_str(), value->c_str(), 1);
            else
                ::unsetenv(strName.c_str());
        }
        fs::remove_all(m_dir);
    }

    static constexpr const char* kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                                 "XDG_STATE_HOME", "XDG_RUNTIME_DIR"};
    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace

TEST_F(UserFolders, EachKindHasItsFolderFromTheVariableOrTheHome)
{
    const std::string strHome = (m_dir / "home").string();
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindData), strHome + "/.local/share/quillbridge/");
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindConfig), strHome + "/.config/quillbridge/");
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindState),
              strHome + "/.local/state/quillbridge/");
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindRuntime), "");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    ::setenv("XDG_STATE_HOME", "/st", 1);
    ::setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindConfig), strHome + "/.config/quillbridge/");
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindState), "/st/quillbridge/");
    EXPECT_EQ(CUserFolders::Folder(CUserFolders::kindRuntime), "/run/user/7/");
}

// Settings and the history left in the data folder by earlier versions move
// to their own folders on the first look, whole, and are never in two places
// nor lost: a move that cannot be made leaves the old place in use.
TEST_F(UserFolders, AFileOfTheDataFolderMovesOnceAndIsNeverLost)
{
    for (const auto& [pszName, pszFolder] : {std::pair{"XDG_DATA_HOME", "data"},
                                             {"XDG_CONFIG_HOME", "config"},
                                             {"XDG_STATE_HOME", "state"}})
        ::setenv(pszName, (m_dir / pszFolder).c_str(), 1);
    const fs::path old = m_dir / "data" / "quillbridge";
    fs::create_directories(old);
    std::ofstream(old / "settings.ini") << "[mainWindow]\nwidth=900\n";
    std::ofstream(old / "dict.kvd") << "catalogue";

    const fs::path moved = m_dir / "config" / "quillbridge" / "settings.ini";
    EXPECT_EQ(CUserFolders::FilePath(CUserFolders::kindConfig, "settings.ini"), moved.string());
    EXPECT_EQ(ReadWhole(moved), "[mainWindow]\nwidth=900\n");
    EXPECT_FALSE(fs::exists(old / "settings.ini"));
    struct stat folder {
    };
    ASSERT_EQ(::stat(moved.parent_path().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    // The catalogues stay where they are.
    EXPECT_EQ(CUserFolders::FilePath(CUserFolders::kindData, "dict.kvd"),
              (old / "dict.kvd").string());
    EXPECT_TRUE(fs::exists(old / "dict.kvd"));

    // A copy that a move onto another file system left behind goes; a file of
    // other content (an older version's since) stays, and the moved one counts.
    std::ofstream(old / "settings.ini") << "[mainWindow]\nwidth=900\n";
    EXPECT_EQ(CUserFolders::FilePath(CUserFolders::kindConfig, "settings.ini"), moved.string());
    EXPECT_FALSE(fs::exists(old / "settings.ini"));
    std::ofstream(old / "settings.ini") << "[mainWindow]\nwidth=700\n";
    EXPECT_EQ(CUserFolders::FilePath(CUserFolders::kindConfig, "settings.ini"), moved.string());
    EXPECT_EQ(ReadWhole(old / "settings.ini"), "[mainWindow]\nwidth=700\n");
    EXPECT_EQ(ReadWhole(moved), "[mainWindow]\nwidth=900\n");

    // A state folder that cannot be made (a file on its way): the history is
    // read and written where it was.
    std::ofstream(old / "history.txt") << "kass\n";
    std::ofstream(m_dir / "blocked") << "";
    ::setenv("XDG_STATE_HOME", (m_dir / "blocked").c_str(), 1);
    EXPECT_EQ(CUserFolders::FilePath(CUserFolders::kindState, "history.txt"),
              (old / "history.txt").string());
    EXPECT_EQ(ReadWhole(old / "history.txt"), "kass\n");
    // A link moves as the link it is.
    fs::remove(old / "history.txt");
    fs::create_symlink("../../elsewhere/history.txt", old / "history.txt");
    ::setenv("XDG_STATE_HOME", (m_dir / "state").c_str(), 1);
    const fs::path history = m_dir / "state" / "quillbridge" / "history.txt";
    EXPECT_EQ(CUserFolders::FilePath(CUserFolders::kindState, "history.txt"), history.string());
    EXPECT_EQ(fs::read_symlink(history), "../../elsewhere/history.txt");
    EXPECT_FALSE(fs::exists(fs::symlink_status(old / "history.txt")));
}

// One result for every folder made: 0 when it is there as a folder, private to
// the user where it was made, else the system's error number.
TEST_F(UserFolders, AFileFolderIsMadePrivateOrItsErrorTold)
{
    const fs::path file = m_dir / "state" / "quillbridge" / "history.txt";
    EXPECT_EQ(CUserFolders::MakeFolderOf(file.string()), 0);
    struct stat info {
    };
    ASSERT_EQ(::stat(file.parent_path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(CUserFolders::MakeFolderOf(file.string()), 0);
    EXPECT_EQ(CUserFolders::MakeFolderOf("settings.ini"), 0);
    // A file where a folder belongs is not taken for one.
    std::ofstream(m_dir / "plain").put('x');
    EXPECT_EQ(CUserFolders::MakeFolderOf((m_dir / "plain" / "settings.ini").string()), ENOTDIR);
    EXPECT_EQ(CUserFolders::Make((m_dir / "plain" / "sub" / "").string()), ENOTDIR);
    EXPECT_EQ(CUserFolders::Make(""), ENOENT);
}
