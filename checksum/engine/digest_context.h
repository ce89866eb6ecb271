#pragma once
// The state of one running digest computation.

#include "checksum/engine/crc32.h"
#include "checksum/engine/digest.h"
#include "checksum/engine/md5.h"
#include "checksum/engine/sha1.h"
#include "checksum/engine/sha256.h"
#include "checksum/engine/sha3.h"
#include "checksum/engine/sha512.h"

namespace engine {

struct DigestContext {
    std::int32_t bitWidth = 0;
    std::uint8_t digest[kMaxDigestBytes] = {};
    union State {
        Crc32State crc32;
        Md5State md5;
        Sha1State sha1;
        Sha256State sha256;
        Sha512State sha512;
        Sha3State sha3;
    } state;
};

// A zero-filled context with the given width, or nullptr when memory runs out.
DigestContext* allocateContext(std::int32_t bitWidth);

// The release operation shared by every family.
void releaseContext(DigestContext* context);

} // namespace engine
