#include "checksum/engine/file_digest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "checksum/engine/digest_context.h"
#include "platform/files.h"

namespace engine {
namespace {

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// Fills `buffer` as far as the file allows; returns the bytes read. Stops
// early only at the end of the file or on a read error.
std::size_t readBlock(int fd, std::uint8_t* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer + done, size - done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    return done;
}

// Files from this size on are read one block ahead on a second thread, so
// that copying out of the page cache overlaps the digest work instead of
// adding to it. Smaller files are not worth the thread.
constexpr std::int64_t kReadAheadMinimum = 4 * static_cast<std::int64_t>(kReadBlockSize);

// The reading thread and what it shares with the digesting one. At most one
// read is outstanding, always into the buffer that is not being digested.
struct ReadAhead {
    int fd = -1;
    std::mutex lock;
    std::condition_variable changed;
    std::uint8_t* target = nullptr; // buffer of the outstanding read
    std::size_t got = 0;
    bool ready = false;
    bool quit = false;
};

void readAheadLoop(ReadAhead& shared)
{
    std::unique_lock guard(shared.lock);
    for (;;) {
        shared.changed.wait(guard, [&shared] { return shared.quit || (shared.target != nullptr && !shared.ready); });
        if (shared.quit)
            return;
        std::uint8_t* target = shared.target;
        guard.unlock();
        const std::size_t got = readBlock(shared.fd, target, kReadBlockSize);
        guard.lock();
        shared.got = got;
        shared.ready = true;
        shared.changed.notify_all();
    }
}

void requestBlock(ReadAhead& shared, std::uint8_t* buffer)
{
    std::lock_guard guard(shared.lock);
    shared.target = buffer;
    shared.ready = false;
    shared.changed.notify_all();
}

std::size_t awaitBlock(ReadAhead& shared)
{
    std::unique_lock guard(shared.lock);
    shared.changed.wait(guard, [&shared] { return shared.ready; });
    shared.target = nullptr;
    return shared.got;
}

void digestBlocks(int fd, const DigestPlugin& plugin, DigestContext* context, std::uint8_t* buffer,
    const BeforeBlockRead& beforeBlockRead)
{
    for (;;) {
        if (beforeBlockRead)
            beforeBlockRead();
        const std::size_t got = readBlock(fd, buffer, kReadBlockSize);
        plugin.update(context, buffer, got);
        if (got < kReadBlockSize)
            return;
    }
}

// The same loop as digestBlocks, with block k + 1 read while block k is
// digested. The hook still runs on the caller's thread before each read is
// asked for, and no read is outstanding while it runs. False, having read
// nothing, when the thread cannot be started.
bool digestBlocksAhead(int fd, const DigestPlugin& plugin, DigestContext* context, std::uint8_t* buffers[2],
    const BeforeBlockRead& beforeBlockRead)
{
    ReadAhead shared;
    shared.fd = fd;
    std::thread reader;
    try {
        reader = std::thread(readAheadLoop, std::ref(shared));
    } catch (const std::system_error&) {
        return false;
    }
    if (beforeBlockRead)
        beforeBlockRead();
    requestBlock(shared, buffers[0]);
    for (int k = 0;; k ^= 1) {
        const std::size_t got = awaitBlock(shared);
        if (got == kReadBlockSize) {
            if (beforeBlockRead)
                beforeBlockRead();
            requestBlock(shared, buffers[k ^ 1]);
        }
        plugin.update(context, buffers[k], got);
        if (got < kReadBlockSize)
            break;
    }
    {
        std::lock_guard guard(shared.lock);
        shared.quit = true;
        shared.changed.notify_all();
    }
    reader.join();
    return true;
}

} // namespace

std::string fileDigestHex(const std::filesystem::path& path, DigestAlgorithm algorithm, std::int32_t bitWidth,
    const BeforeBlockRead& beforeBlockRead)
{
    const DigestPlugin* plugin = findPlugin(algorithm);
    if (plugin == nullptr || path.empty())
        return {};
    // Linux has no share modes: a file that another program holds open for
    // writing is read as it stands at each block.
    std::int64_t size = 0;
    const int fd = platform::openRegularFile(path, O_RDONLY, &size);
    if (fd < 0)
        return {};
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    FileCloser closer{fd};

    std::unique_ptr<std::uint8_t, FreeDeleter> buffer(static_cast<std::uint8_t*>(std::calloc(kReadBlockSize, 1)));
    if (!buffer)
        return {};
    DigestContext* context = plugin->create(bitWidth);
    if (context == nullptr)
        return {};

    // The second buffer is a speed-up only: without it, or without a thread,
    // the file is read in the caller's thread.
    std::unique_ptr<std::uint8_t, FreeDeleter> second;
    if (size >= kReadAheadMinimum)
        second.reset(static_cast<std::uint8_t*>(std::calloc(kReadBlockSize, 1)));
    std::uint8_t* buffers[2] = {buffer.get(), second.get()};
    if (!second || !digestBlocksAhead(fd, *plugin, context, buffers, beforeBlockRead))
        digestBlocks(fd, *plugin, context, buffer.get(), beforeBlockRead);
    plugin->finish(context);
    std::string text = digestToHex(context);
    plugin->release(context);
    return text;
}

} // namespace engine
