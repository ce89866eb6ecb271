#include "checksum/engine/multi_digest.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "checksum/engine/algorithm_rows.h"
#include "checksum/engine/file_digest.h"
#include "platform/read_faults.h"
#include "platform/test_files.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

std::vector<DigestRequest> allRows()
{
    std::vector<DigestRequest> requests;
    for (const AlgorithmRow& row : kAlgorithmRows)
        requests.push_back({row.algorithm, row.bitWidth});
    return requests;
}

std::vector<std::uint8_t> randomBytes(std::size_t size, std::mt19937& random)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// The digests computed one algorithm at a time over the whole buffer.
std::vector<std::string> oneAtATime(const std::vector<std::uint8_t>& bytes, const std::vector<DigestRequest>& requests)
{
    std::vector<std::string> hex;
    for (const DigestRequest& request : requests)
        hex.push_back(bufferDigestHex(bytes.data(), bytes.size(), request.algorithm, request.bitWidth));
    return hex;
}

// Hands out `bytes` as the engine asks for them, remembering every buffer used.
struct MemoryReader {
    explicit MemoryReader(const std::vector<std::uint8_t>* source) : bytes(source) {}
    const std::vector<std::uint8_t>* bytes;
    std::size_t offset = 0;
    std::set<const std::uint8_t*> buffers;
    std::ptrdiff_t failAtBlock = -1;
    std::ptrdiff_t blocks = 0;

    std::ptrdiff_t operator()(std::uint8_t* buffer, std::size_t size)
    {
        buffers.insert(buffer);
        if (blocks++ == failAtBlock)
            return -1;
        const std::size_t take = std::min(size, bytes->size() - offset);
        if (take != 0)
            std::memcpy(buffer, bytes->data() + offset, take);
        offset += take;
        return static_cast<std::ptrdiff_t>(take);
    }
};

class MultiDigestTest : public ::testing::Test {
protected:
    void SetUp() override { registerStandardPlugins(); }
    platform::testing::ScratchFolder scratch_;
};

// Block boundaries up to once round the ring, plus random sizes, with all
// eleven rows and with each row alone: the same digests as one algorithm at a
// time, from at most kRingBlocks buffers.
TEST_F(MultiDigestTest, MatchesOneAtATimeOnBoundariesAndRandomSizes)
{
    std::mt19937 random(20261208);
    std::vector<std::size_t> sizes = {0, 1, 63, 64, 65};
    for (const std::size_t k : {std::size_t{1}, std::size_t{2}, kRingBlocks + 1}) {
        sizes.push_back(k * kReadBlockSize - 1);
        sizes.push_back(k * kReadBlockSize);
        sizes.push_back(k * kReadBlockSize + 1);
    }
    for (int i = 0; i < 3; ++i)
        sizes.push_back(random() % (3 * kReadBlockSize));
    const std::vector<DigestRequest> all = allRows();
    for (const std::size_t size : sizes) {
        const std::vector<std::uint8_t> bytes = randomBytes(size, random);
        MemoryReader reader(&bytes);
        std::int64_t lastReported = -1;
        const MultiDigest result = readerDigestsHex(std::ref(reader), all, [&](std::int64_t done) {
            EXPECT_GE(done, lastReported);
            lastReported = done;
        });
        EXPECT_EQ(result.hex, oneAtATime(bytes, all)) << size;
        EXPECT_EQ(result.bytesRead, static_cast<std::int64_t>(size));
        EXPECT_EQ(lastReported, static_cast<std::int64_t>(size));
        EXPECT_LE(reader.buffers.size(), kRingBlocks);
    }
    const std::vector<std::uint8_t> bytes = randomBytes(kReadBlockSize + 17, random);
    for (const DigestRequest& request : all) {
        MemoryReader reader(&bytes);
        EXPECT_EQ(readerDigestsHex(std::ref(reader), {request}).hex, oneAtATime(bytes, {request}));
    }
}

// A slot is read into again only once every consumer has finished the block
// it holds. One algorithm's thread is held before its first block while the
// others keep pace with the reader: the reader must stop and wait at block
// kRingBlocks (which would overwrite block 0) instead of reading it.
TEST_F(MultiDigestTest, SlotIsReusedOnlyAfterTheSlowestConsumerFinishedIt)
{
    std::mt19937 random(5);
    const std::vector<std::uint8_t> bytes = randomBytes((kRingBlocks + 3) * kReadBlockSize + 77, random);
    const std::vector<DigestRequest> requests = {{Crc32, 0}, {Sha2, 256}, {Md5, 0}};
    constexpr std::size_t kHeld = 1;
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    bool readTooEarly = false;
    std::int64_t firstWait = -1;
    std::vector<std::int64_t> begun(requests.size(), -1);
    RingHooks hooks;
    hooks.beforeDigest = [&](std::size_t consumer, std::int64_t block) {
        std::unique_lock guard(lock);
        begun[consumer] = block;
        changed.notify_all();
        if (consumer == kHeld)
            changed.wait(guard, [&] { return released; });
    };
    hooks.readerWaits = [&](std::int64_t block) {
        std::lock_guard guard(lock);
        if (firstWait < 0)
            firstWait = block;
        released = true;
        changed.notify_all();
    };
    MemoryReader reader(&bytes);
    std::int64_t next = 0;
    const ReadBytes read = [&](std::uint8_t* buffer, std::size_t size) {
        const std::int64_t block = next++;
        {
            std::unique_lock guard(lock);
            // The free consumers have begun the block before this one.
            changed.wait(guard, [&] {
                for (std::size_t c = 0; c < begun.size(); ++c) {
                    if (c != kHeld && begun[c] < block - 1)
                        return false;
                }
                return true;
            });
            if (block >= static_cast<std::int64_t>(kRingBlocks) && !released) {
                readTooEarly = true;
                released = true;
                changed.notify_all();
            }
        }
        return reader(buffer, size);
    };
    const MultiDigest result = readerDigestsHex(read, requests, {}, hooks);
    EXPECT_FALSE(readTooEarly);
    EXPECT_EQ(firstWait, static_cast<std::int64_t>(kRingBlocks));
    EXPECT_EQ(result.hex, oneAtATime(bytes, requests));
}

// A read error anywhere, first block or later, fails every algorithm; so does
// one refused request.
TEST_F(MultiDigestTest, ReadErrorOrRefusalFailsEveryAlgorithm)
{
    std::mt19937 random(7);
    const std::vector<std::uint8_t> bytes = randomBytes(6 * kReadBlockSize, random);
    for (const std::ptrdiff_t failAt : {0, 1, static_cast<int>(kRingBlocks) + 1}) {
        MemoryReader reader(&bytes);
        reader.failAtBlock = failAt;
        const MultiDigest result = readerDigestsHex(std::ref(reader), allRows());
        EXPECT_EQ(result.hex, std::vector<std::string>(kAlgorithmRowCount)) << failAt;
    }
    MemoryReader reader(&bytes);
    const MultiDigest refused = readerDigestsHex(std::ref(reader), {{Sha2, 256}, {Sha2, 100}});
    EXPECT_EQ(refused.hex, std::vector<std::string>(2));
}

// Standard input as a pipe, written in pieces of random sizes: the pipe
// delivers every split, and the digests are those of the whole stream.
TEST_F(MultiDigestTest, PipeInRandomPieces)
{
    std::mt19937 random(99);
    for (const std::size_t size : {std::size_t{0}, std::size_t{5000}, 5 * kReadBlockSize + 321}) {
        const std::vector<std::uint8_t> bytes = randomBytes(size, random);
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const unsigned seed = random();
        std::thread writer([&bytes, fd = ends[1], seed] {
            std::mt19937 pieces(seed);
            for (std::size_t done = 0; done < bytes.size();) {
                const std::size_t piece = std::min<std::size_t>(1 + pieces() % 200000, bytes.size() - done);
                const ssize_t wrote = ::write(fd, bytes.data() + done, piece);
                if (wrote <= 0)
                    break;
                done += static_cast<std::size_t>(wrote);
            }
            ::close(fd);
        });
        const MultiDigest result = descriptorDigestsHex(ends[0], allRows());
        writer.join();
        ::close(ends[0]);
        EXPECT_EQ(result.hex, oneAtATime(bytes, allRows())) << size;
        EXPECT_EQ(result.sizeAtOpen, -1);
        EXPECT_FALSE(result.sizeChanged);
    }
}

// A file that grows or shrinks while it is read gives the digest of what was
// read and says its size changed; a FIFO path is not a file to open.
TEST_F(MultiDigestTest, FilesThatChangeSizeAndPathsThatAreNotFiles)
{
    std::mt19937 random(3);
    const std::vector<std::uint8_t> bytes = randomBytes(3 * kReadBlockSize, random);
    const fs::path path = scratch_.write("changing", bytes);
    const std::vector<DigestRequest> requests = {{Sha2, 256}, {Md5, 0}};

    const MultiDigest steady = fileDigestsHex(path, requests);
    EXPECT_EQ(steady.hex, oneAtATime(bytes, requests));
    EXPECT_FALSE(steady.sizeChanged);
    EXPECT_EQ(steady.hex[0], fileDigestHex(path, Sha2, 256));

    struct Case {
        const char* name;
        std::size_t newSize; // set after the first block is read
    };
    for (const Case c : {Case{"grows", 4 * kReadBlockSize + 9}, Case{"shrinks", kReadBlockSize + 5}}) {
        platform::testing::writeFile(path, bytes);
        bool changed = false;
        const MultiDigest result = fileDigestsHex(path, requests, [&](std::int64_t) {
            if (!changed) {
                ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(c.newSize)), 0);
            }
            changed = true;
        });
        std::vector<std::uint8_t> read = bytes;
        read.resize(c.newSize); // growth reads as zeros
        EXPECT_TRUE(result.sizeChanged) << c.name;
        EXPECT_EQ(result.bytesRead, static_cast<std::int64_t>(c.newSize)) << c.name;
        EXPECT_EQ(result.hex, oneAtATime(read, requests)) << c.name;
    }

    const fs::path fifo = scratch_.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(fileDigestsHex(fifo, requests).hex, std::vector<std::string>(2));
    EXPECT_EQ(fileDigestsHex(scratch_.path(), requests).hex, std::vector<std::string>(2));
}

// The same through a real descriptor, under faults placed below the read: a
// failure in the first block, a middle one or the last fails every algorithm
// (in the caller's thread or through the ring); short and interrupted reads
// give the whole file's digests.
TEST_F(MultiDigestTest, DescriptorReadFaults)
{
    using platform::testing::ReadFaults;
    constexpr std::int64_t kBlock = static_cast<std::int64_t>(kReadBlockSize);
    std::mt19937 random(11);
    const std::vector<DigestRequest> requests = {{Crc32, 0}, {Sha2, 256}, {Sha3, 512}};
    for (const std::int64_t size : {kBlock / 2, 13 * kBlock / 2}) {
        const std::vector<std::uint8_t> bytes = randomBytes(static_cast<std::size_t>(size), random);
        const fs::path path = scratch_.write("faulty", bytes);
        struct Case {
            const char* what;
            ReadFaults faults;
            bool digests;
        };
        const Case cases[] = {
            {"fails at the first byte", {0, 0, false}, false},
            {"fails in a middle block", {size / 2, 0, false}, false},
            {"fails on the last byte", {size - 1, 0, false}, false},
            {"fails where the end is", {size, 0, false}, false},
            {"short and interrupted reads", {-1, 4242, true}, true},
        };
        for (const Case& c : cases) {
            const platform::testing::ScopedReadFaults faults(c.faults);
            const MultiDigest result = fileDigestsHex(path, requests);
            EXPECT_EQ(result.hex, c.digests ? oneAtATime(bytes, requests) : std::vector<std::string>(requests.size()))
                << c.what << ", size " << size;
        }
    }
}

} // namespace
} // namespace engine
