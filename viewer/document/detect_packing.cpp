#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "viewer/document/packing.h"

namespace helpdoc {

PackingKind detectPacking(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return PackingKind::None;
    struct stat info {};
    // The file is read without sharing: a file another process holds locked is
    // no document to us, as is anything but a regular file.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return PackingKind::None;
    }
    unsigned char head[2] = {0, 0};
    ssize_t got = 0;
    while (got < 2) {
        const ssize_t n = ::read(fd, head + got, static_cast<std::size_t>(2 - got));
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    if (head[0] == 0x50 && head[1] == 0x4B)
        return PackingKind::Zip;
    if (head[0] == 0x32 && head[1] == 0x7A)
        return PackingKind::BriefLzPack;
    return PackingKind::None;
}

} // namespace helpdoc
