// Read-only one-line fields are drawn on the window's colour, editable ones on
// the input colour; a colour the program sets still wins.

#include <gtest/gtest.h>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

namespace tt = toolkit::testing;

constexpr int kMain = 0;
constexpr int kReadOnly = 10;
constexpr int kEditable = 11;

TEST(ReadOnlyFields, LookDifferentFromFieldsThatTakeTyping)
{
    tt::reset();
    ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 300, 200, u"Main", toolkit::WindowCaption));
    ASSERT_TRUE(toolkit::createTextField(kMain, kReadOnly, 10, 10, 200, 25, u"shown", toolkit::FieldReadOnly));
    ASSERT_TRUE(toolkit::createTextField(kMain, kEditable, 10, 40, 200, 25, u""));
    const toolkit::Colour window = tt::windowView(kMain).backgroundColour;

    EXPECT_EQ(tt::view(kReadOnly).backgroundColour, window);
    EXPECT_NE(tt::view(kEditable).backgroundColour, window);
    // A text colour keeps the window's background; the text takes no typing.
    toolkit::setColour(kReadOnly, toolkit::ColourRole::Text, toolkit::rgb(0, 120, 0));
    EXPECT_EQ(tt::view(kReadOnly).backgroundColour, window);
    EXPECT_EQ(tt::view(kReadOnly).textColour, toolkit::rgb(0, 120, 0));
    EXPECT_TRUE(tt::typeText(kReadOnly, u"typed"));
    EXPECT_EQ(toolkit::text(kReadOnly), u"shown");
    // A background set by the program is drawn as set, and -1 goes back.
    toolkit::setColour(kReadOnly, toolkit::ColourRole::Background, toolkit::rgb(1, 2, 3));
    EXPECT_EQ(tt::view(kReadOnly).backgroundColour, toolkit::rgb(1, 2, 3));
    toolkit::setColour(kReadOnly, toolkit::ColourRole::Background, toolkit::kDefaultColour);
    EXPECT_EQ(tt::view(kReadOnly).backgroundColour, window);
    tt::reset();
}

} // namespace
