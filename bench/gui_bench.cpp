// Hashmere's two speed figures:
//  1. start to main window: the median wall time of several offscreen starts
//     of the Hashmere executable that end as soon as the window is shown;
//  2. all eleven algorithms over a page-cached 1 GiB file through the
//     window's own run (click to end-of-run message), against
//     "hashmere-cli -a all" on the same file in the same run.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "checksum/app/hashmere_app.h"
#include "checksum/app/hashmere_ids.h"
#include "checksum/app/requester.h"
#include "checksum/engine/digest.h"
#include "checksum/engine/file_digest.h"
#include "platform/process.h"
#include "toolkit/testing.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs a program to its end; its wall time in seconds, or -1.
double timedRun(const std::string& program, const std::vector<std::string>& arguments)
{
    const Clock::time_point start = Clock::now();
    const int child = platform::startProcess(program, arguments, {});
    if (child <= 0) {
        return -1;
    }
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = secondsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

double guiRun(const fs::path& file, const fs::path& settings)
{
    hashmere::HashmereApp hashmere;
    hashmere::StartOptions options;
    options.programFolder = fs::path(HASHMERE_PROGRAM_DIR) / "";
    options.perUserFolder = settings / "";
    options.arguments = {file.u16string()};
    options.systemLocaleName = u"en_GB";
    if (!hashmere::startHashmere(hashmere, options)) {
        return -1;
    }
    for (int row = 0; row < 11; ++row) {
        toolkit::setState(hashmere::algorithmCheck(row), 1);
    }
    toolkit::testing::whenWindowShown(
        hashmere::kRequesterWindow, [] { toolkit::testing::click(hashmere::kRequesterNoButton); });
    const Clock::time_point start = Clock::now();
    toolkit::testing::click(hashmere::kRunButton);
    do {
        hashmere::handleEvent(hashmere, toolkit::waitEvent());
    } while (hashmere.runActive);
    const double seconds = secondsSince(start);
    const bool complete = !toolkit::text(hashmere::resultField(10)).empty();
    toolkit::testing::reset();
    return complete ? seconds : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int starts = argc > 1 ? std::atoi(argv[1]) : 9;
    const fs::path hashmere = fs::path(HASHMERE_PROGRAM_DIR) / "Hashmere";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    // 1. Start to main window.
    setenv("HASHMERE_EXIT_WHEN_SHOWN", "1", 1);
    std::vector<double> startTimes;
    for (int i = 0; i < starts; ++i) {
        const double seconds = timedRun(hashmere.string(), {});
        if (seconds < 0) {
            std::fprintf(stderr, "Hashmere did not start\n");
            return 1;
        }
        startTimes.push_back(seconds);
    }
    unsetenv("HASHMERE_EXIT_WHEN_SHOWN");
    std::printf("start to main window shown (offscreen, median of %d): %.1f ms\n", starts, median(startTimes) * 1000);

    // 2. The window's run against the command-line program.
    const char* tmp = std::getenv("TMPDIR");
    const fs::path work = fs::path(tmp != nullptr && *tmp ? tmp : "/tmp") / ("gui_bench_" + std::to_string(getpid()));
    fs::create_directories(work);
    const fs::path file = work / "one-gib.bin";
    {
        std::ofstream out(file, std::ios::binary);
        std::string block(1 << 20, '\0');
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<char>((i * 2654435761u) >> 13);
        }
        for (int i = 0; i < 1024; ++i) {
            block[static_cast<std::size_t>(i)] = static_cast<char>(i);
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    engine::registerStandardPlugins();
    engine::fileDigestHex(file, engine::Crc32); // into the page cache

    if (!toolkit::testing::initialiseHeadless()) {
        std::fprintf(stderr, "the toolkit did not start\n");
        return 1;
    }
    std::vector<double> gui, cli;
    for (int round = 0; round < 3; ++round) {
        // Through sh only to send the checksums to /dev/null.
        cli.push_back(
            timedRun("/bin/sh", {"-c", "exec \"$0\" -a all \"$1\" >/dev/null", HASHMERE_CLI_PATH, file.string()}));
        gui.push_back(guiRun(file, work));
        if (gui.back() < 0 || cli.back() < 0) {
            std::fprintf(stderr, "a run failed\n");
            fs::remove_all(work);
            return 1;
        }
    }
    toolkit::shutdown();
    fs::remove_all(work);
    // On a shared machine the best of the rounds is the steadier figure.
    const double g = median(gui), c = median(cli);
    const double gBest = *std::min_element(gui.begin(), gui.end());
    const double cBest = *std::min_element(cli.begin(), cli.end());
    std::printf("all eleven algorithms, 1 GiB page-cached file, 3 alternating rounds:\n");
    std::printf("                           median     best\n");
    std::printf("  Hashmere window run    %7.3f s  %7.3f s\n", g, gBest);
    std::printf("  hashmere-cli -a all    %7.3f s  %7.3f s\n", c, cBest);
    std::printf("  window overhead        %+7.1f %%  %+7.1f %%\n", (g / c - 1) * 100, (gBest / cBest - 1) * 100);
    return 0;
}
