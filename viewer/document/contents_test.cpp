#include "viewer/document/contents.h"

#include <gtest/gtest.h>

#include "viewer/document/test_support.h"

namespace document {
namespace {

using testing::utf16le;

ContentsList decoded(const std::u16string& text)
{
    ContentsList list;
    decodeContents(text, list);
    return list;
}

ContentsList withLevels(std::initializer_list<int> levels)
{
    ContentsList list;
    for (int level : levels) {
        ContentsRecord record;
        record.level = static_cast<std::int8_t>(level);
        list.push_back(std::move(record));
    }
    return list;
}

ContentsList withTitles(std::initializer_list<std::u16string> titles)
{
    ContentsList list;
    for (const std::u16string& title : titles) {
        ContentsRecord record;
        record.title = title;
        list.push_back(std::move(record));
    }
    return list;
}

TEST(Contents, DecodesRecords)
{
    const ContentsList list = decoded(u"Contents|2|0|a.rtf|Intro|120|1||Heading|$10|ignored");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].level, 0);
    EXPECT_EQ(list[0].entryName, u"a.rtf");
    EXPECT_EQ(list[0].title, u"Intro");
    EXPECT_EQ(list[0].size, 120);
    EXPECT_EQ(list[1].level, 1);
    EXPECT_EQ(list[1].entryName, u"");
    EXPECT_EQ(list[1].title, u"Heading");
    EXPECT_EQ(list[1].size, 16);
}

TEST(Contents, CountRules)
{
    const struct {
        const char* what;
        std::u16string text;
        std::size_t records;
    } cases[] = {
        {"count 3 with two records present lists the two", u"x|3|0|a|A|1|0|b|B|2", 2},
        {"a record missing its size field is not listed", u"x|2|0|a|A|1|0|b|B", 1},
        {"an empty last field still counts as present", u"x|1|0|a|A|", 1},
        {"count 0", u"x|0|0|a|A|1", 0},
        {"negative count", u"x|-4|0|a|A|1", 0},
        {"count above 32 bits keeps the low bits", u"x|$100000002|0|a|A|1|0|b|B|2|0|c|C|3", 2},
        {"no count field", u"x", 0},
        {"all-zero buffer", u"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decoded(c.text).size(), c.records) << c.what;
}

TEST(Contents, HugeCountKeepsEveryRecordPresentUpToTheLimit)
{
    std::u16string text = u"x|2147483647";
    for (int i = 0; i < 2500; ++i)
        text += u"|0|p" + platform::utf8ToUtf16(std::to_string(i)) + u"|T|1";
    const ContentsList list = decoded(text);
    ASSERT_EQ(list.size(), 2500u);
    EXPECT_EQ(list[2499].entryName, u"p2499");

    std::u16string many = u"x|2147483647";
    for (std::int64_t i = 0; i <= kMaxContentsRecords; ++i)
        many += u"|0|||";
    EXPECT_EQ(decoded(many).size(), static_cast<std::size_t>(kMaxContentsRecords));
}

TEST(Contents, LevelKeepsTheLowEightBitsSigned)
{
    const ContentsList list = decoded(u"x|3|200|a|A|1|-1|b|B|1|383|c|C|1");
    EXPECT_EQ(list[0].level, -56);
    EXPECT_EQ(list[1].level, -1);
    EXPECT_EQ(list[2].level, 127);
}

TEST(Contents, TreePlacement)
{
    const struct {
        const char* what;
        ContentsList list;
        std::vector<std::int32_t> parents;
    } cases[] = {
        {"levels 0 1 1 0", withLevels({0, 1, 1, 0}), {-1, 0, 0, -1}},
        {"the first item is at the top whatever its level", withLevels({2, 2, 0}), {-1, 0, -1}},
        {"a deeper level nests one step only: a staircase", withLevels({0, 3, 3, 3, 3}), {-1, 0, 1, 2, 2}},
        {"a lower level climbs to the ancestor at that depth", withLevels({0, 1, 2, 3, 1, 2}), {-1, 0, 1, 2, 0, 4}},
        {"level 200 (stored -56) sits at the top", withLevels({0, 1, 200}), {-1, 0, -1}},
        {"empty list", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(contentsTreeParents(c.list), c.parents) << c.what;
    EXPECT_EQ(contentsTreeDepths(withLevels({0, 3, 3, 1, 9})), (std::vector<std::int32_t>{0, 1, 2, 1, 2}));
}

TEST(Contents, FindPageByTitle)
{
    const ContentsList list = withTitles({u"Intro", u"Setup", u"SETUP", u"Első lépések", u"Ελληνικά", u"Кириллица"});
    const struct {
        std::u16string wanted;
        std::int32_t page;
    } cases[] = {
        {u"sEtUp", 2},        // titles that differ in case: the last matches
        {u"ELSŐ LÉPÉSEK", 3}, // Hungarian double acute
        {u"ΕΛΛΗΝΙΚΆ", 4},     // Greek with tonos
        {u"кИРИЛЛИЦА", 5},
        {u"no such title", 0},
        {u"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findPageByTitle(list, c.wanted), c.page);
    EXPECT_EQ(findPageByTitle({}, u"Intro"), 0);
}

class ReadContents : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerStandardPackers();
        previous_ = withTitles({u"kept"});
    }
    testing::TempFolder folder_;
    ContentsList previous_;
};

TEST_F(ReadContents, KeepsOrEmptiesTheListAsTheCountSays)
{
    ContentsList list = withTitles({u"kept"});
    readContents((folder_.path() / "missing").string(), PackingKind::Zip, list);
    EXPECT_EQ(list.size(), 1u) << "pack cannot be opened";
    readContents(folder_.brieflz("e.help", {{"contents", {}}}), PackingKind::BriefLzPack, list);
    EXPECT_EQ(list.size(), 1u) << "count 0";
    readContents(folder_.brieflz("m.help", {{"properties", {}}}), PackingKind::BriefLzPack, list);
    EXPECT_EQ(list.size(), 0u) << "a missing entry empties the list";
}

TEST_F(ReadContents, EntriesAreReadWholeInBothPackings)
{
    // 5,000 records take about 200 KB, ten times what a fixed buffer once held.
    std::u16string text = u"Contents|5000";
    for (int i = 0; i < 5000; ++i) {
        const std::u16string n = platform::utf8ToUtf16(std::to_string(i));
        text += u"|" + n.substr(n.size() - 1) + u"|page" + n + u".rtf|Page title number " + n + u"|" + n;
    }
    const std::vector<AuthoringEntry> entries{{"contents", utf16le(text)}};
    for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack}) {
        ContentsList list = withTitles({u"kept"});
        readContents(
            kind == PackingKind::Zip ? folder_.zip("c.help", entries) : folder_.brieflz("c.help", entries), kind, list);
        ASSERT_EQ(list.size(), 5000u);
        EXPECT_EQ(list[4999].title, u"Page title number 4999");
        EXPECT_EQ(list[4999].entryName, u"page4999.rtf");
        EXPECT_EQ(list[4999].size, 4999);
    }
}

TEST_F(ReadContents, EntryAboveTheLimitIsRefused)
{
    // About 70 MB of records (deflate packs them into a small file).
    const testing::Bytes record = utf16le(u"|0|p.rtf|A title of a page|1234");
    testing::Bytes bytes = utf16le(u"x|2000000");
    bytes.reserve(std::size_t{65} << 20);
    while (bytes.size() <= static_cast<std::size_t>(kMaxWholeEntrySize))
        bytes.insert(bytes.end(), record.begin(), record.end());
    ContentsList list = withTitles({u"kept"});
    readContents(folder_.zip("huge.help", {{"contents", bytes}}), PackingKind::Zip, list);
    EXPECT_TRUE(list.empty());
}

} // namespace
} // namespace document
