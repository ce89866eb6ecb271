#include "platform/raise_request.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace platform {
namespace {

// The two ends of the pipe the signal handler writes one byte into per request.
int gPipe[2] = {-1, -1};

extern "C" void onRaiseSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

bool sendRaiseRequest(int process)
{
    return process > 0 && ::kill(process, SIGUSR1) == 0;
}

int listenForRaiseRequests()
{
    if (gPipe[0] >= 0) {
        return gPipe[0];
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return -1;
    }
    gPipe[0] = ends[0];
    gPipe[1] = ends[1];
    struct sigaction action {};
    action.sa_handler = onRaiseSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (::sigaction(SIGUSR1, &action, nullptr) != 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        gPipe[0] = gPipe[1] = -1;
        return -1;
    }
    // Held back since the start (see startProcess): a waiting request arrives now.
    sigset_t raise;
    sigemptyset(&raise);
    sigaddset(&raise, SIGUSR1);
    ::pthread_sigmask(SIG_UNBLOCK, &raise, nullptr);
    return gPipe[0];
}

int takeRaiseRequests()
{
    if (gPipe[0] < 0) {
        return 0;
    }
    int taken = 0;
    char bytes[64];
    for (;;) {
        const ssize_t got = ::read(gPipe[0], bytes, sizeof bytes);
        if (got > 0) {
            taken += static_cast<int>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            return taken;
        }
    }
}

} // namespace platform
