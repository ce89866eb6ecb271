#include "viewer/app/full_text_index.h"

#include <gtest/gtest.h>

namespace {

using namespace leafscope;

struct Page {
    std::u16string title;
    std::u16string text;
};

FullTextIndex indexOf(const std::vector<Page>& pages)
{
    FullTextBuilder builder;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        addPageText(builder, static_cast<int>(i), pages[i].text);
    }
    return finishIndex(std::move(builder));
}

std::vector<std::u16string> titlesOf(const std::vector<Page>& pages)
{
    std::vector<std::u16string> titles;
    for (const Page& page : pages) {
        titles.push_back(page.title);
    }
    return titles;
}

const std::vector<Page>& samplePages()
{
    static const std::vector<Page> pages = {
        {u"Introduction", u"Hashmere checks files. Verifying a file compares its digest."},
        {u"Verifying files", u"To verify, open the list. Verification needs the list file."},
        {u"Settings", u"The language and the \u00e9rv\u00e9nyes folder. Verify verify verify."},
        {u"Empty", u""},
        {u"Digest list", u"A digest list holds one digest per file; the list is plain text."},
    };
    return pages;
}

TEST(FullTextIndex, WordsArePrefixesThatMustAllOccur)
{
    const FullTextIndex index = indexOf(samplePages());
    const std::vector<std::u16string> titles = titlesOf(samplePages());
    struct Row {
        std::u16string query;
        std::vector<int> pages; // in rank order
    };
    // clang-format off
    const Row rows[] = {
        {u"verif", {1, 2, 0}},          // title hit first, then by hits (3 + 1 against 1)
        {u"VERIF", {1, 2, 0}},
        {u"verif list", {1}},           // every word must occur
        {u"digest", {4, 0}},
        {u"ervenyes", {2}},             // accents fold away
        {u"\u00c9RV\u00c9NY", {2}},
        {u"list verif", {1}},           // order of the words does not count
        {u"erifying", {}},              // prefixes only, not inner parts
        {u"absent", {}},
        {u"", {}},
        {u" ,;", {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::vector<int> pages;
        for (const FullTextHit& hit : searchIndex(index, row.query, titles)) {
            pages.push_back(hit.page);
        }
        EXPECT_EQ(pages, row.pages) << std::string(row.query.begin(), row.query.end());
    }
}

TEST(FullTextIndex, HitsCountEveryWordAndTitlesNeedEveryWord)
{
    const FullTextIndex index = indexOf(samplePages());
    const std::vector<FullTextHit> hits = searchIndex(index, u"list digest", titlesOf(samplePages()));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].page, 4);
    EXPECT_EQ(hits[0].hits, 4u); // list x2, digest x2 (title words are not counted as text)
    EXPECT_TRUE(hits[0].inTitle);
    const std::vector<FullTextHit> one = searchIndex(index, u"digest compares", titlesOf(samplePages()));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_FALSE(one[0].inTitle); // "compares" is not in the title
}

TEST(FullTextIndex, HitsPerPageAreCappedSoAHugePageStaysCheap)
{
    std::u16string huge;
    for (int i = 0; i < 5000; ++i) {
        huge += u"word ";
    }
    const std::vector<Page> pages = {{u"Huge", huge}, {u"Small", u"word word"}};
    const FullTextIndex index = indexOf(pages);
    const std::vector<FullTextHit> hits = searchIndex(index, u"wo", titlesOf(pages));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].page, 0);
    EXPECT_EQ(hits[0].hits, kPageHitLimit);
    EXPECT_TRUE(hits[0].capped);
    EXPECT_FALSE(hits[1].capped);
    EXPECT_EQ(hits[1].hits, 2u);
    EXPECT_EQ(index.words.size(), 1u);
}

TEST(FullTextIndex, ExcerptShowsTheFirstHitWithItsContext)
{
    std::u16string longText = u"Start.\n";
    for (int i = 0; i < 30; ++i) {
        longText += u"filler ";
    }
    longText += u"the \u00c9rv\u00e9nyes setting decides";
    for (int i = 0; i < 30; ++i) {
        longText += u" tail";
    }
    struct Row {
        std::u16string text;
        std::u16string query;
        std::u16string excerpt;
    };
    // clang-format off
    const Row rows[] = {
        {u"Short\npage  text", u"page", u"Short page text"},
        {u"Nothing here", u"absent", u"Nothing here"},
        {longText, u"ervenyes", u"\u2026filler filler filler the \u00c9rv\u00e9nyes setting decides tail tail tail tail tail "
                                u"tail\u2026"},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(excerptAround(row.text, row.query, 80), row.excerpt);
    }
}

TEST(FullTextIndex, MemoryIsCountedFromTheStructures)
{
    const FullTextIndex index = indexOf(samplePages());
    EXPECT_GT(indexBytes(index), index.postings.size() * sizeof(WordPosting));
    EXPECT_EQ(index.firstPosting.size(), index.words.size() + 1);
    EXPECT_TRUE(std::is_sorted(index.words.begin(), index.words.end()));
}

} // namespace
