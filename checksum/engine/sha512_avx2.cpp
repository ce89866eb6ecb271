// SHA-384 / SHA-512 compression for processors with AVX2 and BMI2 (the body
// is in sha512_vector_kernel.h). Chosen at run time by sha512.cpp.

#include "checksum/engine/round_constants.h"
#include "checksum/engine/sha512.h"

#if defined(__x86_64__)
#include <immintrin.h>

#include <utility>

namespace engine {
namespace {

#define HASHMERE_SHA512_TARGET __attribute__((target("avx2,bmi2")))

template <int N> HASHMERE_SHA512_TARGET inline __m128i rotr2(__m128i x)
{
    return _mm_or_si128(_mm_srli_epi64(x, N), _mm_slli_epi64(x, 64 - N));
}

// A rotation by a whole byte is one byte shuffle.
HASHMERE_SHA512_TARGET inline __m128i smallSigma0(__m128i x)
{
    const __m128i rotr8 = _mm_setr_epi8(1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8);
    return _mm_xor_si128(_mm_xor_si128(rotr2<1>(x), _mm_shuffle_epi8(x, rotr8)), _mm_srli_epi64(x, 7));
}

HASHMERE_SHA512_TARGET inline __m128i smallSigma1(__m128i x)
{
    return _mm_xor_si128(_mm_xor_si128(rotr2<19>(x), rotr2<61>(x)), _mm_srli_epi64(x, 6));
}

#include "checksum/engine/sha512_vector_kernel.h"

} // namespace

HASHMERE_SHA512_TARGET void sha512BlocksAvx2(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count)
{
    sha512VectorBlocks(state, blocks, count);
}

} // namespace engine

#endif
