// The file dialogs leave nothing behind: with HOME and the configuration
// folder pointing at an empty folder, opening and closing each dialog (real
// dialogs, not the test surface's answers) writes nothing there.
// Own main: the toolkit starts after the environment is set, outside the
// test surface's dialog answering.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/test_files.h"
#include "platform/text.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;
using platform::testing::ScratchFolder;

int gArgc = 1;
char gArgv0[] = "dialog-traces-test";
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

TEST(DialogTraces, OpenAndSaveDialogsWriteNothingBelowHome)
{
    // The dialogs go to `files` and, for an open dialog, choose a file there: both go into
    // a dialog's history.
    const ScratchFolder files;
    files.write("data.bin", "data");
    ASSERT_TRUE(toolkit::openWindow(0, 0, 0, 300, 200, u"Main", toolkit::WindowCaption));
    int shown = 0;

    tt::answerShownFileDialog(files.path(), u"data.bin", shown);
    const std::u16string chosen = toolkit::openFileDialog(u"Open", platform::pathToUtf16(files.path()), u"All|*.*");
    EXPECT_EQ(platform::pathFromUtf16(chosen).filename(), "data.bin");

    tt::answerShownFileDialog(files.path(), u"", shown);
    EXPECT_EQ(toolkit::saveFileDialog(u"Save", platform::pathToUtf16(files.path() / "Checksum"), u"Text|*.txt"), u"");

    toolkit::closeWindow(0);
    tt::processEvents();
    EXPECT_EQ(platform::testing::entriesBelow(gHome->path()), std::vector<std::string>{});
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EmptyHome);
    return RUN_ALL_TESTS();
}
