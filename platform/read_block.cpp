#include "platform/read_block.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace platform {
namespace {

long systemRead(int fd, void* buffer, std::size_t size)
{
    return static_cast<long>(::read(fd, buffer, size));
}

std::atomic<ReadCall> currentRead{systemRead};

} // namespace

ReadOutcome readBlock(int fd, void* buffer, std::size_t size)
{
    const ReadCall read = currentRead.load(std::memory_order_acquire);
    ReadOutcome outcome;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    while (outcome.bytes < size) {
        const long got = read(fd, bytes + outcome.bytes, size - outcome.bytes);
        if (got > 0) {
            outcome.bytes += static_cast<std::size_t>(got);
        } else if (got == 0) {
            break;
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd wait{fd, POLLIN, 0};
            ::poll(&wait, 1, -1);
        } else {
            outcome.error = errno != 0 ? errno : EIO;
            break;
        }
    }
    return outcome;
}

ReadCall replaceReadCall(ReadCall call)
{
    return currentRead.exchange(call != nullptr ? call : systemRead, std::memory_order_acq_rel);
}

} // namespace platform
