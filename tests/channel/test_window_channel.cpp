#include "window_socket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

class WindowSocket : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/qb-window-XXXXXX";
        ASSERT_NE(::mkdtemp(templ), nullptr);
        m_dir = templ;
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

} // namespace

// The words looked up go through the socket: only a folder that no other user
// can enter or list may hold it; elsewhere each run opens its own window.
TEST_F(WindowSocket, ServesOnlyFromAFolderNobodyElseCanEnter)
{
    for (const mode_t mode : {0701, 0705, 0710, 0750, 0755}) {
        const fs::path folder = m_dir / std::to_string(mode);
        ASSERT_TRUE(fs::create_directory(folder));
        ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
        CWindowSocket socket;
        EXPECT_EQ(socket.Claim(folder.c_str()), CWindowSocket::EClaim::None) << std::oct << mode;
        EXPECT_FALSE(fs::exists(folder / "quillbridge-window")) << std::oct << mode;
    }
    CWindowSocket relative;
    EXPECT_EQ(relative.Claim("run"), CWindowSocket::EClaim::None);
    ASSERT_EQ(::chmod(m_dir.c_str(), 0700), 0);
    CWindowSocket serving;
    ASSERT_EQ(serving.Claim(m_dir.c_str()), CWindowSocket::EClaim::Serving);
    CWindowSocket later;
    EXPECT_EQ(later.Claim(m_dir.c_str()), CWindowSocket::EClaim::Connected);
}

// Runs that start at the same moment take turns: one serves, every other one
// reaches it. Each child reports its claim and keeps its socket until all
// have claimed, so a second server could not hide behind a first that ended.
TEST_F(WindowSocket, OfRunsStartedTogetherExactlyOneServes)
{
    ASSERT_EQ(::chmod(m_dir.c_str(), 0700), 0);
    constexpr int kRounds = 50;
    constexpr int kRuns = 8;
    for (int nRound = 0; nRound < kRounds; ++nRound) {
        const fs::path folder = m_dir / std::to_string(nRound);
        ASSERT_TRUE(fs::create_directory(folder));
        ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
        int start[2], results[2], done[2];
        ASSERT_EQ(::pipe(start), 0);
        ASSERT_EQ(::pipe(results), 0);
        ASSERT_EQ(::pipe(done), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < kRuns; ++i) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                ::close(start[1]);
                ::close(results[0]);
                ::close(done[1]);
                char c;
                static_cast<void>(::read(start[0], &c, 1));
                CWindowSocket socket;
                c = static_cast<char>('0' + static_cast<int>(socket.Claim(folder.c_str())));
                static_cast<void>(::write(results[1], &c, 1));
                static_cast<void>(::read(done[0], &c, 1));
                ::_exit(0);
            }
            children.push_back(pid);
        }
        ::close(start[0]);
        ::close(results[1]);
        ::close(done[0]);
        // Every child is released at once.
        ::close(start[1]);
        std::string strClaims;
        char c;
        while (strClaims.size() < kRuns && ::read(results[0], &c, 1) == 1)
            strClaims.push_back(c);
        ::close(done[1]);
        ::close(results[0]);
        for (const pid_t pid : children)
            ::waitpid(pid, nullptr, 0);
        const auto count = [&](CWindowSocket::EClaim claim) {
            return std::count(strClaims.begin(), strClaims.end(),
                              static_cast<char>('0' + static_cast<int>(claim)));
        };
        ASSERT_EQ(strClaims.size(), std::size_t{kRuns}) << "round " << nRound;
        EXPECT_EQ(count(CWindowSocket::EClaim::Serving), 1) << "round " << nRound;
        EXPECT_EQ(count(CWindowSocket::EClaim::Connected), kRuns - 1) << "round " << nRound;
    }
}
