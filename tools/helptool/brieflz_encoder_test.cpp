#include "tools/helptool/brieflz_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "viewer/document/brieflz_decoder.h"

namespace helptool::brieflz {
namespace {

using document::brieflz::decodeBlockStream;
using document::brieflz::kBlockStreamHeaderSize;

using Bytes = std::vector<std::uint8_t>;

Bytes englishLike(std::size_t size, unsigned seed)
{
    static const char* const kWords[] = {"the", "checksum", "of", "a", "file", "is", "computed", "once", "for", "every",
        "ticked", "algorithm", "and", "shown", "in", "green"};
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < size) {
        const char* word = kWords[random() % 16];
        out.insert(out.end(), word, word + std::char_traits<char>::length(word));
        out.push_back(random() % 9 == 0 ? '\n' : ' ');
    }
    out.resize(size);
    return out;
}

Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(random());
    return out;
}

Bytes decoded(const Bytes& stream, std::size_t size)
{
    Bytes out(size + 1, 0xAB);
    const std::int64_t count = decodeBlockStream(stream.data(), stream.size(), out.data(), size);
    EXPECT_EQ(count, static_cast<std::int64_t>(size));
    out.resize(size);
    return out;
}

TEST(BriefLzEncoder, RoundTripsEveryKindOfInputAndBlockSize)
{
    Bytes runs;
    for (int i = 0; i < 3000; ++i)
        runs.insert(runs.end(), static_cast<std::size_t>(i % 37 + 1), static_cast<std::uint8_t>(i % 5));
    Bytes farRepeat = randomBytes(70000, 3);
    farRepeat.insert(farRepeat.end(), farRepeat.begin(), farRepeat.begin() + 30000); // offset 70000
    const struct {
        const char* what;
        Bytes data;
    } inputs[] = {
        {"empty", {}},
        {"one byte", {0x42}},
        {"four equal bytes", {7, 7, 7, 7}},
        {"zeros", Bytes(30000, 0)},
        {"English-like text", englishLike(60000, 1)},
        {"random bytes", randomBytes(20000, 2)},
        {"runs of every length", runs},
        {"a repeat far back", farRepeat},
    };
    for (const auto& input : inputs) {
        for (std::int64_t blockSize : {1, 2, 5, 17, 4096, 65536, 1 << 20}) {
            const Bytes stream = encodeBlockStream(input.data.data(), input.data.size(), blockSize);
            ASSERT_GE(stream.size(), kBlockStreamHeaderSize);
            EXPECT_EQ(decoded(stream, input.data.size()), input.data) << input.what << ", blocks of " << blockSize;
        }
    }
}

TEST(BriefLzEncoder, CompressesTextAndBoundsIncompressibleData)
{
    const Bytes text = englishLike(1 << 20, 4);
    const Bytes packedText = encodeBlockStream(text.data(), text.size(), kDefaultBlockSize);
    EXPECT_LT(packedText.size(), text.size() / 2);
    const Bytes noise = randomBytes(1 << 20, 5);
    const Bytes packedNoise = encodeBlockStream(noise.data(), noise.size(), kDefaultBlockSize);
    EXPECT_LE(packedNoise.size(), kBlockStreamHeaderSize + maxEncodedBlockSize(noise.size()));
}

TEST(BriefLzEncoder, RefusesBadBlockSizes)
{
    const Bytes data{1, 2, 3};
    EXPECT_TRUE(encodeBlockStream(data.data(), data.size(), 0).empty());
    EXPECT_TRUE(encodeBlockStream(data.data(), data.size(), -5).empty());
}

} // namespace
} // namespace helptool::brieflz
