#pragma once
// MD5 as in RFC 1321.

#include <cstddef>
#include <cstdint>

#include "checksum/engine/block_buffer.h"
#include "checksum/engine/cpu_features.h"

namespace engine {

struct DigestContext;

// Runs `count` whole 64-byte blocks through the compression function.
using Md5Kernel = void (*)(std::uint32_t state[4], const std::uint8_t* blocks, std::size_t count);

void md5BlocksPortable(std::uint32_t state[4], const std::uint8_t* blocks, std::size_t count);
Md5Kernel chooseMd5Kernel(const CpuFeatures& features);

struct Md5State {
    std::uint32_t h[4];
    std::uint64_t length;
    PartialBlock<64> partial;
    Md5Kernel kernel;
};

DigestContext* md5Create(std::int32_t bitWidth);
void md5Update(DigestContext* context, const std::uint8_t* data, std::size_t size);
void md5Finish(DigestContext* context);

} // namespace engine
