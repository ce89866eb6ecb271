#pragma once
// The self-rewriting progress line that hashmere-cli shows on a terminal
// while a long file is read.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace hashmere_cli {

struct ProgressSnapshot {
    std::string_view name; // as given; any bytes
    std::int64_t done = 0;
    std::int64_t total = -1; // -1 when unknown (a pipe or standard input)
    double seconds = 0;      // since the file was started
};

// "NAME  42%  1.3 GiB / 3.0 GiB  512.0 MiB/s  0:04 left" in at most
// `width` - 1 columns (the last column stays free so that the terminal never
// wraps). The name is shortened in its middle with "..." to fit, and loses
// its control characters and bytes that are not UTF-8 (shown as '?'); when
// even the figures do not fit, they are cut. Each code point counts as one
// column.
std::string progressLine(const ProgressSnapshot& snapshot, int width);

// "0 B", "999 B", "1.0 KiB", "12.5 MiB", "3.0 GiB".
std::string byteCount(std::int64_t bytes);

// Draws progress lines on `err` for one file at a time: nothing until the
// file has taken kProgressDelay seconds, then at most one line every
// kProgressInterval seconds, and the line is cleared when the file ends.
// Disabled, it writes nothing. The clock (seconds) and the terminal's width
// are asked for at each block, so that a resized terminal is followed.
inline constexpr double kProgressDelay = 0.5;
inline constexpr double kProgressInterval = 0.1;

struct ProgressMeter {
    std::ostream* err = nullptr;
    bool enabled = false;
    std::function<double()> now;
    std::function<int()> width;
    // The current file.
    std::string name;
    std::int64_t total = -1;
    double started = 0;
    double drawn = -1; // when the line was last drawn; -1 while none is shown
};

void beginProgress(ProgressMeter& meter, std::string_view name, std::int64_t total);
void updateProgress(ProgressMeter& meter, std::int64_t done);
void endProgress(ProgressMeter& meter);

} // namespace hashmere_cli
