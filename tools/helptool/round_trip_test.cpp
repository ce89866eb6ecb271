// Packs the sample authoring folder with both packings and reads everything back
// through the viewer's readers and through helptool itself.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/test_files.h"
#include "platform/text.h"
#include "tools/helptool/help_source.h"
#include "tools/helptool/pack_writer.h"
#include "viewer/document/contents.h"
#include "viewer/document/help_document.h"
#include "viewer/document/packing.h"

namespace helptool {
namespace {

using namespace document;

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kSample = std::string(HASHMERE_TEST_DATA_DIR) + "/sample";

struct ToolRun {
    int status;
    std::string out;
};

ToolRun runHelptool(const std::string& arguments)
{
    const std::string command = std::string(HELPTOOL_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    if (pipe == nullptr)
        return run;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        run.out.append(chunk, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string shellQuoted(const std::string& text)
{
    return "'" + text + "'";
}

struct CaptureView : PageSink {
    std::string shown;
    void showRichText(const std::uint8_t* bytes, std::size_t size) override
    {
        shown = size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(bytes), size);
    }
};

class RoundTrip : public ::testing::TestWithParam<PackingKind> {
protected:
    void SetUp() override { registerStandardPackers(); }

    bool zip() const { return GetParam() == PackingKind::Zip; }

    platform::testing::ScratchFolder scratch_;
    const fs::path& folder_ = scratch_.path();
    std::string path_ = (folder_ / "sample.help").string();
};

TEST_P(RoundTrip, EveryEntryReadsBackByteIdentical)
{
    std::vector<AuthoringEntry> entries;
    std::string error;
    ASSERT_TRUE(buildDocumentEntries(kSample, entries, error)) << error;
    PackStats stats;
    // A tiny block size puts several blocks into every compressed entry.
    ASSERT_TRUE(zip() ? writeZipPack(path_, entries, stats, error) : writeBriefLzPack(path_, entries, 64, stats, error))
        << error;
    ASSERT_EQ(detectPacking(path_), GetParam());
    ASSERT_TRUE(openPack(path_, GetParam()));
    std::vector<PackEntryInfo> listed;
    EXPECT_TRUE(listEntries(listed));
    ASSERT_EQ(listed.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(listed[i].name, entries[i].name);
        Bytes buffer(entries[i].bytes.size() + 10, 0);
        const std::int32_t count =
            readEntry(platform::utf8ToUtf16(entries[i].name), buffer.data(), static_cast<std::int32_t>(buffer.size()));
        ASSERT_EQ(count, static_cast<std::int32_t>(entries[i].bytes.size())) << entries[i].name;
        buffer.resize(static_cast<std::size_t>(count));
        EXPECT_EQ(buffer, entries[i].bytes) << entries[i].name;
    }
    closePack();
}

TEST_P(RoundTrip, HelptoolPacksWhatTheViewerReads)
{
    const ToolRun packed = runHelptool(std::string("pack ") + (zip() ? "--zip " : "--brieflz --block-size 100 ") +
        shellQuoted(kSample) + " " + shellQuoted(path_));
    ASSERT_EQ(packed.status, 0);
    EXPECT_NE(packed.out.find("ratio"), std::string::npos);

    HelpDocument document;
    ASSERT_TRUE(document.open(path_));
    EXPECT_EQ(document.packing(), GetParam());
    const DocumentProperties& properties = document.properties();
    EXPECT_EQ(properties.helpName, u"Hashmere súgó");
    EXPECT_EQ(properties.copyright, u"© 2026 Orvanix");
    EXPECT_EQ(properties.pageBackColor, 16777215);
    EXPECT_EQ(properties.rightMargin, -3);
    EXPECT_EQ(properties.homePage, 1);

    const ContentsList& contents = document.contents();
    ASSERT_EQ(contents.size(), 6u);
    EXPECT_EQ(contentsTreeParents(contents), (std::vector<std::int32_t>{-1, 0, 0, 2, -1, -1}));
    EXPECT_EQ(findPageByTitle(contents, u"ELLENŐRZŐÖSSZEG"), 2);
    EXPECT_EQ(findPageByTitle(contents, u"ελληνικά"), 3);
    EXPECT_EQ(findPageByTitle(contents, u"КИРИЛЛИЦА"), 4);

    HelpDocument inMemory;
    ASSERT_TRUE(inMemory.open(path_));
    inMemory.preload();
    for (std::size_t page = 0; page < contents.size(); ++page) {
        const ContentsRecord& record = contents[page];
        if (record.entryName.empty())
            continue;
        std::ifstream file(fs::path(kSample) / platform::utf16ToUtf8(record.entryName), std::ios::binary);
        const std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_EQ(record.size, static_cast<std::int32_t>(expected.size()));
        for (const HelpDocument* reader : {&document, &inMemory}) {
            CaptureView view;
            view.shown = expected.empty() ? std::string() : "untouched";
            reader->loadPage(static_cast<std::int64_t>(page), view);
            EXPECT_EQ(view.shown, expected)
                << platform::utf16ToUtf8(record.entryName) << (reader->pagesInMemory() ? " in memory" : "");
        }
        const ToolRun cat =
            runHelptool("cat " + shellQuoted(path_) + " " + shellQuoted(platform::utf16ToUtf8(record.entryName)));
        EXPECT_EQ(cat.status, 0);
        EXPECT_EQ(cat.out, expected);
    }

    const ToolRun list = runHelptool("list " + shellQuoted(path_));
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("pages/összeg.rtf"), std::string::npos);
    const ToolRun info = runHelptool("info " + shellQuoted(path_));
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("      Ελληνικά  [pages/greek.rtf, 104 bytes]"), std::string::npos) << info.out;
    EXPECT_NE(runHelptool("cat " + shellQuoted(path_) + " pages/missing.rtf").status, 0);
}

TEST_P(RoundTrip, HelptoolReportsDamage)
{
    ASSERT_EQ(
        runHelptool(std::string("pack ") + (zip() ? "--zip " : "") + shellQuoted(kSample) + " " + shellQuoted(path_))
            .status,
        0);
    // Cut the file in the middle of its page entries.
    fs::resize_file(path_, fs::file_size(path_) / 2);
    EXPECT_NE(runHelptool("list " + shellQuoted(path_)).status, 0);
    int failures = 0;
    for (const char* entry : {"pages/greek.rtf", "pages/cyrillic.rtf"})
        failures += runHelptool("cat " + shellQuoted(path_) + " " + entry).status != 0;
    EXPECT_GE(failures, 1);
    EXPECT_NE(runHelptool("cat " + shellQuoted(folder_.string()) + " x").status, 0) << "a folder is no document";
}

INSTANTIATE_TEST_SUITE_P(BothPackings, RoundTrip, ::testing::Values(PackingKind::Zip, PackingKind::BriefLzPack),
    [](const auto& info) { return info.param == PackingKind::Zip ? "Zip" : "BriefLz"; });

TEST(BuildDocument, RejectsWhatTheViewerCouldNotRead)
{
    const platform::testing::ScratchFolder scratch;
    const fs::path folder = scratch.path() / "source";
    const struct {
        const char* what;
        std::string manifest;
    } cases[] = {
        {"a property holding the separator", "[Properties]\nHelpName = a|b\n"},
        {"a page file outside the folder", "[Contents]\nPage = 0 | T | ../x.rtf\n"},
        {"a missing page file", "[Contents]\nPage = 0 | T | none.rtf\n"},
    };
    for (const auto& c : cases) {
        fs::create_directories(folder);
        std::ofstream(folder / kManifestName) << c.manifest;
        std::vector<AuthoringEntry> entries;
        std::string error;
        EXPECT_FALSE(buildDocumentEntries(folder.string(), entries, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        fs::remove_all(folder);
    }

    // The viewer reads the data entries whole: long properties and a contents of
    // many pages build.
    std::string manifest = "[Properties]\nHelpName = " + std::string(2600, 'x') + "\n[Contents]\n";
    for (int i = 0; i < 5000; ++i)
        manifest += "Page = 0 | " + std::string(30, 't') + "\n";
    fs::create_directories(folder);
    std::ofstream(folder / kManifestName) << manifest;
    std::vector<AuthoringEntry> entries;
    std::string error;
    EXPECT_TRUE(buildDocumentEntries(folder.string(), entries, error)) << error;
}

} // namespace
} // namespace helptool
