#pragma once
// The word index behind the Index tab's full-text search: every page's words,
// folded (accents and case do not count), with how often each occurs on each
// page. Built page by page so the caller can spread the work over the event
// loop; searched by word prefixes that must all occur on a page.
//
//   FullTextBuilder builder;
//   for (each page) addPageText(builder, page, text);  // in slices
//   FullTextIndex index = finishIndex(std::move(builder));
//   std::vector<FullTextHit> hits = searchIndex(index, u"verif ste", titles);

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace leafscope {

// Occurrences of one word counted on one page at most; more show as "1000+".
inline constexpr std::uint32_t kPageHitLimit = 1000;

struct WordPosting {
    std::uint32_t page = 0;
    std::uint32_t count = 0; // at most kPageHitLimit
};

struct FullTextBuilder {
    std::unordered_map<std::u16string, std::vector<WordPosting>> words;
};

struct FullTextIndex {
    std::vector<std::u16string> words;       // folded, sorted
    std::vector<std::uint32_t> firstPosting; // per word, plus the end: ranges in postings
    std::vector<WordPosting> postings;       // by word, then by page
};

// The folded words of `text` in order: runs of letters and digits.
std::vector<std::u16string> foldedWords(std::u16string_view text);

// Adds the words of page `page`; pages must come in rising order.
void addPageText(FullTextBuilder& builder, int page, std::u16string_view text);
FullTextIndex finishIndex(FullTextBuilder builder);

// Bytes the index holds, allocations included as far as they can be counted.
std::size_t indexBytes(const FullTextIndex& index);

struct FullTextHit {
    int page = 0;
    std::uint32_t hits = 0; // occurrences of the typed words, at most kPageHitLimit
    bool capped = false;    // the page holds more
    bool inTitle = false;   // every typed word starts a word of the page's title
};

// The pages holding every word of `query` as the start of a word, title hits
// first, then by hits, then in page order. `titles[page]` is the page's title;
// an empty query gives nothing.
std::vector<FullTextHit> searchIndex(
    const FullTextIndex& index, std::u16string_view query, const std::vector<std::u16string>& titles);

// A line of about `width` characters around the first place a word of `text`
// starts with the first word of `query`, with "…" where the text goes on; line
// breaks become spaces. The text's start when nothing matches.
std::u16string excerptAround(std::u16string_view text, std::u16string_view query, std::size_t width = 80);

} // namespace leafscope
