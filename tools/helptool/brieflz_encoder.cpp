#include "tools/helptool/brieflz_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "viewer/document/brieflz_decoder.h"

namespace helptool::brieflz {

using document::brieflz::kBlockStreamHeaderSize;
using document::brieflz::kBlockStreamMagic;
using document::brieflz::kMaxEntrySize;

namespace {

constexpr int kMaxHashBits = 16;
constexpr int kMaxChain = 48;
constexpr std::size_t kMinMatch = 4;     // the shortest length the format can express
constexpr std::size_t kNiceLength = 258; // long enough: stop searching

// Tag words are reserved in the output when their first bit is written and
// filled in when they are full, which puts them exactly where the decoder reads
// them.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void bit(unsigned b)
    {
        if (bitsUsed_ == 16 || !haveTag_) {
            flush();
            tagPosition_ = out_.size();
            out_.push_back(0);
            out_.push_back(0);
            tag_ = 0;
            bitsUsed_ = 0;
            haveTag_ = true;
        }
        tag_ = (tag_ << 1) | (b & 1);
        ++bitsUsed_;
    }

    void byte(std::uint8_t value) { out_.push_back(value); }

    // Value bits after the leading 1, most significant first, each followed by
    // a continue bit (1 while more follow).
    void gamma(std::uint64_t value)
    {
        std::uint64_t mask = std::bit_floor(value) >> 1;
        while (mask != 0) {
            bit((value & mask) != 0);
            mask >>= 1;
            bit(mask != 0);
        }
    }

    void flush()
    {
        if (!haveTag_)
            return;
        const unsigned word = tag_ << (16 - bitsUsed_);
        out_[tagPosition_] = static_cast<std::uint8_t>(word & 0xFF);
        out_[tagPosition_ + 1] = static_cast<std::uint8_t>(word >> 8);
    }

private:
    std::vector<std::uint8_t>& out_;
    std::size_t tagPosition_ = 0;
    unsigned tag_ = 0;
    int bitsUsed_ = 0;
    bool haveTag_ = false;
};

int gammaBits(std::uint64_t value)
{
    return 2 * (std::bit_width(value) - 1);
}

// Bits saved by a match over literals; negative when literals are cheaper.
int savings(std::size_t length, std::size_t offset)
{
    const int cost = 1 + gammaBits(length - 2) + gammaBits(((offset - 1) >> 8) + 2) + 8;
    return static_cast<int>(9 * length) - cost;
}

std::uint32_t hashAt(const std::uint8_t* p, int bits)
{
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    return (value * 2654435761u) >> (32 - bits);
}

struct Match {
    std::size_t length = 0;
    std::size_t offset = 0;
    int saved = 0;
};

class Matcher {
public:
    Matcher(const std::uint8_t* data, std::size_t size)
        : data_(data), size_(size), hashBits_(std::clamp(static_cast<int>(std::bit_width(size)), 4, kMaxHashBits)),
          head_(std::size_t{1} << hashBits_, -1), previous_(size, -1)
    {}

    // Enters every position below `end` not yet entered into the chains.
    void insertUpTo(std::size_t end)
    {
        for (; inserted_ < end && inserted_ + kMinMatch <= size_; ++inserted_) {
            const std::uint32_t h = hashAt(data_ + inserted_, hashBits_);
            previous_[inserted_] = head_[h];
            head_[h] = static_cast<std::int32_t>(inserted_);
        }
    }

    Match best(std::size_t position)
    {
        Match found;
        if (position + kMinMatch > size_)
            return found;
        insertUpTo(position);
        const std::size_t limit = std::min(size_ - position, kNiceLength * 64);
        std::int32_t candidate = head_[hashAt(data_ + position, hashBits_)];
        for (int chain = 0; candidate >= 0 && chain < kMaxChain; ++chain) {
            const auto from = static_cast<std::size_t>(candidate);
            std::size_t length = 0;
            while (length < limit && data_[from + length] == data_[position + length])
                ++length;
            if (length >= kMinMatch) {
                const int saved = savings(length, position - from);
                if (saved > found.saved)
                    found = Match{length, position - from, saved};
                if (length >= kNiceLength)
                    break;
            }
            candidate = previous_[from];
        }
        return found;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    int hashBits_;
    std::vector<std::int32_t> head_;
    std::vector<std::int32_t> previous_;
    std::size_t inserted_ = 0;
};

void putInt64(std::vector<std::uint8_t>& out, std::int64_t value)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i)));
}

} // namespace

std::size_t maxEncodedBlockSize(std::size_t size)
{
    return size + size / 8 + 4;
}

void encodeBlock(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
{
    if (size == 0)
        return;
    BitWriter writer(out);
    Matcher matcher(data, size);
    writer.byte(data[0]);
    std::size_t position = 1;
    Match pending = matcher.best(position);
    while (position < size) {
        Match current = pending;
        if (current.saved > 0 && position + 1 < size) {
            // Lazy matching: a clearly better match one byte later wins over
            // this one plus a literal.
            pending = matcher.best(position + 1);
            if (pending.saved > current.saved + 9) {
                writer.bit(0);
                writer.byte(data[position]);
                ++position;
                continue;
            }
        }
        if (current.saved > 0) {
            writer.bit(1);
            writer.gamma(current.length - 2);
            writer.gamma(((current.offset - 1) >> 8) + 2);
            writer.byte(static_cast<std::uint8_t>((current.offset - 1) & 0xFF));
            position += current.length;
        } else {
            writer.bit(0);
            writer.byte(data[position]);
            ++position;
        }
        pending = matcher.best(position);
    }
    writer.flush();
}

std::vector<std::uint8_t> encodeBlockStream(const std::uint8_t* data, std::size_t size, std::int64_t blockSize)
{
    std::vector<std::uint8_t> out;
    if (blockSize < 1 || size > static_cast<std::size_t>(kMaxEntrySize))
        return out;
    const auto block = static_cast<std::size_t>(std::min<std::int64_t>(blockSize, kMaxEntrySize));
    out.reserve(kBlockStreamHeaderSize + maxEncodedBlockSize(size) + 4 * (size / block + 1));
    out.insert(out.end(), kBlockStreamMagic, kBlockStreamMagic + 4);
    out.insert(out.end(), 4, 0); // reserved
    putInt64(out, static_cast<std::int64_t>(size));
    putInt64(out, blockSize);
    for (std::size_t start = 0; start < size; start += block)
        encodeBlock(data + start, std::min(block, size - start), out);
    return out;
}

} // namespace helptool::brieflz
