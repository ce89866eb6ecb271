#include "checksum/engine/sha512.h"
#include "checksum/engine/round_constants.h"

namespace engine {
namespace {

constexpr const auto& kRound = kSha512RoundConstants;

constexpr std::uint64_t kInitial384[8] = {0xcbbb9d5dc1059ed8, 0x629a292a367cd507, 0x9159015a3070dd17,
    0x152fecd8f70e5939, 0x67332667ffc00b31, 0x8eb44a8768581511, 0xdb0c2e0d64f98fa7, 0x47b5481dbefa4fa4};
constexpr std::uint64_t kInitial512[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
    0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f, 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

inline std::uint64_t rotr(std::uint64_t x, int n)
{
    return (x >> n) | (x << (64 - n));
}

} // namespace

void sha512BlocksPortable(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count)
{
    for (; count != 0; --count, blocks += 128) {
        std::uint64_t w[80];
        for (int t = 0; t < 16; ++t)
            w[t] = loadBe64(blocks + 8 * t);
        for (int t = 16; t < 80; ++t) {
            const std::uint64_t s0 = rotr(w[t - 15], 1) ^ rotr(w[t - 15], 8) ^ (w[t - 15] >> 7);
            const std::uint64_t s1 = rotr(w[t - 2], 19) ^ rotr(w[t - 2], 61) ^ (w[t - 2] >> 6);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 80; ++t) {
            const std::uint64_t t1 =
                h + (rotr(e, 14) ^ rotr(e, 18) ^ rotr(e, 41)) + ((e & f) ^ (~e & g)) + kRound[t] + w[t];
            const std::uint64_t t2 = (rotr(a, 28) ^ rotr(a, 34) ^ rotr(a, 39)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

Sha512Kernel chooseSha512Kernel(const CpuFeatures& features)
{
#if defined(__x86_64__)
    if (features.avx512 && features.avx2 && features.bmi2)
        return sha512BlocksAvx512;
    if (features.avx2 && features.bmi2)
        return sha512BlocksAvx2;
#else
    (void)features;
#endif
    return sha512BlocksPortable;
}

void sha512Init(Sha512State& state, std::int32_t bitWidth)
{
    const std::uint64_t* initial = bitWidth == 384 ? kInitial384 : kInitial512;
    for (int i = 0; i < 8; ++i)
        state.h[i] = initial[i];
    state.length = 0;
    state.partial.fill = 0;
    state.kernel = chooseSha512Kernel(usableCpuFeatures());
}

void sha512Absorb(Sha512State& state, const std::uint8_t* data, std::size_t size)
{
    state.length += size;
    absorbBlocks(
        state.partial, data, size, [&state](const std::uint8_t* p, std::size_t n) { state.kernel(state.h, p, n); });
}

void sha512Final(Sha512State& state, std::int32_t bitWidth, std::uint8_t* digest)
{
    // 128-bit big-endian bit count: the byte count's top three bits move to the high half.
    std::uint8_t length[16];
    storeBe64(length, state.length >> 61);
    storeBe64(length + 8, state.length << 3);
    padBlocks(
        state.partial, length, 16, [&state](const std::uint8_t* p, std::size_t n) { state.kernel(state.h, p, n); });
    for (int i = 0; i < bitWidth / 64; ++i)
        storeBe64(digest + 8 * i, state.h[i]);
}

} // namespace engine
