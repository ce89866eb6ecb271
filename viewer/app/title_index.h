#pragma once
// The Index tab's content: every page title of the document (headings have no
// page and are left out), sorted for the user's language, and filtered as the
// user types by a case- and accent-insensitive substring ("elozo" finds
// "Előző oldal").

#include <string>
#include <string_view>
#include <vector>

#include "viewer/document/contents.h"

namespace leafscope {

struct TitleIndexEntry {
    std::u16string title;
    int page = 0;
    std::u16string key; // the title folded for matching (foldedString)
};

// The page titles of `list` sorted by the collation of `locale` (such as
// "hu_HU"; an unknown one sorts as the system's default), equal titles in
// contents order.
std::vector<TitleIndexEntry> buildTitleIndex(const document::ContentsList& list, std::u16string_view locale);

// The last page (not heading) whose title equals `title` ignoring letter case,
// or -1: the target of a "#Title" link in a page.
int findLinkedPage(const document::ContentsList& list, std::u16string_view title);

// Positions in `index` of the entries whose title contains `query` once both
// are folded; every position for an empty query.
std::vector<int> filterTitleIndex(const std::vector<TitleIndexEntry>& index, std::u16string_view query);

} // namespace leafscope
