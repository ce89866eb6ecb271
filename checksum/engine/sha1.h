#pragma once
// SHA-1 as in FIPS 180-4.

#include <cstddef>
#include <cstdint>

#include "checksum/engine/block_buffer.h"
#include "checksum/engine/cpu_features.h"

namespace engine {

struct DigestContext;

using Sha1Kernel = void (*)(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);

void sha1BlocksPortable(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);
// SHA extensions; only where the processor has them (sha1_shani.cpp).
void sha1BlocksShaNi(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);
Sha1Kernel chooseSha1Kernel(const CpuFeatures& features);

struct Sha1State {
    std::uint32_t h[5];
    std::uint64_t length;
    PartialBlock<64> partial;
    Sha1Kernel kernel;
};

DigestContext* sha1Create(std::int32_t bitWidth);
void sha1Update(DigestContext* context, const std::uint8_t* data, std::size_t size);
void sha1Finish(DigestContext* context);

} // namespace engine
