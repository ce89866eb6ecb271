#include "viewer/app/full_text_index.h"

#include <QChar>

#include <algorithm>
#include <numeric>

#include "viewer/app/text_folding.h"

namespace leafscope {
namespace {

bool isWordUnit(char16_t c)
{
    return QChar::isLetterOrNumber(static_cast<char32_t>(c)) || QChar::isSurrogate(c);
}

struct WordSpan {
    std::size_t start = 0; // in the folded text
    std::size_t length = 0;
};

std::vector<WordSpan> wordSpans(std::u16string_view folded)
{
    std::vector<WordSpan> spans;
    std::size_t i = 0;
    while (i < folded.size()) {
        while (i < folded.size() && !isWordUnit(folded[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < folded.size() && isWordUnit(folded[i])) {
            ++i;
        }
        if (i > start) {
            spans.push_back({start, i - start});
        }
    }
    return spans;
}

bool startsWith(std::u16string_view text, std::u16string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::vector<std::u16string> foldedWords(std::u16string_view text)
{
    const std::u16string folded = foldedString(text);
    std::vector<std::u16string> words;
    for (const WordSpan& span : wordSpans(folded)) {
        words.emplace_back(folded.substr(span.start, span.length));
    }
    return words;
}

void addPageText(FullTextBuilder& builder, int page, std::u16string_view text)
{
    const std::u16string folded = foldedString(text);
    const std::u16string_view view = folded;
    for (const WordSpan& span : wordSpans(view)) {
        std::vector<WordPosting>& postings = builder.words[std::u16string(view.substr(span.start, span.length))];
        if (postings.empty() || postings.back().page != static_cast<std::uint32_t>(page)) {
            postings.push_back({static_cast<std::uint32_t>(page), 0});
        }
        postings.back().count = std::min(postings.back().count + 1, kPageHitLimit + 1);
    }
}

FullTextIndex finishIndex(FullTextBuilder builder)
{
    // The words are moved out of the map, not copied: this step runs in one go.
    std::vector<std::pair<std::u16string, std::vector<WordPosting>>> entries;
    entries.reserve(builder.words.size());
    std::size_t total = 0;
    while (!builder.words.empty()) {
        auto node = builder.words.extract(builder.words.begin());
        total += node.mapped().size();
        entries.emplace_back(std::move(node.key()), std::move(node.mapped()));
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    FullTextIndex index;
    index.words.reserve(entries.size());
    index.firstPosting.reserve(entries.size() + 1);
    index.postings.reserve(total);
    for (auto& [word, postings] : entries) {
        index.words.push_back(std::move(word));
        index.firstPosting.push_back(static_cast<std::uint32_t>(index.postings.size()));
        index.postings.insert(index.postings.end(), postings.begin(), postings.end());
        postings = {}; // frees as it goes: the peak stays near one copy
    }
    index.firstPosting.push_back(static_cast<std::uint32_t>(index.postings.size()));
    return index;
}

std::size_t indexBytes(const FullTextIndex& index)
{
    std::size_t bytes = sizeof(index) + index.words.capacity() * sizeof(std::u16string) +
        index.firstPosting.capacity() * sizeof(std::uint32_t) + index.postings.capacity() * sizeof(WordPosting);
    for (const std::u16string& word : index.words) {
        // Short words live inside the string object itself.
        if (word.capacity() > 7) {
            bytes += (word.capacity() + 1) * sizeof(char16_t);
        }
    }
    return bytes;
}

std::vector<FullTextHit> searchIndex(
    const FullTextIndex& index, std::u16string_view query, const std::vector<std::u16string>& titles)
{
    std::vector<FullTextHit> hits;
    std::vector<std::u16string> typed = foldedWords(query);
    if (typed.empty()) {
        return hits;
    }
    std::sort(typed.begin(), typed.end());
    typed.erase(std::unique(typed.begin(), typed.end()), typed.end());
    // Per page: the hits so far and how many typed words it holds.
    std::unordered_map<std::uint32_t, std::pair<std::uint32_t, std::size_t>> pages;
    for (std::size_t t = 0; t < typed.size(); ++t) {
        const std::u16string& prefix = typed[t];
        std::unordered_map<std::uint32_t, std::uint32_t> thisWord;
        auto word = std::lower_bound(index.words.begin(), index.words.end(), prefix);
        for (; word != index.words.end() && startsWith(*word, prefix); ++word) {
            const auto w = static_cast<std::size_t>(word - index.words.begin());
            for (std::uint32_t p = index.firstPosting[w]; p < index.firstPosting[w + 1]; ++p) {
                std::uint32_t& count = thisWord[index.postings[p].page];
                count = std::min(count + index.postings[p].count, kPageHitLimit + 1);
            }
        }
        for (const auto& [page, count] : thisWord) {
            auto& entry = pages[page];
            if (entry.second == t) { // held every earlier word
                entry.first = std::min(entry.first + count, kPageHitLimit + 1);
                entry.second = t + 1;
            }
        }
    }
    for (const auto& [page, entry] : pages) {
        if (entry.second != typed.size()) {
            continue;
        }
        FullTextHit hit;
        hit.page = static_cast<int>(page);
        hit.capped = entry.first > kPageHitLimit;
        hit.hits = std::min(entry.first, kPageHitLimit);
        if (page < titles.size()) {
            const std::vector<std::u16string> titleWords = foldedWords(titles[page]);
            hit.inTitle = std::all_of(typed.begin(), typed.end(), [&](const std::u16string& prefix) {
                return std::any_of(titleWords.begin(), titleWords.end(),
                    [&](const std::u16string& titleWord) { return startsWith(titleWord, prefix); });
            });
        }
        hits.push_back(hit);
    }
    std::sort(hits.begin(), hits.end(), [](const FullTextHit& a, const FullTextHit& b) {
        if (a.inTitle != b.inTitle) {
            return a.inTitle;
        }
        if (a.hits != b.hits) {
            return a.hits > b.hits;
        }
        return a.page < b.page;
    });
    return hits;
}

std::u16string excerptAround(std::u16string_view text, std::u16string_view query, std::size_t width)
{
    const std::vector<std::u16string> typed = foldedWords(query);
    const FoldedText folded = foldText(text);
    std::size_t hit = 0; // in the unfolded text
    if (!typed.empty()) {
        for (const WordSpan& span : wordSpans(folded.text)) {
            if (startsWith(std::u16string_view(folded.text).substr(span.start, span.length), typed.front())) {
                hit = static_cast<std::size_t>(folded.origin[span.start]);
                break;
            }
        }
    }
    // A third of the line before the hit, the rest after it, cut at spaces.
    // Near the end the line starts earlier, so it is as full as the text allows.
    std::size_t from = hit > width / 3 ? hit - width / 3 : 0;
    from = text.size() > width ? std::min(from, text.size() - width) : 0;
    if (from > 0) {
        const std::size_t space = text.find_first_of(u" \n\t", from);
        from = space != std::u16string_view::npos && space < hit ? space + 1 : from;
    }
    std::size_t to = std::min(text.size(), from + width);
    if (to < text.size()) {
        const std::size_t space = text.find_last_of(u" \n\t", to);
        to = space != std::u16string_view::npos && space > hit ? space : to;
    }
    std::u16string line;
    if (from > 0) {
        line += u"\u2026";
    }
    for (char16_t c : text.substr(from, to - from)) {
        const bool blank = c == u'\n' || c == u'\t' || c == u'\r' || c == u' ';
        if (blank && (line.empty() || line.back() == u' ')) {
            continue;
        }
        line.push_back(blank ? u' ' : c);
    }
    while (!line.empty() && line.back() == u' ') {
        line.pop_back();
    }
    if (to < text.size()) {
        line += u"\u2026";
    }
    return line;
}

} // namespace leafscope
