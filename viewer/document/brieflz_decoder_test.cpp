#include "viewer/document/brieflz_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "viewer/document/test_support.h"

namespace document::brieflz {
namespace {

using testing::Bytes;

std::string decodeText(const Bytes& block, std::size_t length, std::int64_t& consumed)
{
    std::string out(length, '\0');
    consumed = decodeBlock(block.data(), block.size(), reinterpret_cast<std::uint8_t*>(out.data()), length);
    return out;
}

// Streams written out bit by bit, to pin the format independently of our encoder.
struct KnownBlock {
    const char* what;
    Bytes block;
    std::string output;
};

TEST(BriefLzBlock, DecodesHandWrittenBlocks)
{
    Bytes sixteenLiterals = {0x61, 0x00, 0x00};
    for (int i = 0; i < 16; ++i)
        sixteenLiterals.push_back(static_cast<std::uint8_t>('b' + i % 3));
    sixteenLiterals.insert(sixteenLiterals.end(), {0x00, 0x00, 0x7A});

    const KnownBlock cases[] = {
        // tag 0xC000: match bit, length gamma 3 (bits 1 0), offset gamma 2 (bits 0 0); low byte 0
        {"offset 1, length 5 repeats the last byte", {0x61, 0x00, 0xC0, 0x00}, "aaaaaa"},
        // tag 0x4000: literal "b", then a match of length 4 at offset 2
        {"overlapping match of offset 2", {0x61, 0x00, 0x40, 0x62, 0x01}, "ababab"},
        // the second tag word is read only when the 17th bit is wanted
        {"tag words interleave with literals", sixteenLiterals, "abcdbcdbcdbcdbcdbz"},
        {"a single byte is the first literal alone", {0x51}, "Q"},
    };
    for (const KnownBlock& c : cases) {
        std::int64_t consumed = 0;
        EXPECT_EQ(decodeText(c.block, c.output.size(), consumed), c.output) << c.what;
        EXPECT_EQ(consumed, static_cast<std::int64_t>(c.block.size())) << c.what;
    }
}

TEST(BriefLzBlock, LengthZeroConsumesNothing)
{
    std::uint8_t out = 0;
    EXPECT_EQ(decodeBlock(nullptr, 0, &out, 0), 0);
}

TEST(BriefLzBlock, RejectsMalformedBlocks)
{
    Bytes endlessGamma = {0x61};
    endlessGamma.insert(endlessGamma.end(), 200, 0xFF);
    const struct {
        const char* what;
        Bytes block;
        std::size_t length;
    } cases[] = {
        {"no bytes for the first literal", {}, 1},
        {"tag word missing", {0x61}, 2},
        {"tag word cut in half", {0x61, 0x00}, 2},
        {"literal byte missing after its bit", {0x61, 0x00, 0x00}, 2},
        {"match reaches before the start of the output", {0x61, 0x00, 0xC0, 0x01}, 6},
        {"match runs past the block's length", {0x61, 0x00, 0xC0, 0x00}, 5},
        {"match offset byte missing", {0x61, 0x00, 0xC0}, 6},
        {"gamma number whose continue bits never end", endlessGamma, 1000},
        {"output wanted beyond what the input can give", {0x61, 0x00, 0x00, 0x62}, 3},
    };
    for (const auto& c : cases) {
        Bytes out(c.length, 0);
        EXPECT_EQ(decodeBlock(c.block.data(), c.block.size(), out.data(), c.length), -1) << c.what;
    }
}

TEST(BriefLzStream, DecodesBlocksBackToBack)
{
    // Two blocks of three bytes, each with its own first literal and tag.
    Bytes stream = testing::streamHeader(6, 3);
    for (int block = 0; block < 2; ++block)
        stream.insert(stream.end(), {0x61, 0x00, 0x00, 0x61, 0x61});
    stream.push_back(0xEE); // bytes after the last block are not read
    Bytes out(6, 0);
    EXPECT_EQ(decodeBlockStream(stream.data(), stream.size(), out.data(), out.size()), 6);
    EXPECT_EQ(out, testing::bytesOf("aaaaaa"));
}

TEST(BriefLzStream, RejectsDamagedStreams)
{
    Bytes good = testing::streamHeader(6, 3);
    for (int block = 0; block < 2; ++block)
        good.insert(good.end(), {0x61, 0x00, 0x00, 0x61, 0x61});
    auto withHeader = [&](std::int64_t unpacked, std::int64_t blockSize) {
        Bytes stream = testing::streamHeader(unpacked, blockSize);
        stream.insert(stream.end(), good.begin() + 24, good.end());
        return stream;
    };
    Bytes badMagic = good;
    badMagic[3] = 0x63;
    const struct {
        const char* what;
        Bytes stream;
        std::size_t capacity;
    } cases[] = {
        {"wrong magic", badMagic, 64},
        {"header shorter than 24 bytes", Bytes(good.begin(), good.begin() + 23), 64},
        {"block size 0", withHeader(6, 0), 64},
        {"negative block size", withHeader(6, -3), 64},
        {"negative unpacked size", withHeader(-6, 3), 64},
        {"unpacked size of 2 GiB", withHeader(std::int64_t{1} << 31, 3), 64},
        {"capacity below the unpacked size", good, 5},
        {"last block cut short", Bytes(good.begin(), good.end() - 1), 64},
        {"more blocks promised than stored", withHeader(9, 3), 64},
    };
    for (const auto& c : cases) {
        Bytes out(c.capacity, 0);
        EXPECT_EQ(decodeBlockStream(c.stream.data(), c.stream.size(), out.data(), out.size()), -1) << c.what;
    }
}

TEST(BriefLzStream, EmptyStreamDecodesToNothing)
{
    const Bytes stream = testing::streamHeader(0, 1);
    EXPECT_EQ(decodeBlockStream(stream.data(), stream.size(), nullptr, 0), 0);
}

} // namespace
} // namespace document::brieflz
