// Leafscope's speed figures:
//  1. start to first page shown: the median wall time of offscreen starts of
//     the Leafscope executable on a 5,000-page document, in both packings, with
//     and without /MEM, until it reports the start page shown;
//  2. page change: a tree selection to the page laid out and painted, for a
//     20 KB and a 1 MB page (median of alternating changes);
//  3. one keystroke of the index filter over 5,000 titles (filtering and
//     refilling the list);
//  4. in-process, on the 5,000-page document: start-up to the first page shown
//     (reading the contents whole, filling the tree and the index), the tree
//     filled alone, and a tree click on the last entry to its page shown.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/rtf_sample_page.h"
#include "platform/text.h"
#include "toolkit/testing.h"
#include "tools/helptool/help_source.h"
#include "tools/helptool/pack_writer.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// `pages` pages of `pageBytes` each, all listed in the contents.
std::string writeDocument(const fs::path& file, int pages, std::size_t pageBytes, bool zip, int& listed)
{
    std::vector<helptool::AuthoringEntry> entries;
    entries.push_back({"properties",
        helptool::encodeFieldText({u"Hashmere", u"1.0", u"Benchmark", u"1", u"en_GB", u"2026", u"leafscope_bench",
            u"Orvanix", u"(c)", u"", u"", u"$FFFFFF", u"8", u"8", u"0"})});
    std::vector<std::u16string> contents{u"Contents", u"0"};
    listed = 0;
    std::vector<helptool::AuthoringEntry> pageEntries;
    const std::string page = generatePage(pageBytes);
    for (int i = 0; i < pages; ++i) {
        const std::string name = std::string("p").append(std::to_string(i));
        pageEntries.push_back({name, bytesOf(page)});
        const std::vector<std::u16string> record{platform::utf8ToUtf16(std::to_string(i % 3)),
            platform::utf8ToUtf16(name), platform::utf8ToUtf16(std::string("Topic ").append(std::to_string(i))),
            platform::utf8ToUtf16(std::to_string(page.size()))};
        contents.insert(contents.end(), record.begin(), record.end());
        ++listed;
    }
    contents[1] = platform::utf8ToUtf16(std::to_string(listed));
    entries.push_back({"contents", helptool::encodeFieldText(contents)});
    entries.insert(entries.end(), pageEntries.begin(), pageEntries.end());
    helptool::PackStats stats;
    std::string error;
    const bool ok = zip ? helptool::writeZipPack(file.string(), entries, stats, error)
                        : helptool::writeBriefLzPack(file.string(), entries, 65536, stats, error);
    if (!ok) {
        std::fprintf(stderr, "leafscope_bench: %s\n", error.c_str());
        std::exit(1);
    }
    return file.string();
}

// One start of the program until it reports its start page; -1 on failure.
double startToFirstPage(const std::string& document, bool inMemory)
{
    int out[2];
    if (pipe(out) != 0) {
        return -1;
    }
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("LEAFSCOPE_REPORT_SHOWN", "1", 1);
        if (inMemory) {
            execl(LEAFSCOPE_PROGRAM, LEAFSCOPE_PROGRAM, document.c_str(), "/MEM", static_cast<char*>(nullptr));
        } else {
            execl(LEAFSCOPE_PROGRAM, LEAFSCOPE_PROGRAM, document.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(out[1]);
    FILE* reader = fdopen(out[0], "r");
    char line[256] = {};
    bool shown = false;
    while (!shown && std::fgets(line, sizeof line, reader) != nullptr) {
        shown = std::string(line).rfind("shown 1", 0) == 0;
    }
    const double ms = msSince(start);
    std::fclose(reader);
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return shown ? ms : -1;
}

void drain(leafscope::LeafscopeApp& app)
{
    for (toolkit::Event event = toolkit::waitEvent(0); event.kind != toolkit::EventKind::None;
         event = toolkit::waitEvent(0)) {
        leafscope::handleEvent(app, event);
    }
}

// Starts Leafscope in this process on `document`, as a wide screen shows it.
bool startInProcess(leafscope::LeafscopeApp& app, const fs::path& folder, const std::string& document)
{
    leafscope::StartOptions options;
    options.programFolder = folder;
    options.arguments = {platform::utf8ToUtf16(document)};
    options.systemLocaleName = u"en_GB";
    options.displayWidth = 1920;
    return leafscope::startLeafscope(app, options);
}

} // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path() / ("leafscope_bench_" + std::to_string(getpid()));
    fs::create_directories(folder);

    for (bool zip : {false, true}) {
        int listed = 0;
        const std::string document = writeDocument(folder / "large.help", 5000, 2000, zip, listed);
        for (bool inMemory : {false, true}) {
            std::vector<double> runs;
            for (int i = 0; i < 9; ++i) {
                runs.push_back(startToFirstPage(document, inMemory));
            }
            std::printf("Start to first page, 5,000 pages (%d listed), %-12s %-5s median %7.1f ms\n", listed,
                zip ? "ZIP" : "BriefLZ pack", inMemory ? "/MEM" : "", median(runs));
        }
        fs::remove(document);
    }

    if (!tt::initialiseHeadless()) {
        std::fprintf(stderr, "leafscope_bench: no window system\n");
        return 1;
    }
    for (bool zip : {false, true}) {
        int listed = 0;
        const std::string document = writeDocument(folder / "large.help", 5000, 2000, zip, listed);
        std::vector<double> starts;
        std::vector<double> fills;
        std::vector<double> clicks;
        int items = 0;
        for (int i = 0; i < 5; ++i) {
            tt::reset();
            leafscope::LeafscopeApp app;
            Clock::time_point start = Clock::now();
            if (!startInProcess(app, folder, document)) {
                return 1;
            }
            tt::processEvents();
            drain(app);
            tt::repaintPage(leafscope::kPageView);
            starts.push_back(msSince(start));
            items = toolkit::countItems(leafscope::kContentsTree);

            start = Clock::now();
            tt::clickItem(leafscope::kContentsTree, items - 1);
            drain(app);
            tt::repaintPage(leafscope::kPageView);
            clicks.push_back(msSince(start));

            const std::vector<std::int32_t> depths = document::contentsTreeDepths(app.doc.contents());
            toolkit::clearItems(leafscope::kContentsTree);
            start = Clock::now();
            for (std::size_t item = 0; item < depths.size(); ++item) {
                toolkit::addItem(
                    leafscope::kContentsTree, -1, app.doc.contents()[item].title, -1, static_cast<int>(depths[item]));
            }
            tt::processEvents();
            fills.push_back(msSince(start));
        }
        std::printf("In process, 5,000 pages, %-12s: start to first page median %7.1f ms (tree of %d items); "
                    "tree fill alone %6.1f ms; click on the last item to its page %5.1f ms\n",
            zip ? "ZIP" : "BriefLZ pack", median(starts), items, median(fills), median(clicks));
        fs::remove(document);
    }

    for (std::size_t size : {std::size_t{20'000}, std::size_t{1'000'000}}) {
        tt::reset();
        int listed = 0;
        const std::string document = writeDocument(folder / "pages.help", 2, size, false, listed);
        leafscope::LeafscopeApp app;
        if (!startInProcess(app, folder, document)) {
            return 1;
        }
        tt::processEvents();
        drain(app);
        std::vector<double> runs;
        for (int i = 0; i < 11; ++i) {
            // From a settled window, as when the reader picks the next page: the page before
            // is laid out whole, and the one it replaced freed.
            tt::runUntilPageLaidOut(leafscope::kPageView, 60000);
            tt::processEvents();
            const Clock::time_point start = Clock::now();
            tt::clickItem(leafscope::kContentsTree, (i + 1) % 2);
            drain(app);
            tt::repaintPage(leafscope::kPageView);
            runs.push_back(msSince(start));
        }
        std::printf(
            "Page change (tree click to page painted), %7zu-byte page     median %7.2f ms\n", size, median(runs));
        fs::remove(document);
    }

    {
        document::ContentsList list;
        for (int i = 0; i < 5000; ++i) {
            document::ContentsRecord record;
            record.entryName = u"p";
            record.title = platform::utf8ToUtf16("Topic " + std::to_string(i) + " \u00e9l\u0151");
            list.push_back(std::move(record));
        }
        leafscope::LeafscopeApp app;
        app.titleIndex = leafscope::buildTitleIndex(list, u"en_GB");
        tt::reset();
        toolkit::openWindow(leafscope::kMainWindow, 0, 0, 800, 600, u"bench", toolkit::WindowCaption);
        toolkit::createListBox(leafscope::kMainWindow, leafscope::kIndexList, 0, 0, 250, 500);
        const std::u16string typed[] = {u"", u"t", u"to", u"top", u"topi", u"topic", u"topic ", u"topic 4", u"topic 49",
            u"topic 499", u"topic 49", u"topic 4", u"topic ", u"elo"};
        std::vector<double> runs;
        for (const std::u16string& query : typed) {
            const Clock::time_point start = Clock::now();
            leafscope::filterIndex(app, query);
            runs.push_back(msSince(start));
        }
        std::printf("Index filter keystroke over 5,000 titles                         median %7.2f ms (max %.2f)\n",
            median(runs), *std::max_element(runs.begin(), runs.end()));
    }
    tt::reset();
    fs::remove_all(folder);
    return 0;
}
