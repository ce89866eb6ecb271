#pragma once
// SHA3-224/256/384/512 as in FIPS 202: Keccak-f[1600], rate (1600 - 2 * width) / 8
// bytes, domain padding 0x06 ... 0x80.

#include <cstddef>
#include <cstdint>

#include "checksum/engine/cpu_features.h"

namespace engine {

struct DigestContext;

// A Keccak implementation: the permutation alone, and absorption of `count`
// blocks of `rate` bytes (each XORed into the lanes, then permuted).
struct KeccakKernel {
    void (*permute)(std::uint64_t lanes[25]);
    void (*absorb)(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate);
};

void keccakF1600Portable(std::uint64_t lanes[25]);
void keccakAbsorbPortable(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate);
#if defined(__x86_64__)
// The permutation unrolled over lanes held in registers: built for any x86-64,
// and built for BMI1 and BMI2 (the "Bmi" pair).
void keccakF1600Lanes(std::uint64_t lanes[25]);
void keccakAbsorbLanes(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate);
void keccakF1600LanesBmi(std::uint64_t lanes[25]);
void keccakAbsorbLanesBmi(std::uint64_t lanes[25], const std::uint8_t* blocks, std::size_t count, std::size_t rate);
#endif
KeccakKernel chooseKeccakKernel(const CpuFeatures& features);

struct Sha3State {
    std::uint64_t lanes[25];
    std::size_t rate; // bytes
    std::size_t fill; // bytes of the current block already XORed into the lanes
    KeccakKernel kernel;
};

// SHA-2 and SHA-3 accept 224, 256, 384 and 512; 0 means 256. Anything else: 0.
std::int32_t normalizedShaWidth(std::int32_t bitWidth);

DigestContext* sha3Create(std::int32_t bitWidth);
void sha3Update(DigestContext* context, const std::uint8_t* data, std::size_t size);
void sha3Finish(DigestContext* context);

} // namespace engine
