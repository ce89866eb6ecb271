#include "checksum/engine/sha3.h"
#include "checksum/engine/round_constants.h"

#include "checksum/engine/block_buffer.h"
#include "checksum/engine/digest_context.h"

namespace engine {
namespace {

constexpr const auto& kRoundConstants = kKeccakRoundConstants;

// Rho offsets and Pi destinations along the lane walk that starts at lane 1.
constexpr int kRho[24] = {1, 3, 6, 10, 15, 21, 28, 36, 45, 55, 2, 14, 27, 41, 56, 8, 25, 43, 62, 18, 39, 61, 20, 44};
constexpr int kPi[24] = {10, 7, 11, 17, 18, 3, 5, 16, 8, 21, 24, 4, 15, 23, 19, 13, 12, 2, 20, 14, 22, 9, 6, 1};

inline std::uint64_t rotl(std::uint64_t x, int n)
{
    return (x << n) | (x >> (64 - n));
}

void xorByte(std::uint64_t lanes[25], std::size_t position, std::uint8_t value)
{
    lanes[position / 8] ^= std::uint64_t{value} << (8 * (position % 8));
}

} // namespace

void keccakF1600Portable(std::uint64_t a[25])
{
    for (int round = 0; round < 24; ++round) {
        // Theta
        std::uint64_t c[5];
        for (int x = 0; x < 5; ++x)
            c[x] = a[x] ^ a[x + 5] ^ a[x + 10] ^ a[x + 15] ^ a[x + 20];
        for (int x = 0; x < 5; ++x) {
            const std::uint64_t d = c[(x + 4) % 5] ^ rotl(c[(x + 1) % 5], 1);
            for (int y = 0; y < 25; y += 5)
                a[y + x] ^= d;
        }
        // Rho Pi
        std::uint64_t carried = a[1];
        for (int i = 0; i < 24; ++i) {
            const int j = kPi[i];
            const std::uint64_t next = a[j];
            a[j] = rotl(carried, kRho[i]);
            carried = next;
        }
        // Chi
        for (int y = 0; y < 25; y += 5) {
            std::uint64_t row[5];
            for (int x = 0; x < 5; ++x)
                row[x] = a[y + x];
            for (int x = 0; x < 5; ++x)
                a[y + x] = row[x] ^ (~row[(x + 1) % 5] & row[(x + 2) % 5]);
        }
        // Iota
        a[0] ^= kRoundConstants[round];
    }
}

void keccakAbsorbPortable(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate)
{
    for (; count != 0; --count, blocks += rate) {
        for (std::size_t i = 0; i < rate / 8; ++i)
            lanes[i] ^= loadLe64(blocks + 8 * i);
        keccakF1600Portable(lanes);
    }
}

KeccakKernel chooseKeccakKernel(const CpuFeatures& features)
{
#if defined(__x86_64__)
    if (features.bmi1 && features.bmi2)
        return KeccakKernel{keccakF1600LanesBmi, keccakAbsorbLanesBmi};
    // The unrolled build needs no extension; it starts at the first
    // accelerated level so that the portable level stays the plain reference.
    if (features.sse41)
        return KeccakKernel{keccakF1600Lanes, keccakAbsorbLanes};
#else
    (void)features;
#endif
    return KeccakKernel{keccakF1600Portable, keccakAbsorbPortable};
}

std::int32_t normalizedShaWidth(std::int32_t bitWidth)
{
    switch (bitWidth) {
    case 0:
        return 256;
    case 224:
    case 256:
    case 384:
    case 512:
        return bitWidth;
    default:
        return 0;
    }
}

DigestContext* sha3Create(std::int32_t bitWidth)
{
    const std::int32_t width = normalizedShaWidth(bitWidth);
    if (width == 0)
        return nullptr;
    DigestContext* context = allocateContext(width);
    if (context == nullptr)
        return nullptr;
    Sha3State& s = context->state.sha3;
    s.rate = static_cast<std::size_t>(1600 - 2 * width) / 8;
    s.kernel = chooseKeccakKernel(usableCpuFeatures());
    return context;
}

void sha3Update(DigestContext* context, const std::uint8_t* data, std::size_t size)
{
    Sha3State& s = context->state.sha3;
    if (s.fill != 0) {
        while (size != 0 && s.fill < s.rate) {
            xorByte(s.lanes, s.fill++, *data++);
            --size;
        }
        if (s.fill < s.rate)
            return;
        s.kernel.permute(s.lanes);
        s.fill = 0;
    }
    if (size >= s.rate) {
        const std::size_t whole = size / s.rate;
        s.kernel.absorb(s.lanes, data, whole, s.rate);
        data += whole * s.rate;
        size -= whole * s.rate;
    }
    while (size != 0) {
        xorByte(s.lanes, s.fill++, *data++);
        --size;
    }
}

void sha3Finish(DigestContext* context)
{
    Sha3State& s = context->state.sha3;
    xorByte(s.lanes, s.fill, 0x06);
    xorByte(s.lanes, s.rate - 1, 0x80);
    s.kernel.permute(s.lanes);
    s.fill = 0;
    const std::size_t bytes = static_cast<std::size_t>(context->bitWidth) / 8;
    for (std::size_t i = 0; i < bytes; ++i)
        context->digest[i] = static_cast<std::uint8_t>(s.lanes[i / 8] >> (8 * (i % 8)));
}

} // namespace engine
