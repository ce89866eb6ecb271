#include "viewer/document/help_document.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "viewer/document/test_support.h"

namespace document {
namespace {

using testing::Bytes;
using testing::bytesOf;
using testing::utf16le;

// Records what the page view was handed; starts out showing "old".
struct FakeView : PageSink {
    std::string shown = "old";
    void showRichText(const std::uint8_t* bytes, std::size_t size) override
    {
        shown = size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(bytes), size);
    }
};

std::string shown(const HelpDocument& document, std::int64_t page)
{
    FakeView view;
    document.loadPage(page, view);
    return view.shown;
}

const std::string kIntro = "{\\rtf1 intro}";
const std::string kUse = "{\\rtf1 use it}";

// Pages: 0 intro, 1 a heading, 2 use, 3 an entry the pack lacks (7 bytes listed).
std::vector<AuthoringEntry> guide(const std::u16string& helpName)
{
    const std::u16string contents = u"Contents|4|0|intro.rtf|Intro|" +
        platform::utf8ToUtf16(std::to_string(kIntro.size())) + u"|0||Heading|0|1|use.rtf|Use|" +
        platform::utf8ToUtf16(std::to_string(kUse.size())) + u"|1|gone.rtf|Gone|7";
    return {
        {"properties", utf16le(u"Soft|1.0|" + helpName + u"|2|en_GB|2026|tool|pub|(c)|a@b|web|$FFFFFF|4|5|2")},
        {"contents", utf16le(contents)},
        {"intro.rtf", bytesOf(kIntro)},
        {"use.rtf", bytesOf(kUse)},
    };
}

class HelpDocumentTest : public ::testing::TestWithParam<PackingKind> {
protected:
    void SetUp() override { registerStandardPackers(); }

    std::string write(const std::string& name, const std::vector<AuthoringEntry>& entries)
    {
        return GetParam() == PackingKind::Zip ? folder_.zip(name, entries) : folder_.brieflz(name, entries);
    }

    testing::TempFolder folder_;
};

TEST_P(HelpDocumentTest, OpenReadsPropertiesAndContents)
{
    const std::string path = write("guide.help", guide(u"Guide"));
    HelpDocument document;
    EXPECT_FALSE(document.isOpen());
    ASSERT_TRUE(document.open(path));
    EXPECT_TRUE(document.isOpen());
    EXPECT_EQ(document.path(), path);
    EXPECT_EQ(document.packing(), GetParam());
    EXPECT_EQ(document.properties().helpName, u"Guide");
    EXPECT_EQ(document.properties().pageBackColor, 16777215);
    EXPECT_EQ(document.properties().homePage, 2);
    ASSERT_EQ(document.contents().size(), 4u);
    EXPECT_EQ(document.contents()[2].title, u"Use");
    EXPECT_FALSE(document.pagesInMemory());
    EXPECT_TRUE(document.pageCache().empty());
}

TEST_P(HelpDocumentTest, PagesFromTheFileAndFromTheCache)
{
    const std::string path = write("guide.help", guide(u"Guide"));
    HelpDocument fromFile;
    HelpDocument inMemory;
    ASSERT_TRUE(fromFile.open(path));
    ASSERT_TRUE(inMemory.open(path));
    inMemory.preload();
    EXPECT_TRUE(inMemory.pagesInMemory());
    ASSERT_EQ(inMemory.pageCache().size(), inMemory.contents().size());
    const struct {
        const char* what;
        std::int64_t page;
        std::string fromFile;
        std::string inMemory;
    } cases[] = {
        {"a page", 0, kIntro, kIntro},
        {"a heading leaves the view alone", 1, "old", "old"},
        {"another page", 2, kUse, kUse},
        {"a missing entry: empty, or its listed size in zeros", 3, "", std::string(7, '\0')},
        {"a page number past the list", 4, "old", "old"},
        {"a negative page number", -1, "old", "old"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(fromFile, c.page), c.fromFile) << c.what;
        EXPECT_EQ(shown(inMemory, c.page), c.inMemory) << c.what;
    }
    std::filesystem::remove(path);
    EXPECT_EQ(shown(fromFile, 0), "old") << "the file has gone";
    EXPECT_EQ(shown(inMemory, 0), kIntro) << "cached pages outlive the file";
}

TEST_P(HelpDocumentTest, ReopenReplacesEverythingAndDropsTheCache)
{
    const std::string first = write("first.help", guide(u"First"));
    std::vector<AuthoringEntry> second = guide(u"Second");
    second.erase(second.begin()); // no properties entry
    second.back().bytes = bytesOf("{\\rtf1 second}");
    const std::string secondPath = write("second.help", second);

    HelpDocument document;
    ASSERT_TRUE(document.open(first));
    document.preload();
    ASSERT_TRUE(document.open(secondPath));
    EXPECT_EQ(document.path(), secondPath);
    EXPECT_EQ(document.properties().helpName, u"") << "nothing of the first document's properties survives";
    EXPECT_EQ(document.properties().homePage, 0);
    EXPECT_FALSE(document.pagesInMemory());
    EXPECT_TRUE(document.pageCache().empty());
    EXPECT_EQ(shown(document, 2), "{\\rtf1 second}") << "pages come from the new file";
}

TEST_P(HelpDocumentTest, OpenOfNoHelpDocumentChangesNothing)
{
    const std::string path = write("guide.help", guide(u"Guide"));
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"a missing file", (folder_.path() / "missing.help").string()},
        {"a folder", folder_.path().string()},
        {"an empty file", folder_.write("empty.help", {})},
        {"a block stream, not a pack", folder_.write("stream.help", bytesOf("1zlb"))},
    };
    for (const auto& c : cases) {
        HelpDocument fresh;
        EXPECT_FALSE(fresh.open(c.path)) << c.what;
        EXPECT_FALSE(fresh.isOpen()) << c.what;
        EXPECT_EQ(fresh.path(), "") << c.what;
        FakeView view;
        fresh.preload();
        fresh.loadPage(0, view);
        EXPECT_EQ(view.shown, "old") << c.what;

        HelpDocument open;
        ASSERT_TRUE(open.open(path));
        open.preload();
        EXPECT_FALSE(open.open(c.path)) << c.what;
        EXPECT_EQ(open.path(), path) << c.what;
        EXPECT_EQ(open.packing(), GetParam()) << c.what;
        EXPECT_EQ(open.properties().helpName, u"Guide") << c.what;
        EXPECT_EQ(open.contents().size(), 4u) << c.what;
        EXPECT_TRUE(open.pagesInMemory()) << c.what;
        EXPECT_EQ(shown(open, 2), kUse) << c.what;
    }
}

TEST(HelpDocument, DetectedButUnopenableDocumentOpensEmpty)
{
    registerStandardPackers();
    testing::TempFolder folder;
    HelpDocument document;
    // Passes detection on its first two bytes; the pack reader then refuses it.
    ASSERT_TRUE(document.open(folder.write("bad.help", Bytes{0x32, 0x7A, 0, 0})));
    EXPECT_EQ(document.packing(), PackingKind::BriefLzPack);
    EXPECT_TRUE(document.contents().empty());
    EXPECT_EQ(document.properties().helpName, u"");
    document.preload();
    EXPECT_TRUE(document.pageCache().empty());
    EXPECT_EQ(shown(document, 0), "old");
}

INSTANTIATE_TEST_SUITE_P(BothPackings, HelpDocumentTest, ::testing::Values(PackingKind::Zip, PackingKind::BriefLzPack),
    [](const auto& info) { return info.param == PackingKind::Zip ? "Zip" : "BriefLz"; });

} // namespace
} // namespace document
