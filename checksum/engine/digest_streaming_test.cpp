// Streaming and kernel agreement: any split of the input across update calls,
// at any buffer alignment, and every kernel level give the portable one-shot digest.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "checksum/engine/algorithm_rows.h"
#include "checksum/engine/cpu_features.h"
#include "checksum/engine/digest.h"
#include "checksum/engine/digest_context.h"

namespace engine {
namespace {

std::vector<std::uint8_t> randomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

// Digest of `data` fed in pieces of the given sizes (the rest in one last call).
std::string chunkedHex(
    const AlgorithmRow& row, const std::uint8_t* data, std::size_t size, const std::vector<std::size_t>& pieces)
{
    const DigestPlugin* plugin = findPlugin(row.algorithm);
    DigestContext* context = plugin->create(row.bitWidth);
    std::size_t done = 0;
    for (std::size_t piece : pieces) {
        piece = std::min(piece, size - done);
        plugin->update(context, data + done, piece);
        done += piece;
    }
    plugin->update(context, data + done, size - done);
    plugin->finish(context);
    std::string hex = digestToHex(context);
    plugin->release(context);
    return hex;
}

class DigestStreaming : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerStandardPlugins(); }
    void TearDown() override { setKernelCeiling(KernelLevel::Avx512); }
};

TEST_F(DigestStreaming, EveryTwoWaySplitEqualsOneShot)
{
    const std::vector<std::uint8_t> data = randomBytes(300, 1);
    for (const AlgorithmRow& row : kAlgorithmRows) {
        const std::string whole = bufferDigestHex(data.data(), data.size(), row.algorithm, row.bitWidth);
        for (std::size_t split = 0; split <= data.size(); ++split)
            ASSERT_EQ(chunkedHex(row, data.data(), data.size(), {split}), whole) << row.shortName << " split " << split;
    }
}

TEST_F(DigestStreaming, RandomPiecesWithEmptyUpdatesEqualOneShot)
{
    std::mt19937 rng(2);
    const std::vector<std::uint8_t> data = randomBytes(20000, 3);
    for (const AlgorithmRow& row : kAlgorithmRows) {
        const std::string whole = bufferDigestHex(data.data(), data.size(), row.algorithm, row.bitWidth);
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<std::size_t> pieces;
            for (std::size_t total = 0; total < data.size();) {
                const std::size_t piece = rng() % 3 == 0 ? 0 : rng() % 400;
                pieces.push_back(piece);
                total += piece;
            }
            ASSERT_EQ(chunkedHex(row, data.data(), data.size(), pieces), whole) << row.shortName;
        }
    }
}

// Every kernel level against the portable code on random lengths, at every
// alignment within a cache line, fed both in one call and in odd pieces.
TEST_F(DigestStreaming, AcceleratedKernelsMatchPortable)
{
    std::mt19937 rng(4);
    std::vector<std::size_t> lengths;
    for (int i = 0; i < 40; ++i)
        lengths.push_back(rng() % 4096);
    lengths.push_back(3 * 1048576 + 77);
    const std::vector<std::uint8_t> pool = randomBytes(3 * 1048576 + 77 + 64, 5);

    for (int level = 1; level <= static_cast<int>(highestKernelLevel()); ++level) {
        for (std::size_t length : lengths) {
            const std::size_t offset = rng() % 64;
            const std::uint8_t* data = pool.data() + offset;
            for (const AlgorithmRow& row : kAlgorithmRows) {
                setKernelCeiling(KernelLevel::Portable);
                const std::string expected = bufferDigestHex(data, length, row.algorithm, row.bitWidth);
                setKernelCeiling(static_cast<KernelLevel>(level));
                ASSERT_EQ(bufferDigestHex(data, length, row.algorithm, row.bitWidth), expected)
                    << row.shortName << " level " << kernelLevelName(static_cast<KernelLevel>(level)) << " length "
                    << length << " offset " << offset;
                ASSERT_EQ(chunkedHex(row, data, length, {13, 1000, 7, 64, 129}), expected)
                    << row.shortName << " in pieces, level " << level << " length " << length;
            }
        }
    }
}

// Contexts choose their kernels when created, so a change of ceiling never
// mixes kernels within one computation.
TEST_F(DigestStreaming, CeilingChangeDoesNotAffectRunningContext)
{
    const std::vector<std::uint8_t> data = randomBytes(5000, 6);
    for (const AlgorithmRow& row : kAlgorithmRows) {
        const std::string expected = bufferDigestHex(data.data(), data.size(), row.algorithm, row.bitWidth);
        const DigestPlugin* plugin = findPlugin(row.algorithm);
        setKernelCeiling(KernelLevel::Avx512);
        DigestContext* context = plugin->create(row.bitWidth);
        plugin->update(context, data.data(), 2500);
        setKernelCeiling(KernelLevel::Portable);
        plugin->update(context, data.data() + 2500, 2500);
        plugin->finish(context);
        EXPECT_EQ(digestToHex(context), expected) << row.shortName;
        plugin->release(context);
        setKernelCeiling(KernelLevel::Avx512);
    }
}

} // namespace
} // namespace engine
