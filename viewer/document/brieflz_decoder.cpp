#include "viewer/document/brieflz_decoder.h"

#include <cstring>

namespace document::brieflz {
namespace {

std::int64_t readInt64(const std::uint8_t* p)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | p[i];
    return static_cast<std::int64_t>(value);
}

// No valid gamma number exceeds this: lengths and offsets stay below 2 GiB.
constexpr std::uint64_t kGammaLimit = std::uint64_t{1} << 32;

// The most compressed bytes one item can take: a kind bit and two gamma numbers
// of at most 32 bit pairs each come to 129 bits, at most ten tag words, plus
// one byte. While this much input remains the reads need no checks.
constexpr std::ptrdiff_t kMaxItemBytes = 32;

struct BlockReader {
    const std::uint8_t* in;
    const std::uint8_t* end;
    unsigned tag;
    int bitsLeft;
};

// The next bit, or -1 when the tag word it needs lies beyond the input.
template <bool kChecked> inline int nextBit(BlockReader& r)
{
    if (r.bitsLeft == 0) {
        if (kChecked && r.end - r.in < 2)
            return -1;
        r.tag = static_cast<unsigned>(r.in[0] | (r.in[1] << 8));
        r.in += 2;
        r.bitsLeft = 16;
    }
    --r.bitsLeft;
    return static_cast<int>((r.tag >> r.bitsLeft) & 1);
}

// The next whole byte, or -1 past the end of the input.
template <bool kChecked> inline int nextByte(BlockReader& r)
{
    if (kChecked && r.in >= r.end)
        return -1;
    return *r.in++;
}

// A gamma number (at least 2), or 0 when the input ends or the value grows
// beyond any valid one.
template <bool kChecked> inline std::uint64_t gamma(BlockReader& r)
{
    std::uint64_t value = 1;
    for (;;) {
        const int b = nextBit<kChecked>(r);
        if (b < 0)
            return 0;
        value = 2 * value + static_cast<unsigned>(b);
        if (value >= kGammaLimit)
            return 0;
        const int more = nextBit<kChecked>(r);
        if (more < 0)
            return 0;
        if (more == 0)
            return value;
    }
}

void copyMatch(std::uint8_t* to, std::size_t offset, std::size_t count, std::size_t room)
{
    const std::uint8_t* from = to - offset;
    if (offset >= count && count >= 32) {
        std::memcpy(to, from, count);
    } else if (offset >= 8 && room >= count + 8) {
        // Eight bytes at a time; the last chunk may write up to seven bytes past
        // the match, still inside the output, where later items overwrite them.
        // With offset >= 8 every chunk reads bytes already written.
        for (std::size_t i = 0; i < count; i += 8)
            std::memcpy(to + i, from + i, 8);
    } else if (offset >= count) {
        std::memcpy(to, from, count);
    } else if (offset == 1) {
        std::memset(to, *from, count);
    } else {
        // The match overlaps the bytes it writes: it repeats them.
        for (std::size_t i = 0; i < count; ++i)
            to[i] = from[i];
    }
}

// Decodes items until `produced` reaches `length`; the unchecked variant also
// stops when fewer than kMaxItemBytes of input remain. False on damage.
template <bool kChecked>
bool decodeItems(BlockReader& r, std::uint8_t* output, std::size_t length, std::size_t& produced)
{
    while (produced < length) {
        if (!kChecked && r.end - r.in < kMaxItemBytes)
            return true;
        const int kind = nextBit<kChecked>(r);
        if (kind < 0)
            return false;
        if (kind == 0) {
            const int literal = nextByte<kChecked>(r);
            if (literal < 0)
                return false;
            output[produced++] = static_cast<std::uint8_t>(literal);
            continue;
        }
        const std::uint64_t lengthGamma = gamma<kChecked>(r);
        const std::uint64_t offsetGamma = gamma<kChecked>(r);
        const int low = nextByte<kChecked>(r);
        if (lengthGamma == 0 || offsetGamma == 0 || low < 0)
            return false;
        const std::uint64_t matchLength = lengthGamma + 2;
        const std::uint64_t offset = (offsetGamma - 2) * 256 + static_cast<unsigned>(low) + 1;
        if (offset > produced || matchLength > length - produced)
            return false;
        copyMatch(output + produced, static_cast<std::size_t>(offset), static_cast<std::size_t>(matchLength),
            length - produced);
        produced += static_cast<std::size_t>(matchLength);
    }
    return true;
}

} // namespace

bool readBlockStreamHeader(const std::uint8_t* data, std::size_t size, BlockStreamHeader& header)
{
    if (data == nullptr || size < kBlockStreamHeaderSize || std::memcmp(data, kBlockStreamMagic, 4) != 0)
        return false;
    header.unpackedSize = readInt64(data + 8);
    header.blockSize = readInt64(data + 16);
    return header.unpackedSize >= 0 && header.unpackedSize <= kMaxEntrySize && header.blockSize >= 1;
}

std::int64_t decodeBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* output, std::size_t length)
{
    if (length == 0)
        return 0;
    if (sourceSize == 0)
        return -1;
    BlockReader reader{source + 1, source + sourceSize, 0, 0};
    output[0] = source[0];
    std::size_t produced = 1;
    if (!decodeItems<false>(reader, output, length, produced) || !decodeItems<true>(reader, output, length, produced))
        return -1;
    return reader.in - source;
}

std::int64_t decodeBlockStream(const std::uint8_t* data, std::size_t size, std::uint8_t* output, std::size_t capacity)
{
    BlockStreamHeader header{};
    if (!readBlockStreamHeader(data, size, header))
        return -1;
    const auto total = static_cast<std::size_t>(header.unpackedSize);
    if (total > capacity || (output == nullptr && total > 0))
        return -1;
    const auto blockSize = static_cast<std::uint64_t>(header.blockSize);
    std::size_t position = kBlockStreamHeaderSize;
    std::size_t produced = 0;
    // Every block of at least one byte consumes at least one compressed byte,
    // so the loop ends within `size` rounds.
    while (produced < total) {
        const std::size_t remaining = total - produced;
        const std::size_t length = blockSize < remaining ? static_cast<std::size_t>(blockSize) : remaining;
        const std::int64_t consumed = decodeBlock(data + position, size - position, output + produced, length);
        if (consumed < 0)
            return -1;
        position += static_cast<std::size_t>(consumed);
        produced += length;
    }
    return header.unpackedSize;
}

} // namespace document::brieflz
