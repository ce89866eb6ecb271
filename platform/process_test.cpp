// Starting child processes with an exact argument list and working folder,
// refusing what cannot start, and ending a child that still runs.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/process.h"
#include "platform/test_files.h"

namespace {

namespace fs = std::filesystem;

class Process : public ::testing::Test {
protected:
    platform::testing::ScratchFolder scratch;
    const fs::path& folder = scratch.path();
};

TEST_F(Process, PassesArgumentsUnquotedAndStartsInTheWorkingFolder)
{
    const fs::path fifo = folder / "report";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path work = folder / "work folder";
    fs::create_directories(work);
    const int child = platform::startProcess("/bin/sh",
        {"-c", "printf '%s\\n%s\\n%s\\n' \"$PWD\" \"$1\" \"$#\" > \"$0\"", fifo.string(), "a \"quoted\" path"}, work);
    ASSERT_GT(child, 0);
    std::ifstream in(fifo); // blocks until the child writes
    std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(report, work.string() + "\na \"quoted\" path\n1\n");
    platform::terminateProcess(child);
}

TEST_F(Process, RefusesWhatCannotStart)
{
    const fs::path notExecutable = folder / "plain.txt";
    std::ofstream(notExecutable) << "text";
    struct Case {
        const char* name;
        fs::path program;
        fs::path workingFolder;
    };
    const Case cases[] = {
        {"missing program", folder / "Leafscope", {}},
        {"not executable", notExecutable, {}},
        {"missing working folder", "/bin/true", folder / "missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::startProcess(c.program, {}, c.workingFolder), -1);
    }
}

TEST_F(Process, TerminatesARunningChildAndReapsIt)
{
    const int child = platform::startProcess("/bin/sleep", {"60"}, {});
    ASSERT_GT(child, 0);
    EXPECT_FALSE(platform::processEnded(child));
    platform::terminateProcess(child);
    EXPECT_EQ(kill(child, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(Process, ForcesAChildThatIgnoresTheRequestToEnd)
{
    const fs::path fifo = folder / "ready";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int child = platform::startProcess(
        "/bin/sh", {"-c", "trap '' TERM; echo ready > \"$0\"; while :; do :; done", fifo.string()}, {});
    ASSERT_GT(child, 0);
    std::string line;
    std::getline(std::ifstream(fifo) >> std::ws, line); // the trap is in place
    platform::terminateProcess(child, 50);
    EXPECT_EQ(kill(child, 0), -1);
}

} // namespace
