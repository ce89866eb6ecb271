#pragma once
// SHA-384 and SHA-512 (the 64-bit word engine of FIPS 180-4).

#include <cstddef>
#include <cstdint>

#include "checksum/engine/block_buffer.h"
#include "checksum/engine/cpu_features.h"

namespace engine {

using Sha512Kernel = void (*)(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count);

void sha512BlocksPortable(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count);
// Only where the processor has AVX2 and BMI2 (sha512_avx2.cpp), and AVX-512 too
// (sha512_avx512.cpp).
void sha512BlocksAvx2(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count);
void sha512BlocksAvx512(std::uint64_t state[8], const std::uint8_t* blocks, std::size_t count);
Sha512Kernel chooseSha512Kernel(const CpuFeatures& features);

struct Sha512State {
    std::uint64_t h[8];
    std::uint64_t length; // bytes; the 128-bit length field's high part stays below 2^64 bytes
    PartialBlock<128> partial;
    Sha512Kernel kernel;
};

// `bitWidth` is 384 or 512.
void sha512Init(Sha512State& state, std::int32_t bitWidth);
void sha512Absorb(Sha512State& state, const std::uint8_t* data, std::size_t size);
void sha512Final(Sha512State& state, std::int32_t bitWidth, std::uint8_t* digest);

} // namespace engine
