#pragma once
// Several digests of one input in a single read: blocks are read once on the
// caller's thread into a small ring shared by one consumer thread per
// algorithm, so the slowest algorithm sets the pace and the input is never
// read twice (a pipe or standard input cannot be).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "checksum/engine/digest.h"

namespace engine {

// Blocks in the ring shared by all consumers; with kReadBlockSize blocks this
// bounds the buffers at 4 MiB whatever the input's size or algorithm count.
inline constexpr std::size_t kRingBlocks = 4;

struct DigestRequest {
    DigestAlgorithm algorithm;
    std::int32_t bitWidth = 0; // 0: the family's default
};

struct MultiDigest {
    // One lower-case hex digest per request, in request order. All empty when
    // any request is refused, the input cannot be opened or a read fails.
    std::vector<std::string> hex;
    std::int64_t bytesRead = 0;
    std::int64_t sizeAtOpen = -1; // -1 when the input is a stream
    // A regular file whose size at open or at the end differs from what was
    // read: it grew or shrank meanwhile, and the digests are of what was read.
    bool sizeChanged = false;
};

// Reads up to `size` bytes into `buffer`: the count read (short only at the
// end of the input), or -1 on a read error.
using ReadBytes = std::function<std::ptrdiff_t(std::uint8_t* buffer, std::size_t size)>;

// Called on the caller's thread after each block is read, with the bytes read
// so far; cannot change the result.
using BlockReadHook = std::function<void(std::int64_t bytesRead)>;

// Points inside the ring where tests hold a thread; empty by default.
struct RingHooks {
    // On consumer `consumer`'s thread (request order), before it digests block `block`.
    std::function<void(std::size_t consumer, std::int64_t block)> beforeDigest;
    // On the caller's thread, with the ring locked, when block `block` must wait
    // for its slot to be freed by the slowest consumer; must not block.
    std::function<void(std::int64_t block)> readerWaits;
};

// The digests of everything `read` delivers until it returns a short count.
MultiDigest readerDigestsHex(const ReadBytes& read, const std::vector<DigestRequest>& requests,
    const BlockReadHook& afterBlockRead = {}, const RingHooks& hooks = {});

// The digests of what is left on the open descriptor `fd` (a pipe, FIFO or
// standard input: read once, to its end). The caller keeps and closes `fd`.
MultiDigest descriptorDigestsHex(
    int fd, const std::vector<DigestRequest>& requests, const BlockReadHook& afterBlockRead = {});

// The digests of the regular file at `path`; all empty when it is not one or
// cannot be opened.
MultiDigest fileDigestsHex(const std::filesystem::path& path, const std::vector<DigestRequest>& requests,
    const BlockReadHook& afterBlockRead = {});

} // namespace engine
