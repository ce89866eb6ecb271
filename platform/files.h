#pragma once
// Opening files that must be regular files.

#include <cstdint>
#include <filesystem>

namespace platform {

// Opens `path` with the open(2) `flags` (access mode, and O_CREAT / O_TRUNC
// with `mode` when creating) if it names a regular file, and returns the
// descriptor; -1 when it cannot be opened or is a folder, FIFO, device or
// socket. O_NONBLOCK is added so that a FIFO or device cannot block the open;
// it changes nothing for regular files. `size` receives the file's size when
// given. The caller closes the descriptor.
int openRegularFile(const std::filesystem::path& path, int flags, std::int64_t* size = nullptr, unsigned mode = 0666);

} // namespace platform
