// Speed of the help-document layer: BriefLZ decoding, opening a large document
// in both packings, and the in-memory preload. Prints one line per figure; each
// figure is the best of several runs.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/helptool/brieflz_encoder.h"
#include "tools/helptool/help_source.h"
#include "tools/helptool/pack_writer.h"
#include "viewer/document/brieflz_decoder.h"
#include "viewer/document/contents.h"
#include "viewer/document/help_document.h"

namespace {

using namespace document;
using helptool::AuthoringEntry;
using helptool::encodeFieldText;
using helptool::PackStats;
using helptool::writeBriefLzPack;
using helptool::writeZipPack;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

double secondsOf(const std::function<void()>& work, int runs)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

Bytes englishLike(std::size_t size, unsigned seed)
{
    static const char* const kWords[] = {"the", "of", "and", "to", "a", "in", "is", "that", "for", "it", "as", "with",
        "be", "on", "not", "this", "file", "checksum", "program", "folder", "result", "language", "algorithm", "window",
        "press", "button", "select", "computed", "green", "red", "verify", "expected", "value", "copy", "save", "help",
        "document", "page", "viewer", "contents", "navigation", "history", "printing", "zoom", "settings"};
    constexpr std::size_t kCount = sizeof kWords / sizeof kWords[0];
    std::mt19937 random(seed);
    // Zipf-like choice: small indices are far more frequent.
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    Bytes out;
    out.reserve(size + 16);
    bool capital = true;
    while (out.size() < size) {
        const auto index = static_cast<std::size_t>(std::pow(uniform(random), 2.5) * kCount) % kCount;
        std::string word = kWords[index];
        if (capital)
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        out.insert(out.end(), word.begin(), word.end());
        const unsigned r = random() % 20;
        capital = r == 0;
        out.push_back(r == 0 ? '.' : r == 1 ? ',' : ' ');
        if (r == 0)
            out.push_back(random() % 4 == 0 ? '\n' : ' ');
    }
    out.resize(size);
    return out;
}

Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937_64 random(seed);
    Bytes out(size);
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        const std::uint64_t value = random();
        std::memcpy(out.data() + i, &value, 8);
    }
    return out;
}

void decodeFigure(const char* what, const Bytes& data)
{
    const Bytes stream =
        helptool::brieflz::encodeBlockStream(data.data(), data.size(), helptool::brieflz::kDefaultBlockSize);
    Bytes out(data.size());
    const double seconds = secondsOf(
        [&] {
            if (document::brieflz::decodeBlockStream(stream.data(), stream.size(), out.data(), out.size()) !=
                static_cast<std::int64_t>(data.size()))
                std::abort();
        },
        7);
    if (out != data)
        std::abort();
    std::printf("BriefLZ decode, %-34s %8.0f MB/s   (%.1f MB -> %.1f MB stream, %.1f %%)\n", what,
        static_cast<double>(data.size()) / seconds / 1e6, static_cast<double>(data.size()) / 1e6,
        static_cast<double>(stream.size()) / 1e6,
        100.0 * static_cast<double>(stream.size()) / static_cast<double>(data.size()));
}

std::string rtfPage(std::size_t size, unsigned seed)
{
    const Bytes text = englishLike(size > 64 ? size - 64 : size, seed);
    std::string page = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 ";
    page.append(text.begin(), text.end());
    page += "\\par}";
    return page;
}

// A document of `pages` page entries of about `pageSize` bytes each, all listed
// in the contents.
std::vector<AuthoringEntry> makeDocument(int pages, std::size_t pageSize, int& listed)
{
    std::vector<AuthoringEntry> entries;
    entries.push_back({"properties",
        encodeFieldText({u"Hashmere", u"1.0", u"Benchmark", u"1", u"en_GB", u"2026", u"docs_bench", u"Orvanix", u"(c)",
            u"", u"", u"$FFFFFF", u"8", u"8", u"0"})});
    std::vector<std::u16string> contents{u"Contents", u"0"};
    listed = 0;
    std::vector<AuthoringEntry> pageEntries;
    for (int i = 0; i < pages; ++i) {
        const std::string name = std::string("p").append(std::to_string(i));
        const std::string page = rtfPage(pageSize, static_cast<unsigned>(i));
        pageEntries.push_back({name, Bytes(page.begin(), page.end())});
        const std::vector<std::u16string> record{platform::utf8ToUtf16(std::to_string(i % 3)),
            platform::utf8ToUtf16(name), platform::utf8ToUtf16(std::string("T").append(std::to_string(i))),
            platform::utf8ToUtf16(std::to_string(page.size()))};
        contents.insert(contents.end(), record.begin(), record.end());
        ++listed;
    }
    contents[1] = platform::utf8ToUtf16(std::to_string(listed));
    entries.push_back({"contents", encodeFieldText(contents)});
    for (AuthoringEntry& page : pageEntries)
        entries.push_back(std::move(page));
    return entries;
}

std::string writeDocument(
    const fs::path& folder, const std::string& name, PackingKind kind, const std::vector<AuthoringEntry>& entries)
{
    const std::string path = (folder / name).string();
    PackStats stats;
    std::string error;
    const bool ok = kind == PackingKind::Zip
        ? writeZipPack(path, entries, stats, error)
        : writeBriefLzPack(path, entries, helptool::brieflz::kDefaultBlockSize, stats, error);
    if (!ok) {
        std::fprintf(stderr, "docs_bench: %s\n", error.c_str());
        std::exit(1);
    }
    return path;
}

const char* kindName(PackingKind kind)
{
    return kind == PackingKind::Zip ? "ZIP" : "BriefLZ pack";
}

} // namespace

int main()
{
    registerStandardPackers();
    const fs::path folder = fs::temp_directory_path() / ("docs_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);

    decodeFigure("10 MB English-like text", englishLike(10'000'000, 1));
    decodeFigure("10 MB incompressible bytes", randomBytes(10'000'000, 2));
    Bytes repeated;
    const Bytes unit = englishLike(64 * 1024, 3);
    while (repeated.size() < 10'000'000)
        repeated.insert(repeated.end(), unit.begin(), unit.end());
    decodeFigure("10 MB of a 64 KiB text repeated", repeated);

    int listed = 0;
    const std::vector<AuthoringEntry> large = makeDocument(5000, 2000, listed);
    for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack}) {
        const std::string path = writeDocument(folder, "large.help", kind, large);
        std::size_t records = 0;
        const double seconds = secondsOf(
            [&] {
                HelpDocument document;
                document.open(path);
                records = contentsTreeParents(document.contents()).size();
            },
            5);
        std::printf("Open 5,000-page document, %-13s %8.2f ms   (detect, properties, contents of %zu records, "
                    "placement; %.1f MB file)\n",
            kindName(kind), seconds * 1e3, records, static_cast<double>(fs::file_size(path)) / 1e6);
        fs::remove(path);
    }

    ContentsList placement;
    for (int i = 0; i < 5000; ++i) {
        ContentsRecord record;
        record.level = static_cast<std::int8_t>(i % 4);
        record.title = platform::utf8ToUtf16(std::string("T").append(std::to_string(i)));
        placement.push_back(std::move(record));
    }
    const double placementSeconds = secondsOf([&] { contentsTreeParents(placement); }, 9);
    const double searchSeconds = secondsOf([&] { findPageByTitle(placement, u"t4999"); }, 9);
    std::printf("Placement of 5,000 records                 %8.3f ms;  findPageByTitle over them %.3f ms\n",
        placementSeconds * 1e3, searchSeconds * 1e3);

    const std::vector<AuthoringEntry> heavy = makeDocument(400, 125'000, listed);
    for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack}) {
        const std::string path = writeDocument(folder, "heavy.help", kind, heavy);
        HelpDocument document;
        document.open(path);
        std::int64_t bytes = 0;
        for (const ContentsRecord& record : document.contents())
            bytes += record.size;
        const double seconds = secondsOf([&] { document.preload(); }, 3);
        std::printf("preloadPages, %-13s %.1f MB in %zu pages %8.1f ms   (%.0f MB/s)\n", kindName(kind),
            static_cast<double>(bytes) / 1e6, document.contents().size(), seconds * 1e3,
            static_cast<double>(bytes) / seconds / 1e6);
        fs::remove(path);
    }
    fs::remove_all(folder);
    return 0;
}
