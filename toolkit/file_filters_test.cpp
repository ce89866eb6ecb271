#include <gtest/gtest.h>

#include "toolkit/file_filters.h"

namespace {

TEST(FileFilters, LabelsAndMasksAlternate)
{
    auto filters = toolkit::parseFilterList(u"Text files (*.txt)|*.txt|All files (*.*)|*.*");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].label, u"Text files (*.txt)");
    EXPECT_EQ(filters[0].masks, std::vector<std::u16string>{u"*.txt"});
    EXPECT_EQ(filters[1].label, u"All files (*.*)");
    EXPECT_EQ(filters[1].masks, std::vector<std::u16string>{u"*"}); // "*.*" must also match names without a dot
}

TEST(FileFilters, SeveralMasksInOneField)
{
    auto filters = toolkit::parseFilterList(u"Checksums|*.sha256; *.md5;*.txt");
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0].masks, (std::vector<std::u16string>{u"*.sha256", u"*.md5", u"*.txt"}));
}

TEST(FileFilters, OddShapes)
{
    EXPECT_TRUE(toolkit::parseFilterList(u"").empty());
    auto lone = toolkit::parseFilterList(u"Everything");
    ASSERT_EQ(lone.size(), 1u);
    EXPECT_EQ(lone[0].masks, std::vector<std::u16string>{u"*"});
    auto hungarian = toolkit::parseFilterList(u"Súgófájlok (*.help)|*.help|Minden fájl (*.*)|*.*");
    ASSERT_EQ(hungarian.size(), 2u);
    EXPECT_EQ(hungarian[0].label, u"Súgófájlok (*.help)");
}

} // namespace
