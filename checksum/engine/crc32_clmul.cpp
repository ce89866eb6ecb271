// CRC-32 by carry-less multiplication: the input is folded 128 bits (or four
// 512-bit registers) at a time onto the next stretch of input, so the CRC of
// the whole equals that of one 128-bit remainder, which a Barrett reduction
// brings to 32 bits.
//
// Bit order. Bytes go in least significant bit first, so a 16-byte chunk
// loaded little-endian holds the coefficient of x^(127-k) in bit k ("reflected"
// order), and a 64-bit constant holds x^(63-k) in bit k. Multiplying two such
// 64-bit values gives a 128-bit result in reflected order that equals the
// product times x; every constant below is divided by that x in advance.

#include "checksum/engine/crc32.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace engine {
namespace {

// Polynomials over GF(2) in normal order: bit j is the coefficient of x^j.
constexpr std::uint64_t kPolynomial = 0x104C11DB7; // IEEE 802.3, degree 32

// x^n mod P, degree below 32.
constexpr std::uint64_t xPowerModP(unsigned n)
{
    std::uint64_t r = 1;
    for (unsigned i = 0; i < n; ++i) {
        r <<= 1;
        if (r & (std::uint64_t{1} << 32))
            r ^= kPolynomial;
    }
    return r;
}

// floor(x^64 / P), degree 32: the Barrett constant.
constexpr std::uint64_t x64DivP()
{
    std::uint64_t quotient = 0;
    std::uint64_t remainder = std::uint64_t{1} << 32; // x^32, then shifted up once per quotient bit
    for (int bit = 32; bit >= 0; --bit) {
        if (remainder & (std::uint64_t{1} << 32)) {
            quotient |= std::uint64_t{1} << bit;
            remainder ^= kPolynomial;
        }
        remainder <<= 1;
    }
    return quotient;
}

// A polynomial of degree below 64 as a reflected 64-bit operand.
constexpr std::uint64_t reflect64(std::uint64_t poly)
{
    std::uint64_t r = 0;
    for (int i = 0; i < 64; ++i)
        r |= ((poly >> i) & 1) << (63 - i);
    return r;
}

// Folding a 128-bit chunk forward by `bits`: its first (higher) 64 bits times
// x^(bits+64), its second 64 bits times x^bits, both mod P and divided by x.
struct FoldConstants {
    std::uint64_t first;
    std::uint64_t second;
};

constexpr FoldConstants foldBy(unsigned bits)
{
    return {reflect64(xPowerModP(bits + 63)), reflect64(xPowerModP(bits - 1))};
}

// The final reduction of a 128-bit remainder X to X * x^32 mod P: fold its
// first 64 bits by x^96, the next 32 by x^64, then Barrett with floor(x^64/P).
// Each constant is shifted by x^31 so that products land on 64-bit boundaries.
constexpr std::uint64_t kReduce96 = reflect64(xPowerModP(96) << 31);
constexpr std::uint64_t kReduce64 = reflect64(xPowerModP(64) << 31);
constexpr std::uint64_t kBarrettMu = reflect64(x64DivP() << 31);
constexpr std::uint64_t kBarrettP = reflect64(kPolynomial << 31);

static_assert(x64DivP() == 0x104D101DF, "Barrett constant of the IEEE polynomial");
static_assert(xPowerModP(32) == (kPolynomial & 0xFFFFFFFF));

constexpr FoldConstants kFold128 = foldBy(128);
constexpr FoldConstants kFold256 = foldBy(256);
constexpr FoldConstants kFold384 = foldBy(384);
constexpr FoldConstants kFold512 = foldBy(512);
constexpr FoldConstants kFold2048 = foldBy(2048);

#define CLMUL_TARGET __attribute__((target("sse4.1,pclmul")))
#define VPCLMUL_TARGET __attribute__((target("sse4.1,pclmul,avx2,avx512f,avx512vl,avx512bw,avx512dq,vpclmulqdq")))

CLMUL_TARGET inline __m128i constants128(FoldConstants k)
{
    return _mm_set_epi64x(static_cast<long long>(k.second), static_cast<long long>(k.first));
}

// x moved forward by the distance in k, added to next.
CLMUL_TARGET inline __m128i fold128(__m128i x, __m128i k, __m128i next)
{
    const __m128i first = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i second = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(first, second), next);
}

CLMUL_TARGET inline __m128i load128(const std::uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// X * x^32 mod P as the reflected 32-bit CRC register.
CLMUL_TARGET std::uint32_t reduce128(__m128i x)
{
    const __m128i k = _mm_set_epi64x(static_cast<long long>(kReduce64), static_cast<long long>(kReduce96));
    const __m128i barrett = _mm_set_epi64x(static_cast<long long>(kBarrettP), static_cast<long long>(kBarrettMu));
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    // First 64 bits times x^96, plus the rest times x^32: 96 bits.
    __m128i y = _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_srli_si128(x, 8));
    // First 32 bits times x^64, plus the rest: 64 bits.
    __m128i z = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(y, low32), k, 0x10), _mm_srli_si128(y, 4));
    // Barrett: quotient q from the first 32 bits, then z + q * P leaves the remainder.
    const __m128i q = _mm_clmulepi64_si128(_mm_and_si128(z, low32), barrett, 0x00);
    z = _mm_xor_si128(z, _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x10));
    return static_cast<std::uint32_t>(_mm_extract_epi32(z, 1));
}

// Folds 16-byte chunks from `data` into x until fewer than 16 bytes remain,
// then reduces and runs the tail through the table. Returns the finished CRC.
CLMUL_TARGET std::uint32_t finish128(__m128i x, const std::uint8_t* data, std::size_t size)
{
    const __m128i k128 = constants128(kFold128);
    for (; size >= 16; data += 16, size -= 16)
        x = fold128(x, k128, load128(data));
    return crc32Portable(~reduce128(x), data, size);
}

} // namespace

CLMUL_TARGET std::uint32_t crc32Clmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size)
{
    if (size < 16)
        return crc32Portable(crc, data, size);
    const __m128i start = _mm_cvtsi32_si128(static_cast<int>(~crc));
    if (size < 64)
        return finish128(_mm_xor_si128(load128(data), start), data + 16, size - 16);

    // Four chunks in flight, each folded 512 bits forward per step.
    __m128i x0 = _mm_xor_si128(load128(data), start);
    __m128i x1 = load128(data + 16);
    __m128i x2 = load128(data + 32);
    __m128i x3 = load128(data + 48);
    data += 64;
    size -= 64;
    const __m128i k512 = constants128(kFold512);
    for (; size >= 64; data += 64, size -= 64) {
        x0 = fold128(x0, k512, load128(data));
        x1 = fold128(x1, k512, load128(data + 16));
        x2 = fold128(x2, k512, load128(data + 32));
        x3 = fold128(x3, k512, load128(data + 48));
    }
    __m128i x = fold128(x0, constants128(kFold384), x3);
    x = _mm_xor_si128(x, fold128(x1, constants128(kFold256), _mm_setzero_si128()));
    x = _mm_xor_si128(x, fold128(x2, constants128(kFold128), _mm_setzero_si128()));
    return finish128(x, data, size);
}

namespace {

VPCLMUL_TARGET inline __m512i fold512(__m512i x, __m512i k, __m512i next)
{
    const __m512i first = _mm512_clmulepi64_epi128(x, k, 0x00);
    const __m512i second = _mm512_clmulepi64_epi128(x, k, 0x11);
    return _mm512_ternarylogic_epi64(first, second, next, 0x96); // three-way XOR
}

VPCLMUL_TARGET inline __m512i load512(const std::uint8_t* p)
{
    return _mm512_loadu_si512(p);
}

VPCLMUL_TARGET inline __m512i constants512(FoldConstants k)
{
    const auto first = static_cast<long long>(k.first);
    const auto second = static_cast<long long>(k.second);
    return _mm512_set_epi64(second, first, second, first, second, first, second, first);
}

} // namespace

VPCLMUL_TARGET std::uint32_t crc32Vpclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size)
{
    if (size < 256)
        return crc32Clmul(crc, data, size);

    // Four 512-bit registers in flight, each folded 2048 bits forward per step.
    __m512i x0 = _mm512_xor_si512(load512(data), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(~crc))));
    __m512i x1 = load512(data + 64);
    __m512i x2 = load512(data + 128);
    __m512i x3 = load512(data + 192);
    data += 256;
    size -= 256;
    const __m512i k2048 = constants512(kFold2048);
    for (; size >= 256; data += 256, size -= 256) {
        x0 = fold512(x0, k2048, load512(data));
        x1 = fold512(x1, k2048, load512(data + 64));
        x2 = fold512(x2, k2048, load512(data + 128));
        x3 = fold512(x3, k2048, load512(data + 192));
    }
    const __m512i k512 = constants512(kFold512);
    __m512i x = fold512(fold512(fold512(x0, k512, x1), k512, x2), k512, x3);
    for (; size >= 64; data += 64, size -= 64)
        x = fold512(x, k512, load512(data));

    // The four 128-bit lanes onto the last one: distances 384, 256, 128 and 0.
    const __m512i lanes =
        _mm512_set_epi64(0, 0, static_cast<long long>(kFold128.second), static_cast<long long>(kFold128.first),
            static_cast<long long>(kFold256.second), static_cast<long long>(kFold256.first),
            static_cast<long long>(kFold384.second), static_cast<long long>(kFold384.first));
    const __m512i moved = _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, lanes, 0x00),
        _mm512_clmulepi64_epi128(x, lanes, 0x11), _mm512_maskz_mov_epi64(0xC0, x), 0x96);
    // Zero-masked extracts: the unmasked forms trip GCC 12's maybe-uninitialized warning.
    const __m128i folded = _mm_ternarylogic_epi64(
        _mm_xor_si128(_mm512_maskz_extracti32x4_epi32(0xF, moved, 0), _mm512_maskz_extracti32x4_epi32(0xF, moved, 1)),
        _mm512_maskz_extracti32x4_epi32(0xF, moved, 2), _mm512_maskz_extracti32x4_epi32(0xF, moved, 3), 0x96);
    return finish128(folded, data, size);
}

} // namespace engine

#endif
