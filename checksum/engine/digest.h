#pragma once
// The digest engine: algorithm families behind a registry of plug-ins, each
// with the same four operations (create, update, finish, release).

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

enum DigestAlgorithm : std::int32_t {
    Md5 = 1,
    Crc32 = 2,
    Sha1 = 3,
    Sha2 = 4, // SHA-224, SHA-256, SHA-384, SHA-512
    Sha3 = 5, // SHA3-224, SHA3-256, SHA3-384, SHA3-512
};

inline constexpr std::size_t kMaxDigestBytes = 64;

struct DigestContext; // digest_context.h

struct DigestPlugin {
    DigestAlgorithm algorithm;
    // Returns a context in the standard initial state, or nullptr when the
    // family refuses the bit width (or memory runs out).
    DigestContext* (*create)(std::int32_t bitWidth);
    // Feeds `size` bytes (0 allowed); any split of the input gives the same digest.
    void (*update)(DigestContext* context, const std::uint8_t* data, std::size_t size);
    // Pads, encodes the length and stores the digest bytes in the context.
    void (*finish)(DigestContext* context);
    void (*release)(DigestContext* context);
};

// Adds an empty entry for `algorithm` and returns it to be filled; nullptr when
// the algorithm is registered already (that entry stays) or the table is full.
DigestPlugin* registerPlugin(DigestAlgorithm algorithm);

// The entry for `algorithm`, or nullptr.
const DigestPlugin* findPlugin(DigestAlgorithm algorithm);

// Registers the five standard families in the order Crc32, Md5, Sha1, Sha2,
// Sha3. Called once at start-up, before any thread that digests exists; a
// second call changes nothing.
void registerStandardPlugins();

// Lower-case hex of a finished context's digest: 2 * bitWidth / 8 characters;
// empty for nullptr.
std::string digestToHex(const DigestContext* context);

// One-shot digest of a memory buffer; the empty text when the algorithm is not
// registered or refuses the width.
std::string bufferDigestHex(const void* data, std::size_t size, DigestAlgorithm algorithm, std::int32_t bitWidth = 0);

} // namespace engine
