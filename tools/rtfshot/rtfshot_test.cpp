// rtfshot as its users run it: arguments, picture size, zoom, background and PDF output.

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kPage = std::string(PRODUCERS_DIR) + "/pandoc_page.rtf";

// A file name of this process: ctest runs tests in parallel processes.
fs::path scratch(const std::string& name)
{
    return fs::temp_directory_path() / ("rtfshot_test_" + std::to_string(getpid()) + "_" + name);
}

int runTool(const std::string& arguments)
{
    std::string command = "QT_QPA_PLATFORM=offscreen '" RTFSHOT_PATH "' " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs rtfshot and returns its exit status with what it wrote on standard error.
std::pair<int, std::string> runToolForMessages(const std::string& arguments)
{
    fs::path messages = scratch("messages.txt");
    std::string command =
        "QT_QPA_PLATFORM=offscreen '" RTFSHOT_PATH "' " + arguments + " >/dev/null 2>'" + messages.string() + "'";
    int status = std::system(command.c_str());
    std::ifstream in(messages);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(messages);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

fs::path writePage(const std::string& name, const std::string& rtf)
{
    fs::path path = scratch(name);
    std::ofstream(path, std::ios::binary) << rtf;
    return path;
}

// Numbered paragraphs, each line telling itself from its neighbours.
std::string numberedLines(int count)
{
    std::string rtf = "{\\rtf1\\fs24 ";
    for (int i = 1; i <= count; ++i) {
        rtf += "Line " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i % 37), 'x') + "\\par ";
    }
    return rtf + "}";
}

TEST(Rtfshot, WrongArgumentsAreRefused)
{
    const char* cases[] = {
        "",
        "page.rtf",            // no output at all
        "a.rtf b.png c.png",   // too many names
        "a.rtf b.png --width", // value missing
        "a.rtf b.png --width wide",
        "a.rtf b.png --zoom 1", // below what the view takes
        "a.rtf b.png --zoom 6401",
        "a.rtf b.png --background #12345",
        "a.rtf b.png --background 0x1000000",
        "a.rtf b.png --sharpen",
    };
    for (const char* arguments : cases) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(runTool(arguments), 2);
    }
    EXPECT_EQ(runTool("'" + scratch("missing.rtf").string() + "' '" + scratch("x.png").string() + "'"), 1);
}

TEST(Rtfshot, PictureHasTheWidthAndGrowsWithTheZoom)
{
    struct Case {
        int width;
        int zoom;
    };
    // The page's table is 6 inches (576 pixels) wide at 100 %: it fits in all of these.
    const Case cases[] = {{800, 100}, {800, 130}, {700, 120}};
    int heightAt800 = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " at " + std::to_string(c.zoom));
        fs::path out = scratch("page.png");
        ASSERT_EQ(runTool("'" + kPage + "' '" + out.string() + "' --width " + std::to_string(c.width) + " --zoom " +
                      std::to_string(c.zoom)),
            0);
        QImage image(QString::fromStdString(out.string()));
        fs::remove(out);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), c.width);
        if (heightAt800 == 0) {
            heightAt800 = image.height();
            EXPECT_GT(heightAt800, 200);
        } else {
            // More zoom or less width: the page re-wraps and grows.
            EXPECT_GT(image.height(), heightAt800 * 11 / 10);
        }
    }
}

TEST(Rtfshot, BackgroundTakesBothColourForms)
{
    const char* forms[] = {"'#FF8000'", "0x0080FF", "33023"};
    for (const char* form : forms) {
        SCOPED_TRACE(form);
        fs::path out = scratch("background.png");
        ASSERT_EQ(runTool("'" + kPage + "' '" + out.string() + "' --width 400 --background " + form), 0);
        QImage image(QString::fromStdString(out.string()));
        fs::remove(out);
        ASSERT_FALSE(image.isNull());
        QRgb corner = image.pixel(image.width() - 1, image.height() - 1);
        EXPECT_EQ(qRed(corner), 255);
        EXPECT_EQ(qGreen(corner), 128);
        EXPECT_EQ(qBlue(corner), 0);
    }
}

TEST(Rtfshot, PrintsToPdfAlone)
{
    fs::path pdf = scratch("page.pdf");
    fs::remove(pdf);
    ASSERT_EQ(runTool("'" + kPage + "' --pdf '" + pdf.string() + "'"), 0);
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_GT(fs::file_size(pdf), 1000u);
    fs::remove(pdf);
}

} // namespace

namespace {

TEST(Rtfshot, CutsAPictureTallerOrWiderThanItsLimitAndSaysSo)
{
    // 1,500 lines of 12 pt text are about 27,000 pixels tall: the picture stops at 16,384, and
    // shows what the whole picture of the first 800 lines (short of the limit) shows.
    fs::path tall = writePage("tall.rtf", numberedLines(1500));
    fs::path shorter = writePage("shorter.rtf", numberedLines(800));
    fs::path cutPicture = scratch("cut.png");
    fs::path wholePicture = scratch("whole.png");
    auto [status, messages] = runToolForMessages("'" + tall.string() + "' '" + cutPicture.string() + "' --width 600");
    EXPECT_EQ(status, 0);
    EXPECT_NE(messages.find("the picture shows its top left 600 x 16384"), std::string::npos) << messages;
    auto [wholeStatus, wholeMessages] =
        runToolForMessages("'" + shorter.string() + "' '" + wholePicture.string() + "' --width 600");
    EXPECT_EQ(wholeStatus, 0);
    EXPECT_EQ(wholeMessages.find("top left"), std::string::npos) << wholeMessages;
    QImage cut(QString::fromStdString(cutPicture.string()));
    QImage whole(QString::fromStdString(wholePicture.string()));
    ASSERT_FALSE(cut.isNull());
    ASSERT_FALSE(whole.isNull());
    EXPECT_EQ(cut.size(), QSize(600, 16384));
    ASSERT_EQ(whole.width(), 600);
    ASSERT_LT(whole.height(), 16384);
    ASSERT_GT(whole.height(), 8000);
    EXPECT_EQ(cut.copy(0, 0, 600, whole.height()).convertToFormat(QImage::Format_RGB32),
        whole.convertToFormat(QImage::Format_RGB32));

    // One word in the largest font is about 33,000 pixels wide.
    fs::path wide = writePage("wide.rtf", "{\\rtf1\\a \\fs212922 bc5a3778e3e39fae6e897a37f8");
    auto [wideStatus, wideMessages] = runToolForMessages("'" + wide.string() + "' '" + cutPicture.string() + "'");
    EXPECT_EQ(wideStatus, 0);
    EXPECT_NE(wideMessages.find("the picture shows its top left 4096 x "), std::string::npos) << wideMessages;
    QImage wideCut(QString::fromStdString(cutPicture.string()));
    EXPECT_EQ(wideCut.width(), 4096);
    EXPECT_LE(wideCut.height(), 16384);
    for (const fs::path& path : {tall, shorter, wide, cutPicture, wholePicture}) {
        fs::remove(path);
    }
}

} // namespace
