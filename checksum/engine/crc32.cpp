#include "checksum/engine/crc32.h"

#include <array>

#include "checksum/engine/block_buffer.h"
#include "checksum/engine/digest_context.h"

namespace engine {
namespace {

// Slicing-by-8 tables: table[0] is the standard byte-wise table of the
// reflected polynomial, table[k] advances a byte k further positions.
using Crc32Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Crc32Tables makeTables()
{
    Crc32Tables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
        for (int k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xff];
    }
    return t;
}

constexpr Crc32Tables kTables = makeTables();

} // namespace

std::uint32_t crc32Portable(std::uint32_t crc, const std::uint8_t* data, std::size_t size)
{
    std::uint32_t c = ~crc;
    while (size >= 8) {
        const std::uint32_t lo = loadLe32(data) ^ c;
        const std::uint32_t hi = loadLe32(data + 4);
        c = kTables[7][lo & 0xff] ^ kTables[6][(lo >> 8) & 0xff] ^ kTables[5][(lo >> 16) & 0xff] ^
            kTables[4][lo >> 24] ^ kTables[3][hi & 0xff] ^ kTables[2][(hi >> 8) & 0xff] ^
            kTables[1][(hi >> 16) & 0xff] ^ kTables[0][hi >> 24];
        data += 8;
        size -= 8;
    }
    while (size-- != 0)
        c = kTables[0][(c ^ *data++) & 0xff] ^ (c >> 8);
    return ~c;
}

Crc32Kernel chooseCrc32Kernel(const CpuFeatures& features)
{
#if defined(__x86_64__)
    if (features.avx512 && features.avx2 && features.vpclmul && features.pclmul && features.sse41)
        return crc32Vpclmul;
    if (features.pclmul && features.sse41)
        return crc32Clmul;
#else
    (void)features;
#endif
    return crc32Portable;
}

DigestContext* crc32Create(std::int32_t)
{
    DigestContext* context = allocateContext(32);
    if (context != nullptr)
        context->state.crc32 = Crc32State{0, chooseCrc32Kernel(usableCpuFeatures())};
    return context;
}

void crc32Update(DigestContext* context, const std::uint8_t* data, std::size_t size)
{
    Crc32State& s = context->state.crc32;
    if (size != 0)
        s.value = s.kernel(s.value, data, size);
}

void crc32Finish(DigestContext* context)
{
    storeBe32(context->digest, context->state.crc32.value);
}

} // namespace engine
