#include "platform/raise_request.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>

#include <csignal>
#include <fstream>
#include <string>

#include "platform/process.h"

namespace platform {
namespace {

// The signal bits of one "Sig...:" line of /proc/PID/status.
unsigned long long statusMask(int process, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stoull(line.substr(field.size() + 1), nullptr, 16);
    }
    return 0;
}

bool readable(int fd)
{
    pollfd wait{fd, POLLIN, 0};
    return ::poll(&wait, 1, 10000) == 1;
}

// A request sent to a child that does not listen (yet) waits in it instead of
// ending it.
TEST(RaiseRequest, ChildHoldsAnEarlyRequestBack)
{
    const int child = startProcess("/bin/sleep", {"60"}, {});
    ASSERT_GT(child, 0);
    const unsigned long long bit = 1ull << (SIGUSR1 - 1);
    EXPECT_NE(statusMask(child, "SigBlk") & bit, 0u);
    EXPECT_TRUE(sendRaiseRequest(child));
    EXPECT_NE((statusMask(child, "ShdPnd") | statusMask(child, "SigPnd")) & bit, 0u);
    EXPECT_FALSE(processEnded(child));
    terminateProcess(child);
    EXPECT_FALSE(sendRaiseRequest(-1));
}

// A request held back before listening arrives once listening starts; each
// later one makes the descriptor readable again, and taking empties it.
TEST(RaiseRequest, ListeningTurnsRequestsIntoAReadableDescriptor)
{
    sigset_t raise;
    sigemptyset(&raise);
    sigaddset(&raise, SIGUSR1);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &raise, nullptr), 0);
    ASSERT_TRUE(sendRaiseRequest(::getpid()));
    const int fd = listenForRaiseRequests();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(listenForRaiseRequests(), fd);
    ASSERT_TRUE(readable(fd));
    EXPECT_EQ(takeRaiseRequests(), 1);
    EXPECT_EQ(takeRaiseRequests(), 0);
    ASSERT_TRUE(sendRaiseRequest(::getpid()));
    ASSERT_TRUE(readable(fd));
    EXPECT_EQ(takeRaiseRequests(), 1);
}

} // namespace
} // namespace platform
