#include "viewer/app/title_index.h"

#include <gtest/gtest.h>

namespace {

document::ContentsList contentsOf(const std::vector<std::pair<std::u16string, std::u16string>>& records)
{
    document::ContentsList list;
    for (const auto& [entry, title] : records) {
        document::ContentsRecord record;
        record.entryName = entry;
        record.title = title;
        list.push_back(std::move(record));
    }
    return list;
}

std::vector<std::u16string> titles(const std::vector<leafscope::TitleIndexEntry>& index)
{
    std::vector<std::u16string> out;
    for (const auto& entry : index) {
        out.push_back(entry.title);
    }
    return out;
}

TEST(TitleIndex, PagesOnlySortedForTheLanguage)
{
    const document::ContentsList list =
        contentsOf({{u"z.rtf", u"zebra"}, {u"", u"Chapter"}, {u"a.rtf", u"Apple"}, {u"o.rtf", u"\u00d6sszeg"},
            {u"p.rtf", u"Page 10"}, {u"q.rtf", u"Page 9"}, {u"c.rtf", u"Cs\u00e9sze"}, {u"d.rtf", u"Cuki"}});
    const auto english = leafscope::buildTitleIndex(list, u"en_GB");
    EXPECT_EQ(titles(english),
        (std::vector<std::u16string>{
            u"Apple", u"Cs\u00e9sze", u"Cuki", u"\u00d6sszeg", u"Page 9", u"Page 10", u"zebra"}));
    EXPECT_EQ(english[0].page, 2);
    // Hungarian sorts "cs" as a letter of its own after "c", "ö" after "o".
    const auto hungarian = leafscope::buildTitleIndex(list, u"hu_HU");
    const auto order = titles(hungarian);
    const auto at = [&order](const std::u16string& title) { return std::find(order.begin(), order.end(), title); };
    EXPECT_LT(at(u"Cuki"), at(u"Cs\u00e9sze"));
    EXPECT_EQ(order.size(), 7u);
}

TEST(TitleIndex, FilterIgnoresCaseAndAccents)
{
    const document::ContentsList list = contentsOf(
        {{u"a", u"El\u0151z\u0151 oldal"}, {u"b", u"Telep\u00edt\u00e9s"}, {u"c", u"STRASSE"}, {u"d", u"Next page"}});
    const auto index = leafscope::buildTitleIndex(list, u"en_GB");
    struct Row {
        std::u16string query;
        std::vector<std::u16string> found;
    };
    const Row rows[] = {
        {u"", {u"El\u0151z\u0151 oldal", u"Next page", u"STRASSE", u"Telep\u00edt\u00e9s"}},
        {u"elozo", {u"El\u0151z\u0151 oldal"}},
        {u"\u0150Z\u0150", {u"El\u0151z\u0151 oldal"}},
        {u"TELEPITES", {u"Telep\u00edt\u00e9s"}},
        {u"stra\u00dfe", {u"STRASSE"}},
        {u"page", {u"Next page"}},
        {u"e o", {}},
        {u"xyz", {}},
    };
    for (const Row& row : rows) {
        std::vector<std::u16string> found;
        for (int i : leafscope::filterTitleIndex(index, row.query)) {
            found.push_back(index[static_cast<std::size_t>(i)].title);
        }
        EXPECT_EQ(found, row.found) << std::string(row.query.begin(), row.query.end());
    }
}

} // namespace
