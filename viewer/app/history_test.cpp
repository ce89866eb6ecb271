#include "viewer/app/history.h"

#include <gtest/gtest.h>

namespace {

using leafscope::HistoryList;

constexpr int A = 0, B = 1, C = 2, D = 3, H = 7;

// Plays tree choices (insert) and Previous/Next as the viewer does, keeping
// the page on display beside the history.
struct Player {
    HistoryList history;
    int current = A;
    explicit Player(int first)
    {
        current = first;
        leafscope::startHistory(history, first);
    }
    void choose(int page)
    {
        current = page;
        leafscope::insertHistoryEntry(history, page);
    }
    bool step(int direction)
    {
        std::optional<int> page = leafscope::stepHistory(history, direction, current);
        if (page) {
            current = *page;
        }
        return page.has_value();
    }
    void home(int page) { current = page; } // Home leaves the history alone
};

TEST(History, InsertsAfterTheCurrentEntryNeverTruncates)
{
    Player p(A);
    p.choose(B);
    p.choose(C);
    EXPECT_TRUE(p.step(-1));
    EXPECT_TRUE(p.step(-1));
    EXPECT_EQ(p.current, A);
    p.choose(D);
    EXPECT_EQ(p.history.pages, (std::vector<int>{A, D, B, C}));
    EXPECT_EQ(p.history.position, 1);
    EXPECT_TRUE(p.step(+1));
    EXPECT_EQ(p.current, B);
}

TEST(History, OneEntryMovesNowhere)
{
    Player p(A);
    EXPECT_FALSE(p.step(-1));
    EXPECT_FALSE(p.step(+1));
    EXPECT_EQ(p.history.position, 0);
    HistoryList empty;
    EXPECT_FALSE(leafscope::stepHistory(empty, -1, 0).has_value());
}

TEST(History, PreviousAfterHomeStepsBackFromTheEntryBeforeHome)
{
    Player p(A);
    p.choose(B);
    p.choose(C);
    p.home(H);
    EXPECT_TRUE(p.step(-1));
    EXPECT_EQ(p.current, B);
    EXPECT_EQ(p.history.position, 1);
}

TEST(History, PreviousDoesNothingWhenTheEntryBeforeIsOnDisplay)
{
    Player p(A);
    p.choose(B);
    p.home(A); // home page A, history still at B
    EXPECT_FALSE(p.step(-1));
    EXPECT_EQ(p.history.position, 1);
    EXPECT_EQ(p.current, A);
}

// At either end after Home the entry looked at is the current one; showing it
// keeps the position on it (it never leaves the list).
TEST(History, BothEndsAfterHomeStayInsideTheList)
{
    struct Row {
        const char* name;
        int direction;
        int expectedPosition;
    };
    const Row rows[] = {{"Previous at the first entry", -1, 0}, {"Next at the last entry", +1, 2}};
    for (const Row& row : rows) {
        Player p(A);
        p.choose(B);
        p.choose(C);
        p.history.position = row.direction < 0 ? 0 : 2;
        const int entry = p.history.pages[static_cast<std::size_t>(p.history.position)];
        p.home(H);
        EXPECT_TRUE(p.step(row.direction)) << row.name;
        EXPECT_EQ(p.current, entry) << row.name;
        EXPECT_EQ(p.history.position, row.expectedPosition) << row.name;
        EXPECT_FALSE(p.step(row.direction)) << row.name;
        EXPECT_EQ(p.history.position, row.expectedPosition) << row.name;
    }
}

} // namespace
