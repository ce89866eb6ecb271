#include "checksum/settings/language_list.h"

#include <gtest/gtest.h>

#include "checksum/settings/text_table.h"

namespace settings {
namespace {

// Values worked out by hand (and with a second implementation) from
// h = h * 65599 + c over UTF-16 code units, modulo 2^32.
TEST(LanguageNameHash, KnownValues)
{
    struct Case {
        std::u16string name;
        std::uint32_t hash;
    };
    const Case cases[] = {
        {u"", 0}, {u"a", 97}, {u"ab", 6363201}, {u"English (United Kingdom)", 3038996707u}, {u"Magyar", 1545447543u},
        {u"\U0001F600", 3631420675u}, // two code units, not one code point
    };
    for (const Case& c : cases)
        EXPECT_EQ(languageNameHash(c.name), c.hash);
}

std::u16string displayNames(const LanguageList& list)
{
    std::u16string names;
    for (const LanguageEntry& entry : list.entries())
        names += entry.displayName + u"(" + entry.baseName + u") ";
    return names;
}

// The menu order: buckets upwards, the newest entry first within a bucket.
// "a" (97) and U+0261 (609) share bucket 97; "B" (66) comes before both.
TEST(LanguageList, IteratesBucketsUpwardsNewestFirst)
{
    LanguageList list;
    list.add(u"a", u"1");
    list.add(u"\u0261", u"2");
    list.add(u"B", u"3");
    list.add(u"English (United States)", u"en_US");  // bucket 354
    list.add(u"English (United Kingdom)", u"en_GB"); // bucket 227
    list.add(u"Deutsch", u"de_DE");                  // bucket 472
    list.add(u"Magyar", u"hu_HU");                   // bucket 119
    EXPECT_EQ(displayNames(list),
        u"B(3) \u0261(2) a(1) Magyar(hu_HU) English (United Kingdom)(en_GB) "
        u"English (United States)(en_US) Deutsch(de_DE) ");
    EXPECT_EQ(list.size(), 7u);
}

TEST(LanguageList, SameDisplayNameKeepsOneEntryWithTheLatestBaseName)
{
    LanguageList list;
    list.add(u"a", u"first");
    list.add(u"\u0261", u"other");
    list.add(u"a", u"second"); // updated in place, not moved to the front
    EXPECT_EQ(displayNames(list), u"\u0261(other) a(second) ");
    ASSERT_NE(list.find(u"a"), nullptr);
    EXPECT_EQ(list.find(u"a")->baseName, u"second");
    EXPECT_EQ(list.find(u"A"), nullptr);
    EXPECT_EQ(list.findBaseName(u"first"), nullptr);
    ASSERT_NE(list.findBaseName(u"other"), nullptr);
    EXPECT_EQ(list.findBaseName(u"other")->displayName, u"\u0261");
}

TEST(TextTable, MissingKeysAreEmptyAndKeysAreCaseSensitive)
{
    TextTable table;
    table.setText(u"tGenOK", u"OK");
    table.setText(u"tGenOK", u"Rendben");
    EXPECT_EQ(table.lookupText(u"tGenOK"), u"Rendben");
    EXPECT_EQ(table.lookupText("tGenOK"), u"Rendben");
    EXPECT_EQ(table.lookupText(u"tgenok"), u"");
    EXPECT_EQ(table.lookupText(u"tGenNO"), u"");
    EXPECT_EQ(table.size(), 1u);
}

} // namespace
} // namespace settings
