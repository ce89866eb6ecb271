#include "viewer/document/brieflz_decoder.h"

#include <cstring>

namespace helpdoc::brieflz {
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

class BitReader {
public:
    BitReader(const std::uint8_t* source, std::size_t size) : source_(source), size_(size) {}

    // The next bit, or -1 when the tag word it needs lies beyond the input.
    int bit()
    {
        if (bitsLeft_ == 0) {
            if (size_ - position_ < 2)
                return -1;
            tag_ = static_cast<unsigned>(source_[position_] | (source_[position_ + 1] << 8));
            position_ += 2;
            bitsLeft_ = 16;
        }
        --bitsLeft_;
        return static_cast<int>((tag_ >> bitsLeft_) & 1);
    }

    // The next whole byte, or -1 past the end of the input.
    int byte()
    {
        if (position_ >= size_)
            return -1;
        return source_[position_++];
    }

    // A gamma number (at least 2), or 0 when the input ends or the value grows
    // beyond any valid one.
    std::uint64_t gamma()
    {
        std::uint64_t value = 1;
        for (;;) {
            const int b = bit();
            if (b < 0)
                return 0;
            value = 2 * value + static_cast<unsigned>(b);
            if (value >= kGammaLimit)
                return 0;
            const int more = bit();
            if (more < 0)
                return 0;
            if (more == 0)
                return value;
        }
    }

    std::size_t position() const { return position_; }

private:
    const std::uint8_t* source_;
    std::size_t size_;
    std::size_t position_ = 0;
    unsigned tag_ = 0;
    int bitsLeft_ = 0;
};

} // namespace

bool readBlockStreamHeader(const std::uint8_t* data, std::size_t size, BlockStreamHeader& header)
{
    if (data == nullptr || size < kBlockStreamHeaderSize || std::memcmp(data, kBlockStreamMagic, 4) != 0)
        return false;
    header.unpackedSize = readInt64(data + 8);
    header.blockSize = readInt64(data + 16);
    return header.unpackedSize >= 0 && header.unpackedSize <= kMaxEntrySize && header.blockSize >= 1;
}

std::int64_t decodeBlock(const std::uint8_t* source, std::size_t sourceSize, std::uint8_t* output,
                         std::size_t length)
{
    if (length == 0)
        return 0;
    BitReader in(source, sourceSize);
    const int first = in.byte();
    if (first < 0)
        return -1;
    output[0] = static_cast<std::uint8_t>(first);
    std::size_t produced = 1;
    while (produced < length) {
        const int kind = in.bit();
        if (kind < 0)
            return -1;
        if (kind == 0) {
            const int literal = in.byte();
            if (literal < 0)
                return -1;
            output[produced++] = static_cast<std::uint8_t>(literal);
            continue;
        }
        const std::uint64_t lengthGamma = in.gamma();
        const std::uint64_t offsetGamma = in.gamma();
        const int low = in.byte();
        if (lengthGamma == 0 || offsetGamma == 0 || low < 0)
            return -1;
        const std::uint64_t matchLength = lengthGamma + 2;
        const std::uint64_t offset = (offsetGamma - 2) * 256 + static_cast<unsigned>(low) + 1;
        if (offset > produced || matchLength > length - produced)
            return -1;
        std::uint8_t* to = output + produced;
        const std::uint8_t* from = to - offset;
        const auto count = static_cast<std::size_t>(matchLength);
        if (offset >= matchLength) {
            std::memcpy(to, from, count);
        } else if (offset == 1) {
            std::memset(to, *from, count);
        } else {
            // The match overlaps the bytes it writes: it repeats them.
            for (std::size_t i = 0; i < count; ++i)
                to[i] = from[i];
        }
        produced += count;
    }
    return static_cast<std::int64_t>(in.position());
}

std::int64_t decodeBlockStream(const std::uint8_t* data, std::size_t size, std::uint8_t* output,
                               std::size_t capacity)
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

} // namespace helpdoc::brieflz
