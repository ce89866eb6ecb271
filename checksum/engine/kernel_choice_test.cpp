// Which kernel each family's chooser picks on processors other than the one
// running the tests: every chosen kernel must need only features the processor
// has, or it stops the program with an illegal instruction. The feature sets
// are made by hand; the kernels' needs follow their target attributes.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "checksum/engine/cpu_features.h"
#include "checksum/engine/crc32.h"
#include "checksum/engine/sha1.h"
#include "checksum/engine/sha256.h"
#include "checksum/engine/sha3.h"
#include "checksum/engine/sha512.h"

namespace engine {
namespace {

#if defined(__x86_64__)

// The sets name every feature they have; designated initializers follow the
// order of the fields in CpuFeatures.
constexpr CpuFeatures kSse41{.sse41 = true, .ssse3 = true, .pclmul = true};
constexpr CpuFeatures kShaNi{.sse41 = true, .ssse3 = true, .shaNi = true, .pclmul = true};
// No AVX-512 and no SHA extensions, as on many desktop processors.
constexpr CpuFeatures kAvx2{.sse41 = true, .ssse3 = true, .pclmul = true, .avx2 = true, .bmi1 = true, .bmi2 = true};
// No SHA extensions and no VPCLMULQDQ, as on the first AVX-512 server processors.
constexpr CpuFeatures kAvx512{
    .sse41 = true, .ssse3 = true, .pclmul = true, .avx2 = true, .bmi1 = true, .bmi2 = true, .avx512 = true};
constexpr CpuFeatures kEverything{.sse41 = true,
    .ssse3 = true,
    .shaNi = true,
    .pclmul = true,
    .avx2 = true,
    .bmi1 = true,
    .bmi2 = true,
    .avx512 = true,
    .vpclmul = true};

struct FeatureSet {
    const char* name;
    CpuFeatures features;
};

const std::array<FeatureSet, 6> kFeatureSets = {{
    {"none", CpuFeatures{}},
    {"SSE4.1", kSse41},
    {"SHA-NI", kShaNi},
    {"AVX2+BMI2", kAvx2},
    {"AVX-512 without SHA-NI", kAvx512},
    {"everything", kEverything},
}};

bool isSubset(const CpuFeatures& needs, const CpuFeatures& has)
{
    auto within = [](bool need, bool have) { return !need || have; };
    return within(needs.sse41, has.sse41) && within(needs.ssse3, has.ssse3) && within(needs.shaNi, has.shaNi) &&
        within(needs.pclmul, has.pclmul) && within(needs.avx2, has.avx2) && within(needs.bmi1, has.bmi1) &&
        within(needs.bmi2, has.bmi2) && within(needs.avx512, has.avx512) && within(needs.vpclmul, has.vpclmul);
}

template <typename Kernel> struct KnownKernel {
    Kernel kernel;
    const char* name;
    CpuFeatures needs;
};

// For each entry of kFeatureSets in order, `expected` names the kernel `choose` must return.
template <typename Kernel, typename Choose>
void expectChoices(const char* family, Choose choose, const std::vector<KnownKernel<Kernel>>& kernels,
    const std::array<const char*, kFeatureSets.size()>& expected)
{
    for (std::size_t i = 0; i < kFeatureSets.size(); ++i) {
        const FeatureSet& set = kFeatureSets[i];
        const Kernel chosen = choose(set.features);
        const KnownKernel<Kernel>* known = nullptr;
        for (const KnownKernel<Kernel>& k : kernels) {
            if (k.kernel == chosen)
                known = &k;
        }
        ASSERT_NE(known, nullptr) << family << " on " << set.name << ": an unlisted kernel";
        EXPECT_EQ(std::string(known->name), expected[i]) << family << " on " << set.name;
        EXPECT_TRUE(isSubset(known->needs, set.features))
            << family << " on " << set.name << " chose " << known->name << ", which needs features the set lacks";
    }
}

// What each accelerated kernel is compiled for.
constexpr CpuFeatures kNeedsClmul{.sse41 = true, .pclmul = true};
constexpr CpuFeatures kNeedsVpclmul{.sse41 = true, .pclmul = true, .avx2 = true, .avx512 = true, .vpclmul = true};
constexpr CpuFeatures kNeedsShaNi{.sse41 = true, .ssse3 = true, .shaNi = true};
constexpr CpuFeatures kNeedsAvx2{.avx2 = true, .bmi2 = true};
constexpr CpuFeatures kNeedsAvx512{.avx2 = true, .bmi2 = true, .avx512 = true};
constexpr CpuFeatures kNeedsBmi{.bmi1 = true, .bmi2 = true};

// clang-format off
TEST(KernelChoice, Crc32)
{
    expectChoices<Crc32Kernel>("CRC-32", chooseCrc32Kernel,
        {{crc32Portable, "portable", {}}, {crc32Clmul, "clmul", kNeedsClmul}, {crc32Vpclmul, "vpclmul", kNeedsVpclmul}},
        // none      SSE4.1   SHA-NI   AVX2+BMI2 AVX-512  everything
        {"portable", "clmul", "clmul", "clmul",  "clmul", "vpclmul"});
}

TEST(KernelChoice, Sha1)
{
    expectChoices<Sha1Kernel>("SHA-1", chooseSha1Kernel,
        {{sha1BlocksPortable, "portable", {}}, {sha1BlocksShaNi, "sha-ni", kNeedsShaNi}},
        {"portable", "portable", "sha-ni", "portable", "portable", "sha-ni"});
}

TEST(KernelChoice, Sha256)
{
    expectChoices<Sha256Kernel>("SHA-256", chooseSha256Kernel,
        {{sha256BlocksPortable, "portable", {}}, {sha256BlocksShaNi, "sha-ni", kNeedsShaNi}},
        {"portable", "portable", "sha-ni", "portable", "portable", "sha-ni"});
}

TEST(KernelChoice, Sha512)
{
    expectChoices<Sha512Kernel>("SHA-512", chooseSha512Kernel,
        {{sha512BlocksPortable, "portable", {}}, {sha512BlocksAvx2, "avx2", kNeedsAvx2},
         {sha512BlocksAvx512, "avx512", kNeedsAvx512}},
        {"portable", "portable", "portable", "avx2", "avx512", "avx512"});
}

TEST(KernelChoice, Keccak)
{
    using Pair = std::pair<decltype(KeccakKernel::permute), decltype(KeccakKernel::absorb)>;
    auto choose = [](const CpuFeatures& f) {
        const KeccakKernel k = chooseKeccakKernel(f);
        return Pair{k.permute, k.absorb};
    };
    // The unrolled lanes build is plain x86-64 code.
    expectChoices<Pair>("Keccak", choose,
        {{{keccakF1600Portable, keccakAbsorbPortable}, "portable", {}},
         {{keccakF1600Lanes, keccakAbsorbLanes}, "lanes", {}},
         {{keccakF1600LanesBmi, keccakAbsorbLanesBmi}, "lanes-bmi", kNeedsBmi}},
        {"portable", "lanes", "lanes", "lanes-bmi", "lanes-bmi", "lanes-bmi"});
}
// clang-format on

#endif

} // namespace
} // namespace engine
