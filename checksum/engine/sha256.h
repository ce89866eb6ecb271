#pragma once
// SHA-224 and SHA-256 (the 32-bit word engine of FIPS 180-4).

#include <cstddef>
#include <cstdint>

#include "checksum/engine/block_buffer.h"
#include "checksum/engine/cpu_features.h"

namespace engine {

using Sha256Kernel = void (*)(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count);

void sha256BlocksPortable(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count);
// SHA extensions; only where the processor has them (sha256_shani.cpp).
void sha256BlocksShaNi(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count);
Sha256Kernel chooseSha256Kernel(const CpuFeatures& features);

struct Sha256State {
    std::uint32_t h[8];
    std::uint64_t length;
    PartialBlock<64> partial;
    Sha256Kernel kernel;
};

// `bitWidth` is 224 or 256.
void sha256Init(Sha256State& state, std::int32_t bitWidth);
void sha256Absorb(Sha256State& state, const std::uint8_t* data, std::size_t size);
// Writes bitWidth / 8 digest bytes.
void sha256Final(Sha256State& state, std::int32_t bitWidth, std::uint8_t* digest);

} // namespace engine
