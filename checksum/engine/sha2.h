#pragma once
// The Sha2 family plug-in: 224 and 256 bits on the 32-bit engine, 384 and 512
// on the 64-bit engine.

#include <cstddef>
#include <cstdint>

namespace engine {

struct DigestContext;

DigestContext* sha2Create(std::int32_t bitWidth);
void sha2Update(DigestContext* context, const std::uint8_t* data, std::size_t size);
void sha2Finish(DigestContext* context);

} // namespace engine
