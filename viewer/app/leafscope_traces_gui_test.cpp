// Leafscope's own dialogs leave nothing behind: with HOME and the configuration
// folder pointing at an empty folder, the viewer opens a document through its
// real open-file dialog, prints through its real print dialog (each also
// cancelled once) and quits, and the home folder is still empty.
// Own main: the toolkit starts after the environment is set, outside the test
// surface's dialog answering.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"
#include "viewer/app/test_documents.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;
using namespace leafscope;

int gArgc = 1;
char gArgv0[] = "leafscope-traces-test";
char* gArgv[] = {gArgv0, nullptr};

fs::path gHome;

class EmptyHome : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "leafscope-home-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        gHome = pattern;
        setenv("HOME", gHome.c_str(), 1);
        setenv("XDG_CONFIG_HOME", gHome.c_str(), 1);
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
            unsetenv(name); // their defaults lie below HOME
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ASSERT_TRUE(toolkit::initialise(gArgc, gArgv));
    }
    void TearDown() override
    {
        toolkit::shutdown();
        std::error_code error;
        fs::remove_all(gHome, error);
    }
};

std::vector<std::string> entriesBelow(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.push_back(entry.path().string());
    }
    return names;
}

std::vector<std::uint8_t> rtfPage(const std::string& text)
{
    const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 " + text + "\\par}";
    return std::vector<std::uint8_t>(rtf.begin(), rtf.end());
}

std::string pdfText(const fs::path& pdf)
{
    const fs::path out = pdf.string() + ".txt";
    const std::string command = "pdftotext '" + pdf.string() + "' '" + out.string() + "'";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::ifstream in(out);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class LeafscopeTraces : public ::testing::Test {
protected:
    void SetUp() override
    {
        files = gHome.parent_path() / (gHome.filename().string() + "-files");
        fs::create_directories(files);
        leafscope::testing::writeHelpDocument(files / "guide.help",
            {{0, u"Welcome", "welcome.rtf", rtfPage("Welcome to the printed guide")}},
            leafscope::testing::defaultProperties());
    }
    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(files, error);
    }

    StartOptions options() const
    {
        StartOptions options;
        options.programFolder = files / "";
        options.systemLocaleName = u"en_GB";
        options.displayWidth = 1920;
        return options;
    }

    // Handles every event already queued.
    void drain(LeafscopeApp& app)
    {
        tt::processEvents();
        for (toolkit::Event event = toolkit::waitEvent(0); event.kind != toolkit::EventKind::None;
             event = toolkit::waitEvent(0)) {
            handleEvent(app, event);
        }
    }

    fs::path files;
};

TEST_F(LeafscopeTraces, OpeningPrintingAndQuittingLeaveHomeEmpty)
{
    int fileDialogs = 0;
    int printDialogs = 0;

    // Cancelling the open-file dialog ends the program.
    {
        LeafscopeApp cancelled;
        tt::answerShownFileDialog(files, u"", fileDialogs);
        EXPECT_FALSE(startLeafscope(cancelled, options()));
        EXPECT_EQ(fileDialogs, 1);
        toolkit::closeWindow(kMainWindow);
        tt::processEvents();
    }

    LeafscopeApp app;
    tt::answerShownFileDialog(files, u"guide.help", fileDialogs);
    ASSERT_TRUE(startLeafscope(app, options()));
    EXPECT_EQ(fileDialogs, 2);
    EXPECT_NE(tt::pageText(kPageView).find(u"Welcome to the printed guide"), std::u16string::npos);

    const fs::path printed = files / "printed";
    fs::create_directories(printed);
    tt::answerShownPrintDialog({}, printDialogs);
    ASSERT_TRUE(tt::clickToolbarButton(kMainWindow, kCommandPrint));
    drain(app);
    EXPECT_EQ(printDialogs, 1);
    EXPECT_TRUE(fs::is_empty(printed));

    const fs::path pdf = printed / "guide.pdf";
    tt::answerShownPrintDialog(pdf, printDialogs);
    ASSERT_TRUE(tt::clickToolbarButton(kMainWindow, kCommandPrint));
    drain(app);
    EXPECT_EQ(printDialogs, 2);
    ASSERT_TRUE(fs::is_regular_file(pdf));
    EXPECT_GT(fs::file_size(pdf), 0u);
    EXPECT_NE(pdfText(pdf).find("Welcome to the printed guide"), std::string::npos);

    tt::clickCloseBox(kMainWindow);
    drain(app);
    EXPECT_TRUE(app.quit);
    toolkit::shutdown(); // as the program ends
    EXPECT_EQ(entriesBelow(gHome), std::vector<std::string>{});
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EmptyHome);
    return RUN_ALL_TESTS();
}
