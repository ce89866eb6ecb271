// Leafscope's own dialogs leave nothing behind: with HOME and the configuration
// folder pointing at an empty folder, the viewer opens a document through its
// real open-file dialog, prints through its real print dialog (each also
// cancelled once) and quits, and the home folder is still empty.
// Own main: the toolkit starts after the environment is set, outside the test
// surface's dialog answering.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/test_files.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"
#include "viewer/app/test_documents.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;
using namespace leafscope;
using platform::testing::ScratchFolder;

int gArgc = 1;
char gArgv0[] = "leafscope-traces-test";
char* gArgv[] = {gArgv0, nullptr};

std::unique_ptr<ScratchFolder> gHome;

class EmptyHome : public ::testing::Environment {
public:
    void SetUp() override
    {
        gHome = std::make_unique<ScratchFolder>();
        platform::testing::pointHomeAt(gHome->path());
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ASSERT_TRUE(toolkit::initialise(gArgc, gArgv));
    }
    void TearDown() override
    {
        toolkit::shutdown();
        gHome.reset();
    }
};

class LeafscopeTraces : public ::testing::Test {
protected:
    void SetUp() override
    {
        leafscope::testing::writeHelpDocument(files / "guide.help",
            {{0, u"Welcome", "welcome.rtf", leafscope::testing::rtfPage("Welcome to the printed guide")}},
            leafscope::testing::defaultProperties());
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

    const ScratchFolder scratch;
    const fs::path files = scratch.path();
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

    // The real dialog prints to a file; a machine without a print server has no
    // printer, which would bring the no-printer window instead.
    tt::setPrinterInstalled(true);
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
    EXPECT_NE(leafscope::testing::pdfText(pdf).find("Welcome to the printed guide"), std::string::npos);

    tt::clickCloseBox(kMainWindow);
    drain(app);
    EXPECT_TRUE(app.quit);
    toolkit::shutdown(); // as the program ends
    EXPECT_EQ(platform::testing::entriesBelow(gHome->path()), std::vector<std::string>{});
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EmptyHome);
    return RUN_ALL_TESTS();
}
