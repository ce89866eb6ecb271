#pragma once
// The help container: packing detection, the packer registry and the single
// open-pack slot through which every entry of a help document is read.
//
// Named-entry read, the pattern every caller follows:
//   1. openPack(path, kind); on failure do nothing and keep the previous data;
//   2. allocate a zero-filled buffer of the caller's size (none for size <= 0);
//   3. count = readEntry(name, buffer, size);
//   4. use the buffer according to the count;
//   5. release the buffer; closePack().
// The file is never held open between such reads. Not thread-safe: one slot.
//
// The data entries ("properties", "contents") are read whole instead, into a
// buffer sized from the entry itself (readWholeEntry).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace document {

enum class PackingKind : std::uint16_t {
    None = 0,
    Zip = 1,
    BriefLzPack = 4,
};

// Entries read whole are refused above this size: their size comes from the
// file, and a forged entry could claim gigabytes. Real data entries are a few
// hundred kilobytes at most (a 5,000-page contents is about 300 KB).
inline constexpr std::int32_t kMaxWholeEntrySize = 64 << 20;

// readWholeEntry's count for an entry larger than the limit it was given.
inline constexpr std::int32_t kEntryTooLarge = -2;

struct PackEntryInfo {
    std::string name;          // UTF-8, as stored
    std::int64_t unpackedSize; // -1 when the packing does not record it
    std::int64_t packedSize;   // bytes the entry occupies in the file; -1 when unknown
};

// A reader's operations. `state` is the reader's own, created by open and
// released by close.
struct PackerPlugin {
    PackingKind kind;
    // Opens the file; nullptr on failure.
    void* (*open)(const std::string& path);
    // Reads the entry whose UTF-8 name equals `name` into `buffer` (capacity
    // bytes): the byte count, 0 for an empty entry, negative on failure (-1 when
    // there is no such entry).
    std::int32_t (*readEntry)(void* state, const std::string& name, std::uint8_t* buffer, std::int32_t capacity);
    // Reads the whole entry into `bytes`, sized from the entry: the byte count,
    // -1 when there is no such entry, kEntryTooLarge when it holds more than
    // `limit` bytes (refused before its data are read where the packing records
    // the size), another negative count on damage. `bytes` is empty unless the
    // count is positive.
    std::int32_t (*readWholeEntry)(
        void* state, const std::string& name, std::int32_t limit, std::vector<std::uint8_t>& bytes);
    // Every entry in file order; false when the file is damaged (the list then
    // holds the entries before the damage).
    bool (*listEntries)(void* state, std::vector<PackEntryInfo>& entries);
    void (*close)(void* state);
};

// Registers a reader; false (and the table unchanged) when its kind is present
// or the table is full.
bool registerPacker(const PackerPlugin& plugin);

// The reader registered for `kind`, or nullptr.
const PackerPlugin* findPacker(PackingKind kind);

// Registers Zip, then BriefLzPack. Called once at start-up; a second call
// changes nothing.
void registerStandardPackers();

// The packing of the file at `path`, from its first two bytes only: 50 4B Zip,
// 32 7A BriefLzPack, anything else (or an unreadable or too short file) None.
PackingKind detectPacking(const std::string& path);

// Opens `path` with the reader for `kind` into the open-pack slot, closing an
// open pack first. False, with no pack open, when there is no such reader or
// the reader cannot open the file.
bool openPack(const std::string& path, PackingKind kind);

// Reads the named entry of the open pack; see PackerPlugin::readEntry. -1 when
// no pack is open, for an empty name, or for a negative capacity or a null buffer
// with a positive capacity.
std::int32_t readEntry(std::u16string_view name, std::uint8_t* buffer, std::int32_t capacity);

// As readEntry, with the name already in UTF-8.
std::int32_t readEntryUtf8(const std::string& name, std::uint8_t* buffer, std::int32_t capacity);

// Reads the named entry of the open pack whole; see PackerPlugin::readWholeEntry.
// -1 when no pack is open or for an empty name.
std::int32_t readWholeEntry(
    std::u16string_view name, std::vector<std::uint8_t>& bytes, std::int32_t limit = kMaxWholeEntrySize);

// Lists the open pack's entries; false when no pack is open or the file is damaged.
bool listEntries(std::vector<PackEntryInfo>& entries);

// Closes the open pack, if any.
void closePack();

// The reader operations behind registerStandardPackers.
PackerPlugin zipPacker();
PackerPlugin briefLzPacker();

} // namespace document
