#include "platform/read_faults.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <random>

#include "platform/read_block.h"

namespace platform::testing {
namespace {

struct FaultState {
    std::mutex lock;
    ReadFaults faults;
    std::minstd_rand random;
    std::int64_t delivered = 0;
    std::int64_t failed = 0;
    std::int64_t interrupted = 0;
    bool interruptNext = false;
};

FaultState& state()
{
    static FaultState shared;
    return shared;
}

long faultyRead(int fd, void* buffer, std::size_t size)
{
    FaultState& s = state();
    std::lock_guard guard(s.lock);
    if (s.faults.interrupt) {
        s.interruptNext = !s.interruptNext;
        if (s.interruptNext) {
            ++s.interrupted;
            errno = EINTR;
            return -1;
        }
    }
    if (s.faults.failAt >= 0) {
        if (s.delivered >= s.faults.failAt) {
            ++s.failed;
            errno = EIO;
            return -1;
        }
        size = std::min<std::size_t>(size, static_cast<std::size_t>(s.faults.failAt - s.delivered));
    }
    if (s.faults.shortSeed != 0 && size > 1)
        size = 1 + static_cast<std::size_t>(s.random() % size);
    const ssize_t got = ::read(fd, buffer, size);
    if (got > 0)
        s.delivered += got;
    return static_cast<long>(got);
}

} // namespace

ScopedReadFaults::ScopedReadFaults(const ReadFaults& faults)
{
    FaultState& s = state();
    {
        std::lock_guard guard(s.lock);
        s.faults = faults;
        s.random.seed(faults.shortSeed != 0 ? faults.shortSeed : 1);
        s.delivered = 0;
        s.failed = 0;
        s.interrupted = 0;
        s.interruptNext = false;
    }
    replaceReadCall(faultyRead);
}

ScopedReadFaults::~ScopedReadFaults()
{
    replaceReadCall(nullptr);
}

std::int64_t ScopedReadFaults::failedReads() const
{
    std::lock_guard guard(state().lock);
    return state().failed;
}

std::int64_t ScopedReadFaults::interruptedReads() const
{
    std::lock_guard guard(state().lock);
    return state().interrupted;
}

} // namespace platform::testing
