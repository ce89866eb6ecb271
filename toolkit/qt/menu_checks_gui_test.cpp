// Check marks of menu items belong to the program: choosing an item raises its
// command and leaves the mark as the program set it.

#include <gtest/gtest.h>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

namespace tt = toolkit::testing;

constexpr int kMain = 0;

TEST(MenuChecks, ChoosingAnItemLeavesItsCheckMarkToTheProgram)
{
    tt::reset();
    ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 300, 200, u"Main", toolkit::WindowCaption));
    ASSERT_TRUE(toolkit::createMenuBar(kMain));
    toolkit::addMenuTitle(kMain, u"Languages");
    toolkit::addMenuItem(kMain, 5, u"English");
    toolkit::addMenuItem(kMain, 6, u"Magyar");
    toolkit::addMenuItem(kMain, 7, u"Plain");
    toolkit::setMenuItemChecked(kMain, 5, true);
    toolkit::setMenuItemChecked(kMain, 6, false);
    ASSERT_TRUE(tt::activate(kMain));

    struct Step {
        int item;
        bool checked5, checked6;
    };
    // The checked item chosen again stays checked, the unchecked one stays
    // unchecked, and an item never given a mark gets none.
    const Step steps[] = {{5, true, false}, {6, true, false}, {7, true, false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.item);
        ASSERT_TRUE(tt::chooseMenuItem(kMain, step.item));
        const toolkit::Event event = toolkit::waitEvent(200);
        EXPECT_EQ(event.kind, toolkit::EventKind::Command);
        EXPECT_EQ(event.id, step.item);
        EXPECT_EQ(tt::menuItemView(kMain, 5).checked, step.checked5);
        EXPECT_EQ(tt::menuItemView(kMain, 6).checked, step.checked6);
        EXPECT_FALSE(tt::menuItemView(kMain, 7).checked);
    }
    EXPECT_TRUE(tt::menuItemView(kMain, 6).checkable);
    EXPECT_FALSE(tt::menuItemView(kMain, 7).checkable);
    tt::reset();
}

} // namespace
