// Reader for ZIP-packed help documents, through libarchive. Entries are walked
// in archive order; the first entry whose UTF-8 path equals the requested name,
// byte for byte, is read. Walking goes on from where the last read stopped when
// the name was not among the entries passed so far (its first entry can only lie
// ahead), so reading pages in archive order under one open is one pass; a name
// already passed reopens the archive (libarchive has no rewind) and walks to it.

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <new>
#include <string>
#include <unordered_map>

#include "viewer/document/packing.h"
#include "viewer/document/utf8_locale.h"

namespace document {
namespace {

constexpr std::size_t kZipBlockSize = 10240;

struct ZipPackState {
    std::string path;
    archive* reader = nullptr;
    // Entries whose headers the reader has passed: their count, and the first
    // ordinal of each name among them. Valid while `walkable`.
    int passed = 0;
    std::unordered_map<std::string, int> firstOrdinal;
    bool walkable = false; // false after a failed walk: reopen before the next
};

archive* openReader(const std::string& path)
{
    archive* reader = archive_read_new();
    if (reader == nullptr)
        return nullptr;
    if (archive_read_support_format_zip(reader) != ARCHIVE_OK ||
        archive_read_open_filename(reader, path.c_str(), kZipBlockSize) != ARCHIVE_OK) {
        archive_read_free(reader);
        return nullptr;
    }
    return reader;
}

// The entry's path in UTF-8; where libarchive cannot convert it, the stored
// (local code page) form, which on this platform is compared as UTF-8 too.
const char* entryName(archive_entry* entry)
{
    const char* name = archive_entry_pathname_utf8(entry);
    return name != nullptr ? name : archive_entry_pathname(entry);
}

// Rewinds `zip` to the start of its archive; false when it cannot be reopened.
bool rewind(ZipPackState& zip)
{
    if (zip.reader != nullptr)
        archive_read_free(zip.reader);
    zip.reader = openReader(zip.path);
    zip.passed = 0;
    zip.firstOrdinal.clear();
    zip.walkable = zip.reader != nullptr;
    return zip.walkable;
}

void* openZipPack(const std::string& path)
{
    const ScopedUtf8Locale utf8;
    archive* reader = openReader(path);
    if (reader == nullptr)
        return nullptr;
    auto* zip = new (std::nothrow) ZipPackState{path, reader, 0, {}, true};
    if (zip == nullptr)
        archive_read_free(reader);
    return zip;
}

std::int32_t clampStatus(la_ssize_t status)
{
    return static_cast<std::int32_t>(status < ARCHIVE_FATAL ? ARCHIVE_FATAL : status);
}

// Walks `zip` to the header of the first entry named `name`: 0 there (its data
// next to read), -1 when there is no such entry, libarchive's negative status
// on damage.
int walkToEntry(ZipPackState& zip, const std::string& name, archive_entry*& entry)
{
    if (!zip.walkable || zip.firstOrdinal.count(name) != 0) {
        if (!rewind(zip))
            return -1;
    }
    for (;;) {
        const int status = archive_read_next_header(zip.reader, &entry);
        if (status == ARCHIVE_EOF)
            return -1; // every entry has been passed; the next name still walks on from here
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN) {
            zip.walkable = false;
            return status < 0 ? status : -1;
        }
        const char* path = entryName(entry);
        const int ordinal = zip.passed++;
        if (path == nullptr)
            continue;
        zip.firstOrdinal.emplace(path, ordinal);
        if (name == path)
            return 0;
    }
}

std::int32_t readZipEntry(void* state, const std::string& name, std::uint8_t* buffer, std::int32_t capacity)
{
    auto& zip = *static_cast<ZipPackState*>(state);
    const ScopedUtf8Locale utf8;
    archive_entry* entry = nullptr;
    if (const int found = walkToEntry(zip, name, entry); found != 0)
        return found;
    // archive_read_data fills the buffer across the entry's blocks until it is
    // full or the entry ends.
    const la_ssize_t count = archive_read_data(zip.reader, buffer, static_cast<std::size_t>(capacity));
    if (count < 0) {
        zip.walkable = false;
        return clampStatus(count);
    }
    return static_cast<std::int32_t>(count);
}

// The size a ZIP header states may be missing (a streamed entry) or false, so
// the data are read in pieces until the entry ends, and refused as soon as they
// pass the limit; a stated size above it refuses the entry before any data.
std::int32_t readWholeZipEntry(
    void* state, const std::string& name, std::int32_t limit, std::vector<std::uint8_t>& bytes)
{
    constexpr std::size_t kPiece = 64 * 1024;
    bytes.clear();
    auto& zip = *static_cast<ZipPackState*>(state);
    const ScopedUtf8Locale utf8;
    archive_entry* entry = nullptr;
    if (const int found = walkToEntry(zip, name, entry); found != 0)
        return found;
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > limit)
        return kEntryTooLarge;
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
        bytes.reserve(static_cast<std::size_t>(archive_entry_size(entry)));
    for (;;) {
        const std::size_t had = bytes.size();
        if (had > static_cast<std::size_t>(limit)) {
            bytes.clear();
            return kEntryTooLarge;
        }
        // One byte beyond the limit is enough to tell an entry that is too long.
        const std::size_t piece = std::min(kPiece, static_cast<std::size_t>(limit) + 1 - had);
        bytes.resize(had + piece);
        const la_ssize_t count = archive_read_data(zip.reader, bytes.data() + had, piece);
        if (count < 0) {
            zip.walkable = false;
            bytes.clear();
            return clampStatus(count);
        }
        bytes.resize(had + static_cast<std::size_t>(count));
        if (count == 0)
            return static_cast<std::int32_t>(bytes.size());
    }
}

bool listZipEntries(void* state, std::vector<PackEntryInfo>& entries)
{
    auto& zip = *static_cast<ZipPackState*>(state);
    const ScopedUtf8Locale utf8;
    if (!rewind(zip))
        return false;
    zip.walkable = false; // this walk records no names: the next read starts afresh
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(zip.reader, &entry);
        if (status == ARCHIVE_EOF)
            return true;
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return false;
        const char* path = entryName(entry);
        const std::int64_t size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
        entries.push_back(PackEntryInfo{path != nullptr ? path : "", size, -1});
    }
}

void closeZipPack(void* state)
{
    auto* zip = static_cast<ZipPackState*>(state);
    if (zip->reader != nullptr)
        archive_read_free(zip->reader);
    delete zip;
}

} // namespace

PackerPlugin zipPacker()
{
    return PackerPlugin{PackingKind::Zip, openZipPack, readZipEntry, readWholeZipEntry, listZipEntries, closeZipPack};
}

} // namespace document
