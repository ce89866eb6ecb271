// Toolkit semantics that the programs rely on, exercised headless through the
// test surface as a user would.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "data/artwork/artwork.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

namespace tt = toolkit::testing;

constexpr int kMain = 0;
constexpr int kOther = 1;

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override { tt::reset(); }
    void TearDown() override { tt::reset(); }

    // A shown main window of 400 x 300 with a button 10, a check box 11 and a field 12.
    static void openMain(std::uint32_t extraFlags = 0)
    {
        ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 400, 300, u"Main",
            toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowScreenCentered | extraFlags));
        ASSERT_TRUE(toolkit::createButton(kMain, 10, 10, 10, 100, 25, u"Press"));
        ASSERT_TRUE(toolkit::createCheckBox(kMain, 11, 10, 40, 100, 25, u"Tick"));
        ASSERT_TRUE(toolkit::createTextField(kMain, 12, 10, 70, 200, 25, u"", toolkit::FieldReadOnly));
        ASSERT_TRUE(tt::activate(kMain));
    }

    static toolkit::Event next(int timeoutMs = 200) { return toolkit::waitEvent(timeoutMs); }

    static void expectNoEvent()
    {
        toolkit::Event event = next(50);
        EXPECT_EQ(event.kind, toolkit::EventKind::None)
            << "unexpected event " << static_cast<int>(event.kind) << " id " << event.id << " window " << event.window;
    }
};

TEST_F(Toolkit, ClickRaisesGadgetEventOfItsWindow)
{
    openMain();
    ASSERT_TRUE(tt::click(10));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Gadget);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 10);
    EXPECT_EQ(event.type, toolkit::EventType::Clicked);

    ASSERT_TRUE(tt::click(11));
    event = next();
    EXPECT_EQ(event.id, 11);
    EXPECT_EQ(toolkit::state(11), 1);
    expectNoEvent();
}

TEST_F(Toolkit, DisabledWindowRaisesNoGadgetEvents)
{
    openMain();
    toolkit::addShortcut(kMain, toolkit::Key::F1, toolkit::ModNone, 2);
    ASSERT_TRUE(toolkit::createMenuBar(kMain));
    toolkit::addMenuTitle(kMain, u"File");
    toolkit::addMenuItem(kMain, 1, u"Quit");
    toolkit::enableFileDrop(12, true);

    toolkit::setWindowEnabled(kMain, false);
    tt::click(10);
    tt::click(11);
    tt::pressKey(toolkit::Key::F1);
    tt::chooseMenuItem(kMain, 1);
    tt::clickCloseBox(kMain);
    EXPECT_FALSE(tt::dropFiles(12, {u"/tmp"}));
    expectNoEvent();
    EXPECT_EQ(toolkit::state(11), 0) << "the click must not reach the check box";
    EXPECT_FALSE(tt::view(10).enabled);
    EXPECT_TRUE(toolkit::enabled(10)) << "the gadget's own flag is untouched";

    toolkit::setWindowEnabled(kMain, true);
    tt::click(10);
    EXPECT_EQ(next().id, 10);
}

TEST_F(Toolkit, DisabledGadgetRaisesNothing)
{
    openMain();
    toolkit::setEnabled(10, false);
    tt::click(10);
    expectNoEvent();
    EXPECT_FALSE(tt::view(10).enabled);
    toolkit::setEnabled(10, true);
    tt::click(10);
    EXPECT_EQ(next().id, 10);
}

TEST_F(Toolkit, SubLoopDropsEventsOfOtherWindows)
{
    openMain();
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other",
        toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowOwnerCentered, kMain));
    ASSERT_TRUE(toolkit::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    tt::runSoon([] {
        toolkit::postEvent(kMain, 65537);
        toolkit::postEvent(kOther, 65538);
    });
    toolkit::Event event = toolkit::waitWindowEvent(kOther);
    EXPECT_EQ(event.kind, toolkit::EventKind::Application);
    EXPECT_EQ(event.id, 65538);
    tt::runSoon([] {
        toolkit::postEvent(kMain, 65539);
        tt::runSoon([] { tt::click(20); }); // after 65539 has arrived
    });
    event = toolkit::waitWindowEvent(kOther);
    EXPECT_EQ(event.kind, toolkit::EventKind::Gadget);
    EXPECT_EQ(event.id, 20);
    expectNoEvent(); // 65537 and 65539 were dropped, not kept for later
}

TEST_F(Toolkit, EventsOfAClosedWindowAreDropped)
{
    openMain();
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other", toolkit::WindowCaption, kMain));
    ASSERT_TRUE(toolkit::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    ASSERT_TRUE(tt::activate(kOther));
    tt::click(20);
    tt::click(20); // a double click leaves a second event behind
    EXPECT_EQ(tt::pendingEvents(), 2);
    toolkit::closeWindow(kOther);
    EXPECT_EQ(tt::pendingEvents(), 0);
    EXPECT_FALSE(toolkit::gadgetExists(20));
}

TEST_F(Toolkit, CrossThreadUpdatesAreAppliedInOrderBeforeALaterPostedEvent)
{
    openMain();
    ASSERT_TRUE(toolkit::createProgressBar(kMain, 13, 10, 100, 200, 20, 0, 1000));
    toolkit::setState(11, 1);
    toolkit::setText(12, u"/some/path");
    std::atomic<bool> readsOk{true};
    std::thread worker([&] {
        // Reads the window as the checksum worker does.
        if (toolkit::state(11) != 1 || toolkit::text(12) != u"/some/path") {
            readsOk = false;
        }
        for (int i = 1; i <= 300; ++i) {
            toolkit::setText(12, std::u16string(u"value ") + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
            toolkit::setValue(13, i);
            toolkit::setColour(
                12, toolkit::ColourRole::Text, i % 2 == 0 ? toolkit::rgb(0, 255, 0) : toolkit::rgb(255, 0, 0));
            if (toolkit::value(13) != i) { // a read sees this thread's earlier writes
                readsOk = false;
            }
        }
        toolkit::postEvent(kMain, toolkit::kFirstApplicationEvent);
    });
    toolkit::Event event = toolkit::waitEvent(5000);
    worker.join();
    ASSERT_EQ(event.kind, toolkit::EventKind::Application);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 65536);
    // At delivery every earlier update has been applied.
    EXPECT_EQ(toolkit::text(12), u"value 0");
    EXPECT_EQ(toolkit::value(13), 300);
    EXPECT_EQ(toolkit::colour(12, toolkit::ColourRole::Text), toolkit::rgb(0, 255, 0));
    EXPECT_EQ(tt::view(12).textColour, toolkit::rgb(0, 255, 0));
    EXPECT_TRUE(readsOk);
}

TEST_F(Toolkit, PostEventRefusesNumbersBelowTheApplicationRange)
{
    openMain();
    EXPECT_FALSE(toolkit::postEvent(kMain, 65535));
    EXPECT_TRUE(toolkit::postEvent(kMain, 70000));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Application);
    EXPECT_EQ(event.id, 70000);
}

TEST_F(Toolkit, ShortcutsActOnlyInTheActiveWindow)
{
    openMain();
    toolkit::addShortcut(kMain, toolkit::Key::F1, toolkit::ModNone, 2);
    toolkit::addShortcut(kMain, toolkit::Key::KeypadPlus, toolkit::ModControl, 6);
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other",
        toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowOwnerCentered, kMain));
    ASSERT_TRUE(toolkit::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    ASSERT_TRUE(tt::activate(kOther));
    tt::pressKey(toolkit::Key::F1);
    expectNoEvent();

    ASSERT_TRUE(tt::activate(kMain));
    tt::pressKey(toolkit::Key::F1);
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Command);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 2);

    tt::pressKey(toolkit::Key::KeypadPlus, toolkit::ModControl);
    event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Command);
    EXPECT_EQ(event.id, 6);
    tt::pressKey(toolkit::Key::KeypadPlus); // without Ctrl
    tt::pressKey(toolkit::Key::F1, toolkit::ModShift);
    expectNoEvent();
}

TEST_F(Toolkit, ReturnAndEscapeShortcutsWinOverTheFocusedButton)
{
    openMain();
    toolkit::addShortcut(kMain, toolkit::Key::Return, toolkit::ModNone, 1);
    toolkit::addShortcut(kMain, toolkit::Key::Escape, toolkit::ModNone, 0);
    toolkit::setActiveGadget(10);
    tt::processEvents();
    tt::pressKey(toolkit::Key::Return);
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Command);
    EXPECT_EQ(event.id, 1);
    tt::pressKey(toolkit::Key::Escape);
    event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Command);
    EXPECT_EQ(event.id, 0);
    expectNoEvent(); // the button itself was not pressed
}

TEST_F(Toolkit, DropsLandOnlyWhereEnabled)
{
    openMain();
    ASSERT_TRUE(toolkit::createTextField(kMain, 14, 10, 100, 200, 25, u"")); // editable, no drops
    toolkit::enableFileDrop(12, true);
    ASSERT_TRUE(tt::dropFiles(12, {u"/tmp/a file.txt", u"/tmp/b.txt", u"/tmp/c.txt"}));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::FilesDropped);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 12);
    EXPECT_EQ(event.files, (std::vector<std::u16string>{u"/tmp/a file.txt", u"/tmp/b.txt", u"/tmp/c.txt"}));

    EXPECT_FALSE(tt::dropFiles(14, {u"/tmp/a.txt"}));
    EXPECT_FALSE(tt::dropFiles(10, {u"/tmp/a.txt"}));
    EXPECT_EQ(toolkit::text(14), u"") << "an editable field must not take the path as text";
    toolkit::setEnabled(12, false);
    EXPECT_FALSE(tt::dropFiles(12, {u"/tmp/a.txt"}));
    toolkit::setEnabled(12, true);
    toolkit::enableFileDrop(12, false);
    EXPECT_FALSE(tt::dropFiles(12, {u"/tmp/a.txt"}));
    expectNoEvent();
}

TEST_F(Toolkit, CloseBoxAsksAndOnlyCloseWindowCloses)
{
    openMain();
    tt::clickCloseBox(kMain);
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::CloseWindow);
    EXPECT_EQ(event.window, kMain);
    EXPECT_TRUE(toolkit::windowVisible(kMain));
    toolkit::closeWindow(kMain);
    EXPECT_FALSE(toolkit::windowExists(kMain));
    EXPECT_FALSE(toolkit::gadgetExists(10));
}

TEST_F(Toolkit, ClosingAnOwnerClosesItsOwnedWindows)
{
    openMain();
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other", toolkit::WindowCaption, kMain));
    ASSERT_TRUE(toolkit::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    toolkit::closeWindow(kMain);
    EXPECT_FALSE(toolkit::windowExists(kOther));
    EXPECT_FALSE(toolkit::gadgetExists(20));
    EXPECT_FALSE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other", toolkit::WindowCaption, kMain))
        << "owner is gone";
}

TEST_F(Toolkit, WindowGeometryCountsTheInnerArea)
{
    ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 1000, 605, u"Hashmere",
        toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowMinimizeButton |
            toolkit::WindowScreenCentered | toolkit::WindowInvisible));
    EXPECT_FALSE(toolkit::windowVisible(kMain));
    ASSERT_TRUE(toolkit::createMenuBar(kMain));
    toolkit::addMenuTitle(kMain, u"File");
    EXPECT_EQ(toolkit::windowWidth(kMain), 1000);
    EXPECT_EQ(toolkit::windowHeight(kMain), 605);
    ASSERT_TRUE(toolkit::createButton(kMain, 44, 865, 540, 130, 35, u"Verify"));
    toolkit::showWindow(kMain);
    tt::processEvents();
    tt::WindowView main = tt::windowView(kMain);
    EXPECT_TRUE(main.visible);
    EXPECT_EQ(main.width, 1000);
    EXPECT_EQ(main.height, 605);
    EXPECT_FALSE(main.sizable);
    EXPECT_EQ(main.title, u"Hashmere");
    tt::GadgetView run = tt::view(44);
    EXPECT_EQ(run.x, 865);
    EXPECT_EQ(run.y, 540);
    EXPECT_EQ(run.width, 130);
    EXPECT_EQ(run.height, 35);

    ASSERT_TRUE(toolkit::openWindow(
        kOther, 0, 0, 440, 120, u"Message", toolkit::WindowCaption | toolkit::WindowOwnerCentered, kMain));
    tt::processEvents();
    tt::WindowView other = tt::windowView(kOther);
    EXPECT_EQ(other.owner, kMain);
    int mainCentreX = main.x + main.width / 2;
    int otherCentreX = other.x + other.width / 2;
    EXPECT_LE(std::abs(mainCentreX - otherCentreX), 2);
}

TEST_F(Toolkit, SizableWindowReportsResizesAndKeepsItsMinimum)
{
    ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 1024, 768, u"Viewer",
        toolkit::WindowCaption | toolkit::WindowSizable | toolkit::WindowMaximizeButton |
            toolkit::WindowScreenCentered));
    toolkit::setWindowMinimumSize(kMain, 800, 600);
    tt::processEvents();
    expectNoEvent(); // showing is no resize
    toolkit::maximizeWindow(kMain);
    tt::processEvents(50);
    EXPECT_TRUE(toolkit::windowMaximized(kMain));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::SizeWindow);
    EXPECT_EQ(event.window, kMain);
    EXPECT_GT(toolkit::windowWidth(kMain), 0);
    EXPECT_GT(toolkit::primaryScreenWidth(), 0);
}

// A drag of the border stops at the minimum inner size, whatever the menu bar
// adds outside it, and reports each new size once; a fixed window keeps its size.
TEST_F(Toolkit, ResizingKeepsTheInnerMinimumAndFixedSizes)
{
    ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 1024, 768, u"Viewer",
        toolkit::WindowCaption | toolkit::WindowSizable | toolkit::WindowScreenCentered));
    ASSERT_TRUE(toolkit::createMenuBar(kMain));
    toolkit::addMenuTitle(kMain, u"File");
    toolkit::setWindowMinimumSize(kMain, 800, 600);
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 440, 120, u"Message", toolkit::WindowCaption));
    tt::processEvents();
    expectNoEvent();

    struct Row {
        int window;
        int width, height;           // asked for
        int shownWidth, shownHeight; // inner size taken
        bool reported;               // a SizeWindow event follows
    };
    const Row rows[] = {
        {kMain, 640, 480, 800, 600, true},
        {kMain, 640, 480, 800, 600, false}, // already there
        {kMain, 1000, 500, 1000, 600, true},
        {kMain, 1200, 900, 1200, 900, true},
        {kOther, 600, 300, 440, 120, false},
    };
    for (const Row& row : rows) {
        const std::string asked =
            std::to_string(row.window) + ": " + std::to_string(row.width) + "x" + std::to_string(row.height);
        ASSERT_TRUE(tt::resizeWindow(row.window, row.width, row.height));
        EXPECT_EQ(tt::windowView(row.window).width, row.shownWidth) << asked;
        EXPECT_EQ(tt::windowView(row.window).height, row.shownHeight) << asked;
        if (row.reported) {
            const toolkit::Event event = next();
            EXPECT_EQ(event.kind, toolkit::EventKind::SizeWindow) << asked;
            EXPECT_EQ(event.window, row.window) << asked;
        }
        expectNoEvent();
    }
    EXPECT_FALSE(tt::resizeWindow(7, 500, 500));
}

TEST_F(Toolkit, MenusWithImagesChecksAndDisabledItems)
{
    openMain();
    const toolkit::EmbeddedFile* icon = artwork::hashmereFile("menu-open.png");
    ASSERT_TRUE(toolkit::decodeImage(1, icon->data, icon->size));
    ASSERT_TRUE(toolkit::createMenuBar(kMain));
    toolkit::addMenuTitle(kMain, u"File");
    toolkit::addMenuItem(kMain, 0, u"Open", 1);
    toolkit::addMenuSeparator(kMain);
    toolkit::addMenuItem(kMain, 1, u"Quit");
    toolkit::addMenuTitle(kMain, u"Languages");
    toolkit::addMenuItem(kMain, 5, u"English (United Kingdom)");
    toolkit::addMenuItem(kMain, 6, u"Magyar");
    toolkit::setMenuItemChecked(kMain, 5, true);

    EXPECT_TRUE(tt::chooseMenuItem(kMain, 0));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Command);
    EXPECT_EQ(event.id, 0);

    toolkit::setMenuItemEnabled(kMain, 0, false);
    EXPECT_FALSE(toolkit::menuItemEnabled(kMain, 0));
    tt::chooseMenuItem(kMain, 0);
    expectNoEvent();

    EXPECT_TRUE(toolkit::menuItemChecked(kMain, 5));
    toolkit::setMenuItemChecked(kMain, 5, false);
    toolkit::setMenuItemChecked(kMain, 6, true);
    EXPECT_FALSE(toolkit::menuItemChecked(kMain, 5));
    EXPECT_EQ(toolkit::menuItemText(kMain, 6), u"Magyar");
    toolkit::setMenuItemText(kMain, 1, u"Kilépés");
    EXPECT_EQ(toolkit::menuItemText(kMain, 1), u"Kilépés");
    toolkit::setMenuTitleText(kMain, 0, u"Fájl");
    EXPECT_FALSE(tt::chooseMenuItem(kMain, 99));
}

TEST_F(Toolkit, TextsStatesColoursAndFonts)
{
    openMain();
    ASSERT_TRUE(toolkit::createFrame(kMain, 15, 5, 5, 390, 290, u"File"));
    ASSERT_TRUE(toolkit::createText(
        kMain, 16, 10, 130, 200, 40, u"<b>not html</b>", toolkit::TextRight | toolkit::TextWordWrap));
    ASSERT_TRUE(toolkit::loadFont(0, u"Arial", 11));
    ASSERT_TRUE(toolkit::loadFont(3, u"Tahoma", 25));
    toolkit::setFont(16, 0);
    EXPECT_EQ(toolkit::text(15), u"File");
    tt::GadgetView text = tt::view(16);
    EXPECT_EQ(text.text, u"<b>not html</b>");
    EXPECT_EQ(text.alignment, 2);
    EXPECT_TRUE(text.wordWrap);
    EXPECT_EQ(text.fontFamily, u"Liberation Sans");
    EXPECT_EQ(text.fontPointSize, 11);
    EXPECT_EQ(toolkit::fontFamily(0), u"Liberation Sans"); // "Arial", metric-compatible
    EXPECT_EQ(toolkit::fontFamily(3), u"DejaVu Sans");     // "Tahoma"

    toolkit::setColour(16, toolkit::ColourRole::Background, toolkit::rgb(255, 255, 255));
    toolkit::setColour(16, toolkit::ColourRole::Text, toolkit::rgb(0, 0, 255));
    text = tt::view(16);
    EXPECT_EQ(text.backgroundColour, toolkit::rgb(255, 255, 255));
    EXPECT_EQ(text.textColour, toolkit::rgb(0, 0, 255));
    toolkit::setColour(16, toolkit::ColourRole::Text, toolkit::kDefaultColour);
    EXPECT_EQ(toolkit::colour(16, toolkit::ColourRole::Text), toolkit::kDefaultColour);
    EXPECT_EQ(tt::view(16).backgroundColour, toolkit::rgb(255, 255, 255));

    toolkit::setText(12, u"Ünïcødé ✓");
    EXPECT_EQ(toolkit::text(12), u"Ünïcødé ✓");
    EXPECT_NE(toolkit::systemColour(toolkit::SystemColour::ButtonFace), toolkit::kDefaultColour);
}

TEST_F(Toolkit, ProgressBarRangeAndValue)
{
    openMain();
    ASSERT_TRUE(toolkit::createProgressBar(kMain, 43, 5, 245, 300, 27, 0, 100));
    EXPECT_EQ(toolkit::value(43), 0);
    toolkit::setAttribute(43, toolkit::Attribute::ProgressMaximum, 2);
    toolkit::setValue(43, 1);
    EXPECT_EQ(toolkit::value(43), 1);
    toolkit::setValue(43, 7);
    EXPECT_EQ(toolkit::value(43), 2);
    toolkit::setAttribute(43, toolkit::Attribute::ProgressMaximum, 0); // no row checked: an empty bar, not a busy one
    EXPECT_EQ(toolkit::attribute(43, toolkit::Attribute::ProgressMaximum), 0);
    EXPECT_EQ(toolkit::value(43), 0);
}

TEST_F(Toolkit, TreeItemsByDepthAndSelection)
{
    openMain();
    ASSERT_TRUE(toolkit::createTree(kMain, 2, 10, 100, 250, 190));
    toolkit::addItem(2, -1, u"Introduction", -1, 0); // 0
    toolkit::addItem(2, -1, u"Chapter", -1, 0);      // 1
    toolkit::addItem(2, -1, u"Section A", -1, 1);    // 2, in 1
    toolkit::addItem(2, -1, u"Section B", -1, 1);    // 3, in 1
    toolkit::addItem(2, -1, u"Appendix", -1, 0);     // 4
    toolkit::addItem(2, -1, u"Deep", -1, 3);         // 5, in 4 (depth clamped)
    EXPECT_EQ(toolkit::countItems(2), 6);
    EXPECT_EQ(toolkit::itemText(2, 3), u"Section B");
    EXPECT_EQ(toolkit::state(2), -1);

    ASSERT_TRUE(tt::clickItem(2, 3));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Gadget);
    EXPECT_EQ(event.id, 2);
    EXPECT_EQ(event.type, toolkit::EventType::Change);
    EXPECT_EQ(toolkit::state(2), 3);
    EXPECT_EQ(toolkit::text(2), u"Section B");

    toolkit::setState(2, 5); // reveals the item inside the collapsed branch
    EXPECT_EQ(toolkit::state(2), 5);
    EXPECT_EQ(next().type, toolkit::EventType::Change);
    toolkit::clearItems(2);
    EXPECT_EQ(toolkit::countItems(2), 0);
}

TEST_F(Toolkit, PanelSplitterAndToolbarAsTheViewerUsesThem)
{
    ASSERT_TRUE(toolkit::openWindow(kMain, 0, 0, 1024, 768, u"Leafscope",
        toolkit::WindowCaption | toolkit::WindowSizable | toolkit::WindowScreenCentered | toolkit::WindowInvisible));
    const toolkit::EmbeddedFile* home = artwork::leafscopeFile("toolbar-home.png");
    ASSERT_TRUE(toolkit::decodeImage(40, home->data, home->size));
    ASSERT_TRUE(toolkit::createToolbar(kMain));
    toolkit::addToolbarButton(kMain, 0, 40, u"About");
    toolkit::addToolbarSeparator(kMain);
    toolkit::addToolbarButton(kMain, 3, 40, u"Home");
    int toolbar = toolkit::toolbarHeight(kMain);
    EXPECT_GE(toolbar, 32);

    ASSERT_TRUE(toolkit::createPanel(kMain, 3, 0, 0, 250, 0));
    EXPECT_EQ(toolkit::addItem(3, -1, u"Contents"), 0);
    ASSERT_TRUE(toolkit::createTree(toolkit::inTab(3, 0), 2, 0, 0, 250, 100));
    EXPECT_EQ(toolkit::addItem(3, -1, u"Index"), 1);
    ASSERT_TRUE(toolkit::createTextField(toolkit::inTab(3, 1), 4, 0, 0, 250, 25, u""));
    ASSERT_TRUE(toolkit::createListBox(toolkit::inTab(3, 1), 5, 0, 28, 250, 100));
    ASSERT_TRUE(toolkit::createPageView(kMain, 1, 0, 0, 0, 0));
    ASSERT_TRUE(toolkit::createSplitter(kMain, 0, 0, toolbar, 1024, 768 - toolbar, 3, 1));
    toolkit::setAttribute(0, toolkit::Attribute::SplitterFirstMinimum, 250);
    toolkit::setValue(0, 250);
    EXPECT_EQ(toolkit::value(0), 250);
    EXPECT_EQ(toolkit::gadgetWindow(2), kMain);

    int pageWidth = toolkit::attribute(3, toolkit::Attribute::PanelPageWidth);
    int pageHeight = toolkit::attribute(3, toolkit::Attribute::PanelPageHeight);
    EXPECT_GT(pageWidth, 200);
    EXPECT_GT(pageHeight, 500);
    toolkit::resizeGadget(2, toolkit::kKeep, toolkit::kKeep, pageWidth, pageHeight);
    toolkit::showWindow(kMain);
    ASSERT_TRUE(tt::activate(kMain));
    EXPECT_EQ(tt::view(2).width, pageWidth);

    ASSERT_TRUE(tt::dragSplitter(0, 400));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Gadget);
    EXPECT_EQ(event.id, 0);
    EXPECT_EQ(toolkit::value(0), 400);
    tt::dragSplitter(0, 100); // stops at the minimum pane size
    next();
    EXPECT_EQ(toolkit::value(0), 250);

    ASSERT_TRUE(tt::clickToolbarButton(kMain, 3));
    event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Command);
    EXPECT_EQ(event.id, 3);

    ASSERT_TRUE(tt::clickItem(3, 1));
    event = next();
    EXPECT_EQ(event.id, 3);
    EXPECT_EQ(toolkit::state(3), 1);
    toolkit::freeGadget(0); // the splitter takes its panes with it
    EXPECT_FALSE(toolkit::gadgetExists(3));
    EXPECT_FALSE(toolkit::gadgetExists(2));
    EXPECT_FALSE(toolkit::gadgetExists(1));
}

TEST_F(Toolkit, HyperlinkRaisesClicked)
{
    openMain();
    ASSERT_TRUE(toolkit::createHyperlink(kMain, 28, 10, 130, 300, 25, u"example.org", toolkit::rgb(0, 0, 255)));
    toolkit::setColour(28, toolkit::ColourRole::Text, toolkit::rgb(0, 0, 0));
    EXPECT_EQ(tt::view(28).textColour, toolkit::rgb(0, 0, 0));
    ASSERT_TRUE(tt::click(28));
    toolkit::Event event = next();
    EXPECT_EQ(event.kind, toolkit::EventKind::Gadget);
    EXPECT_EQ(event.id, 28);
    EXPECT_EQ(event.type, toolkit::EventType::Clicked);
    EXPECT_TRUE(toolkit::openWithDefaultHandler(toolkit::text(28)));
    ASSERT_EQ(tt::openedAddresses().size(), 1u);
    EXPECT_EQ(tt::openedAddresses()[0], u"example.org");
}

TEST_F(Toolkit, FileDialogsAreAnsweredAndRecorded)
{
    openMain();
    tt::answerNextFileDialog(u"/tmp/chosen.bin");
    tt::cancelNextFileDialog();
    EXPECT_EQ(toolkit::openFileDialog(u"Open", u"/tmp/", u"All files (*.*)|*.*"), u"/tmp/chosen.bin");
    EXPECT_EQ(toolkit::saveFileDialog(u"Save", u"/tmp/Checksum", u"Text files (*.txt)|*.txt|All files (*.*)|*.*"), u"");
    ASSERT_EQ(tt::fileDialogs().size(), 2u);
    EXPECT_FALSE(tt::fileDialogs()[0].save);
    EXPECT_EQ(tt::fileDialogs()[0].title, u"Open");
    EXPECT_TRUE(tt::fileDialogs()[1].save);
    EXPECT_EQ(tt::fileDialogs()[1].initialPath, u"/tmp/Checksum");
    EXPECT_EQ(tt::fileDialogs()[1].filters, u"Text files (*.txt)|*.txt|All files (*.*)|*.*");
}

TEST_F(Toolkit, ShownActionRunsOnceFromTheLoopAndIsForgottenWithItsWindow)
{
    int runs = 0;
    tt::whenWindowShown(kOther, [&runs] { ++runs; });
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other", toolkit::WindowCaption));
    EXPECT_EQ(runs, 0) << "runs from the event loop, not inside showWindow";
    tt::processEvents();
    EXPECT_EQ(runs, 1);
    toolkit::hideWindow(kOther);
    toolkit::showWindow(kOther);
    tt::processEvents();
    EXPECT_EQ(runs, 1) << "once only";

    tt::whenWindowShown(kOther, [&runs] { ++runs; });
    toolkit::closeWindow(kOther);
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 200, 100, u"Other", toolkit::WindowCaption));
    tt::processEvents();
    EXPECT_EQ(runs, 1) << "the action went with the window it was meant for";
}

TEST_F(Toolkit, ClipboardHoldsUnicodeText)
{
    openMain();
    toolkit::setClipboardText(u"CRC32: 0123abcd\r\nSHA1: ő\r\n");
    EXPECT_EQ(toolkit::clipboardText(), u"CRC32: 0123abcd\r\nSHA1: ő\r\n");
}

TEST_F(Toolkit, CorruptPngGivesNoImage)
{
    const toolkit::EmbeddedFile* logo = artwork::hashmereFile("logo.png");
    ASSERT_TRUE(toolkit::decodeImage(9, logo->data, logo->size));
    EXPECT_EQ(toolkit::imageWidth(9), 128);
    std::vector<unsigned char> damaged(logo->data, logo->data + logo->size);
    damaged[damaged.size() / 2] ^= 0xFF;
    EXPECT_FALSE(toolkit::decodeImage(9, damaged.data(), damaged.size()));
    EXPECT_FALSE(toolkit::imageExists(9)) << "a failed decode leaves no image under the number";
    EXPECT_EQ(toolkit::imageWidth(9), 0);
    EXPECT_FALSE(toolkit::decodeImage(9, damaged.data(), 20));

    openMain();
    ASSERT_TRUE(toolkit::createImage(kMain, 45, 5, 5, 128, 128, 9)); // an image gadget without image is empty
    EXPECT_EQ(tt::view(45).imageWidth, 0);
    ASSERT_TRUE(toolkit::decodeImage(9, logo->data, logo->size));
    toolkit::setImage(45, 9);
    EXPECT_EQ(tt::view(45).imageWidth, 128);
}

TEST_F(Toolkit, ScreenshotWritesAPng)
{
    openMain();
    std::filesystem::path file = std::filesystem::temp_directory_path() / "toolkit_gui_test_shot.png";
    ASSERT_TRUE(tt::saveScreenshot(kMain, file));
    std::ifstream in(file, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::filesystem::remove(file);
}

TEST_F(Toolkit, TypingRaisesChangeEvents)
{
    openMain();
    ASSERT_TRUE(toolkit::createTextField(kMain, 41, 10, 100, 300, 27, u""));
    ASSERT_TRUE(tt::typeText(41, u"ab"));
    EXPECT_EQ(toolkit::text(41), u"ab");
    toolkit::Event event = next();
    EXPECT_EQ(event.id, 41);
    EXPECT_EQ(event.type, toolkit::EventType::Change);
}

} // namespace
