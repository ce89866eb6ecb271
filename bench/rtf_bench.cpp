// Speed of reading RTF pages into a QTextDocument and laying them out, on this machine.
//
//   rtf_bench [--runs N] [--width PX] [--size MB] [--read-only] [FILE.rtf ...]
//
// Without files it measures two generated pages of formatted text with a table, 1 MB and
// 10 MB: paragraphs with bold, italic, colour and font changes, \u escapes and \'hh bytes,
// list items, and a table of 4 columns every few paragraphs. For each page: the read alone;
// the read and the layout of the first screen at the given width (what a view needs before it
// can paint); the layout of every line (what the exact scroll range and printing need); the read
// with that whole layout. Best and median of N runs; peak memory of the process at the end.

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPointF>
#include <QTextDocument>

#include "bench/rtf_sample_page.h"
#include "toolkit/rtf/rtf_reader.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kScreenHeight = 1200;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this thread: on a busy machine it shows what the work costs by itself.
double threadMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Figures {
    double read = 0;
    double firstScreen = 0; // read, then the layout of the first screen (what a view shows)
    double layout = 0;      // layout of the whole page
    double total = 0;       // read and the whole layout
    double readCpu = 0;     // the same, in processor time
    double firstScreenCpu = 0;
    double totalCpu = 0;
};

bool readOnly = false; // for profiling the reader alone

Figures measureOnce(const std::string& page, int width, int* blocks)
{
    QTextDocument document;
    const double cpuStart = threadMilliseconds();
    const auto start = Clock::now();
    rtf::readRtf(std::span(reinterpret_cast<const std::uint8_t*>(page.data()), page.size()), document);
    Figures f;
    f.read = millisecondsSince(start);
    f.readCpu = threadMilliseconds() - cpuStart;
    if (readOnly)
        return f;
    const auto layoutStart = Clock::now();
    document.setTextWidth(width);
    // Hit-testing a point lays the page out as far down as that point, as painting does.
    (void)document.documentLayout()->hitTest(QPointF(10, kScreenHeight), Qt::FuzzyHit);
    f.firstScreen = millisecondsSince(start);
    f.firstScreenCpu = threadMilliseconds() - cpuStart;
    (void)document.documentLayout()->documentSize();
    f.layout = millisecondsSince(layoutStart);
    f.total = millisecondsSince(start);
    f.totalCpu = threadMilliseconds() - cpuStart;
    *blocks = document.blockCount();
    return f;
}

void measure(const char* name, const std::string& page, int runs, int width)
{
    std::vector<Figures> all;
    int blocks = 0;
    for (int i = 0; i < runs; ++i)
        all.push_back(measureOnce(page, width, &blocks));
    auto report = [&](const char* what, double Figures::*field) {
        std::vector<double> values;
        for (const Figures& f : all)
            values.push_back(f.*field);
        std::sort(values.begin(), values.end());
        std::printf("  %-26s best %8.1f ms   median %8.1f ms\n", what, values.front(), values[values.size() / 2]);
    };
    std::printf(
        "%s: %.2f MB, %d paragraphs and cells, width %d px, %d runs\n", name, page.size() / 1e6, blocks, width, runs);
    report("read", &Figures::read);
    report("read + first screen", &Figures::firstScreen);
    report("whole layout", &Figures::layout);
    report("read + whole layout", &Figures::total);
    report("cpu: read", &Figures::readCpu);
    report("cpu: read + first screen", &Figures::firstScreenCpu);
    report("cpu: read + whole layout", &Figures::totalCpu);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    int runs = 5;
    int width = 800;
    double sizeMb = 0;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--read-only")
            readOnly = true;
        else if (arg == "--size" && i + 1 < argc)
            sizeMb = std::atof(argv[++i]);
        else if (arg == "--width" && i + 1 < argc)
            width = std::max(50, std::atoi(argv[++i]));
        else
            files.push_back(arg);
    }
    if (sizeMb > 0) {
        const std::string name = "generated " + std::to_string(sizeMb) + " MB page";
        measure(name.c_str(), generatePage(static_cast<std::size_t>(sizeMb * 1e6)), runs, width);
    } else if (files.empty()) {
        measure("generated 1 MB page", generatePage(1000000), runs, width);
        measure("generated 10 MB page", generatePage(10000000), std::max(1, runs / 2), width);
    }
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        measure(file.c_str(), page, runs, width);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.0f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
