#pragma once
// Writers for both packings of a help document, for our own tests and manuals.

#include <cstdint>
#include <string>
#include <vector>

namespace helptool {

struct AuthoringEntry {
    std::string name; // UTF-8
    std::vector<std::uint8_t> bytes;
};

struct PackStats {
    std::int64_t unpackedBytes = 0; // sum of the entries' sizes
    std::int64_t fileBytes = 0;     // size of the written file
};

// Writes `entries` in order as a BriefLZ pack: each entry compressed into a
// block stream of `blockSize` blocks, or stored as it is when that does not make
// it smaller. False with `error` set when the file cannot be written or an entry
// or name is too large for the format.
bool writeBriefLzPack(const std::string& path, const std::vector<AuthoringEntry>& entries, std::int64_t blockSize,
    PackStats& stats, std::string& error);

// Writes `entries` in order as a deflate ZIP archive with UTF-8 names, through
// libarchive. False with `error` set on failure.
bool writeZipPack(
    const std::string& path, const std::vector<AuthoringEntry>& entries, PackStats& stats, std::string& error);

} // namespace helptool
