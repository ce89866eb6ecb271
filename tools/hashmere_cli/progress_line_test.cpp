#include "tools/hashmere_cli/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/text.h"

namespace hashmere_cli {
namespace {

constexpr std::int64_t kMiB = 1024 * 1024;

std::size_t columns(const std::string& line)
{
    return platform::utf8ToUtf16(line).size();
}

TEST(ProgressLine, FiguresAndNamesFitTheWidth)
{
    // clang-format off
    struct Case { ProgressSnapshot snapshot; int width; const char* expected; };
    const Case cases[] = {
        {{"big.iso", 1024 * kMiB, 4096 * kMiB, 2.0}, 80, "big.iso  25%  1.0 GiB / 4.0 GiB  512.0 MiB/s  0:06 left"},
        {{"-", 3 * kMiB, -1, 2.0}, 80, "-  3.0 MiB  1.5 MiB/s"},
        {{"x", 0, 10, 0.0}, 80, "x  0%  0 B / 10 B"},
        {{"/data/images/disk-2026.img", 5 * kMiB, 5 * kMiB + 1, 0.5}, 50,
            "/da...026.img  99%  5.0 MiB / 5.0 MiB  10.0 MiB/s"},
        {{"long/name", kMiB, 2 * kMiB, 1.0}, 20, "long/name  50%"},
        {{"new\nline\xff", 1, 2, 1.0}, 80, "new?line?  50%  1 B / 2 B  1 B/s  0:01 left"},
        {{"\xc3\xa4\xc3\xb6\xc3\xbc", 1, 2, 1.0}, 80, "\xc3\xa4\xc3\xb6\xc3\xbc  50%  1 B / 2 B  1 B/s  0:01 left"},
        {{"x", 1, 2, 1.0}, 1, ""},
        {{"name", 1, 2, 1.0}, 4, "50%"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::string line = progressLine(c.snapshot, c.width);
        EXPECT_EQ(line, c.expected) << c.width;
        EXPECT_LE(columns(line), static_cast<std::size_t>(std::max(0, c.width - 1))) << line;
    }
    // Every width keeps the line inside it and the name's end visible while it fits.
    const std::string name = "/very/long/folder/name/that/goes/on/and/on/release-candidate.tar";
    for (int width = 1; width <= 120; ++width) {
        const std::string line = progressLine({name, 7 * kMiB, 9 * kMiB, 3.0}, width);
        ASSERT_LE(columns(line), static_cast<std::size_t>(std::max(0, width - 1))) << width;
        const std::size_t cut = line.find("...");
        if (cut != std::string::npos && cut > 0) {
            EXPECT_NE(line.find(".tar  77%"), std::string::npos) << line;
        }
    }
}

ProgressMeter fakeMeter(std::ostream& err, bool enabled, double& clock)
{
    ProgressMeter meter;
    meter.err = &err;
    meter.enabled = enabled;
    meter.now = [&clock] { return clock; };
    meter.width = [] { return 60; };
    return meter;
}

TEST(ProgressLine, MeterWaitsThrottlesAndClears)
{
    std::ostringstream err;
    double clock = 0;
    ProgressMeter meter = fakeMeter(err, true, clock);
    beginProgress(meter, "file", 100);
    // clang-format off
    struct Step { double at; std::int64_t done; bool draws; };
    const Step steps[] = {{0.1, 10, false}, {0.49, 20, false}, {0.5, 30, true}, {0.55, 40, false}, {0.61, 50, true}};
    // clang-format on
    for (const Step& step : steps) {
        clock = step.at;
        const std::size_t before = err.str().size();
        updateProgress(meter, step.done);
        EXPECT_EQ(err.str().size() > before, step.draws) << step.at;
    }
    EXPECT_EQ(err.str().rfind("\rfile  30%", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("\rfile  50%"), std::string::npos) << err.str();
    endProgress(meter);
    EXPECT_EQ(err.str().substr(err.str().size() - 4), "\r\x1b[K");

    // A quick file leaves nothing behind; a disabled meter never writes.
    std::ostringstream quiet;
    ProgressMeter quick = fakeMeter(quiet, true, clock);
    beginProgress(quick, "file", 100);
    updateProgress(quick, 100);
    endProgress(quick);
    ProgressMeter off = fakeMeter(quiet, false, clock);
    beginProgress(off, "file", 100);
    clock += 10;
    updateProgress(off, 50);
    endProgress(off);
    EXPECT_EQ(quiet.str(), "");
}

} // namespace
} // namespace hashmere_cli
