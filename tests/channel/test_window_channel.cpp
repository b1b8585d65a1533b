#include "system_call.h"
#include "window_channel.h"
#include "window_socket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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
                if (::read(start[0], &c, 1) < 0)
                    ::_exit(2);
                CWindowSocket socket;
                c = static_cast<char>('0' + static_cast<int>(socket.Claim(folder.c_str())));
                if (::write(results[1], &c, 1) != 1)
                    ::_exit(2);
                if (::read(done[0], &c, 1) < 0)
                    ::_exit(2);
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

// The window reads one word a caller, whichever pieces it comes in, and lets
// a caller go that sends on without ending; the program tells the two
// answers from anything else, also when they come in pieces.
TEST(window_channel, a_word_ends_at_its_nul_and_only_the_two_answers_count)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(CWindowChannel::Request("õun"), "õun\0"sv);
    CWindowChannel request;
    EXPECT_EQ(request.Add("ka"), CWindowChannel::ERequest::Incomplete);
    EXPECT_EQ(request.Add("ss\0koer\0"sv), CWindowChannel::ERequest::Complete);
    EXPECT_EQ(request.Word(), "kass");
    EXPECT_EQ(request.Add("x"), CWindowChannel::ERequest::Complete);
    EXPECT_EQ(request.Word(), "kass");
    CWindowChannel empty;
    EXPECT_EQ(empty.Add("\0"sv), CWindowChannel::ERequest::Complete);
    EXPECT_EQ(empty.Word(), "");
    CWindowChannel endless;
    const std::string strHalf(CWindowChannel::kMaxRequest / 2, 'a');
    EXPECT_EQ(endless.Add(strHalf), CWindowChannel::ERequest::Incomplete);
    EXPECT_EQ(endless.Add(strHalf), CWindowChannel::ERequest::Incomplete);
    EXPECT_EQ(endless.Add("a"), CWindowChannel::ERequest::Refused);

    EXPECT_EQ(CWindowChannel::ReadAnswer("ok\n"), CWindowChannel::EAnswer::LookedUp);
    EXPECT_EQ(CWindowChannel::ReadAnswer("busy\n"), CWindowChannel::EAnswer::Busy);
    EXPECT_EQ(CWindowChannel::ReadAnswer("bu"), CWindowChannel::EAnswer::Incomplete);
    EXPECT_EQ(CWindowChannel::ReadAnswer(""), CWindowChannel::EAnswer::Incomplete);
    EXPECT_EQ(CWindowChannel::ReadAnswer("ok\nok\n"), CWindowChannel::EAnswer::Invalid);
    EXPECT_EQ(CWindowChannel::ReadAnswer("no\n"), CWindowChannel::EAnswer::Invalid);
}

// A later run hands its word over through the system calls of the socket: a
// signal that interrupts one of them is waited out, while a call that fails
// ends the hand-over at once as no answer (the run then opens its own
// window), neither tried again nor waited on until the deadline.
TEST_F(WindowSocket, AnInterruptedCallIsMadeAgainAndAFailedOneIsReportedAtOnce)
{
    ASSERT_EQ(::chmod(m_dir.c_str(), 0700), 0);
    CWindowSocket serving;
    ASSERT_EQ(serving.Claim(m_dir.c_str()), CWindowSocket::EClaim::Serving);
    const int nListener = serving.TakeListener();
    ASSERT_GE(nListener, 0);
    // The window: answers each caller once its word has come.
    std::vector<std::string> words;
    std::thread window([&] {
        for (int i = 0; i < 4; ++i) {
            const int fd = ::accept(nListener, nullptr, nullptr);
            if (fd < 0)
                return;
            CWindowChannel request;
            char buffer[64];
            ssize_t n = 0;
            while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0 &&
                   request.Add(std::string_view(buffer, static_cast<std::size_t>(n))) ==
                       CWindowChannel::ERequest::Incomplete) {
            }
            words.push_back(request.Word());
            const auto answer = CWindowChannel::kLookedUpAnswer;
            static_cast<void>(::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL));
            ::close(fd);
        }
    });
    constexpr int kTimeoutMs = 60000;
    {
        // The send, the wait for the answer and its read, each interrupted.
        CWindowSocket later;
        ASSERT_EQ(later.Claim(m_dir.c_str()), CWindowSocket::EClaim::Connected);
        const CSystemCall::CInjectedFailure interrupted(EINTR, 0, 3);
        EXPECT_EQ(later.Forward("kass", kTimeoutMs), CWindowSocket::EForward::LookedUp);
        EXPECT_EQ(interrupted.Failed(), 3);
    }
    // The send (0), the wait (1), the read (2), each failing in turn.
    for (int nSkip = 0; nSkip < 3; ++nSkip) {
        CWindowSocket later;
        ASSERT_EQ(later.Claim(m_dir.c_str()), CWindowSocket::EClaim::Connected);
        const auto start = std::chrono::steady_clock::now();
        {
            const CSystemCall::CInjectedFailure failed(EIO, nSkip, 1000);
            EXPECT_EQ(later.Forward("koer", kTimeoutMs), CWindowSocket::EForward::NoAnswer)
                << nSkip;
            EXPECT_EQ(failed.Failed(), 1) << nSkip;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << nSkip;
    }
    window.join();
    ::close(nListener);
    // The word of the interrupted run came whole.
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front(), "kass");
}
