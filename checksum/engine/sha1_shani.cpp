// SHA-1 on the SHA extensions: four rounds per SHA1RNDS4, the message schedule
// in SHA1MSG1 / SHA1MSG2, one block at a time. Chosen at run time by sha1.cpp.

#include "checksum/engine/sha1.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <utility>

#define HASHMERE_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace engine {
namespace {

struct Sha1Lanes {
    __m128i abcd;
    __m128i e[2];   // E plus the first schedule word, alternating between groups
    __m128i msg[4]; // W[4i .. 4i+3] of the last four groups, by i % 4
};

// Rounds 4i .. 4i+3 and the schedule work that runs beside them: SHA1MSG1 on
// the group three ahead, the XOR two ahead, SHA1MSG2 completing the next one.
template <int I>
HASHMERE_SHA_TARGET inline __attribute__((always_inline)) void sha1Group(Sha1Lanes& s, const std::uint8_t* block)
{
    if constexpr (I < 4) {
        const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
        s.msg[I] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * I)), byteSwap);
    }
    if constexpr (I == 0)
        s.e[0] = _mm_add_epi32(s.e[0], s.msg[0]);
    else
        s.e[I & 1] = _mm_sha1nexte_epu32(s.e[I & 1], s.msg[I & 3]);
    s.e[(I + 1) & 1] = s.abcd;
    if constexpr (I >= 3 && I <= 18)
        s.msg[(I + 1) & 3] = _mm_sha1msg2_epu32(s.msg[(I + 1) & 3], s.msg[I & 3]);
    s.abcd = _mm_sha1rnds4_epu32(s.abcd, s.e[I & 1], I / 5);
    if constexpr (I >= 1 && I <= 16)
        s.msg[(I - 1) & 3] = _mm_sha1msg1_epu32(s.msg[(I - 1) & 3], s.msg[I & 3]);
    if constexpr (I >= 2 && I <= 17)
        s.msg[(I - 2) & 3] = _mm_xor_si128(s.msg[(I - 2) & 3], s.msg[I & 3]);
}

template <int... I>
HASHMERE_SHA_TARGET inline __attribute__((always_inline)) void sha1Groups(
    Sha1Lanes& s, const std::uint8_t* block, std::integer_sequence<int, I...>)
{
    (sha1Group<I>(s, block), ...);
}

} // namespace

HASHMERE_SHA_TARGET void sha1BlocksShaNi(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count)
{
    Sha1Lanes s;
    // The instructions keep A in the highest lane and E in the highest lane of its own register.
    s.abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1b);
    s.e[0] = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; count != 0; --count, blocks += 64) {
        const __m128i abcdSaved = s.abcd;
        const __m128i eSaved = s.e[0];
        sha1Groups(s, blocks, std::make_integer_sequence<int, 20>{});
        // After group 19, e[0] holds the old A: rotated by SHA1NEXTE, it is the new E.
        s.e[0] = _mm_sha1nexte_epu32(s.e[0], eSaved);
        s.abcd = _mm_add_epi32(s.abcd, abcdSaved);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(s.abcd, 0x1b));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(s.e[0], 3));
}

} // namespace engine

#endif
