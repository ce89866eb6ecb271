#include <vector>

#include "platform/text.h"
#include "viewer/document/packing.h"

namespace document {
namespace {

struct OpenPack {
    const PackerPlugin* plugin = nullptr;
    void* state = nullptr;
};

constexpr int kRegistryCapacity = 8;

// A fixed table, so that pointers to its entries (the open slot holds one)
// stay valid when more readers are registered.
struct PackerRegistry {
    PackerPlugin entries[kRegistryCapacity];
    int count = 0;
};

PackerRegistry& registry()
{
    static PackerRegistry table;
    return table;
}

OpenPack& openSlot()
{
    static OpenPack slot;
    return slot;
}

} // namespace

bool registerPacker(const PackerPlugin& plugin)
{
    PackerRegistry& table = registry();
    if (findPacker(plugin.kind) != nullptr || table.count == kRegistryCapacity)
        return false;
    table.entries[table.count++] = plugin;
    return true;
}

const PackerPlugin* findPacker(PackingKind kind)
{
    const PackerRegistry& table = registry();
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].kind == kind)
            return &table.entries[i];
    }
    return nullptr;
}

void registerStandardPackers()
{
    registerPacker(zipPacker());
    registerPacker(briefLzPacker());
}

bool openPack(const std::string& path, PackingKind kind)
{
    closePack();
    const PackerPlugin* plugin = findPacker(kind);
    if (plugin == nullptr)
        return false;
    void* state = plugin->open(path);
    if (state == nullptr)
        return false;
    openSlot() = OpenPack{plugin, state};
    return true;
}

std::int32_t readEntryUtf8(const std::string& name, std::uint8_t* buffer, std::int32_t capacity)
{
    const OpenPack& slot = openSlot();
    if (slot.plugin == nullptr || name.empty() || capacity < 0 || (buffer == nullptr && capacity > 0))
        return -1;
    return slot.plugin->readEntry(slot.state, name, buffer, capacity);
}

std::int32_t readEntry(std::u16string_view name, std::uint8_t* buffer, std::int32_t capacity)
{
    return readEntryUtf8(platform::utf16ToUtf8(name), buffer, capacity);
}

std::int32_t readWholeEntry(std::u16string_view name, std::vector<std::uint8_t>& bytes, std::int32_t limit)
{
    bytes.clear();
    const OpenPack& slot = openSlot();
    if (slot.plugin == nullptr || name.empty())
        return -1;
    return slot.plugin->readWholeEntry(slot.state, platform::utf16ToUtf8(name), limit < 0 ? 0 : limit, bytes);
}

bool listEntries(std::vector<PackEntryInfo>& entries)
{
    entries.clear();
    const OpenPack& slot = openSlot();
    if (slot.plugin == nullptr)
        return false;
    return slot.plugin->listEntries(slot.state, entries);
}

void closePack()
{
    OpenPack& slot = openSlot();
    if (slot.plugin != nullptr)
        slot.plugin->close(slot.state);
    slot = OpenPack{};
}

} // namespace document
