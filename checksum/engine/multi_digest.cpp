#include "checksum/engine/multi_digest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "checksum/engine/digest_context.h"
#include "checksum/engine/file_digest.h"
#include "platform/files.h"
#include "platform/read_block.h"

namespace engine {
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
using BlockMemory = std::unique_ptr<std::uint8_t, FreeDeleter>;

struct Consumer {
    const DigestPlugin* plugin = nullptr;
    DigestContext* context = nullptr;
};

// What the reading thread and the consumers share. Block k lives in slot
// k % kRingBlocks; the slot is free again once every consumer's count of
// finished blocks has passed k.
struct Ring {
    std::mutex lock;
    std::condition_variable produced; // consumers wait for blocks
    std::condition_variable consumed; // the reader waits for a free slot
    std::uint8_t* blocks[kRingBlocks] = {};
    std::size_t sizes[kRingBlocks] = {};
    std::int64_t published = 0; // blocks ready to digest
    bool ended = false;         // no block follows the published ones
    std::vector<std::int64_t> finished;
};

void consumeLoop(Ring& ring, std::size_t index, Consumer consumer, const RingHooks* hooks)
{
    std::unique_lock guard(ring.lock);
    for (std::int64_t k = 0;; ++k) {
        ring.produced.wait(guard, [&ring, k] { return ring.published > k || ring.ended; });
        if (ring.published <= k)
            return;
        const std::size_t slot = static_cast<std::size_t>(k % static_cast<std::int64_t>(kRingBlocks));
        std::uint8_t* data = ring.blocks[slot];
        const std::size_t size = ring.sizes[slot];
        guard.unlock();
        if (hooks->beforeDigest)
            hooks->beforeDigest(index, k);
        consumer.plugin->update(consumer.context, data, size);
        guard.lock();
        ring.finished[index] = k + 1;
        ring.consumed.notify_all();
    }
}

void endRing(Ring& ring)
{
    std::lock_guard guard(ring.lock);
    ring.ended = true;
    ring.produced.notify_all();
}

void joinAll(std::vector<std::thread>& threads)
{
    for (std::thread& thread : threads)
        thread.join();
    threads.clear();
}

// Every consumer fed from one buffer on the caller's thread: for inputs that
// end in their first block, and when memory or threads run out. `got` is the
// size of the block already in `buffer`. False on a read error.
bool digestInline(const ReadBytes& read, std::vector<Consumer>& consumers, std::uint8_t* buffer, std::ptrdiff_t got,
    std::int64_t& bytesRead, const BlockReadHook& afterBlockRead)
{
    for (;;) {
        for (Consumer& consumer : consumers)
            consumer.plugin->update(consumer.context, buffer, static_cast<std::size_t>(got));
        if (static_cast<std::size_t>(got) < kReadBlockSize)
            return true;
        got = read(buffer, kReadBlockSize);
        if (got < 0)
            return false;
        bytesRead += got;
        if (afterBlockRead)
            afterBlockRead(bytesRead);
    }
}

// The ring with one thread per consumer; block 0 (full) is already in
// `blocks[0]`. 1 when the input was read to its end, 0 on a read error, -1
// when the threads could not be started (no context was touched).
int digestOnThreads(const ReadBytes& read, std::vector<Consumer>& consumers, std::uint8_t* const blocks[kRingBlocks],
    std::int64_t& bytesRead, const BlockReadHook& afterBlockRead, const RingHooks& hooks)
{
    Ring ring;
    std::copy(blocks, blocks + kRingBlocks, ring.blocks);
    ring.finished.assign(consumers.size(), 0);
    std::vector<std::thread> threads;
    try {
        threads.reserve(consumers.size());
        for (std::size_t c = 0; c < consumers.size(); ++c)
            threads.emplace_back(consumeLoop, std::ref(ring), c, consumers[c], &hooks);
    } catch (const std::exception&) {
        // Nothing was published, so the started threads leave untouched contexts.
        endRing(ring);
        joinAll(threads);
        return -1;
    }
    bool readFailed = false;
    {
        std::unique_lock guard(ring.lock);
        ring.sizes[0] = kReadBlockSize;
        ring.published = 1;
        ring.produced.notify_all();
    }
    for (std::int64_t k = 1;; ++k) {
        const std::size_t slot = static_cast<std::size_t>(k % static_cast<std::int64_t>(kRingBlocks));
        {
            // Block k goes into the slot of block k - kRingBlocks, which is
            // free once every consumer has finished that block.
            const auto slotFree = [&ring, k] {
                const std::int64_t slowest = *std::min_element(ring.finished.begin(), ring.finished.end());
                return k - slowest < static_cast<std::int64_t>(kRingBlocks);
            };
            std::unique_lock guard(ring.lock);
            if (!slotFree() && hooks.readerWaits)
                hooks.readerWaits(k);
            ring.consumed.wait(guard, slotFree);
        }
        const std::ptrdiff_t got = read(ring.blocks[slot], kReadBlockSize);
        if (got < 0) {
            readFailed = true;
            break;
        }
        bytesRead += got;
        {
            std::lock_guard guard(ring.lock);
            ring.sizes[slot] = static_cast<std::size_t>(got);
            ring.published = k + 1;
            ring.produced.notify_all();
        }
        if (afterBlockRead)
            afterBlockRead(bytesRead);
        if (static_cast<std::size_t>(got) < kReadBlockSize)
            break;
    }
    endRing(ring);
    joinAll(threads);
    return readFailed ? 0 : 1;
}

} // namespace

MultiDigest readerDigestsHex(const ReadBytes& read, const std::vector<DigestRequest>& requests,
    const BlockReadHook& afterBlockRead, const RingHooks& hooks)
{
    MultiDigest result;
    result.hex.resize(requests.size());
    std::vector<Consumer> consumers(requests.size());
    auto releaseAll = [&consumers] {
        for (Consumer& consumer : consumers) {
            if (consumer.context != nullptr)
                consumer.plugin->release(consumer.context);
        }
    };
    bool refused = requests.empty();
    for (std::size_t r = 0; r < requests.size() && !refused; ++r) {
        consumers[r].plugin = findPlugin(requests[r].algorithm);
        if (consumers[r].plugin != nullptr)
            consumers[r].context = consumers[r].plugin->create(requests[r].bitWidth);
        refused = consumers[r].context == nullptr;
    }
    BlockMemory memory[kRingBlocks];
    memory[0].reset(static_cast<std::uint8_t*>(std::malloc(kReadBlockSize)));
    if (refused || !memory[0]) {
        releaseAll();
        return result;
    }

    const std::ptrdiff_t first = read(memory[0].get(), kReadBlockSize);
    bool ok = first >= 0;
    if (ok) {
        result.bytesRead = first;
        if (afterBlockRead)
            afterBlockRead(result.bytesRead);
    }
    // A second block exists (or the read of it decides that): worth the threads.
    int threaded = -1;
    if (ok && static_cast<std::size_t>(first) == kReadBlockSize) {
        std::uint8_t* blocks[kRingBlocks] = {memory[0].get()};
        bool allocated = true;
        for (std::size_t b = 1; b < kRingBlocks && allocated; ++b) {
            memory[b].reset(static_cast<std::uint8_t*>(std::malloc(kReadBlockSize)));
            blocks[b] = memory[b].get();
            allocated = blocks[b] != nullptr;
        }
        if (allocated)
            threaded = digestOnThreads(read, consumers, blocks, result.bytesRead, afterBlockRead, hooks);
        if (threaded == 0)
            ok = false;
    }
    if (ok && threaded < 0)
        ok = digestInline(read, consumers, memory[0].get(), first, result.bytesRead, afterBlockRead);

    for (std::size_t r = 0; r < consumers.size(); ++r) {
        if (!ok)
            continue;
        consumers[r].plugin->finish(consumers[r].context);
        result.hex[r] = digestToHex(consumers[r].context);
    }
    releaseAll();
    return result;
}

MultiDigest descriptorDigestsHex(
    int fd, const std::vector<DigestRequest>& requests, const BlockReadHook& afterBlockRead)
{
    const auto read = [fd](std::uint8_t* buffer, std::size_t size) -> std::ptrdiff_t {
        const platform::ReadOutcome got = platform::readBlock(fd, buffer, size);
        return got.error != 0 ? -1 : static_cast<std::ptrdiff_t>(got.bytes);
    };
    return readerDigestsHex(read, requests, afterBlockRead);
}

MultiDigest fileDigestsHex(
    const std::filesystem::path& path, const std::vector<DigestRequest>& requests, const BlockReadHook& afterBlockRead)
{
    std::int64_t size = 0;
    const int fd = path.empty() ? -1 : platform::openRegularFile(path, O_RDONLY, &size);
    if (fd < 0) {
        MultiDigest failed;
        failed.hex.resize(requests.size());
        return failed;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    MultiDigest result = descriptorDigestsHex(fd, requests, afterBlockRead);
    result.sizeAtOpen = size;
    struct stat info {};
    const bool statOk = ::fstat(fd, &info) == 0;
    ::close(fd);
    result.sizeChanged = result.bytesRead != size || (statOk && info.st_size != result.bytesRead);
    return result;
}

} // namespace engine
