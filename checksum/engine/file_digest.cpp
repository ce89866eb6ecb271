#include "checksum/engine/file_digest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "checksum/engine/digest_context.h"

namespace digest {
namespace {

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// Opens `path` for reading if it names a regular file. O_NONBLOCK keeps a FIFO
// or device from blocking the open; it has no effect on reading regular files.
// Linux has no share modes: a file that another program holds open for
// writing is read as it stands at each block.
int openRegularFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

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

} // namespace

std::string fileDigestHex(const std::filesystem::path& path, DigestAlgorithm algorithm, std::int32_t bitWidth,
                          const BeforeBlockRead& beforeBlockRead)
{
    const DigestPlugin* plugin = findPlugin(algorithm);
    if (plugin == nullptr || path.empty())
        return {};
    const int fd = openRegularFile(path);
    if (fd < 0)
        return {};
    FileCloser closer{fd};

    std::unique_ptr<std::uint8_t, FreeDeleter> buffer(static_cast<std::uint8_t*>(std::calloc(kReadBlockSize, 1)));
    if (!buffer)
        return {};
    DigestContext* context = plugin->create(bitWidth);
    if (context == nullptr)
        return {};

    for (;;) {
        if (beforeBlockRead)
            beforeBlockRead();
        const std::size_t got = readBlock(fd, buffer.get(), kReadBlockSize);
        plugin->update(context, buffer.get(), got);
        if (got < kReadBlockSize)
            break;
    }
    plugin->finish(context);
    std::string text = digestToHex(context);
    plugin->release(context);
    return text;
}

} // namespace digest
