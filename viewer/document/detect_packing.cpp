#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/read_block.h"
#include "viewer/document/packing.h"

namespace document {

PackingKind detectPacking(const std::string& path)
{
    const int fd = platform::openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return PackingKind::None;
    // The file is read without sharing: a file another process holds locked is
    // no document to us.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        ::close(fd);
        return PackingKind::None;
    }
    // A failed or short read leaves the head zeroed, which is no packing.
    unsigned char head[2] = {0, 0};
    platform::readBlock(fd, head, sizeof head);
    ::close(fd);
    if (head[0] == 0x50 && head[1] == 0x4B)
        return PackingKind::Zip;
    if (head[0] == 0x32 && head[1] == 0x7A)
        return PackingKind::BriefLzPack;
    return PackingKind::None;
}

} // namespace document
