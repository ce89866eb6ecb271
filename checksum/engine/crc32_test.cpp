// The folding CRC kernels against the table code at the lengths where they
// change strategy (16-byte, 64-byte and 256-byte folding, the table tail), at
// odd alignments and chained from running values, as streaming callers use them.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "checksum/engine/cpu_features.h"
#include "checksum/engine/crc32.h"

namespace engine {
namespace {

std::vector<std::size_t> lengthsAroundThresholds()
{
    std::vector<std::size_t> lengths;
    for (std::size_t threshold : {0, 16, 32, 64, 128, 256, 320, 512, 4096}) {
        for (std::size_t length = threshold < 3 ? 0 : threshold - 3; length <= threshold + 17; ++length)
            lengths.push_back(length);
    }
    return lengths;
}

class Crc32Kernels : public ::testing::Test {
protected:
    void TearDown() override { setKernelCeiling(KernelLevel::Avx512); }
};

TEST_F(Crc32Kernels, EveryLevelMatchesTableAtThresholdsAndChained)
{
    std::mt19937 rng(11);
    std::vector<std::uint8_t> pool(8192);
    for (auto& b : pool)
        b = static_cast<std::uint8_t>(rng());

    for (int level = 1; level <= static_cast<int>(highestKernelLevel()); ++level) {
        setKernelCeiling(static_cast<KernelLevel>(level));
        const Crc32Kernel kernel = chooseCrc32Kernel(usableCpuFeatures());
        if (usableCpuFeatures().pclmul) {
            ASSERT_NE(kernel, &crc32Portable) << "no folding kernel at level " << level;
        }
        for (std::size_t length : lengthsAroundThresholds()) {
            for (std::size_t offset : {0, 1, 7}) {
                const std::uint8_t* data = pool.data() + offset;
                const std::uint32_t start = rng();
                const std::uint32_t expected = crc32Portable(start, data, length);
                ASSERT_EQ(kernel(start, data, length), expected) << "level " << level << " length " << length;
                for (std::size_t split : {length / 2, length / 3, length > 0 ? length - 1 : 0}) {
                    const std::uint32_t chained = kernel(kernel(start, data, split), data + split, length - split);
                    ASSERT_EQ(chained, expected) << "level " << level << " length " << length << " split " << split;
                }
            }
        }
    }
}

} // namespace
} // namespace engine
