#include "viewer/app/history.h"

namespace leafscope {

void startHistory(HistoryList& history, int page)
{
    history.pages.assign(1, page);
    history.position = 0;
}

void insertHistoryEntry(HistoryList& history, int page)
{
    const auto at = history.pages.begin() + (history.position + 1);
    history.pages.insert(at, page);
    ++history.position;
}

std::optional<int> stepHistory(HistoryList& history, int step, int currentPage)
{
    const int count = static_cast<int>(history.pages.size());
    if (history.position < 0 || history.position >= count) {
        return std::nullopt;
    }
    int looked = history.position + step;
    if (looked < 0 || looked >= count) {
        looked = history.position;
    }
    const int page = history.pages[static_cast<std::size_t>(looked)];
    if (page == currentPage) {
        return std::nullopt;
    }
    history.position = looked;
    return page;
}

} // namespace leafscope
