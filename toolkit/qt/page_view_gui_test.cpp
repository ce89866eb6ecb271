// The page-view gadget: content, zoom, margins, colour, scrolling, selection and printing.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace tt = toolkit::testing;

namespace {

constexpr int kWindow = 0;
constexpr int kPage = 1;

struct PageViewTest : ::testing::Test {
    void SetUp() override
    {
        tt::reset();
        ASSERT_TRUE(toolkit::openWindow(kWindow, 0, 0, 400, 300, u"Page", toolkit::WindowCaption));
        ASSERT_TRUE(toolkit::createPageView(kWindow, kPage, 0, 0, 400, 300));
        toolkit::showWindow(kWindow);
        ASSERT_TRUE(tt::activate(kWindow));
        toolkit::setActiveGadget(kPage);
    }
    void TearDown() override { tt::reset(); }

    bool show(const std::string& rtf) { return toolkit::showRichText(kPage, rtf.data(), rtf.size()); }
};

// An RTF picture group holding a solid black PNG of the given size in pixels (at 96 dpi).
std::string blackPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\pict\\pngblip\\picw" + std::to_string(width) + "\\pich" + std::to_string(height) + "\\picwgoal" +
        std::to_string(width * 15) + "\\pichgoal" + std::to_string(height * 15) + " " + png.toHex().toStdString() + "}";
}

std::string page(const std::string& body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 DejaVu Sans;}}\\fs24 " + body + "}";
}

std::string numberedLineBody(int count)
{
    std::string body;
    char line[32];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(line, sizeof line, "Line %03d\\par ", i);
        body += line;
    }
    return body;
}

std::string numberedLines(int count)
{
    return page(numberedLineBody(count));
}

// A file name of this process: ctest runs tests in parallel processes.
std::filesystem::path scratch(const std::string& name)
{
    return std::filesystem::temp_directory_path() / ("page_view_test_" + std::to_string(getpid()) + "_" + name);
}

QImage pageImage()
{
    std::filesystem::path file = scratch("page.png");
    EXPECT_TRUE(tt::savePageImage(kPage, file));
    QImage image(QString::fromStdString(file.string()));
    std::filesystem::remove(file);
    return image;
}

// Bounding box of the dark pixels in rows [top, bottom) of the image.
QRect darkPixels(const QImage& image, int top = 0, int bottom = -1)
{
    if (bottom < 0) {
        bottom = image.height();
    }
    QRect box;
    for (int y = top; y < bottom && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 64) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

std::optional<std::string> commandOutput(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return std::nullopt;
    }
    std::string output;
    char chunk[4096];
    while (std::size_t count = std::fread(chunk, 1, sizeof chunk, pipe.get())) {
        output.append(chunk, count);
    }
    return output;
}

TEST_F(PageViewTest, ShowRichTextReplacesTheWholeContent)
{
    struct Case {
        std::string bytes;
        bool complete;
        std::u16string text;
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi Hello {\\b world}\\par two}", true, u"Hello world\ntwo"},
        {"{\\rtf1\\ansi Second}", true, u"Second"},
        {"", true, u""},
        {"{\\rtf1\\ansi cut sh", false, u"cut sh"},
        {"plain words", false, u"plain words"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        ASSERT_TRUE(show("{\\rtf1 previous page}"));
        EXPECT_EQ(show(c.bytes), c.complete);
        EXPECT_EQ(toolkit::text(kPage), c.text);
    }
    ASSERT_TRUE(show("{\\rtf1 previous page}"));
    EXPECT_TRUE(toolkit::showRichText(kPage, nullptr, 0));
    EXPECT_TRUE(toolkit::text(kPage).empty());
}

TEST_F(PageViewTest, CallerMayFreeTheBytesAfterwards)
{
    auto bytes = std::make_unique<std::string>("{\\rtf1\\ansi kept text}");
    ASSERT_TRUE(toolkit::showRichText(kPage, bytes->data(), bytes->size()));
    std::fill(bytes->begin(), bytes->end(), 'x');
    bytes.reset();
    tt::processEvents();
    EXPECT_EQ(toolkit::text(kPage), u"kept text");
}

TEST_F(PageViewTest, OtherGadgetsAreLeftAlone)
{
    ASSERT_TRUE(toolkit::createButton(kWindow, 2, 0, 0, 50, 20, u"Button"));
    std::string rtf = "{\\rtf1 x}";
    EXPECT_FALSE(toolkit::showRichText(2, rtf.data(), rtf.size()));
    EXPECT_EQ(toolkit::text(2), u"Button");
    EXPECT_EQ(toolkit::pageZoom(2), 0);
    EXPECT_FALSE(toolkit::setPageZoom(2, 100));
    EXPECT_EQ(toolkit::pageZoom(99), 0);
    EXPECT_EQ(toolkit::printPageToPdf(2, scratch("none.pdf"), u"x"), -1);
}

TEST_F(PageViewTest, ZoomAcceptsOnlyRatiosFromOneSixtyFourthToSixtyFour)
{
    struct Case {
        int numerator, denominator;
        bool accepted;
        int percent; // read back
    };
    const Case cases[] = {
        {150, 100, true, 150},
        {20, 100, true, 20},
        {2, 100, true, 2},
        {1, 100, false, 100},
        {0, 100, false, 100},
        {-40, 100, false, 100},
        {6400, 100, true, 6400},
        {6420, 100, false, 100},
        {1, 64, true, 1},
        {1, 65, false, 100},
        {64, 1, true, 6400},
        {65, 1, false, 100},
        {2, 3, true, 66},
        {7, 0, false, 100},
        {5, -1, false, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.numerator) + "/" + std::to_string(c.denominator));
        ASSERT_TRUE(toolkit::setPageZoom(kPage, 100));
        EXPECT_EQ(toolkit::setPageZoomRatio(kPage, c.numerator, c.denominator), c.accepted);
        EXPECT_EQ(toolkit::pageZoom(kPage), c.percent);
    }
}

TEST_F(PageViewTest, ZoomScalesPicturesAndTextTogether)
{
    ASSERT_TRUE(show(page(blackPicture(40, 30) + "\\par Text")));
    struct Case {
        int percent;
        int pictureWidth, pictureHeight;
    };
    const Case cases[] = {{100, 40, 30}, {200, 80, 60}, {50, 20, 15}};
    int textHeightAt100 = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        ASSERT_TRUE(toolkit::setPageZoom(kPage, c.percent));
        QImage image = pageImage();
        QRect picture = darkPixels(image, 0, c.pictureHeight);
        EXPECT_EQ(picture, QRect(0, 0, c.pictureWidth, c.pictureHeight));
        // The text line under the picture grows in the same proportion.
        QRect text = darkPixels(image, c.pictureHeight + 1);
        ASSERT_FALSE(text.isEmpty());
        if (c.percent == 100) {
            textHeightAt100 = text.height();
        } else {
            EXPECT_NEAR(text.height(), textHeightAt100 * c.percent / 100.0, 2.5);
        }
    }
}

TEST_F(PageViewTest, PageRewrapsAtTheViewWidthWhenZoomed)
{
    std::string words;
    for (int i = 0; i < 60; ++i) {
        words += "word ";
    }
    ASSERT_TRUE(show(page(words)));
    tt::PageViewState at100 = tt::pageView(kPage);
    ASSERT_TRUE(toolkit::setPageZoom(kPage, 200));
    tt::PageViewState at200 = tt::pageView(kPage);
    EXPECT_EQ(at100.maxScrollX, 0);
    EXPECT_EQ(at200.maxScrollX, 0);
    EXPECT_LE(at200.contentWidth, at200.viewWidth);
    // Twice the line height and about twice the lines.
    EXPECT_GT(at200.contentHeight, 3 * at100.contentHeight);
    toolkit::resizeGadget(kPage, toolkit::kKeep, toolkit::kKeep, 200, toolkit::kKeep);
    tt::PageViewState narrow = tt::pageView(kPage);
    EXPECT_EQ(narrow.maxScrollX, 0);
    EXPECT_GT(narrow.contentHeight, at200.contentHeight);
}

TEST_F(PageViewTest, MarginsAreExactPixels)
{
    struct Case {
        int left, right;
    };
    const Case cases[] = {{0, 0}, {20, 10}, {7, 33}, {-5, 0}};
    ASSERT_TRUE(show(page(blackPicture(10, 10) + "\\par\\qr " + blackPicture(10, 10) + "\\par")));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.right));
        toolkit::setPageMargins(kPage, c.left, c.right);
        int viewWidth = tt::pageView(kPage).viewWidth;
        QImage image = pageImage();
        QRect first = darkPixels(image, 0, 10);
        QRect second = darkPixels(image, 10);
        EXPECT_EQ(first.left(), std::max(0, c.left));
        EXPECT_EQ(second.right(), viewWidth - 1 - c.right);
    }
}

TEST_F(PageViewTest, BackgroundColourHasRedInTheLowByte)
{
    ASSERT_TRUE(show(page("x")));
    struct Case {
        toolkit::Colour set;
        toolkit::Colour shown;
    };
    const Case cases[] = {
        {toolkit::rgb(255, 0, 0), 0x0000FF},
        {toolkit::rgb(10, 200, 30), 0x1EC80A},
        {-1, toolkit::systemColour(toolkit::SystemColour::Window)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        toolkit::setPageBackground(kPage, c.set);
        EXPECT_EQ(tt::view(kPage).backgroundColour, c.shown);
        QRgb corner = pageImage().pixel(300, 5);
        EXPECT_EQ(toolkit::rgb(qRed(corner), qGreen(corner), qBlue(corner)), c.shown);
    }
}

TEST_F(PageViewTest, SettingsSurviveANewPage)
{
    ASSERT_TRUE(toolkit::setPageZoom(kPage, 140));
    toolkit::setPageMargins(kPage, 12, 3);
    toolkit::setPageBackground(kPage, toolkit::rgb(200, 210, 220));
    ASSERT_TRUE(show(page(blackPicture(10, 10))));
    EXPECT_EQ(toolkit::pageZoom(kPage), 140);
    EXPECT_EQ(tt::view(kPage).backgroundColour, toolkit::rgb(200, 210, 220));
    EXPECT_EQ(darkPixels(pageImage()), QRect(12, 0, 14, 14));
}

TEST_F(PageViewTest, KeysAndWheelScrollButControlWheelDoesNotZoom)
{
    ASSERT_TRUE(show(numberedLines(200)));
    tt::PageViewState start = tt::pageView(kPage);
    ASSERT_GT(start.maxScrollY, 1000);
    EXPECT_EQ(start.scrollY, 0);

    struct Step {
        const char* what;
        std::function<void()> act;
        std::function<bool(int before, int after, int maximum)> expect;
    };
    const Step steps[] = {
        {"Down", [] { tt::pressKey(toolkit::Key::Down); }, [](int b, int a, int) { return a > b; }},
        {"PageDown", [] { tt::pressKey(toolkit::Key::PageDown); }, [](int b, int a, int) { return a > b + 100; }},
        {"Up", [] { tt::pressKey(toolkit::Key::Up); }, [](int b, int a, int) { return a < b; }},
        {"End", [] { tt::pressKey(toolkit::Key::End, toolkit::ModControl); }, [](int, int a, int m) { return a == m; }},
        {"PageUp", [] { tt::pressKey(toolkit::Key::PageUp); }, [](int b, int a, int) { return a < b - 100; }},
        {"Home", [] { tt::pressKey(toolkit::Key::Home, toolkit::ModControl); }, [](int, int a, int) { return a == 0; }},
        {"wheel down", [] { tt::turnWheel(kPage, -2); }, [](int b, int a, int) { return a > b; }},
        {"wheel up", [] { tt::turnWheel(kPage, 1); }, [](int b, int a, int) { return a < b; }},
        {"Ctrl+wheel", [] { tt::turnWheel(kPage, -3, toolkit::ModControl); }, [](int b, int a, int) { return a > b; }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        int before = tt::pageView(kPage).scrollY;
        step.act();
        tt::PageViewState after = tt::pageView(kPage);
        EXPECT_TRUE(step.expect(before, after.scrollY, after.maxScrollY)) << before << " -> " << after.scrollY;
        EXPECT_EQ(toolkit::pageZoom(kPage), 100);
    }
    toolkit::scrollPageToTop(kPage);
    EXPECT_EQ(tt::pageView(kPage).scrollY, 0);
    tt::turnWheel(kPage, -5);
    ASSERT_GT(tt::pageView(kPage).scrollY, 0);
    ASSERT_TRUE(show(page("new")));
    EXPECT_EQ(tt::pageView(kPage).scrollY, 0);
}

std::string longTable(int rows)
{
    std::string body = "Above\\par ";
    for (int row = 0; row < rows; ++row) {
        body += "\\trowd\\trbrdrh\\brdrs\\cellx2000\\cellx4000\\pard\\intbl row " + std::to_string(row) +
            "\\cell text\\cell\\row ";
    }
    return page(body + "\\pard Below\\par ");
}

TEST_F(PageViewTest, LongPageIsLaidOutAsFarAsShownAndTheRestFromTheEventLoop)
{
    struct Case {
        const char* name;
        std::string rtf;
    };
    const Case cases[] = {{"lines", numberedLines(3000)}, {"table", longTable(1500)}};
    // A twin view of the same size, laid out whole at once, gives the full scroll range.
    constexpr int kTwin = 2;
    ASSERT_TRUE(toolkit::createPageView(kWindow, kTwin, 0, 0, 400, 300));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(toolkit::showRichText(kTwin, c.rtf.data(), c.rtf.size()));
        const int full = tt::pageView(kTwin).maxScrollY;
        EXPECT_GT(full, 20000);

        ASSERT_TRUE(show(c.rtf));
        ASSERT_TRUE(tt::repaintPage(kPage));
        EXPECT_LT(tt::pageScrollRangeNow(kPage), full / 4);
        EXPECT_GE(tt::runUntilPageLaidOut(kPage, 60000), 0);
        EXPECT_EQ(tt::pageScrollRangeNow(kPage), full);
    }
}

TEST_F(PageViewTest, EndFollowsTheEndWhileTheRestIsLaidOut)
{
    const std::string rtf = longTable(1500);
    constexpr int kTwin = 2;
    ASSERT_TRUE(toolkit::createPageView(kWindow, kTwin, 0, 0, 400, 300));
    ASSERT_TRUE(toolkit::showRichText(kTwin, rtf.data(), rtf.size()));
    const int full = tt::pageView(kTwin).maxScrollY;
    toolkit::setActiveGadget(kPage);

    struct Case {
        const char* name;
        std::function<void()> after; // what the reader does right after End
        bool atEnd;                  // where the view is once the page is laid out
    };
    const Case cases[] = {
        {"End alone", [] {}, true},
        {"End, then the wheel", [] { tt::turnWheel(kPage, 1); }, false},
        {"End, then Up", [] { tt::pressKey(toolkit::Key::Up); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(show(rtf));
        ASSERT_TRUE(tt::repaintPage(kPage));
        tt::pressKey(toolkit::Key::End, toolkit::ModControl);
        // End does not lay the whole page out at once: it goes as far as there is.
        const int range = tt::pageScrollRangeNow(kPage);
        EXPECT_LT(range, full);
        c.after();
        ASSERT_GE(tt::runUntilPageLaidOut(kPage, 60000), 0);
        ASSERT_EQ(tt::pageScrollRangeNow(kPage), full);
        const tt::PageViewState state = tt::pageView(kPage);
        if (c.atEnd) {
            EXPECT_EQ(state.scrollY, full);
        } else {
            EXPECT_LT(state.scrollY, range);
        }
    }
}

TEST_F(PageViewTest, APlaceFarDownIsShownOnceTheLayoutGetsThere)
{
    const std::string rtf = numberedLines(3000);
    struct Case {
        const char* name;
        std::function<void()> act;
        std::function<bool()> shown;
    };
    int scrolled = 0;
    const Case cases[] = {
        {"zoom keeps the place at the top",
            [&] {
                tt::pageView(kPage); // everything laid out at 100 %
                tt::pressKey(toolkit::Key::End, toolkit::ModControl);
                tt::pressKey(toolkit::Key::PageUp);
                scrolled = tt::pageView(kPage).scrollY;
                ASSERT_GT(scrolled, 10000);
                ASSERT_TRUE(toolkit::setPageZoom(kPage, 200));
            },
            [&] { return std::abs(tt::pageView(kPage).scrollY - 2 * scrolled) <= 2; }},
        {"a match near the end comes into view",
            [] {
                const std::u16string text = toolkit::pagePlainText(kPage);
                const auto at = text.find(u"Line 2990");
                ASSERT_NE(at, std::u16string::npos);
                toolkit::setPageHighlights(kPage, {{static_cast<int>(at), 9}}, 0);
            },
            [] {
                const auto marks = tt::pageHighlights(kPage);
                return marks.size() == 1 && marks[0].onScreen && marks[0].text == u"Line 2990";
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(toolkit::setPageZoom(kPage, 100));
        ASSERT_TRUE(show(rtf));
        c.act();
        ASSERT_GE(tt::runUntilPageLaidOut(kPage, 60000), 0);
        EXPECT_TRUE(c.shown());
    }
}

TEST_F(PageViewTest, WideContentScrollsSidewaysAndScrollsBackToTheCorner)
{
    ASSERT_TRUE(show(page(blackPicture(900, 20) + "\\par " + numberedLineBody(50))));
    tt::PageViewState state = tt::pageView(kPage);
    ASSERT_GT(state.maxScrollX, 400);
    EXPECT_GE(state.contentWidth, 900);
    tt::turnWheel(kPage, -5);
    ASSERT_GT(tt::pageView(kPage).scrollY, 0);
    toolkit::scrollPageToTop(kPage);
    state = tt::pageView(kPage);
    EXPECT_EQ(state.scrollX, 0);
    EXPECT_EQ(state.scrollY, 0);
}

// A word far longer than any line wraps inside the view, and copies whole.
TEST_F(PageViewTest, AVeryLongWordWrapsAndCopiesWhole)
{
    std::string word;
    for (int i = 0; i < 20000; ++i) {
        word.push_back(static_cast<char>('a' + i % 26));
    }
    ASSERT_TRUE(show(page("Start " + word + " end")));
    const tt::PageViewState state = tt::pageView(kPage);
    EXPECT_EQ(state.maxScrollX, 0);
    EXPECT_GT(state.contentHeight, 20 * 300);
    tt::pressLetter('A', toolkit::ModControl);
    tt::pressLetter('C', toolkit::ModControl);
    EXPECT_EQ(toolkit::clipboardText(), u"Start " + std::u16string(word.begin(), word.end()) + u" end");
}

TEST_F(PageViewTest, DraggedTextIsSelectedAndCopied)
{
    ASSERT_TRUE(show(page("Alpha beta gamma\\par second line")));
    ASSERT_TRUE(tt::dragInPage(kPage, 0, 8, 395, 8));
    EXPECT_EQ(tt::pageView(kPage).selectedText, u"Alpha beta gamma");
    toolkit::setClipboardText(u"old");
    tt::pressLetter('C', toolkit::ModControl);
    EXPECT_EQ(toolkit::clipboardText(), u"Alpha beta gamma");

    tt::pressLetter('A', toolkit::ModControl);
    tt::pressLetter('C', toolkit::ModControl);
    EXPECT_EQ(toolkit::clipboardText(), u"Alpha beta gamma\nsecond line");
    EXPECT_EQ(toolkit::pageZoom(kPage), 100);
}

struct Pdf {
    int pages = 0;
    std::vector<std::string> pageTexts;
};

Pdf readPdf(const std::filesystem::path& file)
{
    Pdf pdf;
    std::optional<std::string> info = commandOutput("pdfinfo '" + file.string() + "' 2>/dev/null");
    if (!info) {
        return pdf;
    }
    std::size_t at = info->find("Pages:");
    if (at == std::string::npos) {
        return pdf;
    }
    pdf.pages = std::stoi(info->substr(at + 6));
    for (int p = 1; p <= pdf.pages; ++p) {
        pdf.pageTexts.push_back(commandOutput("pdftotext -layout -f " + std::to_string(p) + " -l " + std::to_string(p) +
            " '" + file.string() + "' - 2>/dev/null")
                                    .value_or(""));
    }
    return pdf;
}

TEST_F(PageViewTest, PrintsEveryLineOnceOverPagesOfThePrintableArea)
{
    ASSERT_EQ(std::system("command -v pdftotext >/dev/null && command -v pdfinfo >/dev/null"), 0)
        << "poppler-utils is needed";
    ASSERT_TRUE(show(numberedLines(150)));
    ASSERT_TRUE(toolkit::setPageZoom(kPage, 300)); // the zoom is the screen's only
    std::filesystem::path file = scratch("print.pdf");
    int printed = toolkit::printPageToPdf(kPage, file, u"Leafscope");
    // A 12-point line is about 1/5 inch: 150 lines fill three or four pages of A4 or Letter.
    EXPECT_GE(printed, 3);
    EXPECT_LE(printed, 4);
    Pdf pdf = readPdf(file);
    EXPECT_EQ(pdf.pages, printed);
    int expected = 1;
    for (const std::string& text : pdf.pageTexts) {
        EXPECT_NE(text.find("Line"), std::string::npos) << "blank page";
        std::size_t at = 0;
        char line[16];
        while ((at = text.find("Line ", at)) != std::string::npos) {
            std::snprintf(line, sizeof line, "Line %03d", expected);
            EXPECT_EQ(text.substr(at, 8), line);
            ++expected;
            at += 5;
        }
    }
    EXPECT_EQ(expected, 151);
    std::filesystem::remove(file);

    ASSERT_TRUE(show(""));
    EXPECT_EQ(toolkit::printPageToPdf(kPage, file, u"Leafscope"), 1);
    std::filesystem::remove(file);
    EXPECT_EQ(toolkit::printPageToPdf(kPage, "/nonexistent-folder/x.pdf", u"Leafscope"), -1);
}

TEST_F(PageViewTest, PrintedPicturesKeepTheirSize)
{
    // 144 x 96 pixels at 96 dpi: 1.5 x 1 inch on paper, whatever the printer's resolution.
    ASSERT_TRUE(show(page(blackPicture(144, 96))));
    std::filesystem::path file = scratch("picture.pdf");
    ASSERT_EQ(toolkit::printPageToPdf(kPage, file, u"Leafscope"), 1);
    std::optional<std::string> png = commandOutput("pdftoppm -r 72 -png -singlefile '" + file.string() + "'");
    ASSERT_TRUE(png && !png->empty());
    QImage image = QImage::fromData(QByteArray(png->data(), static_cast<qsizetype>(png->size())), "PNG");
    QRect picture = darkPixels(image);
    EXPECT_NEAR(picture.width(), 108, 2); // 1.5 inch at 72 dpi
    EXPECT_NEAR(picture.height(), 72, 2);
    std::filesystem::remove(file);
}

} // namespace
