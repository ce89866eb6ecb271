#pragma once
// The partial-block buffer that the block-based digests keep between update
// calls, and the Merkle-Damgard padding they share.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace engine {

template <std::size_t BlockBytes> struct PartialBlock {
    std::uint8_t bytes[BlockBytes];
    std::size_t fill;
};

// Feeds `size` bytes into the buffer. Whole blocks of the caller's data go to
// `blocks(pointer, count)` straight from the caller's memory; only a leading
// completion of the buffered block and the trailing remainder are copied.
template <std::size_t BlockBytes, typename Blocks>
void absorbBlocks(PartialBlock<BlockBytes>& partial, const std::uint8_t* data, std::size_t size, Blocks&& blocks)
{
    if (size == 0)
        return;
    if (partial.fill != 0) {
        const std::size_t take = size < BlockBytes - partial.fill ? size : BlockBytes - partial.fill;
        std::memcpy(partial.bytes + partial.fill, data, take);
        partial.fill += take;
        data += take;
        size -= take;
        if (partial.fill < BlockBytes)
            return;
        blocks(partial.bytes, std::size_t{1});
        partial.fill = 0;
    }
    if (size >= BlockBytes) {
        const std::size_t whole = size / BlockBytes;
        blocks(data, whole);
        data += whole * BlockBytes;
        size -= whole * BlockBytes;
    }
    if (size != 0) {
        std::memcpy(partial.bytes, data, size);
        partial.fill = size;
    }
}

// Appends 0x80, zeros and the message length in `lengthBytes` bytes (already
// encoded by the caller in the family's byte order) and runs the last block or two.
template <std::size_t BlockBytes, typename Blocks>
void padBlocks(
    PartialBlock<BlockBytes>& partial, const std::uint8_t* lengthField, std::size_t lengthBytes, Blocks&& blocks)
{
    partial.bytes[partial.fill++] = 0x80;
    if (partial.fill > BlockBytes - lengthBytes) {
        std::memset(partial.bytes + partial.fill, 0, BlockBytes - partial.fill);
        blocks(partial.bytes, std::size_t{1});
        partial.fill = 0;
    }
    std::memset(partial.bytes + partial.fill, 0, BlockBytes - lengthBytes - partial.fill);
    std::memcpy(partial.bytes + BlockBytes - lengthBytes, lengthField, lengthBytes);
    blocks(partial.bytes, std::size_t{1});
    partial.fill = 0;
}

inline std::uint32_t loadBe32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline std::uint64_t loadBe64(const std::uint8_t* p)
{
    return (std::uint64_t{loadBe32(p)} << 32) | loadBe32(p + 4);
}

inline std::uint32_t loadLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

inline std::uint64_t loadLe64(const std::uint8_t* p)
{
    return std::uint64_t{loadLe32(p)} | (std::uint64_t{loadLe32(p + 4)} << 32);
}

inline void storeBe32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

inline void storeBe64(std::uint8_t* p, std::uint64_t v)
{
    storeBe32(p, static_cast<std::uint32_t>(v >> 32));
    storeBe32(p + 4, static_cast<std::uint32_t>(v));
}

inline void storeLe32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void storeLe64(std::uint8_t* p, std::uint64_t v)
{
    storeLe32(p, static_cast<std::uint32_t>(v));
    storeLe32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

} // namespace engine
