#include <gtest/gtest.h>

#include "checksum/engine/digest.h"
#include "checksum/engine/digest_context.h"

namespace engine {
namespace {

TEST(DigestRegistry, StandardFamiliesAndDuplicates)
{
    registerStandardPlugins();
    const DigestPlugin* sha1 = findPlugin(Sha1);
    ASSERT_NE(sha1, nullptr);
    for (DigestAlgorithm id : {Crc32, Md5, Sha1, Sha2, Sha3}) {
        const DigestPlugin* plugin = findPlugin(id);
        ASSERT_NE(plugin, nullptr) << id;
        EXPECT_EQ(plugin->algorithm, id);
        EXPECT_TRUE(plugin->create && plugin->update && plugin->finish && plugin->release);
    }
    // A duplicate is refused and the existing entry stays in force.
    EXPECT_EQ(registerPlugin(Sha1), nullptr);
    registerStandardPlugins();
    EXPECT_EQ(findPlugin(Sha1), sha1);
    EXPECT_EQ(findPlugin(static_cast<DigestAlgorithm>(0)), nullptr);
    EXPECT_EQ(findPlugin(static_cast<DigestAlgorithm>(6)), nullptr);
}

TEST(DigestRegistry, NewIdentifierGetsEmptyEntryUntilTableIsFull)
{
    registerStandardPlugins();
    DigestPlugin* added = registerPlugin(static_cast<DigestAlgorithm>(100));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->create, nullptr);
    EXPECT_EQ(findPlugin(static_cast<DigestAlgorithm>(100)), added);
    // The table is finite: filling it gives nullptr, never a crash.
    int accepted = 0;
    for (int id = 101; id < 200; ++id)
        accepted += registerPlugin(static_cast<DigestAlgorithm>(id)) != nullptr;
    EXPECT_LT(accepted, 99);
    EXPECT_NE(findPlugin(Sha3), nullptr);
}

TEST(DigestRegistry, BitWidthRules)
{
    registerStandardPlugins();
    struct Case {
        DigestAlgorithm algorithm;
        std::int32_t requested;
        std::int32_t expected; // 0: refused
    };
    const Case cases[] = {
        {Sha2, 0, 256},
        {Sha2, 224, 224},
        {Sha2, 384, 384},
        {Sha2, 512, 512},
        {Sha2, 100, 0},
        {Sha2, -256, 0},
        {Sha2, 160, 0},
        {Sha3, 0, 256},
        {Sha3, 224, 224},
        {Sha3, 512, 512},
        {Sha3, 100, 0},
        {Sha3, 257, 0},
        {Crc32, 512, 32},
        {Crc32, -1, 32},
        {Md5, 256, 128},
        {Md5, 100, 128},
        {Sha1, 0, 160},
        {Sha1, 512, 160},
    };
    for (const Case& c : cases) {
        const DigestPlugin* plugin = findPlugin(c.algorithm);
        DigestContext* context = plugin->create(c.requested);
        if (c.expected == 0) {
            EXPECT_EQ(context, nullptr) << c.algorithm << '/' << c.requested;
            EXPECT_EQ(bufferDigestHex("abc", 3, c.algorithm, c.requested), "");
            continue;
        }
        ASSERT_NE(context, nullptr) << c.algorithm << '/' << c.requested;
        EXPECT_EQ(context->bitWidth, c.expected);
        plugin->finish(context);
        EXPECT_EQ(digestToHex(context).size(), static_cast<std::size_t>(c.expected / 4));
        plugin->release(context);
    }
    // The width means nothing to the single-width families.
    EXPECT_EQ(bufferDigestHex("abc", 3, Md5, 999), bufferDigestHex("abc", 3, Md5, 0));
    EXPECT_EQ(digestToHex(nullptr), "");
}

} // namespace
} // namespace engine
