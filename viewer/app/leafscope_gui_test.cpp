// Leafscope on screen (headless): start-up and layout, the ways a document is
// opened or not, navigation over the visit history, zoom, printing to PDF,
// the About and Properties windows, the interface languages, and the built
// program started as a process.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "help_source.h"
#include "pack_writer.h"
#include "platform/raise_request.h"
#include "platform/test_files.h"
#include "platform/text.h"
#include "program_versions.h"
#include "toolkit/testing.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"
#include "viewer/app/test_documents.h"

namespace toolkit::testing {

// Pointer shapes by name in failure messages.
void PrintTo(PointerShape shape, std::ostream* out)
{
    constexpr const char* kNames[] = {"None", "Arrow", "IBeam", "Hand", "Other"};
    *out << kNames[static_cast<int>(shape)];
}

} // namespace toolkit::testing

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;
using namespace leafscope;
using leafscope::testing::defaultProperties;
using leafscope::testing::pdfText;
using leafscope::testing::rtfPage;

struct PageSpec {
    int level = 0;
    std::u16string title;
    std::string entry; // empty: a heading
    std::string text;  // the page's words
};

// Writes a help document with `pages`; the properties are the 15 given fields.
std::string writeDocument(const fs::path& file, const std::vector<PageSpec>& pages,
    const std::vector<std::u16string>& properties, bool zip = false)
{
    std::vector<leafscope::testing::TestPage> written;
    for (const PageSpec& page : pages) {
        written.push_back({page.level, page.title, page.entry,
            page.entry.empty() ? std::vector<std::uint8_t>() : rtfPage(page.text)});
    }
    return leafscope::testing::writeHelpDocument(file, written, properties, zip);
}

// A, a heading, B and C under it, D; home page 4 (D).
std::vector<PageSpec> samplePages()
{
    return {
        {0, u"Alpha", "a.rtf", "Alpha page words"},
        {0, u"Chapter", "", ""},
        {1, u"Beta", "b.rtf", "Beta page words"},
        {1, u"Gamma", "c.rtf", "Gamma page words"},
        {0, u"Delta", "d.rtf", "Delta page words"},
    };
}

constexpr int A = 0, Heading = 1, B = 2, C = 3, D = 4;

class Leafscope : public ::testing::Test {
protected:
    void SetUp() override
    {
        tt::reset();
        fs::create_directories(folder / "program");
        std::vector<std::u16string> properties = defaultProperties();
        properties[14] = u"4";
        sample = writeDocument(folder / "sample.help", samplePages(), properties);
    }

    void TearDown() override { tt::reset(); }

    bool start(std::vector<std::u16string> arguments, std::u16string locale = u"en_GB", int displayWidth = 1920)
    {
        app = std::make_unique<LeafscopeApp>();
        StartOptions options;
        options.programFolder = folder / "program/";
        options.arguments = std::move(arguments);
        options.systemLocaleName = std::move(locale);
        options.displayWidth = displayWidth;
        const bool started = startLeafscope(*app, options);
        if (started) {
            tt::activate(kMainWindow);
            drain();
        }
        return started;
    }

    bool startSample(std::vector<std::u16string> more = {})
    {
        std::vector<std::u16string> arguments = {platform::utf8ToUtf16(sample)};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return start(arguments);
    }

    // Handles every event already queued.
    void drain()
    {
        tt::processEvents();
        for (toolkit::Event event = toolkit::waitEvent(0); event.kind != toolkit::EventKind::None;
             event = toolkit::waitEvent(0)) {
            handleEvent(*app, event);
        }
    }

    void clickTree(int item)
    {
        ASSERT_TRUE(tt::clickItem(kContentsTree, item));
        drain();
    }
    void command(int number)
    {
        ASSERT_TRUE(tt::clickToolbarButton(kMainWindow, number));
        drain();
    }
    void key(toolkit::Key key, std::uint32_t modifiers = toolkit::ModNone)
    {
        tt::pressKey(key, modifiers);
        drain();
    }

    std::u16string shown() { return tt::pageText(kPageView); }

    platform::testing::ScratchFolder scratch;
    fs::path folder = scratch.path();
    std::string sample;
    std::unique_ptr<LeafscopeApp> app;
};

std::u16string words(const char* text)
{
    return platform::utf8ToUtf16(text);
}

// ------------------------------------------------------------ Start-up

TEST_F(Leafscope, MainWindowNumbersGeometryAndTexts)
{
    ASSERT_TRUE(startSample());
    const tt::WindowView main = tt::windowView(kMainWindow);
    EXPECT_TRUE(main.visible);
    EXPECT_EQ(main.title, u"Leafscope v" LEAFSCOPE_VERSION " - Orvanix");
    EXPECT_EQ(main.width, 1440);
    EXPECT_EQ(main.height, 720);
    EXPECT_TRUE(main.sizable);

    struct Button {
        int command;
        const char16_t* toolTip;
    };
    const Button expected[] = {{kCommandAbout, u"About"}, {-1, u""}, {kCommandProperties, u"Properties"},
        {kCommandPrint, u"Print"}, {-1, u""}, {kCommandHome, u"Home"}, {kCommandPrevious, u"Previous Page"},
        {kCommandNext, u"Next page"}, {kCommandZoomOut, u"Zoom out (CTRL + num-)"},
        {kCommandZoomIn, u"Zoom in (CTRL + Num+)"}};
    const std::vector<tt::ToolbarButtonView> bar = tt::toolbarButtons(kMainWindow);
    ASSERT_EQ(bar.size(), std::size(expected));
    for (std::size_t i = 0; i < bar.size(); ++i) {
        EXPECT_EQ(bar[i].command, expected[i].command) << i;
        EXPECT_EQ(bar[i].separator, expected[i].command < 0) << i;
        EXPECT_EQ(bar[i].toolTip, expected[i].toolTip) << i;
        if (!bar[i].separator) {
            EXPECT_EQ(bar[i].iconWidth, 32);
            EXPECT_EQ(bar[i].iconHeight, 32);
        }
    }

    EXPECT_EQ(toolkit::itemText(kNavigationPanel, 0), u"Contents");
    EXPECT_EQ(toolkit::itemText(kNavigationPanel, 1), u"Index");
    const tt::GadgetView splitter = tt::view(kSplitter);
    EXPECT_EQ(splitter.y, toolkit::toolbarHeight(kMainWindow));
    EXPECT_GT(splitter.y, 0);
    EXPECT_EQ(splitter.width, 1440);
    EXPECT_EQ(splitter.height, 720 - splitter.y);
    EXPECT_EQ(toolkit::value(kSplitter), 250);
    const tt::GadgetView tree = tt::view(kContentsTree);
    EXPECT_EQ(tree.width, toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageWidth));
    EXPECT_EQ(tree.height, toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight));
    EXPECT_EQ(tree.fontPointSize, 11);
    const tt::TreeLooksView looks = tt::treeLooks(kContentsTree);
    EXPECT_TRUE(looks.buttonsOnTopLevel);
    EXPECT_TRUE(looks.selectionVisibleWithoutFocus);
    EXPECT_TRUE(looks.fullRowSelection);
    EXPECT_GE(looks.rowHeight, 24);

    // The tree mirrors the contents: the heading holds Beta and Gamma.
    EXPECT_EQ(toolkit::countItems(kContentsTree), 5);
    EXPECT_EQ(tt::treeItem(kContentsTree, B).parent, Heading);
    EXPECT_EQ(tt::treeItem(kContentsTree, C).depth, 1);
    EXPECT_EQ(tt::treeItem(kContentsTree, D).depth, 0);
    EXPECT_EQ(toolkit::state(kContentsTree), A);
    EXPECT_NE(shown().find(words("Alpha page words")), std::u16string::npos);
}

TEST_F(Leafscope, WindowSizeFollowsTheDisplayWidth)
{
    struct Row {
        int display, width, height;
    };
    for (const Row& row : {Row{1024, 1024, 768}, Row{1025, 1440, 720}}) {
        tt::reset();
        ASSERT_TRUE(start({platform::utf8ToUtf16(sample)}, u"en_GB", row.display));
        EXPECT_EQ(tt::windowView(kMainWindow).width, row.width) << row.display;
        EXPECT_EQ(tt::windowView(kMainWindow).height, row.height) << row.display;
    }
}

// On a screen too small for the design's size the window takes the available
// area, frame included, and its minimum follows where the area is below 800 x 600.
TEST_F(Leafscope, WindowShrinksToTheScreenAndKeepsItsLayout)
{
    struct Row {
        int screenWidth, screenHeight;
        int width, height;       // inner size shown
        int minWidth, minHeight; // as a drag of the border finds it
    };
    const Row rows[] = {
        {1280, 1024, 1278, 720, 800, 600},
        {1024, 768, 1022, 743, 800, 600},
        {800, 600, 798, 575, 798, 575},
    };
    for (const Row& row : rows) {
        tt::reset();
        app = std::make_unique<LeafscopeApp>();
        StartOptions options;
        options.programFolder = folder / "program/";
        options.arguments = {platform::utf8ToUtf16(sample)};
        options.systemLocaleName = u"en_GB";
        options.displayWidth = row.screenWidth;
        options.screenArea = toolkit::ScreenRect{0, 0, row.screenWidth, row.screenHeight};
        options.frame = toolkit::FrameExtents{1, 20, 1, 5};
        ASSERT_TRUE(startLeafscope(*app, options));
        drain();
        const std::string what = std::to_string(row.screenWidth) + "x" + std::to_string(row.screenHeight);
        EXPECT_EQ(tt::windowView(kMainWindow).width, row.width) << what;
        EXPECT_EQ(tt::windowView(kMainWindow).height, row.height) << what;
        EXPECT_EQ(tt::view(kSplitter).width, row.width) << what;
        EXPECT_EQ(tt::view(kSplitter).height, row.height - toolkit::toolbarHeight(kMainWindow)) << what;
        ASSERT_TRUE(tt::resizeWindow(kMainWindow, 300, 200));
        drain();
        EXPECT_EQ(tt::windowView(kMainWindow).width, row.minWidth) << what;
        EXPECT_EQ(tt::windowView(kMainWindow).height, row.minHeight) << what;
    }
}

TEST_F(Leafscope, ResizingRefitsThePanelAndStopsAtTheMinimum)
{
    ASSERT_TRUE(startSample());
    ASSERT_TRUE(tt::dragSplitter(kSplitter, 400));
    drain();
    EXPECT_EQ(tt::view(kContentsTree).width, toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageWidth));
    EXPECT_EQ(
        tt::view(kIndexList).height, toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight) - 28);
    ASSERT_TRUE(tt::dragSplitter(kSplitter, 100));
    drain();
    EXPECT_EQ(toolkit::value(kSplitter), 250);

    // Maximising resizes the splitter to the window and re-fits the panel.
    const int before = tt::view(kIndexList).height;
    toolkit::maximizeWindow(kMainWindow);
    drain();
    ASSERT_TRUE(toolkit::windowMaximized(kMainWindow));
    EXPECT_EQ(tt::view(kSplitter).width, toolkit::windowWidth(kMainWindow));
    EXPECT_EQ(tt::view(kSplitter).height, toolkit::windowHeight(kMainWindow) - toolkit::toolbarHeight(kMainWindow));
    EXPECT_EQ(
        tt::view(kContentsTree).height, toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight));
    EXPECT_EQ(
        tt::view(kIndexList).height, toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight) - 28);
    EXPECT_NE(tt::view(kIndexList).height, before);
}

TEST_F(Leafscope, ResizingTheWindowKeepsItsMinimumAndTheLayout)
{
    ASSERT_TRUE(startSample());
    struct Row {
        int width, height;           // asked for, as a drag of the border would
        int shownWidth, shownHeight; // the inner size the window takes
    };
    const Row rows[] = {
        {640, 480, 800, 600},
        {700, 900, 800, 900},
        {1000, 500, 1000, 600},
        {1600, 1000, 1600, 1000},
        {800, 600, 800, 600},
    };
    const int toolbar = toolkit::toolbarHeight(kMainWindow);
    for (const Row& row : rows) {
        const std::string asked = std::to_string(row.width) + "x" + std::to_string(row.height);
        ASSERT_TRUE(tt::resizeWindow(kMainWindow, row.width, row.height));
        drain();
        const tt::WindowView main = tt::windowView(kMainWindow);
        EXPECT_EQ(main.width, row.shownWidth) << asked;
        EXPECT_EQ(main.height, row.shownHeight) << asked;
        const tt::GadgetView splitter = tt::view(kSplitter);
        EXPECT_EQ(splitter.y, toolbar) << asked;
        EXPECT_EQ(splitter.width, main.width) << asked;
        EXPECT_EQ(splitter.height, main.height - toolbar) << asked;
        EXPECT_GE(toolkit::value(kSplitter), 250) << asked;
        const tt::GadgetView page = tt::view(kPageView);
        EXPECT_EQ(page.x + page.width, main.width) << asked;
        EXPECT_EQ(page.y + page.height, main.height) << asked;
        const int panelWidth = toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageWidth);
        const int panelHeight = toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight);
        EXPECT_EQ(tt::view(kContentsTree).width, panelWidth) << asked;
        EXPECT_EQ(tt::view(kContentsTree).height, panelHeight) << asked;
        EXPECT_EQ(tt::view(kIndexList).width, panelWidth) << asked;
        EXPECT_EQ(tt::view(kIndexList).height, panelHeight - 28) << asked;
    }
}

TEST_F(Leafscope, SwitchesMaximiseAndPreload)
{
    ASSERT_TRUE(startSample({u"/fs", u"/mem", u"gamma"}));
    EXPECT_TRUE(toolkit::windowMaximized(kMainWindow));
    EXPECT_TRUE(app->commandLine.inMemory);
    EXPECT_EQ(app->currentPage, C);
    // In-memory pages keep showing after the file has gone.
    fs::remove(sample);
    clickTree(B);
    EXPECT_NE(shown().find(words("Beta page words")), std::u16string::npos);
}

// ------------------------------------------------------------ Opening

TEST_F(Leafscope, OpeningPaths)
{
    const std::string notHelp = (folder / "garbage.help").string();
    std::ofstream(notHelp) << "This is no help document";
    const std::string text = (folder / "notes.txt").string();
    std::ofstream(text) << "x";

    // Packing None: ends without ever showing the window.
    EXPECT_FALSE(start({platform::utf8ToUtf16(notHelp)}));
    EXPECT_FALSE(tt::windowView(kMainWindow).visible);
    EXPECT_TRUE(tt::fileDialogs().empty());

    // No document: the empty window and the open-file dialog; cancel ends.
    tt::reset();
    tt::cancelNextFileDialog();
    EXPECT_FALSE(start({}));
    ASSERT_EQ(tt::fileDialogs().size(), 1u);
    EXPECT_EQ(tt::fileDialogs()[0].title, u"Leafscope");
    EXPECT_EQ(tt::fileDialogs()[0].initialPath, platform::pathToUtf16(folder / "program/"));
    EXPECT_EQ(tt::fileDialogs()[0].filters, u"Help files (*.help)|*.help|All files (*.*)|*.*");
    EXPECT_EQ(tt::fileDialogs()[0].selectedFilter, 0);
    EXPECT_FALSE(tt::fileDialogs()[0].save);

    // A missing quoted manual is ignored: the dialog comes; a chosen file that
    // is not ".help" ends; so does a ".help" file that is no help document.
    for (const std::string& answer : {text, notHelp, (folder / "missing.help").string()}) {
        tt::reset();
        tt::answerNextFileDialog(platform::utf8ToUtf16(answer));
        EXPECT_FALSE(start({platform::pathToUtf16(folder / "program" / "Hashmere_en_GB.help")})) << answer;
        EXPECT_EQ(tt::fileDialogs().size(), 1u) << answer;
    }

    // A document chosen in the dialog opens on page 0 even with a start title.
    tt::reset();
    tt::answerNextFileDialog(platform::utf8ToUtf16(sample));
    ASSERT_TRUE(start({u"Delta"}));
    EXPECT_EQ(app->currentPage, A);
    EXPECT_NE(shown().find(words("Alpha page words")), std::u16string::npos);
}

TEST_F(Leafscope, StartPageByTitle)
{
    struct Row {
        const char16_t* title;
        int page;
        const char* words;
    };
    const Row rows[] = {
        {u"gAMMA", C, "Gamma page words"}, {u"Nowhere", A, "Alpha page words"},
        {u"chapter", Heading, nullptr}, // a heading shows nothing
    };
    for (const Row& row : rows) {
        tt::reset();
        ASSERT_TRUE(startSample({row.title}));
        EXPECT_EQ(app->currentPage, row.page);
        EXPECT_EQ(toolkit::state(kContentsTree), row.page);
        EXPECT_EQ(app->history.pages, std::vector<int>{row.page});
        if (row.words != nullptr) {
            EXPECT_NE(shown().find(words(row.words)), std::u16string::npos);
        } else {
            EXPECT_EQ(shown(), u"");
        }
    }
}

TEST_F(Leafscope, ZipDocumentOpensLikeAPack)
{
    sample = writeDocument(folder / "zipped.help", samplePages(), defaultProperties(), true);
    ASSERT_TRUE(startSample({u"Beta"}));
    EXPECT_NE(shown().find(words("Beta page words")), std::u16string::npos);
}

// ------------------------------------------------------------ Navigation

TEST_F(Leafscope, HistoryInsertsAndPreviousNextWalkIt)
{
    ASSERT_TRUE(startSample());
    clickTree(B);
    clickTree(C);
    command(kCommandPrevious);
    command(kCommandPrevious);
    EXPECT_EQ(app->currentPage, A);
    EXPECT_EQ(toolkit::state(kContentsTree), A);
    EXPECT_NE(shown().find(words("Alpha")), std::u16string::npos);
    clickTree(D);
    EXPECT_EQ(app->history.pages, (std::vector<int>{A, D, B, C}));
    EXPECT_EQ(app->history.position, 1);
    command(kCommandNext);
    EXPECT_EQ(app->currentPage, B);
    EXPECT_NE(shown().find(words("Beta page words")), std::u16string::npos);
    // The tree's own report of the programmatic selection changed nothing.
    EXPECT_EQ(app->history.pages.size(), 4u);
}

TEST_F(Leafscope, HeadingSelectsButShowsNothingNew)
{
    ASSERT_TRUE(startSample());
    clickTree(B);
    clickTree(Heading);
    EXPECT_EQ(toolkit::state(kContentsTree), Heading);
    EXPECT_EQ(app->currentPage, B);
    EXPECT_EQ(app->history.pages, (std::vector<int>{A, B}));
    EXPECT_NE(shown().find(words("Beta page words")), std::u16string::npos);
}

TEST_F(Leafscope, HomeLeavesTheHistoryAlone)
{
    ASSERT_TRUE(startSample());
    clickTree(B);
    clickTree(C);
    command(kCommandHome);
    EXPECT_EQ(app->currentPage, D);
    EXPECT_EQ(toolkit::state(kContentsTree), D);
    EXPECT_NE(shown().find(words("Delta page words")), std::u16string::npos);
    EXPECT_EQ(app->history.pages, (std::vector<int>{A, B, C}));
    command(kCommandHome); // already there
    EXPECT_EQ(app->history.position, 2);
    command(kCommandPrevious); // steps back from C's entry: B
    EXPECT_EQ(app->currentPage, B);
    EXPECT_EQ(app->history.position, 1);
}

TEST_F(Leafscope, PreviousAndNextStayInsideTheHistoryAfterHome)
{
    ASSERT_TRUE(startSample());
    command(kCommandHome); // D on display, history [A] at A
    command(kCommandPrevious);
    EXPECT_EQ(app->currentPage, A);
    EXPECT_EQ(app->history.position, 0);
    command(kCommandHome);
    command(kCommandNext);
    EXPECT_EQ(app->currentPage, A);
    EXPECT_EQ(app->history.position, 0);
    clickTree(B);
    EXPECT_EQ(app->history.pages, (std::vector<int>{A, B}));
}

TEST_F(Leafscope, HomeOutsideTheContentsAndEmptyContentsDoNothing)
{
    struct Row {
        const char* name;
        std::vector<PageSpec> pages;
        const char16_t* home;
    };
    const Row rows[] = {
        {"home beyond the list", samplePages(), u"99"},
        {"negative home", samplePages(), u"-1"},
        {"empty contents", {}, u"0"},
    };
    for (const Row& row : rows) {
        tt::reset();
        std::vector<std::u16string> properties = defaultProperties();
        properties[14] = row.home;
        sample = writeDocument(folder / "odd.help", row.pages, properties);
        ASSERT_TRUE(startSample()) << row.name;
        const int before = app->currentPage;
        command(kCommandHome);
        command(kCommandPrevious);
        command(kCommandNext);
        EXPECT_EQ(app->currentPage, before) << row.name;
        EXPECT_EQ(app->history.pages, std::vector<int>{before}) << row.name;
    }
}

// ------------------------------------------------------------ Zoom

TEST_F(Leafscope, ZoomStepsFloorAndKeys)
{
    ASSERT_TRUE(startSample());
    EXPECT_EQ(toolkit::pageZoom(kPageView), 100);
    for (int expected : {80, 60, 40, 20}) {
        command(kCommandZoomOut);
        EXPECT_EQ(toolkit::pageZoom(kPageView), expected);
    }
    command(kCommandZoomOut); // stores 0, shows no change
    EXPECT_EQ(app->zoom, 0);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 20);
    clickTree(B); // the stored 0 is applied again: ignored
    EXPECT_EQ(toolkit::pageZoom(kPageView), 20);
    command(kCommandZoomIn);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 40);
    key(toolkit::Key::KeypadMultiply, toolkit::ModControl);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 100);
    key(toolkit::Key::KeypadPlus, toolkit::ModControl);
    key(toolkit::Key::KeypadPlus, toolkit::ModControl);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 140);
    clickTree(C);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 140);
    command(kCommandPrevious);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 140);
    key(toolkit::Key::KeypadMinus, toolkit::ModControl);
    EXPECT_EQ(toolkit::pageZoom(kPageView), 120);
}

TEST_F(Leafscope, DesktopKeysBesideTheDesignedOnes)
{
    ASSERT_TRUE(startSample());
    clickTree(B);
    clickTree(C);
    key(toolkit::Key::Left, toolkit::ModAlt);
    EXPECT_EQ(app->currentPage, B);
    key(toolkit::Key::Right, toolkit::ModAlt);
    EXPECT_EQ(app->currentPage, C);
    key(toolkit::Key::Home, toolkit::ModAlt);
    EXPECT_EQ(app->currentPage, D);
    struct Row {
        toolkit::Key key;
        std::uint32_t modifiers;
        int zoom;
    };
    const Row rows[] = {{toolkit::Key::Plus, toolkit::ModControl, 120},
        {toolkit::Key::Plus, toolkit::ModControl | toolkit::ModShift, 140},
        {toolkit::Key::Minus, toolkit::ModControl, 120}, {toolkit::Key::Digit0, toolkit::ModControl, 100},
        {toolkit::Key::Minus, toolkit::ModNone, 100}};
    for (const Row& row : rows) {
        key(row.key, row.modifiers);
        EXPECT_EQ(toolkit::pageZoom(kPageView), row.zoom);
    }
    key(toolkit::Key::LetterP, toolkit::ModControl);
    EXPECT_EQ(tt::printDialogs().size(), 1u);
}

TEST_F(Leafscope, CtrlWheelOverThePageZooms)
{
    ASSERT_TRUE(startSample());
    ASSERT_TRUE(tt::turnWheel(kPageView, 1, toolkit::ModControl));
    drain();
    EXPECT_EQ(toolkit::pageZoom(kPageView), 120);
    ASSERT_TRUE(tt::turnWheel(kPageView, -1, toolkit::ModControl));
    ASSERT_TRUE(tt::turnWheel(kPageView, -1, toolkit::ModControl));
    drain();
    EXPECT_EQ(toolkit::pageZoom(kPageView), 80);
}

// A link acts, or looks and behaves as plain text showing its target as a tool tip.
TEST_F(Leafscope, LinksInPages)
{
    struct Row {
        const char* target;     // as the page's RTF spells it
        int page;               // the page shown after the click
        const char16_t* opened; // handed to the desktop, or nullptr
        const char16_t* tip;    // a link that does nothing: plain text with this tool tip; nullptr: it acts
    };
    const Row rows[] = {
        {"#gamma", C, nullptr, nullptr}, {"#Chapter", A, nullptr, u"#Chapter"}, // a heading is no link target
        {"#Nowhere", A, nullptr, u"#Nowhere"},
        {"https://www.orvanix.example/", A, u"https://www.orvanix.example/", nullptr},
        {"mailto:help@orvanix.example?attach=/etc/passwd&subject=Hi", A, u"mailto:help@orvanix.example?subject=Hi",
            nullptr},
        {"file:///etc/passwd", A, nullptr, u"file:///etc/passwd"},
        {"javascript:alert(1)", A, nullptr, u"javascript:alert(1)"},
        {"ftp://orvanix.example/", A, nullptr, u"ftp://orvanix.example/"}, {"other.help", A, nullptr, u"other.help"},
        {"https://a.example/x y", A, nullptr, u"https://a.example/x y"},
        {"\\u295?ttps://orvanix.example/", A, nullptr, u"\u0127ttps://orvanix.example/"}, // a look-alike h
    };
    for (const Row& row : rows) {
        tt::reset();
        std::vector<PageSpec> pages = samplePages();
        pages[A].text = std::string("{\\field{\\*\\fldinst HYPERLINK \"") + row.target +
            "\"}{\\fldrslt LinkLinkLinkLinkLinkLink}} after";
        sample = writeDocument(folder / "links.help", pages, defaultProperties());
        ASSERT_TRUE(startSample());
        ASSERT_TRUE(tt::movePointer(kPageView, 300, 300)); // a move from elsewhere, as the pointer may be there already
        ASSERT_TRUE(tt::movePointer(kPageView, 20, 10));
        const bool acts = row.tip == nullptr;
        EXPECT_EQ(tt::pointerShape(kPageView), acts ? tt::PointerShape::Hand : tt::PointerShape::IBeam) << row.target;
        EXPECT_EQ(tt::toolTipAt(kPageView, 20, 10), acts ? u"" : row.tip) << row.target;
        EXPECT_EQ(tt::toolTipAt(kPageView, 20, 300), u"") << row.target;
        ASSERT_TRUE(tt::dragInPage(kPageView, 20, 10, 20, 10)) << row.target;
        drain();
        EXPECT_EQ(toolkit::clickedPageLink(kPageView), acts ? platform::utf8ToUtf16(row.target) : u"") << row.target;
        EXPECT_EQ(app->currentPage, row.page) << row.target;
        if (row.opened == nullptr) {
            EXPECT_TRUE(tt::openedAddresses().empty()) << row.target;
        } else {
            ASSERT_EQ(tt::openedAddresses().size(), 1u) << row.target;
            EXPECT_EQ(tt::openedAddresses()[0], row.opened);
        }
    }
    // A drag over a link selects text and follows nothing.
    tt::reset();
    std::vector<PageSpec> pages = samplePages();
    pages[A].text = "{\\field{\\*\\fldinst HYPERLINK \"#Gamma\"}{\\fldrslt LinkLinkLinkLinkLinkLink}} after";
    sample = writeDocument(folder / "links.help", pages, defaultProperties());
    ASSERT_TRUE(startSample());
    const int before = app->currentPage;
    ASSERT_TRUE(tt::dragInPage(kPageView, 20, 10, 120, 10));
    drain();
    EXPECT_EQ(app->currentPage, before);
}

// The pointer is a hand over a link and the I-beam elsewhere; passing over a
// link follows nothing.
TEST_F(Leafscope, PointerIsAHandOverLinksOnly)
{
    for (const char* target : {"https://www.orvanix.example/", "#Gamma"}) {
        tt::reset();
        std::vector<PageSpec> pages = samplePages();
        pages[A].text = std::string("{\\field{\\*\\fldinst HYPERLINK \"") + target +
            "\"}{\\fldrslt LinkLinkLinkLink}} and plain words follow the link on the same line";
        sample = writeDocument(folder / "links.help", pages, defaultProperties());
        ASSERT_TRUE(startSample());
        struct Step {
            int x, y;
            tt::PointerShape shape;
            const char* where;
        };
        const Step steps[] = {
            {300, 10, tt::PointerShape::IBeam, "plain text"},
            {20, 10, tt::PointerShape::Hand, "the link"},
            {300, 10, tt::PointerShape::IBeam, "plain text after leaving the link"},
            {20, 10, tt::PointerShape::Hand, "the link again"},
            {20, 300, tt::PointerShape::IBeam, "below the text"},
        };
        for (const Step& step : steps) {
            ASSERT_TRUE(tt::movePointer(kPageView, step.x, step.y));
            EXPECT_EQ(tt::pointerShape(kPageView), step.shape) << target << ": " << step.where;
        }
        drain();
        EXPECT_EQ(app->currentPage, A) << target;
        EXPECT_TRUE(tt::openedAddresses().empty()) << target;
    }
}

// The left pane shows the whole of what it cuts as a tool tip, and scrolls
// sideways to deep levels; Properties values too long for their line end in "…".
TEST_F(Leafscope, CutTextsShowWhole)
{
    const std::u16string longTitle = u"A title far too long for the left pane " + std::u16string(60, u'x');
    std::vector<PageSpec> pages = {{0, longTitle, "a.rtf", "Alpha"}, {0, u"Short", "b.rtf", "Beta"}};
    for (int level = 0; level < 16; ++level) {
        const std::string name = std::to_string(level);
        pages.push_back({level, u"Level " + platform::utf8ToUtf16(name), "l" + name + ".rtf", "words"});
    }
    std::vector<std::u16string> properties = defaultProperties();
    const std::u16string longPublisher = u"Orvanix " + std::u16string(120, u'y');
    const std::u16string longWebsite = u"https://www.orvanix.example/" + std::u16string(120, u'z');
    properties[7] = longPublisher;
    properties[10] = longWebsite;
    sample = writeDocument(folder / "cut.help", pages, properties);
    ASSERT_TRUE(startSample());
    const tt::TreeLooksView looks = tt::treeLooks(kContentsTree);
    EXPECT_GT(looks.maxScrollX, 0);
    struct Row {
        int item;
        std::u16string tip;
    };
    const Row rows[] = {{0, longTitle}, {1, u""}};
    for (const Row& row : rows) {
        const tt::TreeItemView item = tt::treeItem(kContentsTree, row.item);
        const int x = std::min(item.x + item.width / 2, looks.visibleWidth - 5);
        EXPECT_EQ(tt::toolTipAt(kContentsTree, x, item.y + item.height / 2), row.tip) << row.item;
    }
    // The Index tab's list: the title as the first row.
    ASSERT_TRUE(tt::clickItem(kNavigationPanel, kIndexTab));
    ASSERT_TRUE(tt::typeText(kIndexField, u"far too long"));
    drain();
    EXPECT_EQ(tt::toolTipAt(kIndexList, 100, 8), longTitle);
    ASSERT_TRUE(tt::clickItem(kNavigationPanel, kContentsTab));

    command(kCommandProperties);
    struct Value {
        int gadget;
        std::u16string whole;
        bool cut;
    };
    const Value values[] = {{propertiesValue(7), longPublisher, true}, {kWebsiteLink, longWebsite, true},
        {propertiesValue(8), u"(c) Orvanix", false}};
    for (const Value& value : values) {
        const tt::GadgetView shown = tt::view(value.gadget);
        EXPECT_EQ(toolkit::text(value.gadget), value.whole);
        if (value.cut) {
            ASSERT_FALSE(shown.text.empty());
            EXPECT_EQ(shown.text.back(), u'\u2026');
            EXPECT_EQ(value.whole.compare(0, shown.text.size() - 1, shown.text, 0, shown.text.size() - 1), 0);
            EXPECT_EQ(tt::toolTipAt(value.gadget, 5, 5), value.whole);
        } else {
            EXPECT_EQ(shown.text, value.whole);
            EXPECT_EQ(tt::toolTipAt(value.gadget, 5, 5), u"");
        }
    }
    tt::click(kWebsiteLink);
    drain();
    ASSERT_EQ(tt::openedAddresses().size(), 1u);
    EXPECT_EQ(tt::openedAddresses()[0], longWebsite);
}

// ------------------------------------------------------------ Index

TEST_F(Leafscope, IndexListsPageTitlesAndShowsThemLikeTheTree)
{
    ASSERT_TRUE(startSample());
    std::vector<std::u16string> listed;
    for (int row = 0; row < toolkit::countItems(kIndexList); ++row) {
        listed.push_back(toolkit::itemText(kIndexList, row));
    }
    EXPECT_EQ(listed, (std::vector<std::u16string>{u"Alpha", u"Beta", u"Delta", u"Gamma"}));
    ASSERT_TRUE(tt::clickItem(kNavigationPanel, kIndexTab));
    drain();
    ASSERT_TRUE(tt::typeText(kIndexField, u"ELT"));
    drain();
    ASSERT_EQ(toolkit::countItems(kIndexList), 1);
    EXPECT_EQ(toolkit::itemText(kIndexList, 0), u"Delta");
    key(toolkit::Key::Return); // Enter in the field shows the first match
    EXPECT_EQ(app->currentPage, D);
    EXPECT_EQ(toolkit::state(kContentsTree), D);
    EXPECT_NE(shown().find(words("Delta page words")), std::u16string::npos);
    EXPECT_EQ(app->history.pages, (std::vector<int>{A, D}));

    toolkit::setText(kIndexField, u"");
    filterIndex(*app, u"a"); // all four contain an "a"
    ASSERT_EQ(toolkit::countItems(kIndexList), 4);
    ASSERT_TRUE(tt::clickItem(kIndexList, 3));
    drain();
    EXPECT_EQ(app->currentPage, D); // a single click only selects
    key(toolkit::Key::Return);      // Enter on the list's item shows it
    EXPECT_EQ(app->currentPage, C);
    EXPECT_EQ(app->history.pages, (std::vector<int>{A, D, C}));

    // Down in the field goes on into the list; Down in the tree still moves in the tree.
    ASSERT_TRUE(tt::typeText(kIndexField, u"et"));
    drain();
    ASSERT_EQ(toolkit::countItems(kIndexList), 1);
    key(toolkit::Key::Down);
    key(toolkit::Key::Return);
    EXPECT_EQ(app->currentPage, B);
    ASSERT_TRUE(tt::clickItem(kNavigationPanel, kContentsTab));
    toolkit::setActiveGadget(kContentsTree);
    key(toolkit::Key::Down);
    EXPECT_EQ(toolkit::state(kContentsTree), C);
}

// ------------------------------------------------------------ Printing

int pdfPages(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\f'));
}

TEST_F(Leafscope, PrintCancelledPrintsNothing)
{
    ASSERT_TRUE(startSample());
    command(kCommandPrint);
    ASSERT_EQ(tt::printDialogs().size(), 1u);
    const tt::PrintDialogRecord& dialog = tt::printDialogs()[0];
    EXPECT_EQ(dialog.documentName, u"Leafscope");
    EXPECT_FALSE(dialog.pageRangeOffered);
    EXPECT_FALSE(dialog.selectionOffered);
    EXPECT_FALSE(dialog.printToFileOffered);
    EXPECT_EQ(printPage(*app), 0);
    EXPECT_TRUE(fs::is_empty(folder / "program"));
}

TEST_F(Leafscope, PrintLongPageSpansPagesInOrder)
{
    std::vector<PageSpec> pages = samplePages();
    std::string longText;
    for (int line = 1; line <= 150; ++line) {
        longText += "Line " + std::to_string(line) + " of the long page\\par ";
    }
    pages[A].text = longText;
    sample = writeDocument(folder / "long.help", pages, defaultProperties());
    ASSERT_TRUE(startSample());
    const fs::path pdf = folder / "printed.pdf";
    tt::answerNextPrintDialog(pdf);
    command(kCommandZoomIn); // the view's zoom does not reach the paper
    bool busyWhilePrinting = false;
    tt::whenPrinting([&] { busyWhilePrinting = tt::busyPointerShown(); });
    EXPECT_FALSE(tt::busyPointerShown());
    command(kCommandPrint);
    EXPECT_TRUE(busyWhilePrinting);
    EXPECT_FALSE(tt::busyPointerShown());
    const std::string text = pdfText(pdf);
    ASSERT_FALSE(text.empty());
    EXPECT_GE(pdfPages(text), 2);
    std::size_t at = 0;
    for (int line = 1; line <= 150; ++line) {
        const std::string wanted = "Line " + std::to_string(line) + " of the long page";
        const std::size_t found = text.find(wanted + "\n", at);
        ASSERT_NE(found, std::string::npos) << wanted;
        EXPECT_EQ(text.find(wanted + "\n", found + 1), std::string::npos) << wanted << " twice";
        at = found + wanted.size();
    }
}

TEST_F(Leafscope, WithoutAPrinterPrintSaysSoInOneLine)
{
    const struct {
        const char16_t* locale;
        const char16_t* title;
        const char16_t* line;
    } cases[] = {
        {u"en_GB", u"Print", u"No printer is installed, so nothing can be printed."},
        {u"en_US", u"Print", u"No printer is installed, so nothing can be printed."},
        {u"hu_HU", u"Nyomtat\u00e1s", u"Nincs telep\u00edtett nyomtat\u00f3, ez\u00e9rt nem lehet nyomtatni."},
    };
    for (const auto& c : cases) {
        tt::reset();
        tt::setPrinterInstalled(false);
        ASSERT_TRUE(start({platform::utf8ToUtf16(sample)}, c.locale));
        command(kCommandPrint);
        command(kCommandPrint); // one window, however often Print is pressed
        EXPECT_TRUE(tt::printDialogs().empty());
        const tt::WindowView notice = tt::windowView(kNoPrinterWindow);
        ASSERT_TRUE(notice.visible);
        EXPECT_EQ(notice.title, c.title);
        EXPECT_EQ(notice.owner, kMainWindow);
        EXPECT_EQ(tt::view(kNoPrinterText).text, c.line);
        key(toolkit::Key::Escape);
        EXPECT_FALSE(toolkit::windowExists(kNoPrinterWindow));
        EXPECT_TRUE(toolkit::windowExists(kMainWindow));
    }
    // With a printer the dialog comes, as before.
    tt::reset();
    ASSERT_TRUE(startSample());
    command(kCommandPrint);
    EXPECT_EQ(tt::printDialogs().size(), 1u);
    EXPECT_FALSE(toolkit::windowExists(kNoPrinterWindow));
}

// ------------------------------------------------------------ Dialogs

TEST_F(Leafscope, AboutWindowOpensOnceAndClosesEveryWay)
{
    ASSERT_TRUE(startSample());
    command(kCommandAbout);
    command(kCommandAbout);
    ASSERT_TRUE(toolkit::windowExists(kAboutWindow));
    const tt::WindowView about = tt::windowView(kAboutWindow);
    EXPECT_EQ(about.title, u"About");
    EXPECT_EQ(about.width, 600);
    EXPECT_EQ(about.height, 340);
    EXPECT_FALSE(about.sizable);
    EXPECT_EQ(about.owner, kMainWindow);
    EXPECT_TRUE(tt::windowView(kMainWindow).enabled);
    const tt::GadgetView title = tt::view(kAboutTitle);
    EXPECT_EQ(title.text, u"Leafscope");
    EXPECT_EQ(title.fontPointSize, 25);
    EXPECT_EQ(title.x, 150);
    EXPECT_EQ(title.width, 380);
    const tt::GadgetView body = tt::view(kAboutText);
    EXPECT_TRUE(body.wordWrap);
    EXPECT_EQ(body.fontPointSize, 11);
    EXPECT_NE(body.text.find(u"Code and Design:"), std::u16string::npos);
    EXPECT_NE(body.text.find(u"Orvanix"), std::u16string::npos);
    EXPECT_EQ(tt::view(kAboutLogo).imageWidth, 128);
    const tt::GadgetView ok = tt::view(kAboutOkButton);
    EXPECT_EQ(ok.text, u"OK");
    EXPECT_EQ(ok.x, 495);
    EXPECT_EQ(ok.y, 310);

    struct Way {
        const char* name;
        std::function<void()> close;
    };
    const Way ways[] = {
        {"Escape", [] { tt::pressKey(toolkit::Key::Escape); }},
        {"OK", [] { tt::click(kAboutOkButton); }},
        {"close box", [] { tt::clickCloseBox(kAboutWindow); }},
    };
    for (const Way& way : ways) {
        if (!toolkit::windowExists(kAboutWindow)) {
            command(kCommandAbout);
        }
        ASSERT_TRUE(tt::activate(kAboutWindow)) << way.name;
        way.close();
        drain();
        EXPECT_FALSE(toolkit::windowExists(kAboutWindow)) << way.name;
        EXPECT_FALSE(app->quit) << way.name;
    }
}

TEST_F(Leafscope, PropertiesShowsTheDocumentsTextsInRows)
{
    ASSERT_TRUE(startSample());
    command(kCommandProperties);
    ASSERT_TRUE(toolkit::windowExists(kPropertiesWindow));
    const tt::WindowView window = tt::windowView(kPropertiesWindow);
    EXPECT_EQ(window.title, u"Properties");
    EXPECT_EQ(window.width, 600);
    EXPECT_EQ(window.height, 375);
    EXPECT_EQ(window.owner, kMainWindow);
    const std::vector<std::u16string> values = defaultProperties();
    const char16_t* labels[] = {u"Software name:", u"Software version:", u"Helpfile name:", u"Helpfile version:",
        u"Language:", u"Date of creation:", u"Tool:", u"Publisher:", u"Copyright:", u"E-mail:", u"Website:"};
    for (int row = 0; row < kPropertiesRowCount; ++row) {
        const tt::GadgetView label = tt::view(propertiesLabel(row));
        const tt::GadgetView value = tt::view(propertiesValue(row));
        EXPECT_EQ(label.text, labels[row]) << row;
        EXPECT_EQ(label.y, 10 + 30 * row) << row;
        EXPECT_EQ(label.x, 10);
        EXPECT_EQ(label.width, 200);
        EXPECT_EQ(label.alignment, 2) << row;
        EXPECT_TRUE(label.fontBold) << row;
        EXPECT_EQ(value.text, values[static_cast<std::size_t>(row)]) << row;
        EXPECT_EQ(value.x, 215);
        EXPECT_EQ(value.y, 10 + 30 * row) << row;
        EXPECT_EQ(value.width, 375);
        EXPECT_FALSE(value.fontBold) << row;
        EXPECT_EQ(value.fontPointSize, 11);
    }
    EXPECT_EQ(toolkit::gadgetKind(kWebsiteLink), toolkit::GadgetKind::Hyperlink);
    EXPECT_EQ(tt::view(kWebsiteLink).textColour, toolkit::rgb(0, 0, 0));
    EXPECT_EQ(tt::view(kPropertiesCloseButton).text, u"Close");
    EXPECT_EQ(tt::view(kPropertiesCloseButton).y, 345);
    EXPECT_EQ(tt::view(kPropertiesFrame).height, 340);

    ASSERT_TRUE(tt::click(kWebsiteLink));
    drain();
    ASSERT_EQ(tt::openedAddresses().size(), 1u);
    EXPECT_EQ(tt::openedAddresses()[0], u"https://www.orvanix.example");
    EXPECT_TRUE(toolkit::windowExists(kPropertiesWindow));
    ASSERT_TRUE(tt::activate(kPropertiesWindow));
    tt::pressKey(toolkit::Key::Escape);
    drain();
    EXPECT_FALSE(toolkit::windowExists(kPropertiesWindow));
}

TEST_F(Leafscope, WebsiteLinkOpensOnlyWebAndMailAddresses)
{
    struct Row {
        const char16_t* website;
        const char16_t* opened; // nullptr: nothing handed over
    };
    const Row rows[] = {{u"", nullptr}, {u"file:///etc/passwd", nullptr}, {u"javascript:alert(1)", nullptr},
        {u"mailto:help@orvanix.example", u"mailto:help@orvanix.example"}};
    for (const Row& row : rows) {
        tt::reset();
        std::vector<std::u16string> properties = defaultProperties();
        properties[10] = row.website;
        sample = writeDocument(folder / "site.help", samplePages(), properties);
        ASSERT_TRUE(startSample());
        command(kCommandProperties);
        EXPECT_EQ(tt::view(kWebsiteLink).text, row.website);
        tt::click(kWebsiteLink);
        drain();
        if (row.opened == nullptr) {
            EXPECT_TRUE(tt::openedAddresses().empty());
        } else {
            ASSERT_EQ(tt::openedAddresses().size(), 1u);
            EXPECT_EQ(tt::openedAddresses()[0], row.opened);
        }
    }
}

TEST_F(Leafscope, BothDialogsOpenThenClosingTheMainWindowEndsTheLoop)
{
    ASSERT_TRUE(startSample());
    command(kCommandAbout);
    command(kCommandProperties);
    EXPECT_TRUE(toolkit::windowExists(kAboutWindow));
    EXPECT_TRUE(toolkit::windowExists(kPropertiesWindow));
    for (int window : {kAboutWindow, kPropertiesWindow}) {
        // Kept above the main window, no taskbar entry or minimise button of their own, not modal.
        const tt::WindowSystemView system = tt::windowSystemView(window);
        EXPECT_EQ(system.transientFor, kMainWindow) << window;
        EXPECT_TRUE(system.dialog) << window;
        EXPECT_FALSE(system.modal) << window;
        EXPECT_FALSE(system.minimizeButton) << window;
        EXPECT_FALSE(system.maximizeButton) << window;
    }
    clickTree(B); // the main window stays usable
    EXPECT_EQ(app->currentPage, B);
    tt::clickCloseBox(kMainWindow);
    drain();
    EXPECT_TRUE(app->quit);
}

// ------------------------------------------------------------ Languages

TEST_F(Leafscope, HungarianInterface)
{
    ASSERT_TRUE(start({platform::utf8ToUtf16(sample)}, u"hu-HU"));
    EXPECT_EQ(toolkit::itemText(kNavigationPanel, 0), u"Tartalom");
    EXPECT_EQ(toolkit::itemText(kNavigationPanel, 1), u"T\u00e1rgymutat\u00f3");
    const std::vector<tt::ToolbarButtonView> bar = tt::toolbarButtons(kMainWindow);
    ASSERT_EQ(bar.size(), 10u);
    EXPECT_EQ(bar[5].toolTip, u"Kezd\u0151oldal");
    EXPECT_EQ(bar[6].toolTip, u"El\u0151z\u0151 oldal");
    command(kCommandProperties);
    EXPECT_EQ(tt::windowView(kPropertiesWindow).title, u"Tulajdons\u00e1gok");
    EXPECT_EQ(tt::view(kPropertiesCloseButton).text, u"Bez\u00e1r");
}

// ------------------------------------------------------------ Screenshots

// Screenshots for the README: $HASHMERE_SHOTS_DIR or else <build>/shots.
fs::path shotsFolder()
{
    const char* dir = std::getenv("HASHMERE_SHOTS_DIR");
    fs::path shots = dir != nullptr ? fs::path(dir) : fs::path(HASHMERE_BINARY_DIR) / "shots";
    fs::create_directories(shots);
    return shots;
}

// The shipped user guides, built into the program folder.
fs::path manual(const char* language)
{
    return fs::path(HASHMERE_PROGRAM_DIR) / (std::string("Hashmere_") + language + ".help");
}

TEST_F(Leafscope, ScreenshotsOfTheUserGuideInEnglishAndHungarian)
{
    struct Shot {
        const char* language;
        const char16_t* locale;
        const char16_t* title;
        const char* name;
    };
    const Shot shots[] = {{"en_GB", u"en_GB", u"The main window", "leafscope-main-en.png"},
        {"hu_HU", u"hu_HU", u"A f\u0151ablak", "leafscope-main-hu.png"}};
    for (const Shot& shot : shots) {
        tt::reset();
        ASSERT_TRUE(fs::is_regular_file(manual(shot.language))) << manual(shot.language);
        ASSERT_TRUE(start({platform::pathToUtf16(manual(shot.language)), shot.title}, shot.locale, 1024));
        EXPECT_EQ(app->doc.contents()[static_cast<std::size_t>(app->currentPage)].title, shot.title);
        EXPECT_FALSE(shown().empty());
        EXPECT_TRUE(tt::saveScreenshot(kMainWindow, shotsFolder() / shot.name));
    }
    command(kCommandProperties);
    EXPECT_FALSE(tt::view(kWebsiteLink).text.empty());
    EXPECT_TRUE(tt::saveScreenshot(kPropertiesWindow, shotsFolder() / "leafscope-properties-hu.png"));
}

// ------------------------------------------------------------ The program

// The built program, started offscreen with `arguments`, HOME at `home` and the
// configuration folder at `config`; it reports on standard output what it shows.
struct RunningProgram {
    pid_t pid = -1; // -1: it could not be started
    FILE* output = nullptr;
};

RunningProgram startProgram(const std::vector<std::string>& arguments, const fs::path& home, const fs::path& config)
{
    // Arguments and environment are built before the fork: between fork and exec the
    // child only calls what is safe there.
    std::vector<char*> argv = {const_cast<char*>(LEAFSCOPE_PROGRAM)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = {"QT_QPA_PLATFORM=offscreen", "HOME=" + home.string(),
        "XDG_CONFIG_HOME=" + config.string(), "LEAFSCOPE_REPORT_SHOWN=1"};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view name = std::string_view(*variable).substr(0, std::string_view(*variable).find('='));
        if (name != "QT_QPA_PLATFORM" && name != "HOME" && name != "XDG_CONFIG_HOME" &&
            name != "LEAFSCOPE_REPORT_SHOWN") {
            variables.emplace_back(*variable);
        }
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execve(LEAFSCOPE_PROGRAM, argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    if (child < 0) {
        close(out[0]);
        return {};
    }
    return {child, fdopen(out[0], "r")};
}

// The next line the program reports, or "" at the end of its output.
std::string nextLine(const RunningProgram& program)
{
    char line[256] = {};
    return std::fgets(line, sizeof line, program.output) != nullptr ? std::string(line) : std::string();
}

// Asks the program to end, as a desktop session does, and waits for it: its wait status.
int endProgram(RunningProgram& program)
{
    kill(program.pid, SIGTERM);
    int status = 0;
    if (waitpid(program.pid, &status, 0) != program.pid) {
        status = -1;
    }
    std::fclose(program.output);
    program = {};
    return status;
}

TEST_F(Leafscope, ProgramShowsTheStartPageAndEndsOnRequest)
{
    // The shipped English guide, as Hashmere's F1 opens it, with a start page.
    const std::string guide = manual("en_GB").string();
    document::registerStandardPackers();
    document::HelpDocument expected;
    ASSERT_TRUE(expected.open(guide));
    const int page = document::findPageByTitle(expected.contents(), u"Green and red");
    ASSERT_GT(page, 0);
    const fs::path home = folder / "home";
    fs::create_directories(home / "config");
    // The same guide in a folder whose name is Latin-1, not UTF-8: the path's bytes reach the file.
    const fs::path latin1 = folder / "Programme f\xFCr Ger\xE4te";
    fs::create_directories(latin1);
    fs::copy_file(guide, latin1 / "Hashmere_en_GB.help");
    for (const std::string& path : {guide, (latin1 / "Hashmere_en_GB.help").string()}) {
        RunningProgram program = startProgram({path, "green and RED", "/MEM"}, home, home / "config");
        ASSERT_GT(program.pid, 0);
        EXPECT_EQ(nextLine(program), "started\n");
        EXPECT_EQ(nextLine(program), "shown 1 " + std::to_string(page) + "|Green and red\n") << path;
        const int status = endProgram(program);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_TRUE(fs::is_empty(home / "config"));
    EXPECT_EQ(std::distance(fs::directory_iterator(home), fs::directory_iterator()), 1);
}

// Started without a document the program waits in the open-file dialog; a
// request to end it then ends it at once.
TEST_F(Leafscope, ProgramEndsOnRequestWhileTheFileDialogIsUp)
{
    RunningProgram program = startProgram({}, folder, folder);
    ASSERT_GT(program.pid, 0);
    EXPECT_EQ(nextLine(program), "started\n");
    // Whether the dialog is up yet or not, the program ends with 0.
    const int status = endProgram(program);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Leafscope, ProgramPrintsUsageAndVersionWithoutADisplay)
{
    for (const char* option : {"--help", "--version"}) {
        const std::string command =
            std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") + LEAFSCOPE_PROGRAM + " " + option;
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char line[256] = {};
        ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
        EXPECT_EQ(pclose(pipe), 0) << option;
        EXPECT_NE(std::string(line).find("Leafscope"), std::string::npos) << option;
    }
}

// Qt's own dialog texts are Hungarian only with Hungarian texts of our own,
// so that one window never mixes two languages; English takes them back.
TEST_F(Leafscope, OpenDialogSpeaksTheLanguageOfItsTexts)
{
    const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
        {u"hu_HU", {u"Megnyitás", u"Mégse"}},
        {u"de_DE", {u"Open", u"Cancel"}}, // English texts for a German locale
        {u"hu-HU", {u"Megnyitás", u"Mégse"}},
        {u"en_US", {u"Open", u"Cancel"}},
    };
    for (const auto& [locale, expected] : cases) {
        tt::reset();
        std::vector<std::u16string> buttons;
        int shown = 0;
        tt::readShownFileDialogButtons(buttons, shown);
        EXPECT_FALSE(start({}, locale));
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(buttons, expected) << platform::utf16ToUtf8(locale);
    }
}

// A raise request from the program that started the viewer (Hashmere's help
// key while the guide is open) brings its window forward over another one.
TEST_F(Leafscope, RaiseRequestActivatesTheMainWindow)
{
    ASSERT_TRUE(startSample());
    constexpr int kOther = 50;
    ASSERT_TRUE(toolkit::openWindow(kOther, 0, 0, 300, 200, u"Other", toolkit::WindowCaption));
    toolkit::showWindow(kOther);
    ASSERT_TRUE(tt::activate(kOther));
    ASSERT_TRUE(platform::sendRaiseRequest(::getpid()));
    for (int i = 0; i < 200 && toolkit::activeWindow() != kMainWindow; ++i) {
        drain();
    }
    EXPECT_EQ(toolkit::activeWindow(), kMainWindow);
    toolkit::closeWindow(kOther);
}

} // namespace
