#include "checksum/engine/sha1.h"

#include "checksum/engine/digest_context.h"

namespace engine {
namespace {

inline std::uint32_t rotl(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

} // namespace

void sha1BlocksPortable(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count)
{
    for (; count != 0; --count, blocks += 64) {
        std::uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = loadBe32(blocks + 4 * i);
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        for (int t = 0; t < 80; ++t) {
            std::uint32_t wt;
            if (t < 16) {
                wt = w[t];
            } else {
                wt = rotl(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
                w[t & 15] = wt;
            }
            std::uint32_t f, k;
            if (t < 20) {
                f = d ^ (b & (c ^ d)); // Ch
                k = 0x5a827999;
            } else if (t < 40) {
                f = b ^ c ^ d; // Parity
                k = 0x6ed9eba1;
            } else if (t < 60) {
                f = (b & c) | (d & (b | c)); // Maj
                k = 0x8f1bbcdc;
            } else {
                f = b ^ c ^ d;
                k = 0xca62c1d6;
            }
            const std::uint32_t temp = rotl(a, 5) + f + e + k + wt;
            e = d;
            d = c;
            c = rotl(b, 30);
            b = a;
            a = temp;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

Sha1Kernel chooseSha1Kernel(const CpuFeatures& features)
{
#if defined(__x86_64__) || defined(__i386__)
    if (features.shaNi && features.sse41 && features.ssse3)
        return sha1BlocksShaNi;
#else
    (void)features;
#endif
    return sha1BlocksPortable;
}

DigestContext* sha1Create(std::int32_t)
{
    DigestContext* context = allocateContext(160);
    if (context == nullptr)
        return nullptr;
    Sha1State& s = context->state.sha1;
    s.h[0] = 0x67452301;
    s.h[1] = 0xefcdab89;
    s.h[2] = 0x98badcfe;
    s.h[3] = 0x10325476;
    s.h[4] = 0xc3d2e1f0;
    s.kernel = chooseSha1Kernel(usableCpuFeatures());
    return context;
}

void sha1Update(DigestContext* context, const std::uint8_t* data, std::size_t size)
{
    Sha1State& s = context->state.sha1;
    s.length += size;
    absorbBlocks(s.partial, data, size, [&s](const std::uint8_t* p, std::size_t n) { s.kernel(s.h, p, n); });
}

void sha1Finish(DigestContext* context)
{
    Sha1State& s = context->state.sha1;
    std::uint8_t length[8];
    storeBe64(length, s.length << 3);
    padBlocks(s.partial, length, 8, [&s](const std::uint8_t* p, std::size_t n) { s.kernel(s.h, p, n); });
    for (int i = 0; i < 5; ++i)
        storeBe32(context->digest + 4 * i, s.h[i]);
}

} // namespace engine
