#include "platform/read_block.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/read_faults.h"
#include "platform/test_files.h"

namespace platform {
namespace {

// A 10,000-byte file read in blocks of 4,096 under every kind of fault: the
// bytes delivered before a failure are kept and counted, the failure is told
// apart from the end, and short or interrupted reads change nothing.
TEST(ReadBlock, EndAndFailureToldApartUnderFaults)
{
    const testing::ScratchFolder scratch;
    std::string content(10000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + 3);
    const auto path = scratch.write("data", content);
    struct Case {
        const char* what;
        testing::ReadFaults faults;
        std::vector<std::size_t> blocks; // bytes of each block until the end or the failure
        int lastError;                   // error of the last block
    };
    const Case cases[] = {
        {"no fault", {}, {4096, 4096, 1808, 0}, 0},
        {"short reads", {-1, 17, false}, {4096, 4096, 1808, 0}, 0},
        {"interrupted", {-1, 0, true}, {4096, 4096, 1808, 0}, 0},
        {"short and interrupted", {-1, 99, true}, {4096, 4096, 1808, 0}, 0},
        {"fails at the first byte", {0, 0, false}, {0}, EIO},
        {"fails inside the second block", {5000, 5, true}, {4096, 904}, EIO},
        {"fails on a block boundary", {8192, 0, false}, {4096, 4096, 0}, EIO},
        {"fails inside the last block", {9999, 3, false}, {4096, 4096, 1807}, EIO},
        {"fails at the end instead of ending", {10000, 0, false}, {4096, 4096, 1808}, EIO},
    };
    for (const Case& c : cases) {
        const testing::ScopedReadFaults faults(c.faults);
        const int fd = ::open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        std::string got;
        for (std::size_t b = 0; b < c.blocks.size(); ++b) {
            char buffer[4096];
            const ReadOutcome outcome = readBlock(fd, buffer, sizeof buffer);
            EXPECT_EQ(outcome.bytes, c.blocks[b]) << c.what << ", block " << b;
            EXPECT_EQ(outcome.error, b + 1 == c.blocks.size() ? c.lastError : 0) << c.what << ", block " << b;
            got.append(buffer, outcome.bytes);
        }
        ::close(fd);
        EXPECT_EQ(got, content.substr(0, got.size())) << c.what;
        if (c.faults.interrupt) {
            EXPECT_GT(faults.interruptedReads(), 0) << c.what;
        }
    }
}

// A pipe hands over what its writer wrote so far: real short reads, which are
// not the end of the input; only the writer's close is.
TEST(ReadBlock, PipeWrittenInPiecesIsReadWhole)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::thread writer([fd = ends[1]] {
        for (int piece = 0; piece < 50; ++piece) {
            const std::string bytes(100 + piece, static_cast<char>('a' + piece % 26));
            EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        }
        ::close(fd);
    });
    std::vector<char> buffer(100000);
    const ReadOutcome outcome = readBlock(ends[0], buffer.data(), buffer.size());
    writer.join();
    ::close(ends[0]);
    EXPECT_EQ(outcome.bytes, 50u * 100u + 49u * 50u / 2u); // pieces of 100 to 149 bytes
    EXPECT_EQ(outcome.error, 0);
}

// A real failed read: /proc/self/mem is a regular file whose first page
// (address 0) is never mapped, so reading it from its start fails with EIO.
TEST(ReadBlock, RealFailedReadIsAnError)
{
    const int fd = ::open("/proc/self/mem", O_RDONLY);
    if (fd < 0)
        GTEST_SKIP() << "/proc/self/mem cannot be opened here: " << std::strerror(errno);
    char buffer[64];
    const ReadOutcome outcome = readBlock(fd, buffer, sizeof buffer);
    ::close(fd);
    EXPECT_EQ(outcome.bytes, 0u);
    EXPECT_EQ(outcome.error, EIO);
}

} // namespace
} // namespace platform
