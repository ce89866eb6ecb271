#pragma once
// Helpers shared by the document tests: a private temporary folder, raw files,
// hand-made BriefLZ packs and field-text bytes.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pack_writer.h"
#include "platform/test_files.h"
#include "platform/text.h"
#include "viewer/document/packing.h"

namespace document {

// Fixtures are written with the help-document writer.
using helptool::AuthoringEntry;
using helptool::PackStats;
using helptool::writeBriefLzPack;
using helptool::writeZipPack;

} // namespace document

namespace document::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline Bytes utf16le(const std::u16string& text)
{
    Bytes bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

inline void putLe(Bytes& out, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One BriefLZ pack entry with explicit header values, for damaged packs.
inline Bytes rawPackEntry(
    std::int64_t unpacked, std::int64_t packed, std::int16_t nameLength, const std::string& name, const Bytes& data)
{
    Bytes out;
    putLe(out, static_cast<std::uint64_t>(unpacked), 8);
    putLe(out, static_cast<std::uint64_t>(packed), 8);
    putLe(out, static_cast<std::uint16_t>(nameLength), 2);
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A stored entry (packed size = unpacked size).
inline Bytes storedEntry(const std::string& name, const Bytes& data)
{
    return rawPackEntry(static_cast<std::int64_t>(data.size()), static_cast<std::int64_t>(data.size()),
        static_cast<std::int16_t>(name.size()), name, data);
}

inline Bytes packOf(const std::vector<Bytes>& entries)
{
    Bytes out = bytesOf("2zlp");
    for (const Bytes& entry : entries)
        out.insert(out.end(), entry.begin(), entry.end());
    return out;
}

// A block stream header for `unpacked` bytes in blocks of `blockSize`.
inline Bytes streamHeader(std::int64_t unpacked, std::int64_t blockSize)
{
    Bytes out = {0x31, 0x7A, 0x6C, 0x62, 0, 0, 0, 0};
    putLe(out, static_cast<std::uint64_t>(unpacked), 8);
    putLe(out, static_cast<std::uint64_t>(blockSize), 8);
    return out;
}

// The shared scratch folder, able to write both packings of a document.
class TempFolder {
public:
    std::string write(const std::string& name, const Bytes& bytes) const { return scratch_.write(name, bytes); }

    std::string zip(const std::string& name, const std::vector<AuthoringEntry>& entries) const
    {
        const std::string file = (path_ / name).string();
        PackStats stats;
        std::string error;
        return writeZipPack(file, entries, stats, error) ? file : std::string();
    }

    std::string brieflz(
        const std::string& name, const std::vector<AuthoringEntry>& entries, std::int64_t blockSize = 4096) const
    {
        const std::string file = (path_ / name).string();
        PackStats stats;
        std::string error;
        return writeBriefLzPack(file, entries, blockSize, stats, error) ? file : std::string();
    }

    const std::filesystem::path& path() const { return scratch_.path(); }

private:
    platform::testing::ScratchFolder scratch_;
    const std::filesystem::path& path_ = scratch_.path();
};

// Reads one entry through the open-pack slot; the count and the buffer.
inline std::int32_t readWhole(
    const std::string& path, PackingKind kind, const std::u16string& name, std::int32_t capacity, Bytes& buffer)
{
    buffer.assign(static_cast<std::size_t>(capacity), 0);
    if (!openPack(path, kind))
        return -100;
    const std::int32_t count = readEntry(name, buffer.data(), capacity);
    closePack();
    return count;
}

} // namespace document::testing
