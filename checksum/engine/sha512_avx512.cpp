// SHA-384 / SHA-512 compression for processors with AVX-512 (VL) and BMI2: the
// message schedule's rotations are single VPRORQ instructions and each sigma
// folds its three terms in one VPTERNLOGQ (the body is in
// sha512_vector_kernel.h). Chosen at run time by sha512.cpp.

#include "checksum/engine/round_constants.h"
#include "checksum/engine/sha512.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <utility>

namespace engine {
namespace {

#define HASHMERE_SHA512_TARGET __attribute__((target("avx2,bmi2,avx512f,avx512vl")))

constexpr int kXor3 = 0x96; // VPTERNLOGQ truth table of a ^ b ^ c

HASHMERE_SHA512_TARGET inline __m128i smallSigma0(__m128i x)
{
    return _mm_ternarylogic_epi64(_mm_ror_epi64(x, 1), _mm_ror_epi64(x, 8), _mm_srli_epi64(x, 7), kXor3);
}

HASHMERE_SHA512_TARGET inline __m128i smallSigma1(__m128i x)
{
    return _mm_ternarylogic_epi64(_mm_ror_epi64(x, 19), _mm_ror_epi64(x, 61), _mm_srli_epi64(x, 6), kXor3);
}

#include "checksum/engine/sha512_vector_kernel.h"

} // namespace

HASHMERE_SHA512_TARGET void sha512BlocksAvx512(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count)
{
    sha512VectorBlocks(state, blocks, count);
}

} // namespace engine

#endif
