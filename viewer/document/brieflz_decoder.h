#pragma once
// BriefLZ block-stream decoding, checked against hostile input: every read and
// write is bounded by what remains, every loop consumes input, and -1 is the
// one error value.
//
// Block stream (little-endian):
//     0  4  magic 31 7A 6C 62 ("1zlb")
//     4  4  not read
//     8  8  unpacked size, signed
//    16  8  block size, signed, at least 1
//    24  …  compressed blocks, back to back, each decoding to min(block size,
//           remaining) bytes and starting where the previous one stopped.
//
// One block: a literal byte, then items chosen by bits taken most significant
// first from 16-bit tag words that are read (little-endian) from the stream at
// the moment their first bit is wanted. Bit 0: a literal byte follows. Bit 1: a
// match, length = gamma + 2, offset = (gamma - 2) * 256 + next byte + 1, copied
// from `offset` bytes back in the block's own output. A gamma number starts at
// 1 and takes (value bit, continue bit) pairs until a continue bit is 0.

#include <cstddef>
#include <cstdint>

namespace document::brieflz {

inline constexpr std::uint8_t kBlockStreamMagic[4] = {0x31, 0x7A, 0x6C, 0x62};
inline constexpr std::size_t kBlockStreamHeaderSize = 24;
// Entries are handled only below 2 GiB.
inline constexpr std::int64_t kMaxEntrySize = 0x7FFFFFFF;

struct BlockStreamHeader {
    std::int64_t unpackedSize;
    std::int64_t blockSize;
};

// Reads the header of the block stream in `size` bytes at `data`. False for a
// short stream, a wrong magic, an unpacked size below 0 or above kMaxEntrySize,
// or a block size below 1.
bool readBlockStreamHeader(const std::uint8_t* data, std::size_t size, BlockStreamHeader& header);

// Decodes one block of `length` output bytes from `source` (sourceSize bytes)
// into `output`, which holds at least `length` bytes. Returns the compressed
// bytes consumed, tag words included (0 for length 0), or -1 when the block
// needs bytes beyond sourceSize or a match reaches before the start of the
// output or past `length`.
std::int64_t decodeBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* output, std::size_t length);

// Decodes the block stream in `size` bytes at `data` into `output` (capacity
// bytes). Returns the unpacked size, or -1 when the header is bad, the capacity
// is smaller than the unpacked size or a block is damaged; `output` then holds
// the blocks decoded before the damage.
std::int64_t decodeBlockStream(const std::uint8_t* data, std::size_t size, std::uint8_t* output, std::size_t capacity);

} // namespace document::brieflz
