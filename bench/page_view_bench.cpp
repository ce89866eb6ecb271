// Speed of the page-view gadget on large pages, on this machine: showing a page (read, then
// layout and paint of the first screen), a zoom step (re-wrap at the new zoom and paint of the
// first screen), the longest pass of the event loop while the rest of the page is laid out in
// the background (what a key press or a click could wait), and, for reference, the layout of the
// whole page at that zoom. Pages: generated text with tables, two long tables, and one word of
// 200,000 letters.
//
//   page_view_bench [--runs N] [--size MB] [--width PX] [--height PX] [FILE.rtf ...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/rtf_sample_page.h"
#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWindow = 0;
constexpr int kPage = 0;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double show = 0;        // showRichText + first screen painted
    double longestPass = 0; // event loop, until the page is laid out
    double zoomStep = 0;    // 100 % -> 120 %, first screen painted
    double zoomBack = 0;    // 120 % -> 100 %, first screen painted
    double wholeLayout = 0; // every line at 100 %, after the zoom steps
};

Figures measureOnce(const std::string& page)
{
    Figures f;
    toolkit::setPageZoom(kPage, 100);
    toolkit::showRichText(kPage, "", 0);
    toolkit::testing::repaintPage(kPage);
    auto start = Clock::now();
    toolkit::showRichText(kPage, page.data(), page.size());
    toolkit::testing::repaintPage(kPage);
    f.show = millisecondsSince(start);
    f.longestPass = toolkit::testing::runUntilPageLaidOut(kPage, 600000);
    start = Clock::now();
    toolkit::setPageZoom(kPage, 120);
    toolkit::testing::repaintPage(kPage);
    f.zoomStep = millisecondsSince(start);
    start = Clock::now();
    toolkit::setPageZoom(kPage, 100);
    toolkit::testing::repaintPage(kPage);
    f.zoomBack = millisecondsSince(start);
    start = Clock::now();
    toolkit::testing::pageView(kPage); // lays out every line
    f.wholeLayout = millisecondsSince(start);
    return f;
}

void measure(const std::string& name, const std::string& page, int runs, int width, int height)
{
    std::vector<Figures> all;
    for (int i = 0; i < runs; ++i) {
        all.push_back(measureOnce(page));
    }
    auto report = [&](const char* what, double Figures::*field) {
        std::vector<double> values;
        for (const Figures& f : all) {
            values.push_back(f.*field);
        }
        std::sort(values.begin(), values.end());
        std::printf("  %-30s best %8.1f ms   median %8.1f ms\n", what, values.front(), values[values.size() / 2]);
    };
    std::printf(
        "page view, %s: %.2f MB, view %d x %d px, %d runs\n", name.c_str(), page.size() / 1e6, width, height, runs);
    report("show + first screen", &Figures::show);
    report("longest event-loop pass", &Figures::longestPass);
    report("zoom step 100->120 % + screen", &Figures::zoomStep);
    report("zoom step 120->100 % + screen", &Figures::zoomBack);
    report("whole layout (reference)", &Figures::wholeLayout);
}

// One paragraph holding a single word of `letters` letters: nothing to wrap it at.
std::string generateLongWordPage(std::size_t letters)
{
    std::string page = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 A long word: ";
    for (std::size_t i = 0; i < letters; ++i) {
        page.push_back(static_cast<char>('a' + i % 26));
    }
    return page + "\\par The end.\\par}";
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int width = 800;
    int height = 1000;
    double sizeMb = 0;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--size" && i + 1 < argc) {
            sizeMb = std::atof(argv[++i]);
        } else if (arg == "--width" && i + 1 < argc) {
            width = std::max(50, std::atoi(argv[++i]));
        } else if (arg == "--height" && i + 1 < argc) {
            height = std::max(50, std::atoi(argv[++i]));
        } else {
            files.push_back(arg);
        }
    }
    if (!toolkit::testing::initialiseHeadless()) {
        std::fprintf(stderr, "page_view_bench: the toolkit did not start\n");
        return 1;
    }
    toolkit::openWindow(kWindow, 0, 0, width, height, u"bench", toolkit::WindowCaption);
    toolkit::createPageView(kWindow, kPage, 0, 0, width, height);
    toolkit::showWindow(kWindow);
    toolkit::testing::processEvents(50);
    if (sizeMb > 0) {
        measure("generated " + std::to_string(sizeMb) + " MB page",
            generatePage(static_cast<std::size_t>(sizeMb * 1e6)), runs, width, height);
    } else if (files.empty()) {
        measure("generated 1 MB page", generatePage(1000000), runs, width, height);
        measure("generated 10 MB page", generatePage(10000000), std::max(1, runs / 2), width, height);
        measure("generated 1,000-row table", generateTablePage(1000), runs, width, height);
        measure("generated 10,000-row table", generateTablePage(10000), std::max(1, runs / 2), width, height);
        measure("one 200,000-letter word", generateLongWordPage(200000), runs, width, height);
    }
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        measure(file, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), runs, width,
            height);
    }
    toolkit::shutdown();
    return 0;
}
