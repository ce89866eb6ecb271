#include "viewer/app/text_folding.h"

#include <gtest/gtest.h>

#include "viewer/app/full_text_index.h"
#include "viewer/app/title_index.h"

namespace {

using leafscope::findFolded;
using leafscope::foldedString;
using leafscope::foldText;

TEST(TextFolding, AccentsAndCaseFoldAway)
{
    struct Row {
        std::u16string text;
        bool keepCase;
        std::u16string folded;
    };
    // clang-format off
    const Row rows[] = {
        {u"Verify", false, u"verify"},
        {u"\u00c9rv\u00e9nyes", false, u"ervenyes"},              // precomposed É, é
        {u"E\u0301rve\u0301nyes", false, u"ervenyes"},            // E + combining acute
        {u"T\u0171r\u0151", false, u"turo"},                      // Hungarian ű, ő
        {u"\u01d5", false, u"u"},                                 // Ǖ: two levels of decomposition
        {u"\u00c9rv\u00e9nyes", true, u"Ervenyes"},               // match case keeps the capital
        {u"Stra\u00dfe", false, u"strasse"},                      // ß spelt out
        {u"\u00c6R\u00d8", true, u"AERO"},                          // spelt out in its case
        {u"\ufb01\u00b2", false, u"fi2"},                           // compatibility forms
        {u"\U0001F600x", false, u"\U0001F600x"},                  // outside the basic plane: kept
        {u"", false, u""},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(foldedString(row.text, row.keepCase), row.folded)
            << std::string(row.folded.begin(), row.folded.end());
    }
}

TEST(TextFolding, OriginsPointBackIntoTheUnfoldedText)
{
    const leafscope::FoldedText folded = foldText(u"a\u0301b");
    EXPECT_EQ(folded.text, u"ab");
    EXPECT_EQ(folded.origin, (std::vector<int>{0, 2, 3}));
}

TEST(TextFolding, FindGivesRangesOfTheUnfoldedText)
{
    struct Row {
        std::u16string text;
        std::u16string needle;
        bool keepCase;
        std::vector<std::pair<int, int>> ranges; // start, length
    };
    // clang-format off
    const Row rows[] = {
        {u"Verify, verifying, VERIFIED", u"verif", false, {{0, 5}, {8, 5}, {19, 5}}},
        {u"Verify, verifying, VERIFIED", u"verif", true, {{8, 5}}},
        {u"Verify, verifying", u"Verif", true, {{0, 5}}},
        {u"Az \u00e9rv\u00e9nyes \u00c9RV\u00c9NYES", u"ervenyes", false, {{3, 8}, {12, 8}}},
        {u"Az e\u0301rve\u0301nyes", u"\u00e9rv\u00e9nyes", false, {{3, 10}}},  // marks inside the match
        {u"cafe\u0301 x", u"cafe", false, {{0, 5}}},                        // the trailing mark comes along
        {u"aaaa", u"aa", false, {{0, 2}, {2, 2}}},                          // no overlaps
        {u"abc", u"", false, {}},
        {u"abc", u"\u0301", false, {}},                                      // folds to nothing
        {u"abc", u"abcd", false, {}},
        {u"Ma\u00dfe", u"s", false, {{2, 1}}},                              // one match per character
        {u"\ufb01ne", u"ine", false, {{0, 3}}},                             // starts inside a ligature
    };
    // clang-format on
    for (const Row& row : rows) {
        const std::vector<toolkit::TextRange> found = findFolded(row.text, row.needle, row.keepCase, 100);
        std::vector<std::pair<int, int>> ranges;
        for (const toolkit::TextRange& range : found) {
            ranges.emplace_back(range.start, range.length);
        }
        EXPECT_EQ(ranges, row.ranges) << std::string(row.text.begin(), row.text.end());
    }
}

// The title index, find in page and the full-text search fold alike: what one
// finds, the others find.
TEST(TextFolding, OneRuleForTitlesFindAndSearch)
{
    struct Row {
        std::u16string text;
        std::u16string query;
        std::u16string found; // the text find marks; empty: found by none
    };
    // clang-format off
    const Row rows[] = {
        {u"Stra\u00dfe", u"strasse", u"Stra\u00dfe"},
        {u"STRASSE", u"stra\u00dfe", u"STRASSE"},
        {u"\u00d8re", u"ore", u"\u00d8re"},
        {u"\u0141\u00f3d\u017a", u"lodz", u"\u0141\u00f3d\u017a"},
        {u"\u0110ur\u0111evac", u"durdevac", u"\u0110ur\u0111evac"},
        {u"\u0126amrun", u"hamrun", u"\u0126amrun"},
        {u"K\u0131r\u0131kkale", u"kirikkale", u"K\u0131r\u0131kkale"},
        {u"\u00c6r\u00f8", u"aero", u"\u00c6r\u00f8"},
        {u"\u0152uvre", u"oeuvre", u"\u0152uvre"},
        {u"\u00deingvellir", u"thing", u"\u00deing"},
        {u"E\u0301rve\u0301nyes", u"\u00e9rv\u00e9nyes", u"E\u0301rve\u0301nyes"},
        {u"\ufb01le", u"file", u"\ufb01le"},
        {u"\uff26\uff55\uff4c\uff4c", u"full", u"\uff26\uff55\uff4c\uff4c"},
        {u"\u00d8re", u"\u00f8R", u"\u00d8r"},
        {u"Stra\u00dfe", u"strase", u""},
        {u"\u0141\u00f3d\u017a", u"iodz", u""},
    };
    // clang-format on
    for (const Row& row : rows) {
        const std::string label(row.text.begin(), row.text.end());
        const std::vector<toolkit::TextRange> found = findFolded(row.text, row.query, false, 10);
        std::u16string marked;
        if (!found.empty()) {
            marked =
                row.text.substr(static_cast<std::size_t>(found[0].start), static_cast<std::size_t>(found[0].length));
        }
        EXPECT_EQ(marked, row.found) << label;

        document::ContentsList contents(1);
        contents[0].entryName = u"page.rtf";
        contents[0].title = row.text;
        const auto titles = leafscope::buildTitleIndex(contents, u"en_GB");
        EXPECT_EQ(leafscope::filterTitleIndex(titles, row.query).size(), row.found.empty() ? 0u : 1u) << label;

        leafscope::FullTextBuilder builder;
        leafscope::addPageText(builder, 0, row.text);
        const leafscope::FullTextIndex index = leafscope::finishIndex(std::move(builder));
        EXPECT_EQ(leafscope::searchIndex(index, row.query, {u"Title"}).size(), row.found.empty() ? 0u : 1u) << label;
    }
}

TEST(TextFolding, FindStopsAtTheLimit)
{
    const std::u16string text(5000, u'a');
    EXPECT_EQ(findFolded(text, u"a", false, 1001).size(), 1001u);
    EXPECT_TRUE(findFolded(text, u"a", false, 0).empty());
}

} // namespace
