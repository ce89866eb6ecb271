#include <new>

#include "checksum/engine/digest.h"
#include "checksum/engine/digest_context.h"
#include "checksum/engine/sha2.h"

namespace engine {
namespace {

constexpr int kRegistryCapacity = 16;

struct DigestRegistry {
    DigestPlugin entries[kRegistryCapacity];
    int count = 0;
};

DigestRegistry& registry()
{
    static DigestRegistry table;
    return table;
}

void addPlugin(DigestAlgorithm algorithm, DigestContext* (*create)(std::int32_t),
    void (*update)(DigestContext*, const std::uint8_t*, std::size_t), void (*finish)(DigestContext*))
{
    DigestPlugin* plugin = registerPlugin(algorithm);
    if (plugin == nullptr)
        return;
    plugin->create = create;
    plugin->update = update;
    plugin->finish = finish;
    plugin->release = releaseContext;
}

} // namespace

DigestPlugin* registerPlugin(DigestAlgorithm algorithm)
{
    DigestRegistry& table = registry();
    if (findPlugin(algorithm) != nullptr || table.count == kRegistryCapacity)
        return nullptr;
    DigestPlugin& entry = table.entries[table.count++];
    entry = DigestPlugin{algorithm, nullptr, nullptr, nullptr, nullptr};
    return &entry;
}

const DigestPlugin* findPlugin(DigestAlgorithm algorithm)
{
    const DigestRegistry& table = registry();
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].algorithm == algorithm)
            return &table.entries[i];
    }
    return nullptr;
}

void registerStandardPlugins()
{
    addPlugin(Crc32, crc32Create, crc32Update, crc32Finish);
    addPlugin(Md5, md5Create, md5Update, md5Finish);
    addPlugin(Sha1, sha1Create, sha1Update, sha1Finish);
    addPlugin(Sha2, sha2Create, sha2Update, sha2Finish);
    addPlugin(Sha3, sha3Create, sha3Update, sha3Finish);
}

DigestContext* allocateContext(std::int32_t bitWidth)
{
    auto* context = new (std::nothrow) DigestContext{};
    if (context != nullptr)
        context->bitWidth = bitWidth;
    return context;
}

void releaseContext(DigestContext* context)
{
    delete context;
}

std::string digestToHex(const DigestContext* context)
{
    if (context == nullptr)
        return {};
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::size_t bytes = static_cast<std::size_t>(context->bitWidth) / 8;
    std::string text(2 * bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i) {
        text[2 * i] = kDigits[context->digest[i] >> 4];
        text[2 * i + 1] = kDigits[context->digest[i] & 0xf];
    }
    return text;
}

std::string bufferDigestHex(const void* data, std::size_t size, DigestAlgorithm algorithm, std::int32_t bitWidth)
{
    const DigestPlugin* plugin = findPlugin(algorithm);
    if (plugin == nullptr)
        return {};
    DigestContext* context = plugin->create(bitWidth);
    if (context == nullptr)
        return {};
    plugin->update(context, static_cast<const std::uint8_t*>(data), size);
    plugin->finish(context);
    std::string text = digestToHex(context);
    plugin->release(context);
    return text;
}

} // namespace engine
