#include "checksum/engine/file_digest.h"

#include <fcntl.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "checksum/engine/digest_context.h"
#include "platform/files.h"
#include "platform/read_block.h"

namespace engine {
namespace {

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

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
    platform::ReadOutcome got;
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
        const platform::ReadOutcome got = platform::readBlock(shared.fd, target, kReadBlockSize);
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

platform::ReadOutcome awaitBlock(ReadAhead& shared)
{
    std::unique_lock guard(shared.lock);
    shared.changed.wait(guard, [&shared] { return shared.ready; });
    shared.target = nullptr;
    return shared.got;
}

// Reads the file to its end into `context`, one block at a time; false when a
// read fails, whatever was digested before.
bool digestBlocks(int fd, const DigestPlugin& plugin, DigestContext* context, std::uint8_t* buffer,
    const BeforeBlockRead& beforeBlockRead)
{
    for (;;) {
        if (beforeBlockRead)
            beforeBlockRead();
        const platform::ReadOutcome got = platform::readBlock(fd, buffer, kReadBlockSize);
        if (got.error != 0)
            return false;
        plugin.update(context, buffer, got.bytes);
        if (got.bytes < kReadBlockSize)
            return true;
    }
}

// The same loop as digestBlocks, with block k + 1 read while block k is
// digested. The hook still runs on the caller's thread before each read is
// asked for, and no read is outstanding while it runs. Started false, having
// read nothing, when the thread cannot be started; else whether every read
// succeeded.
struct AheadOutcome {
    bool started = false;
    bool complete = false;
};

AheadOutcome digestBlocksAhead(int fd, const DigestPlugin& plugin, DigestContext* context, std::uint8_t* buffers[2],
    const BeforeBlockRead& beforeBlockRead)
{
    ReadAhead shared;
    shared.fd = fd;
    std::thread reader;
    try {
        reader = std::thread(readAheadLoop, std::ref(shared));
    } catch (const std::system_error&) {
        return {};
    }
    AheadOutcome outcome{true, true};
    if (beforeBlockRead)
        beforeBlockRead();
    requestBlock(shared, buffers[0]);
    for (int k = 0;; k ^= 1) {
        const platform::ReadOutcome got = awaitBlock(shared);
        if (got.error != 0) {
            outcome.complete = false;
            break;
        }
        if (got.bytes == kReadBlockSize) {
            if (beforeBlockRead)
                beforeBlockRead();
            requestBlock(shared, buffers[k ^ 1]);
        }
        plugin.update(context, buffers[k], got.bytes);
        if (got.bytes < kReadBlockSize)
            break;
    }
    {
        std::lock_guard guard(shared.lock);
        shared.quit = true;
        shared.changed.notify_all();
    }
    reader.join();
    return outcome;
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
    AheadOutcome ahead;
    if (second)
        ahead = digestBlocksAhead(fd, *plugin, context, buffers, beforeBlockRead);
    const bool complete =
        ahead.started ? ahead.complete : digestBlocks(fd, *plugin, context, buffer.get(), beforeBlockRead);
    if (!complete) {
        // A digest of part of the file would pass for the file's own.
        plugin->release(context);
        return {};
    }
    plugin->finish(context);
    std::string text = digestToHex(context);
    plugin->release(context);
    return text;
}

} // namespace engine
