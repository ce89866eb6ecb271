#pragma once
// Digest of a whole file, streamed through one algorithm.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "checksum/engine/digest.h"

namespace engine {

inline constexpr std::size_t kReadBlockSize = 1048576;

// Called on the caller's thread before each block is read, with no read
// under way; may block (the checksum worker pauses there while a question is
// open) but cannot change the result.
using BeforeBlockRead = std::function<void()>;

// Lower-case hex digest of the file at `path`, read in kReadBlockSize blocks
// with one context and at most two buffers, whatever the file's size (larger
// files are read one block ahead on a second thread). `bitWidth` 0 means
// the family's default. The file is read until a read returns no bytes; a
// short read is not its end. The empty text on any failure: empty path,
// algorithm not registered, width refused, not a regular file, cannot be
// opened, no memory, or a read that fails anywhere in the file.
std::string fileDigestHex(const std::filesystem::path& path, DigestAlgorithm algorithm, std::int32_t bitWidth = 0,
    const BeforeBlockRead& beforeBlockRead = {});

} // namespace engine
