// Owned windows as the window system sees them (dialog of their owner, modal or
// not, no minimise or maximise button) and centring of the outer frame.

#include <gtest/gtest.h>

#include <cstdint>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

namespace tt = toolkit::testing;

constexpr int kMain = 0;
constexpr int kOwned = 1;
constexpr int kMainButton = 10;
constexpr int kOwnedButton = 20;

constexpr std::uint32_t kFramed = toolkit::WindowCaption | toolkit::WindowSystemMenu;

class OwnedWindows : public ::testing::Test {
protected:
    void SetUp() override { tt::reset(); }
    void TearDown() override { tt::reset(); }

    static void openMain()
    {
        ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 500, 400, u"Main",
            kFramed | toolkit::WindowMinimizeButton | toolkit::WindowInvisible | toolkit::WindowScreenCentered));
        // The menu bar comes after the window is opened, as the programs build it.
        ASSERT_TRUE(toolkit::createMenuBar(kMain));
        toolkit::addMenuTitle(kMain, u"File");
        toolkit::addMenuItem(kMain, 1, u"Quit");
        ASSERT_TRUE(toolkit::createButton(kMain, kMainButton, 10, 10, 100, 25, u"Main"));
        toolkit::showWindow(kMain);
        ASSERT_TRUE(tt::activate(kMain));
    }

    static void openOwned(std::uint32_t flags)
    {
        ASSERT_TRUE(toolkit::openWindow(kOwned, 0, 0, 300, 120, u"Owned",
            kFramed | toolkit::WindowInvisible | toolkit::WindowOwnerCentered | flags, kMain));
        ASSERT_TRUE(toolkit::createButton(kOwned, kOwnedButton, 10, 10, 100, 25, u"Owned"));
        toolkit::showWindow(kOwned);
        tt::processEvents();
    }

    // Twice the centre, so that odd sizes compare exactly.
    static int doubleCentre(int origin, int size) { return 2 * origin + size; }
};

TEST_F(OwnedWindows, WindowSystemSeesOwnedWindowsAsDialogsOfTheirOwner)
{
    struct Case {
        const char* name;
        std::uint32_t flags;
        bool modal;
    };
    // Minimise and maximise asked of an owned window are not given to it.
    const Case cases[] = {
        {"modal", toolkit::WindowModal, true},
        {"modeless", 0, false},
        {"modeless asking for buttons", toolkit::WindowMinimizeButton | toolkit::WindowMaximizeButton, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tt::reset();
        openMain();
        openOwned(c.flags);
        const tt::WindowSystemView owned = tt::windowSystemView(kOwned);
        EXPECT_EQ(owned.transientFor, kMain);
        EXPECT_TRUE(owned.dialog);
        EXPECT_EQ(owned.modal, c.modal);
        EXPECT_FALSE(owned.minimizeButton);
        EXPECT_FALSE(owned.maximizeButton);
    }

    // The owner itself stays a normal top-level window with its minimise button.
    const tt::WindowSystemView main = tt::windowSystemView(kMain);
    EXPECT_EQ(main.transientFor, -1);
    EXPECT_FALSE(main.dialog);
    EXPECT_FALSE(main.modal);
    EXPECT_TRUE(main.minimizeButton);
}

TEST_F(OwnedWindows, ModalWindowBlocksItsOwnerAndModelessDoesNot)
{
    openMain();
    openOwned(toolkit::WindowModal);
    ASSERT_TRUE(tt::click(kMainButton));
    EXPECT_EQ(toolkit::waitEvent(50).kind, toolkit::EventKind::None);
    ASSERT_TRUE(tt::click(kOwnedButton));
    EXPECT_EQ(toolkit::waitEvent(200).window, kOwned);

    toolkit::closeWindow(kOwned);
    openOwned(0);
    ASSERT_TRUE(tt::click(kMainButton));
    const toolkit::Event event = toolkit::waitEvent(200);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, kMainButton);
}

TEST_F(OwnedWindows, OuterFramesAreCentredOnScreenAndOnTheOwner)
{
    openMain();
    const tt::ScreenArea area = tt::availableScreenArea();
    const tt::WindowSystemView main = tt::windowSystemView(kMain);
    const tt::WindowView inner = tt::windowView(kMain);
    // The frame holds the menu bar and the window system's borders.
    ASSERT_GT(main.frameHeight, inner.height);
    EXPECT_NEAR(doubleCentre(main.frameX, main.frameWidth), doubleCentre(area.x, area.width), 1);
    EXPECT_NEAR(doubleCentre(main.frameY, main.frameHeight), doubleCentre(area.y, area.height), 1);

    openOwned(toolkit::WindowModal);
    const tt::WindowSystemView owned = tt::windowSystemView(kOwned);
    EXPECT_NEAR(doubleCentre(owned.frameX, owned.frameWidth), doubleCentre(main.frameX, main.frameWidth), 1);
    EXPECT_NEAR(doubleCentre(owned.frameY, owned.frameHeight), doubleCentre(main.frameY, main.frameHeight), 1);
}

} // namespace
