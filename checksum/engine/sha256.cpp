#include "checksum/engine/sha256.h"
#include "checksum/engine/round_constants.h"

namespace engine {
namespace {

constexpr const auto& kRound = kSha256RoundConstants;

constexpr std::uint32_t kInitial224[8] = {
    0xc1059ed8, 0x367cd507, 0x3070dd17, 0xf70e5939, 0xffc00b31, 0x68581511, 0x64f98fa7, 0xbefa4fa4};
constexpr std::uint32_t kInitial256[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

inline std::uint32_t rotr(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

} // namespace

void sha256BlocksPortable(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count)
{
    for (; count != 0; --count, blocks += 64) {
        std::uint32_t w[64];
        for (int t = 0; t < 16; ++t)
            w[t] = loadBe32(blocks + 4 * t);
        for (int t = 16; t < 64; ++t) {
            const std::uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const std::uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            const std::uint32_t t1 =
                h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[t] + w[t];
            const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
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

Sha256Kernel chooseSha256Kernel(const CpuFeatures& features)
{
#if defined(__x86_64__) || defined(__i386__)
    if (features.shaNi && features.sse41 && features.ssse3)
        return sha256BlocksShaNi;
#else
    (void)features;
#endif
    return sha256BlocksPortable;
}

void sha256Init(Sha256State& state, std::int32_t bitWidth)
{
    const std::uint32_t* initial = bitWidth == 224 ? kInitial224 : kInitial256;
    for (int i = 0; i < 8; ++i)
        state.h[i] = initial[i];
    state.length = 0;
    state.partial.fill = 0;
    state.kernel = chooseSha256Kernel(usableCpuFeatures());
}

void sha256Absorb(Sha256State& state, const std::uint8_t* data, std::size_t size)
{
    state.length += size;
    absorbBlocks(
        state.partial, data, size, [&state](const std::uint8_t* p, std::size_t n) { state.kernel(state.h, p, n); });
}

void sha256Final(Sha256State& state, std::int32_t bitWidth, std::uint8_t* digest)
{
    std::uint8_t length[8];
    storeBe64(length, state.length << 3);
    padBlocks(
        state.partial, length, 8, [&state](const std::uint8_t* p, std::size_t n) { state.kernel(state.h, p, n); });
    for (int i = 0; i < bitWidth / 32; ++i)
        storeBe32(digest + 4 * i, state.h[i]);
}

} // namespace engine
