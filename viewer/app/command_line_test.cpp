#include "viewer/app/command_line.h"

#include <gtest/gtest.h>

#include <set>

#include "program_versions.h"

namespace {

using leafscope::classifyArguments;
using leafscope::CommandLine;

// The files that "exist" for these tests; everything else is missing.
const std::set<std::u16string> kFiles = {u"/docs/manual.help", u"/docs/other.help", u"/docs/MANUAL.HELP",
    u"/docs/Introduction", u"/docs/archive.help.zip", u"/docs/v1.2/guide.help"};

bool fakeRegularFile(std::u16string_view path)
{
    return kFiles.count(std::u16string(path)) != 0;
}

struct Case {
    const char* name;
    std::vector<std::u16string> arguments;
    std::u16string document;
    std::u16string title;
    bool maximized;
    bool inMemory;
};

// clang-format off
const Case kCases[] = {
    {"nothing", {}, u"", u"", false, false},
    {"document", {u"/docs/manual.help"}, u"/docs/manual.help", u"", false, false},
    {"switches in lower case", {u"/docs/manual.help", u"/mem", u"/fs"}, u"/docs/manual.help", u"", true, true},
    {"switches in mixed case", {u"/Fs", u"/mEm"}, u"", u"", true, true},
    {"extension in capitals is neither document nor title", {u"/docs/MANUAL.HELP"}, u"", u"", false, false},
    {"title after document", {u"/docs/manual.help", u"Introduction"}, u"/docs/manual.help", u"Introduction", false, false},
    {"title with blanks", {u"Getting started"}, u"", u"Getting started", false, false},
    {"later document wins", {u"/docs/manual.help", u"/docs/other.help"}, u"/docs/other.help", u"", false, false},
    {"later title wins", {u"First", u"Second"}, u"", u"Second", false, false},
    {"missing document is ignored", {u"/docs/missing.help"}, u"", u"", false, false},
    {"other extension is ignored", {u"notes.txt"}, u"", u"", false, false},
    {"help inside the name is no extension", {u"/docs/archive.help.zip"}, u"", u"", false, false},
    {"dot in a folder name only", {u"/docs/v1.2/guide.help"}, u"/docs/v1.2/guide.help", u"", false, false},
    {"dot in a folder, none in the name: a title", {u"v1.2/Intro"}, u"", u"v1.2/Intro", false, false},
    {"empty argument is no title", {u"Intro", u""}, u"", u"Intro", false, false},
    {"existing file without extension is a title", {u"/docs/Introduction"}, u"", u"/docs/Introduction", false, false},
    {"switch-like words are titles", {u"/FSX", u"MEM"}, u"", u"MEM", false, false},
    {"Qt's own options are only titles here", {u"-reverse"}, u"", u"-reverse", false, false},
};
// clang-format on

TEST(CommandLine, ClassifiesEachArgumentOnItsOwn)
{
    for (const Case& c : kCases) {
        const CommandLine line = classifyArguments(c.arguments, fakeRegularFile);
        EXPECT_EQ(line.documentPath, c.document) << c.name;
        EXPECT_EQ(line.startPageTitle, c.title) << c.name;
        EXPECT_EQ(line.maximized, c.maximized) << c.name;
        EXPECT_EQ(line.inMemory, c.inMemory) << c.name;
    }
}

TEST(CommandLine, RealFileSystemTellsFilesFromFolders)
{
    EXPECT_FALSE(leafscope::isRegularFile(u""));
    EXPECT_FALSE(leafscope::isRegularFile(u"/"));
    EXPECT_FALSE(leafscope::isRegularFile(u"/nonexistent/leafscope.help"));
}

TEST(CommandLine, HelpAndVersionOnlyAsTheOnlyArgument)
{
    using leafscope::EarlyAction;
    using leafscope::earlyAction;
    EXPECT_EQ(earlyAction({u"--help"}), EarlyAction::PrintUsage);
    EXPECT_EQ(earlyAction({u"--version"}), EarlyAction::PrintVersion);
    EXPECT_EQ(earlyAction({}), EarlyAction::Run);
    EXPECT_EQ(earlyAction({u"--help", u"x.help"}), EarlyAction::Run);
    EXPECT_EQ(earlyAction({u"--HELP"}), EarlyAction::Run);
    EXPECT_NE(leafscope::usageText().find("/MEM"), std::string::npos);
    EXPECT_EQ(leafscope::versionText(), "Leafscope " LEAFSCOPE_VERSION "\n");
}

TEST(WindowSize, DependsOnlyOnWhetherTheDisplayIsWiderThan1024)
{
    struct Row {
        int display, width, height;
    };
    const Row rows[] = {
        {0, 1024, 768}, {800, 1024, 768}, {1024, 1024, 768}, {1025, 1440, 720}, {1920, 1440, 720}, {3840, 1440, 720}};
    for (const Row& row : rows) {
        const leafscope::WindowSize size = leafscope::mainWindowSize(row.display);
        EXPECT_EQ(size.width, row.width) << row.display;
        EXPECT_EQ(size.height, row.height) << row.display;
    }
}

// The design's size where it fits with the frame, the screen's available area
// where it does not (never below 800 x 600 unless the area is smaller), centred
// frame included. Each screen with the whole screen available, with a panel of
// 40 pixels at the bottom, and without a known frame.
TEST(WindowSize, FitsTheScreenWithItsFrame)
{
    const toolkit::FrameExtents frame{1, 20, 1, 5}; // as openbox draws it
    const toolkit::FrameExtents none{};
    struct Row {
        int screenWidth, screenHeight, panel;
        toolkit::FrameExtents frame;
        int x, y, width, height; // the inner area on the screen
    };
    const Row rows[] = {
        {800, 600, 0, frame, 1, 20, 798, 575}, {800, 600, 0, none, 0, 0, 800, 600},
        {1024, 768, 0, frame, 1, 20, 1022, 743}, {1024, 768, 0, none, 0, 0, 1024, 768},
        {1024, 768, 40, frame, 1, 20, 1022, 703}, {1025, 800, 0, frame, 1, 47, 1023, 720},
        {1280, 1024, 0, frame, 1, 159, 1278, 720}, {1366, 768, 0, frame, 1, 31, 1364, 720},
        {1366, 768, 40, frame, 1, 20, 1364, 703}, {1440, 900, 0, frame, 1, 97, 1438, 720},
        {1920, 1080, 0, frame, 240, 187, 1440, 720}, {1920, 1080, 40, frame, 240, 167, 1440, 720},
        {3840, 2160, 0, frame, 1200, 727, 1440, 720},
        {640, 480, 0, frame, 1, 20, 638, 455}, // smaller than the minimum: fills the screen
    };
    for (const Row& row : rows) {
        const toolkit::ScreenRect area{0, 0, row.screenWidth, row.screenHeight - row.panel};
        const toolkit::ScreenRect rect = leafscope::mainWindowRect(row.screenWidth, area, row.frame);
        const std::string what = std::to_string(row.screenWidth) + "x" + std::to_string(row.screenHeight) + " panel " +
            std::to_string(row.panel) + (row.frame.top == 0 ? " no frame" : "");
        EXPECT_EQ(rect.x, row.x) << what;
        EXPECT_EQ(rect.y, row.y) << what;
        EXPECT_EQ(rect.width, row.width) << what;
        EXPECT_EQ(rect.height, row.height) << what;
        // Frame included, the window lies inside the available area.
        EXPECT_GE(rect.x - row.frame.left, area.x) << what;
        EXPECT_GE(rect.y - row.frame.top, area.y) << what;
        EXPECT_LE(rect.x + rect.width + row.frame.right, area.x + area.width) << what;
        EXPECT_LE(rect.y + rect.height + row.frame.bottom, area.y + area.height) << what;
    }
    // No screen known: the design's size as it is.
    const toolkit::ScreenRect unknown = leafscope::mainWindowRect(1920, toolkit::ScreenRect{}, frame);
    EXPECT_EQ(unknown.width, 1440);
    EXPECT_EQ(unknown.height, 720);
}

} // namespace
