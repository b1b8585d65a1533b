#include "read_selection.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include <gtest/gtest.h>

namespace
{

std::filesystem::path Helper(const std::filesystem::path& folder, const std::string& strBody)
{
    const std::filesystem::path path = folder / "helper";
    std::ofstream(path) << "#!/bin/sh\n" << strBody;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

} // namespace

// A helper that hands nothing over is given up on in time and killed, so it
// can neither keep the window from opening nor stay behind.
TEST(ReadSelection, AHelperThatDoesNotFinishIsKilledAfterTheDeadline)
{
    char szFolder[] = "/tmp/qb-read-selection-XXXXXX";
    ASSERT_NE(::mkdtemp(szFolder), nullptr);
    const std::filesystem::path folder = szFolder;

    std::string strError;
    EXPECT_EQ(ReadSelection(Helper(folder, "printf 'Kassid, koerad'\n"), false, strError),
              "Kassid, koerad");

    const std::filesystem::path pathPid = folder / "helper.pid";
    const std::filesystem::path pathHelper = Helper(
        folder, "echo $$ > \"$0.pid.part\"; mv \"$0.pid.part\" \"$0.pid\"; exec sleep 600\n");
    auto reading =
        std::async(std::launch::async, [&] { return ReadSelection(pathHelper, true, strError); });
    const bool bReturned = reading.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    EXPECT_TRUE(bReturned) << "still waiting for a helper that never finishes";
    pid_t pid = 0;
    std::ifstream(pathPid) >> pid;
    ASSERT_GT(pid, 0);
    if (!bReturned)
        ::kill(pid, SIGKILL);
    EXPECT_EQ(reading.get(), std::nullopt);
    EXPECT_EQ(strError, "the program that holds it did not hand it over in time");
    // Reaped: no such process any more.
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    std::filesystem::remove_all(folder);
}
