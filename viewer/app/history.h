#pragma once
// The visit history behind Previous and Next: pages in the order the user chose
// them in the tree, with a current position. New pages are inserted after the
// current position, never appended after cutting the rest off.

#include <optional>
#include <vector>

namespace leafscope {

struct HistoryList {
    std::vector<int> pages;
    int position = -1; // index of the current entry; -1 while empty
};

// The history after a document opens on `page`: that one entry, current.
void startHistory(HistoryList& history, int page);

// Inserts `page` directly after the current entry and makes it current.
void insertHistoryEntry(HistoryList& history, int page);

// Previous (step -1) or Next (step +1) while `currentPage` is on display: looks
// at the entry before (after) the current one, or at the current entry itself
// at either end. Returns that entry's page and makes it current, or nothing
// (and the position stays) when the history is empty or the page is the one on
// display. After Home the page on display can differ from the current entry;
// at an end the position then stays where it is, on the entry shown.
std::optional<int> stepHistory(HistoryList& history, int step, int currentPage);

} // namespace leafscope
