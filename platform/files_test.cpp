#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(OpenRegularFile, OnlyRegularFilesOpenAndNothingBlocks)
{
    const testing::ScratchFolder scratch;
    const fs::path& folder = scratch.path();
    std::ofstream(folder / "data") << "12345";
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    struct Case {
        fs::path path;
        int flags;
        bool opens;
    };
    const Case cases[] = {
        {folder / "data", O_RDONLY, true},
        {folder / "data", O_RDWR, true},
        {folder / "new", O_RDWR | O_CREAT | O_TRUNC, true},
        {folder / "missing", O_RDONLY, false},
        {folder, O_RDONLY, false},
        {folder / "fifo", O_RDONLY, false}, // no writer: would block without O_NONBLOCK
        {folder / "fifo", O_RDWR, false},
        {"/dev/null", O_RDONLY, false},
    };
    for (const Case& c : cases) {
        std::int64_t size = -1;
        const int fd = openRegularFile(c.path, c.flags, &size);
        EXPECT_EQ(fd >= 0, c.opens) << c.path;
        if (fd >= 0) {
            EXPECT_EQ(size, c.path.filename() == "data" ? 5 : 0) << c.path;
            ::close(fd);
        }
    }
}

} // namespace
} // namespace platform
