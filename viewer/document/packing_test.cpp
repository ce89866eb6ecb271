#include "viewer/document/packing.h"

#include <gtest/gtest.h>

#include "viewer/document/test_support.h"

namespace document {
namespace {

using testing::Bytes;
using testing::bytesOf;

class Packing : public ::testing::Test {
protected:
    void SetUp() override { registerStandardPackers(); }
    testing::TempFolder folder_;
};

TEST_F(Packing, DetectsOnTheFirstTwoBytes)
{
    const struct {
        Bytes head;
        PackingKind kind;
    } cases[] = {
        {{0x50, 0x4B}, PackingKind::Zip},
        {{0x50, 0x4B, 0x00, 0x00, 0xFF}, PackingKind::Zip},
        {{0x32, 0x7A}, PackingKind::BriefLzPack},
        {{0x32, 0x7A, 0x00, 0x00}, PackingKind::BriefLzPack},
        {{}, PackingKind::None},
        {{0x50}, PackingKind::None},
        {{0x31, 0x7A, 0x6C, 0x62}, PackingKind::None},
        {{0x5D, 0x00}, PackingKind::None},
        {{0x4B, 0x50}, PackingKind::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(detectPacking(folder_.write("f.help", c.head)), c.kind) << ::testing::PrintToString(c.head);
    EXPECT_EQ(detectPacking((folder_.path() / "missing.help").string()), PackingKind::None);
    EXPECT_EQ(detectPacking(folder_.path().string()), PackingKind::None);
}

TEST_F(Packing, RegistryKeepsTheFirstEntryOfAKind)
{
    const std::size_t before = [] {
        std::size_t n = 0;
        for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack})
            n += findPacker(kind) != nullptr;
        return n;
    }();
    EXPECT_EQ(before, 2u);
    PackerPlugin impostor = zipPacker();
    impostor.open = [](const std::string&) -> void* { return nullptr; };
    EXPECT_FALSE(registerPacker(impostor));
    EXPECT_NE(findPacker(PackingKind::Zip)->open, impostor.open);
    EXPECT_EQ(findPacker(static_cast<PackingKind>(2)), nullptr);
}

TEST_F(Packing, OpenFailsForUnknownKindsAndWrongFiles)
{
    const std::string brieflz = folder_.brieflz("b.help", {{"x", bytesOf("1")}});
    EXPECT_FALSE(openPack(brieflz, PackingKind::None));
    EXPECT_FALSE(openPack(brieflz, static_cast<PackingKind>(2)));
    EXPECT_FALSE(openPack(brieflz, PackingKind::Zip));
    EXPECT_FALSE(openPack((folder_.path() / "missing").string(), PackingKind::Zip));
    EXPECT_FALSE(openPack((folder_.path() / "missing").string(), PackingKind::BriefLzPack));
    Bytes out(4);
    EXPECT_EQ(readEntry(u"x", out.data(), 4), -1) << "no pack is open after a failed open";
    // libarchive opens lazily: a ZIP signature without an archive fails at the read.
    EXPECT_LT(testing::readWhole(folder_.write("z.help", {0x50, 0x4B, 0x03, 0x04}), PackingKind::Zip, u"x", 4, out), 0);
}

TEST_F(Packing, OpeningAPackClosesTheOpenOne)
{
    const std::string first = folder_.brieflz("1.help", {{"x", bytesOf("one")}});
    const std::string second = folder_.zip("2.help", {{"x", bytesOf("two")}});
    ASSERT_TRUE(openPack(first, PackingKind::BriefLzPack));
    ASSERT_TRUE(openPack(second, PackingKind::Zip));
    Bytes out(3);
    EXPECT_EQ(readEntry(u"x", out.data(), 3), 3);
    EXPECT_EQ(out, bytesOf("two"));
    closePack();
    EXPECT_EQ(readEntry(u"x", out.data(), 3), -1);
    closePack(); // closing twice is harmless
}

TEST_F(Packing, ZipEntriesByExactName)
{
    const std::string path = folder_.zip("doc.help",
        {
            {"Contents", bytesOf("capital")},
            {"page", bytesOf("first")},
            {"page", bytesOf("second")},
            {"oldal/ő.rtf", bytesOf("hu")},
            {"empty", {}},
            {"long", Bytes(100000, 'L')},
        });
    ASSERT_FALSE(path.empty());
    const struct {
        const char* what;
        std::u16string name;
        std::int32_t capacity;
        std::int32_t count;
        std::string prefix;
    } cases[] = {
        {"names are case-sensitive", u"contents", 100, -1, ""},
        {"the first of two equal names wins", u"page", 100, 5, "first"},
        {"UTF-8 names with a slash", u"oldal/ő.rtf", 100, 2, "hu"},
        {"an empty entry reads as 0", u"empty", 100, 0, ""},
        {"a longer entry gives its first capacity bytes", u"long", 7, 7, "LLLLLLL"},
        {"an empty name finds nothing", u"", 100, -1, ""},
    };
    for (const auto& c : cases) {
        Bytes out;
        EXPECT_EQ(testing::readWhole(path, PackingKind::Zip, c.name, c.capacity, out), c.count) << c.what;
        if (c.count > 0) {
            EXPECT_EQ(std::string(out.begin(), out.begin() + c.count), c.prefix) << c.what;
        }
    }
    // Reads under one open, in any order, find what single reads find: earlier
    // entries after later ones, the first of two equal names after the walk has
    // passed both, a missing name, and reads after a listing.
    ASSERT_TRUE(openPack(path, PackingKind::Zip));
    const struct {
        std::u16string name;
        std::int32_t count;
        std::string prefix;
    } sequence[] = {
        {u"page", 5, "first"},
        {u"oldal/ő.rtf", 2, "hu"},
        {u"page", 5, "first"},
        {u"long", 100, std::string(100, 'L')},
        {u"missing", -1, ""},
        {u"Contents", 7, "capital"},
        {u"missing", -1, ""},
        {u"empty", 0, ""},
        {u"long", 100, std::string(100, 'L')},
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& read : sequence) {
            Bytes out(100);
            const std::string name(read.name.begin(), read.name.end());
            EXPECT_EQ(readEntry(read.name, out.data(), 100), read.count) << name << " pass " << pass;
            if (read.count > 0) {
                EXPECT_EQ(std::string(out.begin(), out.begin() + read.count), read.prefix) << name;
            }
        }
        std::vector<PackEntryInfo> entries;
        EXPECT_TRUE(listEntries(entries));
    }
    closePack();
}

TEST_F(Packing, DamagedZipDataGivesANegativeStatus)
{
    Bytes text(20000);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<std::uint8_t>("zip damage "[i % 11] + (i / 97) % 7);
    const std::string path = folder_.zip("doc.help", {{"page", text}});
    std::ifstream in(path, std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Overwrite the middle of the deflate data of the only entry.
    for (std::size_t i = 80; i < 200 && i < file.size(); ++i)
        file[i] = 0xFF;
    Bytes out;
    EXPECT_LT(testing::readWhole(folder_.write("bad.help", file), PackingKind::Zip, u"page", 20000, out), 0);
}

// Whole reads size the buffer from the entry and refuse entries above the
// limit, in both packings, also when the entry claims a size it does not hold.
TEST_F(Packing, WholeEntriesAreSizedFromTheEntryAndRefusedAboveTheLimit)
{
    Bytes long30k(30000);
    for (std::size_t i = 0; i < long30k.size(); ++i)
        long30k[i] = static_cast<std::uint8_t>("whole entry "[i % 12] + (i / 89) % 5);
    const std::vector<AuthoringEntry> entries{{"empty", {}}, {"long", long30k}, {"short", bytesOf("abc")}};
    const struct {
        const char* name;
        std::int32_t limit;
        std::int32_t count;
    } cases[] = {
        {"long", kMaxWholeEntrySize, 30000},
        {"long", 30000, 30000},
        {"long", 29999, kEntryTooLarge},
        {"short", 3, 3},
        {"short", 0, kEntryTooLarge},
        {"empty", 0, 0},
        {"missing", kMaxWholeEntrySize, -1},
    };
    for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack}) {
        const std::string path =
            kind == PackingKind::Zip ? folder_.zip("w.help", entries) : folder_.brieflz("w.help", entries, 1024);
        ASSERT_TRUE(openPack(path, kind));
        for (const auto& c : cases) {
            Bytes bytes{1, 2};
            const std::string what = std::string(c.name) + " limit " + std::to_string(c.limit) +
                (kind == PackingKind::Zip ? " zip" : " pack");
            EXPECT_EQ(readWholeEntry(platform::utf8ToUtf16(c.name), bytes, c.limit), c.count) << what;
            EXPECT_EQ(bytes.size(), static_cast<std::size_t>(std::max(c.count, 0))) << what;
            if (c.count == 30000) {
                EXPECT_EQ(bytes, long30k) << what;
            }
        }
        closePack();
    }

    // A pack entry claiming 500 MB behind a short block stream, and one whose stated
    // size is beyond the file: refused before anything is allocated for them.
    const std::int64_t claimed = 500'000'000;
    Bytes stream = testing::streamHeader(claimed, 1 << 20);
    stream.push_back('x');
    const std::string forged = folder_.write("forged.help",
        testing::packOf(
            {testing::rawPackEntry(claimed, static_cast<std::int64_t>(stream.size()), 8, "contents", stream),
                testing::storedEntry("after", bytesOf("x"))}));
    ASSERT_TRUE(openPack(forged, PackingKind::BriefLzPack));
    Bytes bytes;
    EXPECT_EQ(readWholeEntry(u"contents", bytes), kEntryTooLarge);
    closePack();
    const std::string beyond = folder_.write(
        "beyond.help", testing::packOf({testing::rawPackEntry(claimed, claimed, 8, "contents", bytesOf("short"))}));
    ASSERT_TRUE(openPack(beyond, PackingKind::BriefLzPack));
    EXPECT_EQ(readWholeEntry(u"contents", bytes), -1);
    EXPECT_TRUE(bytes.empty());
    closePack();
    EXPECT_EQ(readWholeEntry(u"contents", bytes), -1) << "no pack open";
}

} // namespace
} // namespace document
