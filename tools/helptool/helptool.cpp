// helptool: reads and writes help documents.
//
//   helptool list DOC                  entry names in file order, with sizes
//   helptool cat DOC ENTRY             the entry's bytes on standard output
//   helptool info DOC                  packing, properties and contents tree
//   helptool pack [--zip | --brieflz] [--block-size N] SOURCE_DIR OUT.help

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/helptool/brieflz_encoder.h"
#include "tools/helptool/help_source.h"
#include "tools/helptool/pack_writer.h"
#include "viewer/document/contents.h"
#include "viewer/document/document_properties.h"
#include "viewer/document/help_document.h"
#include "viewer/document/packing.h"

namespace {

using namespace helptool;
using namespace document;

int usage()
{
    std::fputs("usage: helptool list DOC\n"
               "       helptool cat DOC ENTRY\n"
               "       helptool info DOC\n"
               "       helptool pack [--zip | --brieflz] [--block-size N] SOURCE_DIR OUT.help\n",
        stderr);
    return 2;
}

const char* packingName(PackingKind kind)
{
    switch (kind) {
    case PackingKind::Zip:
        return "ZIP";
    case PackingKind::BriefLzPack:
        return "BriefLZ pack";
    default:
        return "none";
    }
}

// Detects and opens `path`; prints why not on failure.
bool openDocument(const std::string& path, PackingKind& kind)
{
    kind = detectPacking(path);
    if (kind == PackingKind::None) {
        std::fprintf(stderr, "helptool: %s is no help document\n", path.c_str());
        return false;
    }
    if (!openPack(path, kind)) {
        std::fprintf(stderr, "helptool: cannot open %s as %s\n", path.c_str(), packingName(kind));
        return false;
    }
    return true;
}

int listCommand(const std::string& path)
{
    PackingKind kind;
    if (!openDocument(path, kind))
        return 1;
    std::vector<PackEntryInfo> entries;
    const bool intact = listEntries(entries);
    closePack();
    if (kind == PackingKind::BriefLzPack)
        std::printf("%12s %12s  %s\n", "size", "stored", "name");
    else
        std::printf("%12s  %s\n", "size", "name");
    for (const PackEntryInfo& entry : entries) {
        if (entry.packedSize >= 0)
            std::printf("%12" PRId64 " %12" PRId64 "  %s\n", entry.unpackedSize, entry.packedSize, entry.name.c_str());
        else
            std::printf("%12" PRId64 "  %s\n", entry.unpackedSize, entry.name.c_str());
    }
    if (!intact) {
        std::fprintf(stderr, "helptool: %s is damaged after the entries listed\n", path.c_str());
        return 1;
    }
    return 0;
}

int catCommand(const std::string& path, const std::string& name)
{
    PackingKind kind;
    if (!openDocument(path, kind))
        return 1;
    std::vector<PackEntryInfo> entries;
    listEntries(entries);
    std::int64_t known = -1;
    bool listed = false;
    for (const PackEntryInfo& entry : entries) {
        if (entry.name == name) {
            known = entry.unpackedSize;
            listed = true;
            break;
        }
    }
    // A BriefLZ pack needs the whole listed size. A ZIP entry is read into one
    // byte more than its header claims (at most 64 MiB to start with), so that a
    // full buffer shows it is longer; the buffer then doubles until it fits.
    std::int64_t capacity = known < 0 ? 65536
        : kind == PackingKind::Zip    ? std::min<std::int64_t>(known + 1, 1 << 26)
                                      : known;
    std::int32_t count = -1;
    std::unique_ptr<std::uint8_t[]> buffer;
    for (;;) {
        capacity = std::min<std::int64_t>(capacity, 0x7FFFFFFF);
        buffer.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(capacity) + 1]());
        if (buffer == nullptr) {
            closePack();
            std::fprintf(stderr, "helptool: out of memory for %" PRId64 " bytes\n", capacity);
            return 1;
        }
        count = readEntryUtf8(name, buffer.get(), static_cast<std::int32_t>(capacity));
        if (kind != PackingKind::Zip || count < capacity || capacity == 0x7FFFFFFF)
            break;
        capacity *= 2;
    }
    closePack();
    if (count < 0) {
        std::fprintf(stderr, "helptool: %s: entry \"%s\" %s (%d)\n", path.c_str(), name.c_str(),
            listed ? "is damaged" : "not found", count);
        return 1;
    }
    if (std::fwrite(buffer.get(), 1, static_cast<std::size_t>(count), stdout) != static_cast<std::size_t>(count) ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "helptool: cannot write standard output\n");
        return 1;
    }
    return 0;
}

int infoCommand(const std::string& path)
{
    HelpDocument document;
    const bool opened = document.open(path);
    std::printf("Packing: %s\n", packingName(document.packing()));
    if (!opened)
        return 1;
    const DocumentProperties& properties = document.properties();
    const std::u16string* texts[] = {
        &properties.softwareName,
        &properties.softwareVersion,
        &properties.helpName,
        &properties.helpVersion,
        &properties.language,
        &properties.date,
        &properties.tool,
        &properties.publisher,
        &properties.copyright,
        &properties.email,
        &properties.website,
    };
    std::printf("Properties:\n");
    for (int i = 0; i < 11; ++i)
        std::printf("  %-16s %s\n", kPropertyKeys[i], platform::utf16ToUtf8(*texts[i]).c_str());
    const std::int32_t numbers[] = {
        properties.pageBackColor, properties.leftMargin, properties.rightMargin, properties.homePage};
    for (int i = 0; i < 4; ++i)
        std::printf("  %-16s %d\n", kPropertyKeys[11 + i], numbers[i]);

    const ContentsList& contents = document.contents();
    const std::vector<std::int32_t> depths = contentsTreeDepths(contents);
    std::printf("Contents: %zu records\n", contents.size());
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const ContentsRecord& record = contents[i];
        std::printf("  %*s%s", 2 * depths[i], "", platform::utf16ToUtf8(record.title).c_str());
        if (!record.entryName.empty())
            std::printf("  [%s, %d bytes]", platform::utf16ToUtf8(record.entryName).c_str(), record.size);
        std::printf("\n");
    }
    return 0;
}

int packCommand(int argc, char** argv)
{
    bool zip = false;
    std::int64_t blockSize = brieflz::kDefaultBlockSize;
    std::vector<std::string> operands;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--zip") {
            zip = true;
        } else if (arg == "--brieflz") {
            zip = false;
        } else if (arg == "--block-size" && i + 1 < argc) {
            char* end = nullptr;
            blockSize = std::strtoll(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || blockSize < 1 || blockSize > 0x7FFFFFFF) {
                std::fprintf(stderr, "helptool: the block size must be a number from 1 to 2147483647\n");
                return 2;
            }
        } else if (arg.starts_with("--")) {
            return usage();
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2)
        return usage();
    std::vector<AuthoringEntry> entries;
    std::string error;
    PackStats stats;
    if (!buildDocumentEntries(operands[0], entries, error) ||
        !(zip ? writeZipPack(operands[1], entries, stats, error)
              : writeBriefLzPack(operands[1], entries, blockSize, stats, error))) {
        std::fprintf(stderr, "helptool: %s\n", error.c_str());
        return 1;
    }
    const double ratio =
        stats.unpackedBytes > 0 ? static_cast<double>(stats.fileBytes) / static_cast<double>(stats.unpackedBytes) : 0;
    std::printf("%s: %zu entries, %" PRId64 " bytes in, %" PRId64 " bytes out, ratio %.3f (%.1f %% saved)\n",
        operands[1].c_str(), entries.size(), stats.unpackedBytes, stats.fileBytes, ratio,
        stats.unpackedBytes > 0 ? 100.0 * (1.0 - ratio) : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    registerStandardPackers();
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "list" && argc == 3)
        return listCommand(argv[2]);
    if (command == "cat" && argc == 4)
        return catCommand(argv[2], argv[3]);
    if (command == "info" && argc == 3)
        return infoCommand(argv[2]);
    if (command == "pack")
        return packCommand(argc, argv);
    return usage();
}
