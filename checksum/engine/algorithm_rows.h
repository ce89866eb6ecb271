#pragma once
// The eleven algorithm rows, in the fixed order in which a run processes them.

#include <array>
#include <cstdint>
#include <string_view>

#include "checksum/engine/digest.h"

namespace engine {

struct AlgorithmRow {
    std::string_view checkLabel;  // caption of the row's check box
    std::string_view resultLabel; // prefix of the row's line in saved and copied results
    std::string_view shortName;   // lower-case name on command lines
    DigestAlgorithm algorithm;
    std::int32_t bitWidth; // 0 where the family has one width
    int hexLength;
};

inline constexpr int kAlgorithmRowCount = 11;

inline constexpr std::array<AlgorithmRow, kAlgorithmRowCount> kAlgorithmRows = {{
    {"CRC32", "CRC32: ", "crc32", Crc32, 0, 8},
    {"MD5", "MD5: ", "md5", Md5, 0, 32},
    {"SHA1", "SHA1: ", "sha1", Sha1, 0, 40},
    {"SHA2 - 224", "SHA2-224: ", "sha224", Sha2, 224, 56},
    {"SHA2 - 256", "SHA2-256: ", "sha256", Sha2, 256, 64},
    {"SHA2 - 384", "SHA2-384: ", "sha384", Sha2, 384, 96},
    {"SHA2 - 512", "SHA2-512: ", "sha512", Sha2, 512, 128},
    {"SHA3 - 224", "SHA3-224: ", "sha3-224", Sha3, 224, 56},
    {"SHA3 - 256", "SHA3-256: ", "sha3-256", Sha3, 256, 64},
    {"SHA3 - 384", "SHA3-384: ", "sha3-384", Sha3, 384, 96},
    {"SHA3 - 512", "SHA3-512: ", "sha3-512", Sha3, 512, 128},
}};

} // namespace engine
