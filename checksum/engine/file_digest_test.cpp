#include "checksum/engine/file_digest.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "checksum/engine/algorithm_rows.h"
#include "platform/read_faults.h"
#include "platform/test_files.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

class FileDigest : public ::testing::Test {
protected:
    void SetUp() override { registerStandardPlugins(); }

    fs::path writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        return scratch_.write(name, bytes);
    }

    platform::testing::ScratchFolder scratch_;
    const fs::path& folder_ = scratch_.path();
};

std::vector<std::uint8_t> patternBytes(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + (i >> 11));
    return bytes;
}

// Around the 1 MiB read block, read in the caller's thread and (from 4 MiB on)
// one block ahead: the digest equals the in-memory one and the hook runs once
// per read, including the last read that finds no bytes.
TEST_F(FileDigest, ReadBlockBoundaries)
{
    struct Case {
        std::size_t size;
        int reads;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {kReadBlockSize - 1, 1}, {kReadBlockSize, 2}, {kReadBlockSize + 1, 2},
        {2 * kReadBlockSize, 3}, {2 * kReadBlockSize + 5, 3}, {4 * kReadBlockSize - 1, 4}, {4 * kReadBlockSize, 5},
        {4 * kReadBlockSize + 3, 5}, {6 * kReadBlockSize + 100, 7}};
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bytes = patternBytes(c.size);
        const fs::path path = writeFile("block.bin", bytes);
        for (const AlgorithmRow& row : kAlgorithmRows) {
            int reads = 0;
            const std::string hex = fileDigestHex(path, row.algorithm, row.bitWidth, [&reads] { ++reads; });
            EXPECT_EQ(hex, bufferDigestHex(bytes.data(), bytes.size(), row.algorithm, row.bitWidth))
                << row.shortName << " size " << c.size;
            EXPECT_EQ(reads, c.reads) << row.shortName << " size " << c.size;
        }
    }
}

// The checksum worker pauses inside the hook, so it must run on the caller's
// thread even when the file is read ahead on another.
TEST_F(FileDigest, HookRunsOnCallersThread)
{
    const fs::path path = writeFile("large.bin", patternBytes(5 * kReadBlockSize));
    bool elsewhere = false;
    const std::thread::id caller = std::this_thread::get_id();
    EXPECT_FALSE(fileDigestHex(path, Sha1, 0, [&] { elsewhere |= std::this_thread::get_id() != caller; }).empty());
    EXPECT_FALSE(elsewhere);
}

TEST_F(FileDigest, StatedFileValues)
{
    const fs::path empty = writeFile("empty", {});
    const fs::path digits = writeFile("digits", {'1', '2', '3', '4', '5', '6', '7', '8', '9'});
    EXPECT_EQ(fileDigestHex(empty, Crc32), "00000000");
    EXPECT_EQ(fileDigestHex(empty, Md5), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(fileDigestHex(empty, Sha1), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(fileDigestHex(empty, Sha2, 256), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(fileDigestHex(empty, Sha3, 256), "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a");
    EXPECT_EQ(fileDigestHex(digits, Crc32), "cbf43926");
    EXPECT_EQ(fileDigestHex(digits, Crc32, 512), "cbf43926");
    EXPECT_EQ(fileDigestHex(digits, Sha2).size(), 64u);
    EXPECT_EQ(fileDigestHex(digits, Sha3, 0).size(), 64u);
}

TEST_F(FileDigest, FailuresGiveEmptyText)
{
    const fs::path file = writeFile("data", patternBytes(100));
    const fs::path fifo = folder_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* what;
        fs::path path;
        DigestAlgorithm algorithm;
        std::int32_t bitWidth;
    };
    const Case cases[] = {
        {"empty path", fs::path(), Md5, 0},
        {"missing file", folder_ / "missing", Md5, 0},
        {"directory", folder_, Sha1, 0},
        {"fifo with no writer (must not block)", fifo, Crc32, 0},
        {"character device", "/dev/zero", Crc32, 0},
        {"unregistered algorithm", file, static_cast<DigestAlgorithm>(9), 0},
        {"refused width", file, Sha2, 100},
        {"refused width", file, Sha3, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileDigestHex(c.path, c.algorithm, c.bitWidth), "") << c.what;
}

TEST_F(FileDigest, UnreadableFileGivesEmptyText)
{
    // Root reads every file, so the reads are made as an ordinary user, who
    // may enter the folder and read the open file but not the closed one.
    fs::permissions(folder_, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
    const fs::path open = writeFile("open", patternBytes(10));
    const fs::path secret = writeFile("secret", patternBytes(10));
    fs::permissions(open, fs::perms::others_read, fs::perm_options::add);
    fs::permissions(secret, fs::perms::none);
    EXPECT_TRUE(platform::testing::runUnprivileged([&] { return !fileDigestHex(open, Md5).empty(); }));
    EXPECT_TRUE(platform::testing::runUnprivileged([&] { return fileDigestHex(secret, Md5).empty(); }));
}

// A read that fails anywhere (the first byte, inside a middle block, inside
// the last block, or where the end should be) leaves no digest, read in the
// caller's thread or one block ahead; short and interrupted reads of random
// sizes still give the whole file's digest.
TEST_F(FileDigest, ReadFailuresLeaveNoDigestShortReadsDoNotEndTheFile)
{
    using platform::testing::ReadFaults;
    constexpr std::int64_t kBlock = static_cast<std::int64_t>(kReadBlockSize);
    for (const std::int64_t size : {5 * kBlock / 2, 13 * kBlock / 2}) {
        const std::vector<std::uint8_t> bytes = patternBytes(static_cast<std::size_t>(size));
        const fs::path path = writeFile("faulty.bin", bytes);
        const std::string whole = bufferDigestHex(bytes.data(), bytes.size(), Sha2, 256);
        struct Case {
            const char* what;
            ReadFaults faults;
            bool digest;
        };
        const Case cases[] = {
            {"fails at the first byte", {0, 0, false}, false},
            {"fails inside the second block", {3 * kBlock / 2, 0, false}, false},
            {"fails on the last block's first byte", {(size / kBlock) * kBlock, 0, false}, false},
            {"fails on the last byte", {size - 1, 0, false}, false},
            {"fails where the end is", {size, 0, false}, false},
            {"short reads", {-1, 12345, false}, true},
            {"short and interrupted reads", {-1, 777, true}, true},
        };
        for (const Case& c : cases) {
            const platform::testing::ScopedReadFaults faults(c.faults);
            EXPECT_EQ(fileDigestHex(path, Sha2, 256), c.digest ? whole : "") << c.what << ", size " << size;
        }
    }
}

// Through the system itself: /proc/self/mem is a regular file whose first
// page is never mapped, so its very first read fails with EIO.
TEST_F(FileDigest, RealFailedReadLeavesNoDigest)
{
    if (::access("/proc/self/mem", R_OK) != 0)
        GTEST_SKIP() << "/proc/self/mem cannot be read here";
    EXPECT_EQ(fileDigestHex("/proc/self/mem", Sha2, 256), "");
    EXPECT_EQ(fileDigestHex("/proc/self/mem", Crc32), "");
}

} // namespace
} // namespace engine
