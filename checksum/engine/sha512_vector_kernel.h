// The body of the vector-assisted SHA-384 / SHA-512 compression, shared by
// sha512_avx2.cpp and sha512_avx512.cpp. Each includes it inside its own
// anonymous namespace after defining
//   HASHMERE_SHA512_TARGET  the function attribute naming its instruction set,
//   smallSigma0, smallSigma1  FIPS 180-4's sigma functions on two words at once,
// and gets sha512VectorBlocks(state, blocks, count) with the kernel signature.
//
// The message schedule runs two words at a time in vector registers and lands
// in memory as W[t] + K[t]; the schedule of the next block is spread over the
// current block's rounds so that its chain of vector operations overlaps them
// instead of stalling the front end. The 80 rounds run in general registers
// with RORX, in a form whose longest chain from one round's E to the
// next is four single-cycle steps.
//
// No include guard and no includes: each including file compiles its own copy
// for its target, with <immintrin.h>, <utility> and round_constants.h included
// at file scope.

#define HASHMERE_SHA512_INLINE inline __attribute__((always_inline))

constexpr const auto& kRound = kSha512RoundConstants;

HASHMERE_SHA512_INLINE std::uint64_t rotr(std::uint64_t x, int n)
{
    return (x >> n) | (x << (64 - n));
}

struct Schedule {
    __m128i w[8]; // W[2i .. 2i+1] of the latest eight steps, by i % 8
};

// Step i < 8 loads W[2i .. 2i+1] of `block`; step i >= 8 computes them from
// the earlier words. Each step stores W + K for two rounds into `wk`.
template <int I>
HASHMERE_SHA512_TARGET HASHMERE_SHA512_INLINE void scheduleStep(
    Schedule& sc, const std::uint8_t* block, std::uint64_t* wk)
{
    __m128i& w = sc.w[I & 7];
    if constexpr (I < 8) {
        const __m128i byteSwap = _mm_set_epi64x(0x08090a0b0c0d0e0fLL, 0x0001020304050607LL);
        w = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * I)), byteSwap);
    } else {
        const __m128i w15 = _mm_alignr_epi8(sc.w[(I + 1) & 7], w, 8);
        const __m128i w7 = _mm_alignr_epi8(sc.w[(I + 5) & 7], sc.w[(I + 4) & 7], 8);
        const __m128i w2 = sc.w[(I + 7) & 7];
        w = _mm_add_epi64(_mm_add_epi64(w, smallSigma0(w15)), _mm_add_epi64(w7, smallSigma1(w2)));
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(wk + 2 * I),
        _mm_add_epi64(w, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 2 * I))));
}

template <int... I>
HASHMERE_SHA512_TARGET HASHMERE_SHA512_INLINE void scheduleAll(
    Schedule& sc, const std::uint8_t* block, std::uint64_t* wk, std::integer_sequence<int, I...>)
{
    (scheduleStep<I>(sc, block, wk), ...);
}

// One round. E's new value is (D + H + WK) + Ch(E, F, G) + Sigma1(E), summed
// so that Sigma1, the slowest term, comes last; A's new value reuses that sum
// minus D instead of building T1 apart. Maj(A, B, C) is taken as
// (A & (B ^ C)) + (B & C), whose terms share no bit, so that the part without
// A is ready early.
template <int R>
HASHMERE_SHA512_TARGET HASHMERE_SHA512_INLINE void round(std::uint64_t a, std::uint64_t b, std::uint64_t c,
    std::uint64_t& d, std::uint64_t e, std::uint64_t f, std::uint64_t g, std::uint64_t& h, const std::uint64_t* wk)
{
    std::uint64_t sum = h + wk[R] + d;
    std::uint64_t majMinusD = (b & c) - d;
    sum += ((f ^ g) & e) ^ g;
    sum += rotr(e, 14) ^ rotr(e, 18) ^ rotr(e, 41);
    d = sum;
    majMinusD += a & (b ^ c);
    h = (sum + majMinusD) + (rotr(a, 28) ^ rotr(a, 34) ^ rotr(a, 39));
}

// Rounds 8j .. 8j+7, the eight words of state taking each role in turn, with
// schedule steps 4j .. 4j+3 of the next block between them.
template <int J>
HASHMERE_SHA512_TARGET HASHMERE_SHA512_INLINE void eightRounds(
    std::uint64_t* s, const std::uint64_t* wk, Schedule& sc, const std::uint8_t* nextBlock, std::uint64_t* nextWk)
{
    round<8 * J + 0>(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7], wk);
    round<8 * J + 1>(s[7], s[0], s[1], s[2], s[3], s[4], s[5], s[6], wk);
    scheduleStep<4 * J + 0>(sc, nextBlock, nextWk);
    round<8 * J + 2>(s[6], s[7], s[0], s[1], s[2], s[3], s[4], s[5], wk);
    round<8 * J + 3>(s[5], s[6], s[7], s[0], s[1], s[2], s[3], s[4], wk);
    scheduleStep<4 * J + 1>(sc, nextBlock, nextWk);
    round<8 * J + 4>(s[4], s[5], s[6], s[7], s[0], s[1], s[2], s[3], wk);
    round<8 * J + 5>(s[3], s[4], s[5], s[6], s[7], s[0], s[1], s[2], wk);
    scheduleStep<4 * J + 2>(sc, nextBlock, nextWk);
    round<8 * J + 6>(s[2], s[3], s[4], s[5], s[6], s[7], s[0], s[1], wk);
    round<8 * J + 7>(s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[0], wk);
    scheduleStep<4 * J + 3>(sc, nextBlock, nextWk);
}

template <int... J>
HASHMERE_SHA512_TARGET HASHMERE_SHA512_INLINE void allRounds(std::uint64_t* s, const std::uint64_t* wk, Schedule& sc,
    const std::uint8_t* nextBlock, std::uint64_t* nextWk, std::integer_sequence<int, J...>)
{
    (eightRounds<J>(s, wk, sc, nextBlock, nextWk), ...);
}

HASHMERE_SHA512_TARGET HASHMERE_SHA512_INLINE void sha512VectorBlocks(
    std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count)
{
    if (count == 0)
        return;
    alignas(64) std::uint64_t wk[2][80];
    Schedule sc;
    scheduleAll(sc, blocks, wk[0], std::make_integer_sequence<int, 40>{});
    std::uint64_t s[8];
    for (int i = 0; i < 8; ++i)
        s[i] = state[i];
    for (std::size_t n = 0; n < count; ++n, blocks += 128) {
        // The last block schedules itself again, into the buffer no one reads.
        const std::uint8_t* nextBlock = n + 1 < count ? blocks + 128 : blocks;
        allRounds(s, wk[n & 1], sc, nextBlock, wk[(n + 1) & 1], std::make_integer_sequence<int, 10>{});
        // The chaining value waits in memory, not in registers the rounds need.
        for (int i = 0; i < 8; ++i) {
            s[i] += state[i];
            state[i] = s[i];
        }
    }
}

#undef HASHMERE_SHA512_INLINE
