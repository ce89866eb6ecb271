#include "tools/hashmere_cli/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <vector>

#include "platform/text.h"

namespace hashmere_cli {
namespace {

// The name as glyphs a terminal shows one column each: each code point of
// well-formed UTF-8, '?' for control characters and other bytes.
std::vector<std::string> shownGlyphs(std::string_view name)
{
    const std::u16string text = platform::displayPathText(platform::pathTextFromBytes(name));
    std::vector<std::string> glyphs;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t units = 1;
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size())
            units = 2;
        const char16_t c = text[i];
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
            glyphs.push_back("?");
        else
            glyphs.push_back(c == 0xFFFD ? "?" : platform::utf16ToUtf8(std::u16string_view(text).substr(i, units)));
        i += units - 1;
    }
    return glyphs;
}

std::string shortenedName(std::string_view name, std::size_t columns)
{
    const std::vector<std::string> glyphs = shownGlyphs(name);
    std::string shown;
    if (glyphs.size() <= columns) {
        for (const std::string& g : glyphs)
            shown += g;
        return shown;
    }
    if (columns < 4) {
        for (std::size_t i = 0; i < columns; ++i)
            shown += '.';
        return shown;
    }
    // Keep more of the end, where the file's own name is.
    const std::size_t keep = columns - 3;
    const std::size_t head = keep / 3;
    const std::size_t tail = keep - head;
    for (std::size_t i = 0; i < head; ++i)
        shown += glyphs[i];
    shown += "...";
    for (std::size_t i = glyphs.size() - tail; i < glyphs.size(); ++i)
        shown += glyphs[i];
    return shown;
}

std::string duration(double seconds)
{
    const long long whole = std::llround(seconds);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

} // namespace

std::string byteCount(std::int64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    const char* units[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1023.95 && unit < 5) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string progressLine(const ProgressSnapshot& snapshot, int width)
{
    const double rate = snapshot.seconds > 0 ? static_cast<double>(snapshot.done) / snapshot.seconds : 0;
    // The figures from most to least telling; a narrow terminal loses the
    // last ones before the name goes.
    std::vector<std::string> figures;
    if (snapshot.total > 0) {
        const int percent = static_cast<int>(std::min<std::int64_t>(100, snapshot.done * 100 / snapshot.total));
        figures.push_back(std::to_string(percent) + "%");
        figures.push_back(byteCount(snapshot.done) + " / " + byteCount(snapshot.total));
    } else {
        figures.push_back(byteCount(snapshot.done));
    }
    if (rate > 0) {
        figures.push_back(byteCount(static_cast<std::int64_t>(rate)) + "/s");
        if (snapshot.total > 0 && snapshot.total >= snapshot.done)
            figures.push_back(duration(static_cast<double>(snapshot.total - snapshot.done) / rate) + " left");
    }
    const std::size_t columns = width > 1 ? static_cast<std::size_t>(width - 1) : 0;
    const std::size_t nameGlyphs = shownGlyphs(snapshot.name).size();
    const std::size_t nameMinimum = std::min<std::size_t>(8, nameGlyphs);
    for (std::size_t count = figures.size(); count > 0; --count) {
        std::string text;
        for (std::size_t f = 0; f < count; ++f)
            text += "  " + figures[f];
        if (text.size() + nameMinimum <= columns)
            return shortenedName(snapshot.name, columns - text.size()) + text;
    }
    return figures.front().substr(0, columns);
}

void beginProgress(ProgressMeter& meter, std::string_view name, std::int64_t total)
{
    if (!meter.enabled)
        return;
    meter.name = name;
    meter.total = total;
    meter.started = meter.now();
    meter.drawn = -1;
}

void updateProgress(ProgressMeter& meter, std::int64_t done)
{
    if (!meter.enabled)
        return;
    const double now = meter.now();
    const double seconds = now - meter.started;
    if (seconds < kProgressDelay || (meter.drawn >= 0 && now - meter.drawn < kProgressInterval))
        return;
    // Carriage return, the line, then erase whatever a longer line left.
    *meter.err << '\r' << progressLine({meter.name, done, meter.total, seconds}, meter.width()) << "\x1b[K"
               << std::flush;
    meter.drawn = now;
}

void endProgress(ProgressMeter& meter)
{
    if (meter.enabled && meter.drawn >= 0)
        *meter.err << "\r\x1b[K" << std::flush;
    meter.drawn = -1;
}

} // namespace hashmere_cli
