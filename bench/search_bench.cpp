// Leafscope's search: building the full-text word index of 5,000 pages (total
// time, the longest slice, the index's size), one search keystroke over it,
// and find in a 1 MB page until its first match is shown and marked.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "rtf_sample_page.h"
#include "toolkit/rtf/rtf_plain_text.h"
#include "toolkit/testing.h"
#include "viewer/app/full_text_index.h"
#include "viewer/app/text_folding.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace tt = toolkit::testing;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A synthetic word from a number: letters only, 3 to 10 long, some accented.
std::u16string syntheticWord(std::uint32_t number)
{
    static const char16_t kLetters[] = u"abcdefghijklmnopqrstuvwxyz\u00e1\u00e9\u0151\u0171";
    std::u16string word;
    std::uint32_t value = number * 2654435761u;
    const int length = 3 + static_cast<int>(number % 8);
    for (int i = 0; i < length; ++i) {
        word.push_back(kLetters[value % 30]);
        value = value / 30 + number * 7 + static_cast<std::uint32_t>(i);
    }
    return word;
}

} // namespace

int main(int argc, char** argv)
{
    if (!tt::initialiseHeadless()) {
        std::fprintf(stderr, "search_bench: no window system\n");
        return 1;
    }
    (void)argc;
    (void)argv;
    constexpr int kPages = 5000;
    // Every page: a word processor's 2 KB page plus 150 words of a 60,000-word
    // vocabulary (Zipf-like), so the vocabulary grows as a real manual's does.
    const std::string rtfPage = generatePage(2000);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<std::string> pages(kPages);
    for (int p = 0; p < kPages; ++p) {
        std::string extra = "\\par ";
        for (int w = 0; w < 150; ++w) {
            const auto number = static_cast<std::uint32_t>(std::pow(60000.0, uniform(random)));
            for (char16_t c : syntheticWord(number)) {
                extra += c < 0x80 ? std::string(1, static_cast<char>(c)) : "\\u" + std::to_string(c) + "?";
            }
            extra += ' ';
        }
        std::string page = rtfPage;
        page.insert(page.rfind('}'), extra);
        pages[static_cast<std::size_t>(p)] = std::move(page);
    }

    const long before = peakKiB();
    const Clock::time_point start = Clock::now();
    leafscope::FullTextBuilder builder;
    double longestSlice = 0;
    std::size_t next = 0;
    std::size_t textUnits = 0;
    while (next < pages.size()) {
        // A slice as the viewer runs it: pages until 15 ms have passed.
        const Clock::time_point sliceStart = Clock::now();
        while (next < pages.size() && msSince(sliceStart) < 15) {
            const std::string& page = pages[next];
            const rtf::PlainText plain =
                rtf::rtfPlainText(std::span(reinterpret_cast<const std::uint8_t*>(page.data()), page.size()));
            textUnits += plain.text.size();
            leafscope::addPageText(builder, static_cast<int>(next), plain.text);
            ++next;
        }
        longestSlice = std::max(longestSlice, msSince(sliceStart));
    }
    const Clock::time_point finishing = Clock::now();
    leafscope::FullTextIndex index = leafscope::finishIndex(std::move(builder));
    const double finishMs = msSince(finishing);
    const double buildMs = msSince(start);
    std::printf("Index of %d pages (%.1f MB of text)   build %7.1f ms, longest slice %.1f ms, finish step %.1f ms\n",
        kPages, static_cast<double>(textUnits) * 2 / 1e6, buildMs, longestSlice, finishMs);
    std::printf("Index size: %zu words, %zu postings, %.1f MiB counted; peak RSS grew %.1f MiB while building\n",
        index.words.size(), index.postings.size(), static_cast<double>(leafscope::indexBytes(index)) / 1048576.0,
        static_cast<double>(peakKiB() - before) / 1024.0);

    std::vector<std::u16string> titles;
    for (int p = 0; p < kPages; ++p) {
        const std::string title = "Topic " + std::to_string(p);
        titles.emplace_back(title.begin(), title.end());
    }
    const std::u16string queries[] = {u"t", u"th", u"the", u"verif", u"checksum fold", u"a", u"\u00e1b", u"zz"};
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        for (const std::u16string& query : queries) {
            const Clock::time_point keystroke = Clock::now();
            const auto hits = leafscope::searchIndex(index, query, titles);
            times.push_back(msSince(keystroke));
            (void)hits;
        }
    }
    std::printf("Search keystroke over the index   median %7.2f ms (max %.2f)\n", median(times),
        *std::max_element(times.begin(), times.end()));

    // Find in a 1 MB page: text out of the view, fold and match, mark and scroll to the first.
    const std::string big = generatePage(1 << 20);
    toolkit::openWindow(0, 0, 0, 900, 700, u"bench", toolkit::WindowCaption);
    toolkit::createPageView(0, 1, 0, 0, 900, 700);
    toolkit::showWindow(0);
    toolkit::showRichText(1, big.data(), big.size());
    tt::processEvents();
    std::vector<double> finds;
    for (int round = 0; round < 5; ++round) {
        const Clock::time_point findStart = Clock::now();
        const std::u16string text = toolkit::pagePlainText(1);
        const std::vector<toolkit::TextRange> found = leafscope::findFolded(text, u"table", false, 1001);
        toolkit::setPageHighlights(1, found, found.empty() ? -1 : 0);
        tt::repaintPage(1);
        finds.push_back(msSince(findStart));
    }
    std::printf("Find in a 1 MB page, first match shown   median %7.1f ms (max %.1f)\n", median(finds),
        *std::max_element(finds.begin(), finds.end()));
    return 0;
}
