#pragma once
// CRC-32 of IEEE 802.3: reflected polynomial 0xEDB88320, register preset to
// all ones, final inversion.

#include <cstddef>
#include <cstdint>

#include "checksum/engine/cpu_features.h"

namespace engine {

struct DigestContext;

// Continues a CRC over `size` bytes. `crc` is a finished CRC value (0 to start)
// and so is the result, so runs can be chained.
using Crc32Kernel = std::uint32_t (*)(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

std::uint32_t crc32Portable(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
#if defined(__x86_64__)
// Folding with PCLMULQDQ on 128-bit registers; needs SSE4.1 and PCLMULQDQ.
std::uint32_t crc32Clmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
// Folding with VPCLMULQDQ on 512-bit registers; needs AVX-512 F/VL/BW/DQ,
// VPCLMULQDQ and PCLMULQDQ.
std::uint32_t crc32Vpclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
#endif

// The fastest kernel the given features allow.
Crc32Kernel chooseCrc32Kernel(const CpuFeatures& features);

struct Crc32State {
    std::uint32_t value;
    Crc32Kernel kernel;
};

DigestContext* crc32Create(std::int32_t bitWidth);
void crc32Update(DigestContext* context, const std::uint8_t* data, std::size_t size);
void crc32Finish(DigestContext* context);

} // namespace engine
