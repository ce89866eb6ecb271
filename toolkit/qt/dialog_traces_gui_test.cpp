// The file dialogs leave nothing behind: with HOME and the configuration
// folder pointing at an empty folder, opening and closing each dialog (real
// dialogs, not the test surface's answers) writes nothing there.
// Own main: the toolkit starts after the environment is set, outside the
// test surface's dialog answering.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;

int gArgc = 1;
char gArgv0[] = "dialog-traces-test";
char* gArgv[] = {gArgv0, nullptr};

fs::path gHome;

class EmptyHome : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "hashmere-home-XXXXXX").string();
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

// Closes the file dialog once it runs, after moving it to `folder` and, for an
// open dialog, choosing `file` (both go into the dialog's history).
void closeDialogWhenShown(fs::path folder, std::string file)
{
    tt::runSoon([folder, file]() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            closeDialogWhenShown(folder, file);
            return;
        }
        dialog->setDirectory(QString::fromStdString(folder.string()));
        if (file.empty()) {
            dialog->reject();
        } else {
            dialog->selectFile(QString::fromStdString(file));
            static_cast<QDialog*>(dialog)->accept(); // public as a QDialog
        }
    });
}

TEST(DialogTraces, OpenAndSaveDialogsWriteNothingBelowHome)
{
    const fs::path files = gHome.parent_path() / (gHome.filename().string() + "-files");
    fs::create_directories(files);
    std::ofstream(files / "data.bin") << "data";
    ASSERT_TRUE(toolkit::openWindow(0, 0, 0, 300, 200, u"Main", toolkit::WindowCaption));

    closeDialogWhenShown(files, "data.bin");
    const std::u16string chosen = toolkit::openFileDialog(u"Open", platform::pathToUtf16(files), u"All|*.*");
    EXPECT_EQ(platform::pathFromUtf16(chosen).filename(), "data.bin");

    closeDialogWhenShown(files, "");
    EXPECT_EQ(toolkit::saveFileDialog(u"Save", platform::pathToUtf16(files / "Checksum"), u"Text|*.txt"), u"");

    toolkit::closeWindow(0);
    tt::processEvents();
    EXPECT_EQ(entriesBelow(gHome), std::vector<std::string>{});
    std::error_code error;
    fs::remove_all(files, error);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EmptyHome);
    return RUN_ALL_TESTS();
}
