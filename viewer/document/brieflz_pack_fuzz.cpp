// Fuzzes the BriefLZ pack reader with whole files: every entry it lists is read
// with a buffer of exactly its size, and a few fixed names with small buffers.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "viewer/document/packing.h"

using namespace document;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/brieflz_pack_fuzz_" + std::to_string(::getpid()) + ".help";
    static const bool registered = (registerStandardPackers(), true);
    (void)registered;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    if (openPack(path, PackingKind::BriefLzPack)) {
        std::vector<PackEntryInfo> entries;
        listEntries(entries);
        for (const PackEntryInfo& entry : entries) {
            if (entry.unpackedSize < 0 || entry.unpackedSize > (1 << 20) || entry.name.empty())
                continue;
            const auto capacity = static_cast<std::int32_t>(entry.unpackedSize);
            std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[static_cast<std::size_t>(capacity) + 1]);
            const std::int32_t count = readEntryUtf8(entry.name, buffer.get(), capacity);
            if (count > capacity)
                __builtin_trap();
        }
        for (const char* name : {"properties", "contents", "a"}) {
            std::uint8_t small[16];
            if (readEntryUtf8(name, small, sizeof small) > 16)
                __builtin_trap();
        }
        closePack();
    }
    ::unlink(path.c_str());
    return 0;
}
