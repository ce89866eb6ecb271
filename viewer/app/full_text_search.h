#pragma once
// Full-text search in the Index tab: in a second list below the title matches
// (shown only while the field holds a word), the pages whose text holds every
// typed word (as word starts), ranked with title hits first, each as two rows:
// the title with its hits, then an excerpt around the first hit. The word
// index is built on first use, a slice of pages per application event, so the
// window keeps answering; the list shows "Indexing… 40 %" meanwhile.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/toolkit.h"
#include "viewer/app/full_text_index.h"

namespace leafscope {

struct LeafscopeApp;

// Posted to the main window for every slice of indexing.
inline constexpr std::int32_t kIndexSliceEvent = toolkit::kFirstApplicationEvent + 1;
// Results listed at most (their excerpts are read from the pages again).
inline constexpr std::size_t kShownFullTextResults = 30;
// An excerpt is taken from the text of a page's first bytes only, so a huge page
// costs a keystroke no more than a small one; kept for the next keystrokes.
inline constexpr std::size_t kExcerptSourceBytes = 32 * 1024;
inline constexpr std::size_t kExcerptCacheSize = 100;
// Characters of an excerpt line: about what the Index tab shows at its width.
inline constexpr std::size_t kExcerptWidth = 48;

struct FullTextState {
    enum class Stage { NotStarted, Building, Ready };
    Stage stage = Stage::NotStarted;
    FullTextBuilder builder;
    FullTextIndex index;
    int nextPage = 0;
    int skippedPages = 0; // unreadable or damaged pages left out
    // Pages per slice: 0 works for about kSliceMilliseconds a slice; tests set a
    // fixed number to watch the progress.
    int pagesPerSlice = 0;
    std::vector<std::u16string> titles;                     // per page of the contents
    std::vector<FullTextHit> results;                       // as listed, two rows each
    std::unordered_map<int, std::u16string> excerptSources; // page: text of its first bytes
};

inline constexpr int kSliceMilliseconds = 15;

// Creates the full-text list in the Index tab, empty and hidden.
void createFullTextList();
// Shares the Index tab's page area (`width` x `height`) below the field: the
// title list fills it while the full-text list is empty, else takes the upper half.
void fitIndexLists(int width, int height);

// Fills the full-text list for `query` (filterIndex calls this after the title
// rows): progress while the index builds (and starts building it), the results
// once it is ready, nothing for a query without words.
void appendFullTextRows(LeafscopeApp& app, std::u16string_view query);

// Indexes the next slice of pages, then posts the next slice or, when done,
// lists the results for the index field's text.
void indexSlice(LeafscopeApp& app);

// The page of full-text list row `row`, or -1.
int fullTextRowPage(const LeafscopeApp& app, int row);

// Shows the page of full-text row `row` as the tree would and opens the find
// bar on the first typed word. False when `row` shows no result.
bool showFullTextRow(LeafscopeApp& app, int row);

// The full-text list's events and the indexing slices; false for any other event.
bool handleFullTextEvent(LeafscopeApp& app, const toolkit::Event& event);

// The plain text of page `page` (empty for headings); false when the page could
// not be read or its RTF was damaged. With `prefixBytes` only the text of that
// many first bytes is read (a cut page is not counted as damaged then).
bool pagePlainText(const LeafscopeApp& app, int page, std::u16string& text, std::size_t prefixBytes = 0);

} // namespace leafscope
