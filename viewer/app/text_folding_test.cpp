#include "viewer/app/text_folding.h"

#include <gtest/gtest.h>

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
        {u"Stra\u00dfe", false, u"stra\u00dfe"},                  // ß has no simple fold
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

TEST(TextFolding, FindStopsAtTheLimit)
{
    const std::u16string text(5000, u'a');
    EXPECT_EQ(findFolded(text, u"a", false, 1001).size(), 1001u);
    EXPECT_TRUE(findFolded(text, u"a", false, 0).empty());
}

} // namespace
