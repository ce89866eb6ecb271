#pragma once
// Find in page: a slim bar below the page view with a text field, previous and
// next buttons, a "match case" box and the count ("3 of 12"). Ctrl+F opens it,
// F3 and Shift+F3 step through the matches, Escape closes it and gives the focus
// back to the page. The search runs again on every page shown while it is open.

#include <string>
#include <vector>

#include "toolkit/toolkit.h"

namespace leafscope {

struct LeafscopeApp;

// Matches counted on one page at most; more show as "1000+".
inline constexpr std::size_t kFindMatchLimit = 1000;
inline constexpr int kFindBarHeight = 30;

struct FindBarState {
    bool open = false;
    std::vector<toolkit::TextRange> matches;
    bool capped = false; // the page holds more than kFindMatchLimit matches
    int current = -1;    // index into matches, -1 without any
};

// Creates the bar's gadgets, hidden, and its keys.
void createFindBar(LeafscopeApp& app);
// Height the bar takes from the bottom of the main window: 0 while closed.
int findBarHeight(const LeafscopeApp& app);
// Puts the bar's gadgets below the page view, from the splitter's bar on.
void placeFindBar(const LeafscopeApp& app);

// Opens the bar (if closed) with `query` in its field (the field's own text when
// null), focuses the field and searches.
void openFindBar(LeafscopeApp& app, const std::u16string* query = nullptr);
void closeFindBar(LeafscopeApp& app);
// One match on (+1) or back (-1), round the ends; opens the bar when closed.
void stepFind(LeafscopeApp& app, int step);
// Searches the page shown again from its first match (after a page change).
void rerunFind(LeafscopeApp& app);
// The count as the bar shows it: "3 of 12", "3 of 1000+", "No matches" or empty.
std::u16string findCountText(const LeafscopeApp& app);

// The bar's own commands and gadgets; false for any other event.
bool handleFindEvent(LeafscopeApp& app, const toolkit::Event& event);

} // namespace leafscope
