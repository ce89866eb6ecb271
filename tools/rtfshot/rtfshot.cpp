// rtfshot: renders an RTF page through the page-view gadget, offscreen, as a PNG picture of the
// whole page, and prints it to PDF through the same print path as the viewer.
//
//   rtfshot PAGE.rtf OUT.png [--width PX] [--zoom PERCENT] [--background COLOR] [--pdf OUT.pdf]
//   rtfshot PAGE.rtf --pdf OUT.pdf
//
// --width is the width of the page area in pixels (default 800); the picture is as tall as the
// page, up to kMaxPictureHeight, and as wide as its widest line, up to kMaxPictureWidth (or
// --width when that is more), and 32 M pixels in all; a larger page is cut to its top left part,
// with a warning. --zoom is in percent (default 100; the view takes 2 to 6400). --background is "#RRGGBB"
// or a number in the toolkit's colour layout (red in the low byte, -1 the window colour).
// Exit status: 0 done (a damaged page is drawn as far as it reads, with a warning), 1 the page
// could not be read or an output not written, 2 wrong arguments.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int kWindow = 0;
constexpr int kPage = 0;
constexpr int kViewHeight = 600;
// A picture of a hostile page could take gigabytes; these keep it to 128 MB at most.
constexpr int kMaxPictureHeight = 16384;
constexpr int kMaxPictureWidth = 4096;
constexpr std::int64_t kMaxPicturePixels = 32LL * 1024 * 1024;

struct Options {
    std::string page;
    std::string png;
    std::string pdf;
    int width = 800;
    int zoom = 100;
    toolkit::Colour background = toolkit::kDefaultColour;
};

std::optional<long> parseNumber(std::string_view text, int base = 10)
{
    std::string copy(text);
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(copy.c_str(), &end, base);
    if (copy.empty() || *end != '\0' || errno != 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<toolkit::Colour> parseColour(std::string_view text)
{
    if (text.size() == 7 && text[0] == '#') {
        std::optional<long> value = parseNumber(text.substr(1), 16);
        if (!value) {
            return std::nullopt;
        }
        return toolkit::rgb(static_cast<int>(*value >> 16), static_cast<int>(*value >> 8), static_cast<int>(*value));
    }
    std::optional<long> value = parseNumber(text, 0);
    if (!value || *value < -1 || *value > 0xFFFFFF) {
        return std::nullopt;
    }
    return static_cast<toolkit::Colour>(*value);
}

std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    std::vector<std::string_view> positional;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        bool hasValue = i + 1 < argc;
        if (argument == "--width" && hasValue) {
            std::optional<long> value = parseNumber(argv[++i]);
            if (!value || *value < 16 || *value > 20000) {
                return std::nullopt;
            }
            options.width = static_cast<int>(*value);
        } else if (argument == "--zoom" && hasValue) {
            std::optional<long> value = parseNumber(argv[++i]);
            if (!value || *value < 2 || *value > 6400) {
                return std::nullopt;
            }
            options.zoom = static_cast<int>(*value);
        } else if (argument == "--background" && hasValue) {
            std::optional<toolkit::Colour> colour = parseColour(argv[++i]);
            if (!colour) {
                return std::nullopt;
            }
            options.background = *colour;
        } else if (argument == "--pdf" && hasValue) {
            options.pdf = argv[++i];
        } else if (argument.starts_with("--")) {
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.empty() || positional.size() > 2 || (positional.size() == 1 && options.pdf.empty())) {
        return std::nullopt;
    }
    options.page = positional[0];
    if (positional.size() == 2) {
        options.png = positional[1];
    }
    return options;
}

std::optional<std::vector<char>> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The page view's widget: rtfshot's window holds no other scroll area.
QAbstractScrollArea* pageViewWidget()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
            return area;
        }
    }
    return nullptr;
}

// Paints the top left `size` of the page view's content, a view-sized tile at a time, the way
// the view shows it when scrolled there.
bool savePagePart(QSize size, const std::string& file)
{
    QAbstractScrollArea* area = pageViewWidget();
    if (area == nullptr) {
        return false;
    }
    QWidget* viewport = area->viewport();
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(viewport->palette().color(QPalette::Base));
    QPainter painter(&picture);
    const int stepX = std::max(1, viewport->width());
    const int stepY = std::max(1, viewport->height());
    for (int y = 0; y < size.height(); y += stepY) {
        for (int x = 0; x < size.width(); x += stepX) {
            area->horizontalScrollBar()->setValue(x);
            area->verticalScrollBar()->setValue(y);
            // Near the end the view cannot scroll as far: take the tile from further down in it.
            QPoint inView(x - area->horizontalScrollBar()->value(), y - area->verticalScrollBar()->value());
            QRect tile(inView,
                QSize(std::min(stepX - inView.x(), size.width() - x), std::min(stepY - inView.y(), size.height() - y)));
            if (tile.isEmpty()) {
                continue;
            }
            viewport->render(&painter, QPoint(x, y), QRegion(tile), QWidget::DrawWindowBackground);
        }
    }
    painter.end();
    return picture.save(QString::fromStdString(file), "PNG");
}

// Saves the page as a PNG picture, cut to the largest picture rtfshot makes.
bool savePicture(const Options& options)
{
    toolkit::testing::PageViewState page = toolkit::testing::pageView(kPage);
    const int width = std::max(page.viewWidth, page.contentWidth);
    const int height = std::max(1, page.contentHeight);
    const int cutWidth = std::min(width, std::max(kMaxPictureWidth, page.viewWidth));
    const auto heightLimit = std::min<std::int64_t>(kMaxPictureHeight, kMaxPicturePixels / cutWidth);
    const QSize cut(cutWidth, static_cast<int>(std::min<std::int64_t>(height, heightLimit)));
    if (cut == QSize(width, height)) {
        return toolkit::testing::savePageImage(kPage, options.png);
    }
    std::fprintf(stderr, "rtfshot: the page is %d x %d pixels; the picture shows its top left %d x %d\n", width, height,
        cut.width(), cut.height());
    return savePagePart(cut, options.png);
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<Options> options = parseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr,
            "usage: rtfshot PAGE.rtf OUT.png [--width PX] [--zoom PERCENT] [--background COLOR]"
            " [--pdf OUT.pdf]\n");
        return 2;
    }
    std::optional<std::vector<char>> bytes = readFile(options->page);
    if (!bytes) {
        std::fprintf(stderr, "rtfshot: cannot read %s\n", options->page.c_str());
        return 1;
    }
    if (!toolkit::testing::initialiseHeadless()) {
        std::fprintf(stderr, "rtfshot: the toolkit did not start\n");
        return 1;
    }
    int status = 0;
    toolkit::openWindow(kWindow, 0, 0, options->width + 100, kViewHeight, u"rtfshot", toolkit::WindowInvisible);
    toolkit::createPageView(kWindow, kPage, 0, 0, options->width, kViewHeight);
    toolkit::setPageBackground(kPage, options->background);
    toolkit::setPageZoom(kPage, options->zoom);
    if (!toolkit::showRichText(kPage, bytes->data(), bytes->size())) {
        std::fprintf(stderr, "rtfshot: %s is damaged; drawing what could be read\n", options->page.c_str());
    }
    // The frame and a scroll bar take room: widen the gadget until the page area is --width.
    for (int attempt = 0; attempt < 3; ++attempt) {
        int shortBy = options->width - toolkit::testing::pageView(kPage).viewWidth;
        if (shortBy == 0) {
            break;
        }
        toolkit::resizeGadget(
            kPage, toolkit::kKeep, toolkit::kKeep, toolkit::gadgetWidth(kPage) + shortBy, toolkit::kKeep);
    }
    if (!options->png.empty() && !savePicture(*options)) {
        std::fprintf(stderr, "rtfshot: cannot write %s\n", options->png.c_str());
        status = 1;
    }
    if (!options->pdf.empty() && toolkit::printPageToPdf(kPage, options->pdf, u"rtfshot") < 0) {
        std::fprintf(stderr, "rtfshot: cannot write %s\n", options->pdf.c_str());
        status = 1;
    }
    toolkit::shutdown();
    return status;
}
