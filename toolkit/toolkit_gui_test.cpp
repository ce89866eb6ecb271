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

namespace tt = tk::testing;

constexpr int kMain = 0;
constexpr int kOther = 1;

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override { tt::reset(); }
    void TearDown() override { tt::reset(); }

    // A shown main window of 400 x 300 with a button 10, a check box 11 and a field 12.
    static void openMain(std::uint32_t extraFlags = 0) {
        ASSERT_TRUE(tk::openWindow(kMain, 0, 0, 400, 300, u"Main",
                                   tk::WindowCaption | tk::WindowSystemMenu | tk::WindowScreenCentered | extraFlags));
        ASSERT_TRUE(tk::createButton(kMain, 10, 10, 10, 100, 25, u"Press"));
        ASSERT_TRUE(tk::createCheckBox(kMain, 11, 10, 40, 100, 25, u"Tick"));
        ASSERT_TRUE(tk::createTextField(kMain, 12, 10, 70, 200, 25, u"", tk::FieldReadOnly));
        ASSERT_TRUE(tt::activate(kMain));
    }

    static tk::Event next(int timeoutMs = 200) { return tk::waitEvent(timeoutMs); }

    static void expectNoEvent() {
        tk::Event event = next(50);
        EXPECT_EQ(event.kind, tk::EventKind::None) << "unexpected event " << static_cast<int>(event.kind) << " id "
                                                   << event.id << " window " << event.window;
    }
};

TEST_F(Toolkit, ClickRaisesGadgetEventOfItsWindow) {
    openMain();
    ASSERT_TRUE(tt::click(10));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Gadget);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 10);
    EXPECT_EQ(event.type, tk::EventType::Clicked);

    ASSERT_TRUE(tt::click(11));
    event = next();
    EXPECT_EQ(event.id, 11);
    EXPECT_EQ(tk::state(11), 1);
    expectNoEvent();
}

TEST_F(Toolkit, DisabledWindowRaisesNoGadgetEvents) {
    openMain();
    tk::addShortcut(kMain, tk::Key::F1, tk::ModNone, 2);
    ASSERT_TRUE(tk::createMenuBar(kMain));
    tk::addMenuTitle(kMain, u"File");
    tk::addMenuItem(kMain, 1, u"Quit");
    tk::enableFileDrop(12, true);

    tk::setWindowEnabled(kMain, false);
    tt::click(10);
    tt::click(11);
    tt::pressKey(tk::Key::F1);
    tt::chooseMenuItem(kMain, 1);
    tt::clickCloseBox(kMain);
    EXPECT_FALSE(tt::dropFiles(12, {u"/tmp"}));
    expectNoEvent();
    EXPECT_EQ(tk::state(11), 0) << "the click must not reach the check box";
    EXPECT_FALSE(tt::view(10).enabled);
    EXPECT_TRUE(tk::enabled(10)) << "the gadget's own flag is untouched";

    tk::setWindowEnabled(kMain, true);
    tt::click(10);
    EXPECT_EQ(next().id, 10);
}

TEST_F(Toolkit, DisabledGadgetRaisesNothing) {
    openMain();
    tk::setEnabled(10, false);
    tt::click(10);
    expectNoEvent();
    EXPECT_FALSE(tt::view(10).enabled);
    tk::setEnabled(10, true);
    tt::click(10);
    EXPECT_EQ(next().id, 10);
}

TEST_F(Toolkit, SubLoopDropsEventsOfOtherWindows) {
    openMain();
    ASSERT_TRUE(tk::openWindow(kOther, 0, 0, 200, 100, u"Other",
                               tk::WindowCaption | tk::WindowSystemMenu | tk::WindowOwnerCentered, kMain));
    ASSERT_TRUE(tk::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    tt::runSoon([] {
        tk::postEvent(kMain, 65537);
        tk::postEvent(kOther, 65538);
    });
    tk::Event event = tk::waitWindowEvent(kOther);
    EXPECT_EQ(event.kind, tk::EventKind::Application);
    EXPECT_EQ(event.id, 65538);
    tt::runSoon([] {
        tk::postEvent(kMain, 65539);
        tt::runSoon([] { tt::click(20); }); // after 65539 has arrived
    });
    event = tk::waitWindowEvent(kOther);
    EXPECT_EQ(event.kind, tk::EventKind::Gadget);
    EXPECT_EQ(event.id, 20);
    expectNoEvent(); // 65537 and 65539 were dropped, not kept for later
}

TEST_F(Toolkit, EventsOfAClosedWindowAreDropped) {
    openMain();
    ASSERT_TRUE(tk::openWindow(kOther, 0, 0, 200, 100, u"Other", tk::WindowCaption, kMain));
    ASSERT_TRUE(tk::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    ASSERT_TRUE(tt::activate(kOther));
    tt::click(20);
    tt::click(20); // a double click leaves a second event behind
    EXPECT_EQ(tt::pendingEvents(), 2);
    tk::closeWindow(kOther);
    EXPECT_EQ(tt::pendingEvents(), 0);
    EXPECT_FALSE(tk::gadgetExists(20));
}

TEST_F(Toolkit, CrossThreadUpdatesAreAppliedInOrderBeforeALaterPostedEvent) {
    openMain();
    ASSERT_TRUE(tk::createProgressBar(kMain, 13, 10, 100, 200, 20, 0, 1000));
    tk::setState(11, 1);
    tk::setText(12, u"/some/path");
    std::atomic<bool> readsOk{true};
    std::thread worker([&] {
        // Reads the window as the checksum worker does.
        if (tk::state(11) != 1 || tk::text(12) != u"/some/path") {
            readsOk = false;
        }
        for (int i = 1; i <= 300; ++i) {
            tk::setText(12, std::u16string(u"value ") + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
            tk::setValue(13, i);
            tk::setColour(12, tk::ColourRole::Text, i % 2 == 0 ? tk::rgb(0, 255, 0) : tk::rgb(255, 0, 0));
            if (tk::value(13) != i) { // a read sees this thread's earlier writes
                readsOk = false;
            }
        }
        tk::postEvent(kMain, tk::kFirstApplicationEvent);
    });
    tk::Event event = tk::waitEvent(5000);
    worker.join();
    ASSERT_EQ(event.kind, tk::EventKind::Application);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 65536);
    // At delivery every earlier update has been applied.
    EXPECT_EQ(tk::text(12), u"value 0");
    EXPECT_EQ(tk::value(13), 300);
    EXPECT_EQ(tk::colour(12, tk::ColourRole::Text), tk::rgb(0, 255, 0));
    EXPECT_EQ(tt::view(12).textColour, tk::rgb(0, 255, 0));
    EXPECT_TRUE(readsOk);
}

TEST_F(Toolkit, PostEventRefusesNumbersBelowTheApplicationRange) {
    openMain();
    EXPECT_FALSE(tk::postEvent(kMain, 65535));
    EXPECT_TRUE(tk::postEvent(kMain, 70000));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Application);
    EXPECT_EQ(event.id, 70000);
}

TEST_F(Toolkit, ShortcutsActOnlyInTheActiveWindow) {
    openMain();
    tk::addShortcut(kMain, tk::Key::F1, tk::ModNone, 2);
    tk::addShortcut(kMain, tk::Key::KeypadPlus, tk::ModControl, 6);
    ASSERT_TRUE(tk::openWindow(kOther, 0, 0, 200, 100, u"Other",
                               tk::WindowCaption | tk::WindowSystemMenu | tk::WindowOwnerCentered, kMain));
    ASSERT_TRUE(tk::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    ASSERT_TRUE(tt::activate(kOther));
    tt::pressKey(tk::Key::F1);
    expectNoEvent();

    ASSERT_TRUE(tt::activate(kMain));
    tt::pressKey(tk::Key::F1);
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Command);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 2);

    tt::pressKey(tk::Key::KeypadPlus, tk::ModControl);
    event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Command);
    EXPECT_EQ(event.id, 6);
    tt::pressKey(tk::Key::KeypadPlus); // without Ctrl
    tt::pressKey(tk::Key::F1, tk::ModShift);
    expectNoEvent();
}

TEST_F(Toolkit, ReturnAndEscapeShortcutsWinOverTheFocusedButton) {
    openMain();
    tk::addShortcut(kMain, tk::Key::Return, tk::ModNone, 1);
    tk::addShortcut(kMain, tk::Key::Escape, tk::ModNone, 0);
    tk::setActiveGadget(10);
    tt::processEvents();
    tt::pressKey(tk::Key::Return);
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Command);
    EXPECT_EQ(event.id, 1);
    tt::pressKey(tk::Key::Escape);
    event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Command);
    EXPECT_EQ(event.id, 0);
    expectNoEvent(); // the button itself was not pressed
}

TEST_F(Toolkit, DropsLandOnlyWhereEnabled) {
    openMain();
    ASSERT_TRUE(tk::createTextField(kMain, 14, 10, 100, 200, 25, u"")); // editable, no drops
    tk::enableFileDrop(12, true);
    ASSERT_TRUE(tt::dropFiles(12, {u"/tmp/a file.txt", u"/tmp/b.txt", u"/tmp/c.txt"}));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::FilesDropped);
    EXPECT_EQ(event.window, kMain);
    EXPECT_EQ(event.id, 12);
    EXPECT_EQ(event.files, (std::vector<std::u16string>{u"/tmp/a file.txt", u"/tmp/b.txt", u"/tmp/c.txt"}));

    EXPECT_FALSE(tt::dropFiles(14, {u"/tmp/a.txt"}));
    EXPECT_FALSE(tt::dropFiles(10, {u"/tmp/a.txt"}));
    EXPECT_EQ(tk::text(14), u"") << "an editable field must not take the path as text";
    tk::setEnabled(12, false);
    EXPECT_FALSE(tt::dropFiles(12, {u"/tmp/a.txt"}));
    tk::setEnabled(12, true);
    tk::enableFileDrop(12, false);
    EXPECT_FALSE(tt::dropFiles(12, {u"/tmp/a.txt"}));
    expectNoEvent();
}

TEST_F(Toolkit, CloseBoxAsksAndOnlyCloseWindowCloses) {
    openMain();
    tt::clickCloseBox(kMain);
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::CloseWindow);
    EXPECT_EQ(event.window, kMain);
    EXPECT_TRUE(tk::windowVisible(kMain));
    tk::closeWindow(kMain);
    EXPECT_FALSE(tk::windowExists(kMain));
    EXPECT_FALSE(tk::gadgetExists(10));
}

TEST_F(Toolkit, ClosingAnOwnerClosesItsOwnedWindows) {
    openMain();
    ASSERT_TRUE(tk::openWindow(kOther, 0, 0, 200, 100, u"Other", tk::WindowCaption, kMain));
    ASSERT_TRUE(tk::createButton(kOther, 20, 10, 10, 80, 25, u"OK"));
    tk::closeWindow(kMain);
    EXPECT_FALSE(tk::windowExists(kOther));
    EXPECT_FALSE(tk::gadgetExists(20));
    EXPECT_FALSE(tk::openWindow(kOther, 0, 0, 200, 100, u"Other", tk::WindowCaption, kMain)) << "owner is gone";
}

TEST_F(Toolkit, WindowGeometryCountsTheInnerArea) {
    ASSERT_TRUE(tk::openWindow(kMain, 0, 0, 1000, 605, u"Hashmere",
                               tk::WindowCaption | tk::WindowSystemMenu | tk::WindowMinimizeButton |
                                   tk::WindowScreenCentered | tk::WindowInvisible));
    EXPECT_FALSE(tk::windowVisible(kMain));
    ASSERT_TRUE(tk::createMenuBar(kMain));
    tk::addMenuTitle(kMain, u"File");
    EXPECT_EQ(tk::windowWidth(kMain), 1000);
    EXPECT_EQ(tk::windowHeight(kMain), 605);
    ASSERT_TRUE(tk::createButton(kMain, 44, 865, 540, 130, 35, u"Verify"));
    tk::showWindow(kMain);
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

    ASSERT_TRUE(tk::openWindow(kOther, 0, 0, 440, 120, u"Message", tk::WindowCaption | tk::WindowOwnerCentered, kMain));
    tt::processEvents();
    tt::WindowView other = tt::windowView(kOther);
    EXPECT_EQ(other.owner, kMain);
    int mainCentreX = main.x + main.width / 2;
    int otherCentreX = other.x + other.width / 2;
    EXPECT_LE(std::abs(mainCentreX - otherCentreX), 2);
}

TEST_F(Toolkit, SizableWindowReportsResizesAndKeepsItsMinimum) {
    ASSERT_TRUE(tk::openWindow(kMain, 0, 0, 1024, 768, u"Viewer",
                               tk::WindowCaption | tk::WindowSizable | tk::WindowMaximizeButton |
                                   tk::WindowScreenCentered));
    tk::setWindowMinimumSize(kMain, 800, 600);
    tt::processEvents();
    expectNoEvent(); // showing is no resize
    tk::maximizeWindow(kMain);
    tt::processEvents(50);
    EXPECT_TRUE(tk::windowMaximized(kMain));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::SizeWindow);
    EXPECT_EQ(event.window, kMain);
    EXPECT_GT(tk::windowWidth(kMain), 0);
    EXPECT_GT(tk::primaryScreenWidth(), 0);
}

TEST_F(Toolkit, MenusWithImagesChecksAndDisabledItems) {
    openMain();
    const tk::EmbeddedFile* icon = artwork::hashmereFile("menu-open.png");
    ASSERT_TRUE(tk::decodeImage(1, icon->data, icon->size));
    ASSERT_TRUE(tk::createMenuBar(kMain));
    tk::addMenuTitle(kMain, u"File");
    tk::addMenuItem(kMain, 0, u"Open", 1);
    tk::addMenuSeparator(kMain);
    tk::addMenuItem(kMain, 1, u"Quit");
    tk::addMenuTitle(kMain, u"Languages");
    tk::addMenuItem(kMain, 5, u"English (United Kingdom)");
    tk::addMenuItem(kMain, 6, u"Magyar");
    tk::setMenuItemChecked(kMain, 5, true);

    EXPECT_TRUE(tt::chooseMenuItem(kMain, 0));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Command);
    EXPECT_EQ(event.id, 0);

    tk::setMenuItemEnabled(kMain, 0, false);
    EXPECT_FALSE(tk::menuItemEnabled(kMain, 0));
    tt::chooseMenuItem(kMain, 0);
    expectNoEvent();

    EXPECT_TRUE(tk::menuItemChecked(kMain, 5));
    tk::setMenuItemChecked(kMain, 5, false);
    tk::setMenuItemChecked(kMain, 6, true);
    EXPECT_FALSE(tk::menuItemChecked(kMain, 5));
    EXPECT_EQ(tk::menuItemText(kMain, 6), u"Magyar");
    tk::setMenuItemText(kMain, 1, u"Kilépés");
    EXPECT_EQ(tk::menuItemText(kMain, 1), u"Kilépés");
    tk::setMenuTitleText(kMain, 0, u"Fájl");
    EXPECT_FALSE(tt::chooseMenuItem(kMain, 99));
}

TEST_F(Toolkit, TextsStatesColoursAndFonts) {
    openMain();
    ASSERT_TRUE(tk::createFrame(kMain, 15, 5, 5, 390, 290, u"File"));
    ASSERT_TRUE(tk::createText(kMain, 16, 10, 130, 200, 40, u"<b>not html</b>", tk::TextRight | tk::TextWordWrap));
    ASSERT_TRUE(tk::loadFont(0, u"Arial", 11));
    ASSERT_TRUE(tk::loadFont(3, u"Tahoma", 25));
    tk::setFont(16, 0);
    EXPECT_EQ(tk::text(15), u"File");
    tt::GadgetView text = tt::view(16);
    EXPECT_EQ(text.text, u"<b>not html</b>");
    EXPECT_EQ(text.alignment, 2);
    EXPECT_TRUE(text.wordWrap);
    EXPECT_EQ(text.fontFamily, u"Liberation Sans");
    EXPECT_EQ(text.fontPointSize, 11);
    EXPECT_EQ(tk::fontFamily(0), u"Liberation Sans"); // "Arial", metric-compatible
    EXPECT_EQ(tk::fontFamily(3), u"DejaVu Sans");     // "Tahoma"

    tk::setColour(16, tk::ColourRole::Background, tk::rgb(255, 255, 255));
    tk::setColour(16, tk::ColourRole::Text, tk::rgb(0, 0, 255));
    text = tt::view(16);
    EXPECT_EQ(text.backgroundColour, tk::rgb(255, 255, 255));
    EXPECT_EQ(text.textColour, tk::rgb(0, 0, 255));
    tk::setColour(16, tk::ColourRole::Text, tk::kDefaultColour);
    EXPECT_EQ(tk::colour(16, tk::ColourRole::Text), tk::kDefaultColour);
    EXPECT_EQ(tt::view(16).backgroundColour, tk::rgb(255, 255, 255));

    tk::setText(12, u"Ünïcødé ✓");
    EXPECT_EQ(tk::text(12), u"Ünïcødé ✓");
    EXPECT_NE(tk::systemColour(tk::SystemColour::ButtonFace), tk::kDefaultColour);
}

TEST_F(Toolkit, ProgressBarRangeAndValue) {
    openMain();
    ASSERT_TRUE(tk::createProgressBar(kMain, 43, 5, 245, 300, 27, 0, 100));
    EXPECT_EQ(tk::value(43), 0);
    tk::setAttribute(43, tk::Attribute::ProgressMaximum, 2);
    tk::setValue(43, 1);
    EXPECT_EQ(tk::value(43), 1);
    tk::setValue(43, 7);
    EXPECT_EQ(tk::value(43), 2);
    tk::setAttribute(43, tk::Attribute::ProgressMaximum, 0); // no row checked: an empty bar, not a busy one
    EXPECT_EQ(tk::attribute(43, tk::Attribute::ProgressMaximum), 0);
    EXPECT_EQ(tk::value(43), 0);
}

TEST_F(Toolkit, TreeItemsByDepthAndSelection) {
    openMain();
    ASSERT_TRUE(tk::createTree(kMain, 2, 10, 100, 250, 190));
    tk::addItem(2, -1, u"Introduction", -1, 0); // 0
    tk::addItem(2, -1, u"Chapter", -1, 0);      // 1
    tk::addItem(2, -1, u"Section A", -1, 1);    // 2, in 1
    tk::addItem(2, -1, u"Section B", -1, 1);    // 3, in 1
    tk::addItem(2, -1, u"Appendix", -1, 0);     // 4
    tk::addItem(2, -1, u"Deep", -1, 3);         // 5, in 4 (depth clamped)
    EXPECT_EQ(tk::countItems(2), 6);
    EXPECT_EQ(tk::itemText(2, 3), u"Section B");
    EXPECT_EQ(tk::state(2), -1);

    ASSERT_TRUE(tt::clickItem(2, 3));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Gadget);
    EXPECT_EQ(event.id, 2);
    EXPECT_EQ(event.type, tk::EventType::Change);
    EXPECT_EQ(tk::state(2), 3);
    EXPECT_EQ(tk::text(2), u"Section B");

    tk::setState(2, 5); // reveals the item inside the collapsed branch
    EXPECT_EQ(tk::state(2), 5);
    EXPECT_EQ(next().type, tk::EventType::Change);
    tk::clearItems(2);
    EXPECT_EQ(tk::countItems(2), 0);
}

TEST_F(Toolkit, PanelSplitterAndToolbarAsTheViewerUsesThem) {
    ASSERT_TRUE(tk::openWindow(kMain, 0, 0, 1024, 768, u"Leafscope",
                               tk::WindowCaption | tk::WindowSizable | tk::WindowScreenCentered | tk::WindowInvisible));
    const tk::EmbeddedFile* home = artwork::leafscopeFile("toolbar-home.png");
    ASSERT_TRUE(tk::decodeImage(40, home->data, home->size));
    ASSERT_TRUE(tk::createToolbar(kMain));
    tk::addToolbarButton(kMain, 0, 40, u"About");
    tk::addToolbarSeparator(kMain);
    tk::addToolbarButton(kMain, 3, 40, u"Home");
    int toolbar = tk::toolbarHeight(kMain);
    EXPECT_GE(toolbar, 32);

    ASSERT_TRUE(tk::createPanel(kMain, 3, 0, 0, 250, 0));
    EXPECT_EQ(tk::addItem(3, -1, u"Contents"), 0);
    ASSERT_TRUE(tk::createTree(tk::inTab(3, 0), 2, 0, 0, 250, 100));
    EXPECT_EQ(tk::addItem(3, -1, u"Index"), 1);
    ASSERT_TRUE(tk::createTextField(tk::inTab(3, 1), 4, 0, 0, 250, 25, u""));
    ASSERT_TRUE(tk::createListBox(tk::inTab(3, 1), 5, 0, 28, 250, 100));
    ASSERT_TRUE(tk::createPageView(kMain, 1, 0, 0, 0, 0));
    ASSERT_TRUE(tk::createSplitter(kMain, 0, 0, toolbar, 1024, 768 - toolbar, 3, 1));
    tk::setAttribute(0, tk::Attribute::SplitterFirstMinimum, 250);
    tk::setValue(0, 250);
    EXPECT_EQ(tk::value(0), 250);
    EXPECT_EQ(tk::gadgetWindow(2), kMain);

    int pageWidth = tk::attribute(3, tk::Attribute::PanelPageWidth);
    int pageHeight = tk::attribute(3, tk::Attribute::PanelPageHeight);
    EXPECT_GT(pageWidth, 200);
    EXPECT_GT(pageHeight, 500);
    tk::resizeGadget(2, tk::kKeep, tk::kKeep, pageWidth, pageHeight);
    tk::showWindow(kMain);
    ASSERT_TRUE(tt::activate(kMain));
    EXPECT_EQ(tt::view(2).width, pageWidth);

    ASSERT_TRUE(tt::dragSplitter(0, 400));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Gadget);
    EXPECT_EQ(event.id, 0);
    EXPECT_EQ(tk::value(0), 400);
    tt::dragSplitter(0, 100); // stops at the minimum pane size
    next();
    EXPECT_EQ(tk::value(0), 250);

    ASSERT_TRUE(tt::clickToolbarButton(kMain, 3));
    event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Command);
    EXPECT_EQ(event.id, 3);

    ASSERT_TRUE(tt::clickItem(3, 1));
    event = next();
    EXPECT_EQ(event.id, 3);
    EXPECT_EQ(tk::state(3), 1);
    tk::freeGadget(0); // the splitter takes its panes with it
    EXPECT_FALSE(tk::gadgetExists(3));
    EXPECT_FALSE(tk::gadgetExists(2));
    EXPECT_FALSE(tk::gadgetExists(1));
}

TEST_F(Toolkit, HyperlinkRaisesClicked) {
    openMain();
    ASSERT_TRUE(tk::createHyperlink(kMain, 28, 10, 130, 300, 25, u"example.org", tk::rgb(0, 0, 255)));
    tk::setColour(28, tk::ColourRole::Text, tk::rgb(0, 0, 0));
    EXPECT_EQ(tt::view(28).textColour, tk::rgb(0, 0, 0));
    ASSERT_TRUE(tt::click(28));
    tk::Event event = next();
    EXPECT_EQ(event.kind, tk::EventKind::Gadget);
    EXPECT_EQ(event.id, 28);
    EXPECT_EQ(event.type, tk::EventType::Clicked);
    EXPECT_TRUE(tk::openWithDefaultHandler(tk::text(28)));
    ASSERT_EQ(tt::openedAddresses().size(), 1u);
    EXPECT_EQ(tt::openedAddresses()[0], u"example.org");
}

TEST_F(Toolkit, FileDialogsAreAnsweredAndRecorded) {
    openMain();
    tt::answerNextFileDialog(u"/tmp/chosen.bin");
    tt::cancelNextFileDialog();
    EXPECT_EQ(tk::openFileDialog(u"Open", u"/tmp/", u"All files (*.*)|*.*"), u"/tmp/chosen.bin");
    EXPECT_EQ(tk::saveFileDialog(u"Save", u"/tmp/Checksum", u"Text files (*.txt)|*.txt|All files (*.*)|*.*"), u"");
    ASSERT_EQ(tt::fileDialogs().size(), 2u);
    EXPECT_FALSE(tt::fileDialogs()[0].save);
    EXPECT_EQ(tt::fileDialogs()[0].title, u"Open");
    EXPECT_TRUE(tt::fileDialogs()[1].save);
    EXPECT_EQ(tt::fileDialogs()[1].initialPath, u"/tmp/Checksum");
    EXPECT_EQ(tt::fileDialogs()[1].filters, u"Text files (*.txt)|*.txt|All files (*.*)|*.*");
}

TEST_F(Toolkit, ClipboardHoldsUnicodeText) {
    openMain();
    tk::setClipboardText(u"CRC32: 0123abcd\r\nSHA1: ő\r\n");
    EXPECT_EQ(tk::clipboardText(), u"CRC32: 0123abcd\r\nSHA1: ő\r\n");
}

TEST_F(Toolkit, CorruptPngGivesNoImage) {
    const tk::EmbeddedFile* logo = artwork::hashmereFile("logo.png");
    ASSERT_TRUE(tk::decodeImage(9, logo->data, logo->size));
    EXPECT_EQ(tk::imageWidth(9), 128);
    std::vector<unsigned char> damaged(logo->data, logo->data + logo->size);
    damaged[damaged.size() / 2] ^= 0xFF;
    EXPECT_FALSE(tk::decodeImage(9, damaged.data(), damaged.size()));
    EXPECT_FALSE(tk::imageExists(9)) << "a failed decode leaves no image under the number";
    EXPECT_EQ(tk::imageWidth(9), 0);
    EXPECT_FALSE(tk::decodeImage(9, damaged.data(), 20));

    openMain();
    ASSERT_TRUE(tk::createImage(kMain, 45, 5, 5, 128, 128, 9)); // an image gadget without image is empty
    EXPECT_EQ(tt::view(45).imageWidth, 0);
    ASSERT_TRUE(tk::decodeImage(9, logo->data, logo->size));
    tk::setImage(45, 9);
    EXPECT_EQ(tt::view(45).imageWidth, 128);
}

TEST_F(Toolkit, ScreenshotWritesAPng) {
    openMain();
    std::filesystem::path file = std::filesystem::temp_directory_path() / "toolkit_gui_test_shot.png";
    ASSERT_TRUE(tt::saveScreenshot(kMain, file));
    std::ifstream in(file, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::filesystem::remove(file);
}

TEST_F(Toolkit, TypingRaisesChangeEvents) {
    openMain();
    ASSERT_TRUE(tk::createTextField(kMain, 41, 10, 100, 300, 27, u""));
    ASSERT_TRUE(tt::typeText(41, u"ab"));
    EXPECT_EQ(tk::text(41), u"ab");
    tk::Event event = next();
    EXPECT_EQ(event.id, 41);
    EXPECT_EQ(event.type, tk::EventType::Change);
}

} // namespace
