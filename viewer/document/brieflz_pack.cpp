// Reader for the BriefLZ pack, the system's own container:
//
//     "2zlp"                                  magic, 4 bytes
//     unpacked:i64 packed:i64 nameLength:i16  entry header, 18 bytes, little-endian
//     name (nameLength bytes, UTF-8)
//     data (packed bytes): the entry as it is when packed == unpacked,
//                          otherwise a BriefLZ block stream
//     … next entry header, up to the end of the file
//
// The entry table is built on the first read. A header whose name runs past the
// end of the file ends the table there; an entry whose sizes are negative, not
// below 2 GiB, or whose data run past the end of the file, stays in the table
// as damaged (reading it fails) and ends it, since nothing after it can be
// located. Every size taken from the file is checked against the file's length
// before anything is allocated for it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/files.h"
#include "viewer/document/brieflz_decoder.h"
#include "viewer/document/packing.h"

namespace document {
namespace {

constexpr std::uint8_t kPackMagic[4] = {0x32, 0x7A, 0x6C, 0x70};
constexpr std::int64_t kEntryHeaderSize = 18;
constexpr std::size_t kTableStep = 64;

struct PackEntry {
    std::string name;
    std::int64_t unpackedSize;
    std::int64_t packedSize;
    std::int64_t dataOffset;
    bool damaged;
};

struct BriefLzPackState {
    int fd = -1;
    std::uint8_t magic[4] = {};
    bool tableBuilt = false;
    bool tableDamaged = false;
    std::vector<PackEntry> entries;
};

// Reads up to `size` bytes at `offset`; the number read (short at the end of
// the file), or -1 on an error.
std::int64_t readAt(int fd, void* buffer, std::size_t size, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, static_cast<char*>(buffer) + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t int64At(const std::uint8_t* p)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | p[i];
    return static_cast<std::int64_t>(value);
}

void buildTable(BriefLzPackState& pack)
{
    pack.tableBuilt = true;
    struct stat info {};
    if (::fstat(pack.fd, &info) != 0) {
        pack.tableDamaged = true;
        return;
    }
    const std::int64_t fileSize = info.st_size;
    std::int64_t offset = 4;
    for (;;) {
        std::uint8_t header[kEntryHeaderSize];
        if (readAt(pack.fd, header, sizeof header, offset) < kEntryHeaderSize)
            return;
        const std::int64_t unpacked = int64At(header);
        const std::int64_t packed = int64At(header + 8);
        const auto nameLength = static_cast<std::int16_t>(header[16] | (header[17] << 8));
        const std::int64_t dataOffset = offset + kEntryHeaderSize + nameLength;
        if (nameLength < 0 || dataOffset > fileSize) {
            pack.tableDamaged = true;
            return;
        }
        std::string name(static_cast<std::size_t>(nameLength), '\0');
        if (readAt(pack.fd, name.data(), name.size(), offset + kEntryHeaderSize) != nameLength) {
            pack.tableDamaged = true;
            return;
        }
        const bool sizesValid = unpacked >= 0 && unpacked <= brieflz::kMaxEntrySize && packed >= 0 &&
            packed <= brieflz::kMaxEntrySize && packed <= fileSize - dataOffset;
        if (pack.entries.size() == pack.entries.capacity())
            pack.entries.reserve(pack.entries.size() + kTableStep);
        pack.entries.push_back(PackEntry{std::move(name), unpacked, packed, dataOffset, !sizesValid});
        if (!sizesValid) {
            pack.tableDamaged = true;
            return;
        }
        offset = dataOffset + packed;
    }
}

void* openBriefLzPack(const std::string& path)
{
    const int fd = platform::openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return nullptr;
    auto* pack = new (std::nothrow) BriefLzPackState;
    if (pack == nullptr || readAt(fd, pack->magic, 4, 0) != 4 || std::memcmp(pack->magic, kPackMagic, 4) != 0) {
        delete pack;
        ::close(fd);
        return nullptr;
    }
    pack->fd = fd;
    return pack;
}

// The first entry named `name` in file order, or nullptr.
const PackEntry* findEntry(BriefLzPackState& pack, const std::string& name)
{
    if (!pack.tableBuilt)
        buildTable(pack);
    for (const PackEntry& candidate : pack.entries) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

std::int32_t readBriefLzEntry(void* state, const std::string& name, std::uint8_t* buffer, std::int32_t capacity)
{
    auto& pack = *static_cast<BriefLzPackState*>(state);
    const PackEntry* entry = findEntry(pack, name);
    if (entry == nullptr || entry->damaged || capacity < entry->unpackedSize)
        return -1;
    const auto unpacked = static_cast<std::size_t>(entry->unpackedSize);
    if (entry->packedSize == entry->unpackedSize) {
        if (readAt(pack.fd, buffer, unpacked, entry->dataOffset) != entry->unpackedSize)
            return -1;
        return static_cast<std::int32_t>(unpacked);
    }
    // The packed size is bounded by the file's length (checked in buildTable).
    const auto packed = static_cast<std::size_t>(entry->packedSize);
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[packed]);
    if (data == nullptr || readAt(pack.fd, data.get(), packed, entry->dataOffset) != entry->packedSize)
        return -1;
    brieflz::BlockStreamHeader header{};
    if (!brieflz::readBlockStreamHeader(data.get(), packed, header) || header.unpackedSize != entry->unpackedSize)
        return -1;
    if (brieflz::decodeBlockStream(data.get(), packed, buffer, static_cast<std::size_t>(capacity)) !=
        entry->unpackedSize)
        return -1;
    return static_cast<std::int32_t>(unpacked);
}

std::int32_t readWholeBriefLzEntry(
    void* state, const std::string& name, std::int32_t limit, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    const PackEntry* entry = findEntry(*static_cast<BriefLzPackState*>(state), name);
    if (entry == nullptr || entry->damaged)
        return -1;
    if (entry->unpackedSize > limit)
        return kEntryTooLarge;
    // One byte at least, so that an empty entry still has a buffer to decode into.
    bytes.resize(static_cast<std::size_t>(entry->unpackedSize > 0 ? entry->unpackedSize : 1));
    const std::int32_t count =
        readBriefLzEntry(state, name, bytes.data(), static_cast<std::int32_t>(entry->unpackedSize));
    bytes.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    return count;
}

bool listBriefLzEntries(void* state, std::vector<PackEntryInfo>& entries)
{
    auto& pack = *static_cast<BriefLzPackState*>(state);
    if (!pack.tableBuilt)
        buildTable(pack);
    for (const PackEntry& entry : pack.entries)
        entries.push_back(PackEntryInfo{entry.name, entry.unpackedSize, entry.packedSize});
    return !pack.tableDamaged;
}

void closeBriefLzPack(void* state)
{
    auto* pack = static_cast<BriefLzPackState*>(state);
    ::close(pack->fd);
    delete pack;
}

} // namespace

PackerPlugin briefLzPacker()
{
    return PackerPlugin{PackingKind::BriefLzPack, openBriefLzPack, readBriefLzEntry, readWholeBriefLzEntry,
        listBriefLzEntries, closeBriefLzPack};
}

} // namespace document
