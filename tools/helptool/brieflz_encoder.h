#pragma once
// BriefLZ block-stream encoder for the authoring side: a hash-chain matcher with
// lazy matching that writes block streams the document reader decodes (the
// format is described in viewer/document/brieflz_decoder.h).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace helptool::brieflz {

inline constexpr std::int64_t kDefaultBlockSize = 1 << 20;

// The most bytes one block of `size` input bytes can encode to.
std::size_t maxEncodedBlockSize(std::size_t size);

// Appends the encoding of one block (`size` bytes at `data`) to `out`.
void encodeBlock(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);

// A whole block stream for `size` bytes at `data`, cut into blocks of
// `blockSize` bytes (at least 1). Empty when blockSize < 1 or the data are not
// below 2 GiB.
std::vector<std::uint8_t> encodeBlockStream(const std::uint8_t* data, std::size_t size, std::int64_t blockSize);

} // namespace helptool::brieflz
