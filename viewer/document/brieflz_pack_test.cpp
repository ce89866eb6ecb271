#include <gtest/gtest.h>

#include "viewer/document/packing.h"
#include "viewer/document/test_support.h"

namespace document {
namespace {

using testing::Bytes;
using testing::bytesOf;
using testing::packOf;
using testing::rawPackEntry;
using testing::storedEntry;

class BriefLzPack : public ::testing::Test {
protected:
    void SetUp() override { registerStandardPackers(); }

    std::int32_t read(const Bytes& pack, const std::u16string& name, std::int32_t capacity, Bytes& out)
    {
        return testing::readWhole(folder_.write("doc.help", pack), PackingKind::BriefLzPack, name, capacity, out);
    }

    testing::TempFolder folder_;
};

TEST_F(BriefLzPack, ReadsStoredAndCompressedEntries)
{
    Bytes page(5000, 0);
    for (std::size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<std::uint8_t>("the quick brown fox "[i % 20]);
    const std::string path = folder_.brieflz("doc.help", {{"short", bytesOf("hi")}, {"page", page}}, 1000);
    Bytes out;
    EXPECT_EQ(testing::readWhole(path, PackingKind::BriefLzPack, u"page", 6000, out), 5000);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 5000), page);
    EXPECT_EQ(testing::readWhole(path, PackingKind::BriefLzPack, u"short", 2, out), 2);
    EXPECT_EQ(out, bytesOf("hi"));
}

TEST_F(BriefLzPack, EntryRulesOfTheFormat)
{
    const Bytes magicLookalike = {0x31, 0x7A, 0x6C, 0x62, 'x', 'y'};
    const Bytes pack = packOf({
        storedEntry("raw", magicLookalike),
        storedEntry("empty", {}),
        storedEntry("twice", bytesOf("first")),
        storedEntry("twice", bytesOf("second")),
        storedEntry("Case", bytesOf("upper")),
        storedEntry("dir/name", bytesOf("slash")),
    });
    const struct {
        const char* what;
        std::u16string name;
        std::int32_t capacity;
        std::int32_t count;
        std::string bytes;
    } cases[] = {
        {"equal sizes mean raw bytes, even after a block-stream magic", u"raw", 6, 6, "1zlbxy"},
        {"an empty entry reads as 0", u"empty", 10, 0, ""},
        {"the first of two equal names wins", u"twice", 5, 5, "first"},
        {"names are case-sensitive", u"case", 10, -1, ""},
        {"a slash is part of the name", u"dir/name", 5, 5, "slash"},
        {"a buffer smaller than the entry fails", u"twice", 4, -1, ""},
        {"an empty name finds nothing", u"", 10, -1, ""},
        {"a missing name", u"nope", 10, -1, ""},
    };
    for (const auto& c : cases) {
        Bytes out;
        EXPECT_EQ(read(pack, c.name, c.capacity, out), c.count) << c.what;
        if (c.count > 0) {
            EXPECT_EQ(std::string(out.begin(), out.begin() + c.count), c.bytes) << c.what;
        }
    }
}

TEST_F(BriefLzPack, NonAsciiNamesCompareAsUtf8)
{
    const Bytes pack = packOf({storedEntry("összeg.rtf", bytesOf("ő"))});
    Bytes out;
    EXPECT_EQ(read(pack, u"összeg.rtf", 8, out), 2);
    EXPECT_EQ(read(pack, u"Összeg.rtf", 8, out), -1);
}

TEST_F(BriefLzPack, TableHasNoFixedLimit)
{
    std::vector<Bytes> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back(storedEntry("e" + std::to_string(i), bytesOf(std::to_string(i))));
    Bytes out;
    EXPECT_EQ(read(packOf(entries), u"e299", 3, out), 3);
    EXPECT_EQ(std::string(out.begin(), out.end()), "299");
}

TEST_F(BriefLzPack, DamagedFilesGiveNegativeCounts)
{
    const Bytes good = storedEntry("good", bytesOf("ok"));
    Bytes wrongStreamMagic = testing::streamHeader(3, 8);
    wrongStreamMagic[0] = 0x30;
    wrongStreamMagic.insert(wrongStreamMagic.end(), {0x61, 0x00, 0x00, 0x62, 0x63});
    Bytes shortStream = testing::streamHeader(3, 8);
    shortStream.insert(shortStream.end(), {0x61, 0x00, 0x00, 0x62, 0x63});
    Bytes zeroBlock = testing::streamHeader(3, 0);
    zeroBlock.insert(zeroBlock.end(), {0x61, 0x00, 0x00, 0x62, 0x63});
    const struct {
        const char* what;
        Bytes entry;
    } cases[] = {
        {"name length below 0", rawPackEntry(2, 2, -1, "bad", bytesOf("xy"))},
        {"name runs past the end of the file", rawPackEntry(2, 2, 400, "bad", {})},
        {"negative unpacked size", rawPackEntry(-2, 2, 3, "bad", bytesOf("xy"))},
        {"negative packed size", rawPackEntry(2, -2, 3, "bad", bytesOf("xy"))},
        {"unpacked size of 2 GiB", rawPackEntry(std::int64_t{1} << 31, 2, 3, "bad", bytesOf("xy"))},
        {"packed size beyond 2 GiB", rawPackEntry(2, std::int64_t{3} << 31, 3, "bad", bytesOf("xy"))},
        {"data run past the end of the file", rawPackEntry(40, 40, 3, "bad", bytesOf("xy"))},
        {"stored data cut short", rawPackEntry(9, 9, 3, "bad", bytesOf("xy"))},
        {"wrong block-stream magic", rawPackEntry(3, 29, 3, "bad", wrongStreamMagic)},
        {"stream holds fewer bytes than the entry says", rawPackEntry(4, 29, 3, "bad", shortStream)},
        {"block size 0", rawPackEntry(3, 29, 3, "bad", zeroBlock)},
    };
    for (const auto& c : cases) {
        Bytes out;
        // Every case is the second entry: the first stays readable.
        const Bytes pack = packOf({good, c.entry});
        EXPECT_LT(read(pack, u"bad", 64, out), 0) << c.what;
        EXPECT_EQ(read(pack, u"good", 64, out), 2) << c.what;
    }
}

TEST_F(BriefLzPack, OpenNeedsTheWholeMagic)
{
    EXPECT_FALSE(openPack(folder_.write("a.help", {0x32, 0x7A, 0x00, 0x00}), PackingKind::BriefLzPack));
    EXPECT_FALSE(openPack(folder_.write("b.help", {0x32, 0x7A, 0x6C}), PackingKind::BriefLzPack));
    EXPECT_TRUE(openPack(folder_.write("c.help", bytesOf("2zlp")), PackingKind::BriefLzPack));
    Bytes out(4);
    EXPECT_EQ(readEntry(u"x", out.data(), 4), -1);
    closePack();
}

TEST_F(BriefLzPack, ListsEntriesInFileOrderAndReportsDamage)
{
    const std::string path = folder_.write("doc.help",
        packOf({storedEntry("b", bytesOf("12")), storedEntry("a", {}), rawPackEntry(5, 5, 1, "z", bytesOf("12"))}));
    ASSERT_TRUE(openPack(path, PackingKind::BriefLzPack));
    std::vector<PackEntryInfo> entries;
    EXPECT_FALSE(listEntries(entries));
    closePack();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "b");
    EXPECT_EQ(entries[0].unpackedSize, 2);
    EXPECT_EQ(entries[1].name, "a");
    EXPECT_EQ(entries[2].name, "z");
}

} // namespace
} // namespace document
