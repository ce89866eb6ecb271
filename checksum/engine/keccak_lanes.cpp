// Keccak-f[1600] with the 25 lanes held in local variables, the round
// unrolled and the five steps merged, so the compiler keeps the state in
// registers; two rounds per loop pass swap the roles of the two lane sets.
// The same code is built twice: for any x86-64, and for BMI1/BMI2, where
// Chi's ~b & c is one ANDN and the rotations are RORX.

#include "checksum/engine/round_constants.h"
#include "checksum/engine/sha3.h"

#if defined(__x86_64__)

#include "checksum/engine/block_buffer.h"

namespace engine {
namespace {

constexpr const auto& kRoundConstants = kKeccakRoundConstants;

inline std::uint64_t rotl(std::uint64_t x, int n)
{
    return (x << n) | (x >> (64 - n));
}

// One round from lane set A (lane x + 5y named A##xy-index) into lane set E.
// Theta's column parities c and offsets d; then, per output row, Rho Pi into b
// and Chi into E; Iota on lane 0.
// clang-format off
#define KECCAK_ROUND(A, E, rc) \
    do { \
        const std::uint64_t c0 = A##00 ^ A##05 ^ A##10 ^ A##15 ^ A##20; \
        const std::uint64_t c1 = A##01 ^ A##06 ^ A##11 ^ A##16 ^ A##21; \
        const std::uint64_t c2 = A##02 ^ A##07 ^ A##12 ^ A##17 ^ A##22; \
        const std::uint64_t c3 = A##03 ^ A##08 ^ A##13 ^ A##18 ^ A##23; \
        const std::uint64_t c4 = A##04 ^ A##09 ^ A##14 ^ A##19 ^ A##24; \
        const std::uint64_t d0 = c4 ^ rotl(c1, 1); \
        const std::uint64_t d1 = c0 ^ rotl(c2, 1); \
        const std::uint64_t d2 = c1 ^ rotl(c3, 1); \
        const std::uint64_t d3 = c2 ^ rotl(c4, 1); \
        const std::uint64_t d4 = c3 ^ rotl(c0, 1); \
        { \
            const std::uint64_t b0 = (A##00 ^ d0); \
            const std::uint64_t b1 = rotl(A##06 ^ d1, 44); \
            const std::uint64_t b2 = rotl(A##12 ^ d2, 43); \
            const std::uint64_t b3 = rotl(A##18 ^ d3, 21); \
            const std::uint64_t b4 = rotl(A##24 ^ d4, 14); \
            E##00 = b0 ^ (~b1 & b2) ^ (rc); \
            E##01 = b1 ^ (~b2 & b3); \
            E##02 = b2 ^ (~b3 & b4); \
            E##03 = b3 ^ (~b4 & b0); \
            E##04 = b4 ^ (~b0 & b1); \
        } \
        { \
            const std::uint64_t b0 = rotl(A##03 ^ d3, 28); \
            const std::uint64_t b1 = rotl(A##09 ^ d4, 20); \
            const std::uint64_t b2 = rotl(A##10 ^ d0, 3); \
            const std::uint64_t b3 = rotl(A##16 ^ d1, 45); \
            const std::uint64_t b4 = rotl(A##22 ^ d2, 61); \
            E##05 = b0 ^ (~b1 & b2); \
            E##06 = b1 ^ (~b2 & b3); \
            E##07 = b2 ^ (~b3 & b4); \
            E##08 = b3 ^ (~b4 & b0); \
            E##09 = b4 ^ (~b0 & b1); \
        } \
        { \
            const std::uint64_t b0 = rotl(A##01 ^ d1, 1); \
            const std::uint64_t b1 = rotl(A##07 ^ d2, 6); \
            const std::uint64_t b2 = rotl(A##13 ^ d3, 25); \
            const std::uint64_t b3 = rotl(A##19 ^ d4, 8); \
            const std::uint64_t b4 = rotl(A##20 ^ d0, 18); \
            E##10 = b0 ^ (~b1 & b2); \
            E##11 = b1 ^ (~b2 & b3); \
            E##12 = b2 ^ (~b3 & b4); \
            E##13 = b3 ^ (~b4 & b0); \
            E##14 = b4 ^ (~b0 & b1); \
        } \
        { \
            const std::uint64_t b0 = rotl(A##04 ^ d4, 27); \
            const std::uint64_t b1 = rotl(A##05 ^ d0, 36); \
            const std::uint64_t b2 = rotl(A##11 ^ d1, 10); \
            const std::uint64_t b3 = rotl(A##17 ^ d2, 15); \
            const std::uint64_t b4 = rotl(A##23 ^ d3, 56); \
            E##15 = b0 ^ (~b1 & b2); \
            E##16 = b1 ^ (~b2 & b3); \
            E##17 = b2 ^ (~b3 & b4); \
            E##18 = b3 ^ (~b4 & b0); \
            E##19 = b4 ^ (~b0 & b1); \
        } \
        { \
            const std::uint64_t b0 = rotl(A##02 ^ d2, 62); \
            const std::uint64_t b1 = rotl(A##08 ^ d3, 55); \
            const std::uint64_t b2 = rotl(A##14 ^ d4, 39); \
            const std::uint64_t b3 = rotl(A##15 ^ d0, 41); \
            const std::uint64_t b4 = rotl(A##21 ^ d1, 2); \
            E##20 = b0 ^ (~b1 & b2); \
            E##21 = b1 ^ (~b2 & b3); \
            E##22 = b2 ^ (~b3 & b4); \
            E##23 = b3 ^ (~b4 & b0); \
            E##24 = b4 ^ (~b0 & b1); \
        } \
    } while (false)
// clang-format on

// clang-format off
#define KECCAK_ROUNDS(A, E)                                \
    for (int round = 0; round < 24; round += 2) {          \
        KECCAK_ROUND(A, E, kRoundConstants[round]);        \
        KECCAK_ROUND(E, A, kRoundConstants[round + 1]);    \
    }
// clang-format on

// Applies X(name suffix, index) to every lane.
// clang-format off
#define KECCAK_EACH_LANE(X) \
    X(00, 0) X(01, 1) X(02, 2) X(03, 3) X(04, 4) X(05, 5) X(06, 6) \
    X(07, 7) X(08, 8) X(09, 9) X(10, 10) X(11, 11) X(12, 12) X(13, 13) \
    X(14, 14) X(15, 15) X(16, 16) X(17, 17) X(18, 18) X(19, 19) X(20, 20) \
    X(21, 21) X(22, 22) X(23, 23) X(24, 24)
// clang-format on
#define KECCAK_LOAD_LANE(n, i) std::uint64_t a##n = lanes[i];
#define KECCAK_STORE_LANE(n, i) lanes[i] = a##n;
#define KECCAK_DECLARE_LANE(n, i) std::uint64_t e##n;
// clang-format off
#define KECCAK_ABSORB_LANE(n, i) \
    if constexpr (kLanes > (i))    \
        a##n ^= loadLe64(blocks + 8 * (i));
// clang-format on

#define KECCAK_BMI_TARGET __attribute__((target("bmi,bmi2")))

// Inlined into both builds below, each compiled for its own target.
template <std::size_t Rate>
[[gnu::always_inline]] inline void absorbRate(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count)
{
    constexpr std::size_t kLanes = Rate / 8;
    static_assert(kLanes >= 9 && kLanes <= 18);
    KECCAK_EACH_LANE(KECCAK_LOAD_LANE)
    KECCAK_EACH_LANE(KECCAK_DECLARE_LANE)
    for (; count != 0; --count, blocks += Rate) {
        KECCAK_EACH_LANE(KECCAK_ABSORB_LANE)
        KECCAK_ROUNDS(a, e)
    }
    KECCAK_EACH_LANE(KECCAK_STORE_LANE)
}

[[gnu::always_inline]] inline void permute(std::uint64_t lanes[25])
{
    KECCAK_EACH_LANE(KECCAK_LOAD_LANE)
    KECCAK_EACH_LANE(KECCAK_DECLARE_LANE)
    KECCAK_ROUNDS(a, e)
    KECCAK_EACH_LANE(KECCAK_STORE_LANE)
}

[[gnu::always_inline]] inline void absorb(
    std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate)
{
    switch (rate) {
    case 144:
        absorbRate<144>(lanes, blocks, count);
        return;
    case 136:
        absorbRate<136>(lanes, blocks, count);
        return;
    case 104:
        absorbRate<104>(lanes, blocks, count);
        return;
    case 72:
        absorbRate<72>(lanes, blocks, count);
        return;
    default:
        keccakAbsorbPortable(lanes, blocks, count, rate);
        return;
    }
}

} // namespace

void keccakF1600Lanes(std::uint64_t lanes[25])
{
    permute(lanes);
}

void keccakAbsorbLanes(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate)
{
    absorb(lanes, blocks, count, rate);
}

KECCAK_BMI_TARGET void keccakF1600LanesBmi(std::uint64_t lanes[25])
{
    permute(lanes);
}

KECCAK_BMI_TARGET void keccakAbsorbLanesBmi(
    std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate)
{
    absorb(lanes, blocks, count, rate);
}

} // namespace engine

#endif
