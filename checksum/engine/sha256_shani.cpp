// SHA-256 on the SHA extensions: two rounds per SHA256RNDS2, the message
// schedule in SHA256MSG1 / SHA256MSG2, one block at a time. Chosen at run time
// by sha256.cpp.

#include "checksum/engine/round_constants.h"
#include "checksum/engine/sha256.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <utility>

#define HASHMERE_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace engine {
namespace {

constexpr const auto& kRound = kSha256RoundConstants;

struct Sha256Lanes {
    __m128i abef;   // A, B, E, F from the highest lane down
    __m128i cdgh;   // C, D, G, H likewise
    __m128i msg[4]; // W[4i .. 4i+3] of the last four groups, by i % 4
};

// Rounds 4i .. 4i+3 and the schedule work that runs beside them: SHA256MSG2
// completing the next group, SHA256MSG1 starting the group three ahead.
template <int I>
HASHMERE_SHA_TARGET inline __attribute__((always_inline)) void sha256Group(Sha256Lanes& s, const std::uint8_t* block)
{
    if constexpr (I < 4) {
        const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
        s.msg[I] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * I)), byteSwap);
    }
    __m128i wk = _mm_add_epi32(s.msg[I & 3], _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * I)));
    s.cdgh = _mm_sha256rnds2_epu32(s.cdgh, s.abef, wk);
    if constexpr (I >= 3 && I <= 14) {
        __m128i& next = s.msg[(I + 1) & 3];
        next = _mm_add_epi32(next, _mm_alignr_epi8(s.msg[I & 3], s.msg[(I - 1) & 3], 4));
        next = _mm_sha256msg2_epu32(next, s.msg[I & 3]);
    }
    wk = _mm_shuffle_epi32(wk, 0x0e);
    s.abef = _mm_sha256rnds2_epu32(s.abef, s.cdgh, wk);
    if constexpr (I >= 1 && I <= 12)
        s.msg[(I - 1) & 3] = _mm_sha256msg1_epu32(s.msg[(I - 1) & 3], s.msg[I & 3]);
}

template <int... I>
HASHMERE_SHA_TARGET inline __attribute__((always_inline)) void sha256Groups(
    Sha256Lanes& s, const std::uint8_t* block, std::integer_sequence<int, I...>)
{
    (sha256Group<I>(s, block), ...);
}

} // namespace

HASHMERE_SHA_TARGET void sha256BlocksShaNi(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count)
{
    Sha256Lanes s;
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xb1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1b);
    s.abef = _mm_alignr_epi8(cdab, efgh, 8);
    s.cdgh = _mm_blend_epi16(efgh, cdab, 0xf0);
    for (; count != 0; --count, blocks += 64) {
        const __m128i abefSaved = s.abef;
        const __m128i cdghSaved = s.cdgh;
        sha256Groups(s, blocks, std::make_integer_sequence<int, 16>{});
        s.abef = _mm_add_epi32(s.abef, abefSaved);
        s.cdgh = _mm_add_epi32(s.cdgh, cdghSaved);
    }
    const __m128i feba = _mm_shuffle_epi32(s.abef, 0x1b);
    const __m128i dchg = _mm_shuffle_epi32(s.cdgh, 0xb1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xf0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

} // namespace engine

#endif
