// Full-text search in the Index tab on screen (headless): indexing in slices
// with its progress, word-prefix matching, ranking, excerpts, a damaged page
// left out, and choosing a result.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "help_source.h"
#include "pack_writer.h"
#include "platform/test_files.h"
#include "platform/text.h"
#include "toolkit/testing.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"
#include "viewer/app/test_documents.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;
using namespace leafscope;

struct SearchPage {
    std::u16string title;
    std::string entry;
    std::string rtf; // the whole page
};

std::string page(const std::string& body)
{
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 " + body + "}";
}

std::string writeSearchDocument(const fs::path& file, const std::vector<SearchPage>& pages)
{
    std::vector<leafscope::testing::TestPage> written;
    for (const SearchPage& page : pages)
        written.push_back({0, page.title, page.entry, std::vector<std::uint8_t>(page.rtf.begin(), page.rtf.end())});
    return leafscope::testing::writeHelpDocument(file, written, leafscope::testing::defaultProperties());
}

// Pages of the sample: 0 Start, 1 Checking files, 2 Settings, 3 Damaged, 4 Lists.
constexpr int Start = 0, Checking = 1;

class FullTextSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        tt::reset();
        fs::create_directories(folder / "program");
        document = writeSearchDocument(folder / "search.help",
            {{u"Start", "a.rtf", page("Welcome. Hashmere checks files.\\par ")},
                {u"Checking files", "b.rtf",
                    page("Verifying a file compares its digest with the {\\b list}. Verify again later.\\par ")},
                {u"Settings", "c.rtf", page("The \\'e9rv\\'e9nyes folder setting. Verify, verify, verify.\\par ")},
                {u"Damaged", "d.rtf", "{\\rtf1\\ansi verify this broken page"},
                {u"Lists", "e.rtf", page("A digest list holds one digest per file.\\par ")}});
    }

    void TearDown() override { tt::reset(); }

    void start()
    {
        app = std::make_unique<LeafscopeApp>();
        StartOptions options;
        options.programFolder = folder / "program/";
        options.arguments = {platform::utf8ToUtf16(document)};
        options.systemLocaleName = u"en_GB";
        options.displayWidth = 1920;
        ASSERT_TRUE(startLeafscope(*app, options));
        tt::activate(kMainWindow);
        drain();
        ASSERT_TRUE(tt::clickItem(kNavigationPanel, kIndexTab));
        drain();
    }
    void drain()
    {
        tt::processEvents();
        for (toolkit::Event event = toolkit::waitEvent(0); event.kind != toolkit::EventKind::None;
             event = toolkit::waitEvent(0)) {
            handleEvent(*app, event);
        }
    }
    void search(const std::u16string& query)
    {
        toolkit::setText(kIndexField, query);
        filterIndex(*app, query);
        drain();
    }
    std::vector<std::u16string> rows()
    {
        std::vector<std::u16string> texts;
        for (int i = 0; i < toolkit::countItems(kFullTextList); ++i) {
            texts.push_back(toolkit::itemText(kFullTextList, i));
        }
        return texts;
    }

    platform::testing::ScratchFolder scratch;
    fs::path folder = scratch.path();
    std::string document;
    std::unique_ptr<LeafscopeApp> app;
};

TEST_F(FullTextSearch, IndexingRunsInSlicesAndShowsItsProgress)
{
    start();
    EXPECT_FALSE(tt::view(kFullTextList).visible); // nothing typed: the title list has the tab
    app->fullText.pagesPerSlice = 1;
    toolkit::setText(kIndexField, u"verif");
    filterIndex(*app, u"verif");
    std::vector<std::u16string> progress = rows();
    // One slice per event: the list shows how far it got after each.
    for (toolkit::Event event = toolkit::waitEvent(0); event.kind != toolkit::EventKind::None;
         event = toolkit::waitEvent(0)) {
        handleEvent(*app, event);
        if (app->fullText.stage == FullTextState::Stage::Building) {
            progress.push_back(rows().at(0));
        }
    }
    EXPECT_EQ(progress,
        (std::vector<std::u16string>{u"Indexing\u2026 0 %", u"Indexing\u2026 20 %", u"Indexing\u2026 40 %",
            u"Indexing\u2026 60 %", u"Indexing\u2026 80 %"}));
    EXPECT_EQ(app->fullText.stage, FullTextState::Stage::Ready);
    EXPECT_EQ(app->fullText.skippedPages, 1); // the damaged page
    EXPECT_TRUE(tt::view(kFullTextList).visible);
    EXPECT_LT(tt::view(kIndexList).height, tt::view(kIndexList).height + tt::view(kFullTextList).height);
    EXPECT_GT(tt::view(kFullTextList).y, tt::view(kIndexList).y + tt::view(kIndexList).height - 1);
}

TEST_F(FullTextSearch, ResultsAreRankedWithTitleHitsFirstAndShowAnExcerpt)
{
    start();
    struct Row {
        std::u16string query;
        std::vector<std::u16string> rows;
    };
    // clang-format off
    const Row rows[] = {
        {u"verif", {u"Settings (3)", u"    \u2026folder setting. Verify, verify, verify.",
                    u"Checking files (2)", u"    Verifying a file compares its digest with the\u2026"}},
        {u"digest", {u"Lists (2)", u"    A digest list holds one digest per file.",
                     u"Checking files (1)", u"    \u2026compares its digest with the list. Verify again\u2026"}},
        {u"list digest", {u"Lists (3)", u"    A digest list holds one digest per file.",
                          u"Checking files (2)", u"    \u2026its digest with the list. Verify again later."}},
        {u"check", {u"Start (1)", u"    Welcome. Hashmere checks files."}},
        {u"files", {u"Start (1)", u"    Welcome. Hashmere checks files."}},  // titles are not page text
        {u"ERVENY", {u"Settings (1)", u"    The \u00e9rv\u00e9nyes folder setting. Verify, verify,\u2026"}},
        {u"broken", {}},  // only on the damaged page, which is left out
        {u"erifying", {}},
        {u"", {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        search(row.query);
        EXPECT_EQ(this->rows(), row.rows) << std::string(row.query.begin(), row.query.end());
    }
    // Title matches above stay as they were.
    search(u"list");
    ASSERT_EQ(toolkit::countItems(kIndexList), 1);
    EXPECT_EQ(toolkit::itemText(kIndexList, 0), u"Lists");
}

TEST_F(FullTextSearch, ChoosingAResultShowsThePageLikeTheTreeAndFindsTheWord)
{
    start();
    search(u"verif list");
    ASSERT_EQ(rows().size(), 2u);
    ASSERT_TRUE(tt::clickItem(kFullTextList, 1)); // the excerpt row belongs to the same page
    drain();
    EXPECT_EQ(app->currentPage, Start); // a single click only selects
    tt::pressKey(toolkit::Key::Return);
    drain();
    EXPECT_EQ(app->currentPage, Checking);
    EXPECT_EQ(toolkit::state(kContentsTree), Checking);
    EXPECT_EQ(app->history.pages, (std::vector<int>{Start, Checking}));
    EXPECT_TRUE(tt::view(kFindField).visible);
    EXPECT_EQ(toolkit::text(kFindField), u"verif");
    std::vector<std::u16string> marked;
    for (const tt::PageHighlightView& mark : tt::pageHighlights(kPageView)) {
        marked.push_back(mark.text);
    }
    EXPECT_EQ(marked, (std::vector<std::u16string>{u"Verif", u"Verif"}));
}

TEST_F(FullTextSearch, HitsOnAHugePageAreCappedAndItsExcerptComesFromItsStart)
{
    std::string huge;
    for (int i = 0; i < 6000; ++i) {
        huge += "verify ";
    }
    document = writeSearchDocument(folder / "huge.help",
        {{u"Small", "a.rtf", page("One verify here.\\par ")}, {u"Huge", "b.rtf", page(huge + "\\par ")}});
    start();
    search(u"verif");
    const std::vector<std::u16string> listed = rows();
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0], u"Huge (1000+)");
    EXPECT_EQ(listed[1].substr(0, 18), u"    verify verify ");
    EXPECT_EQ(listed[2], u"Small (1)");
    EXPECT_EQ(listed[3], u"    One verify here.");
}

// Screenshots of find in page (English) and the full-text results (Hungarian) on
// the sample manual, for the README: $HASHMERE_SHOTS_DIR or else <build>/shots.
TEST_F(FullTextSearch, ScreenshotsOfFindAndSearch)
{
    const char* dir = std::getenv("HASHMERE_SHOTS_DIR");
    const fs::path shots = dir != nullptr ? fs::path(dir) : fs::path(HASHMERE_BINARY_DIR) / "shots";
    fs::create_directories(shots);
    std::vector<helptool::AuthoringEntry> entries;
    std::string error;
    ASSERT_TRUE(helptool::buildDocumentEntries(HELPTOOL_SAMPLE_DIR, entries, error)) << error;
    helptool::PackStats stats;
    document = (folder / "sample_manual.help").string();
    ASSERT_TRUE(helptool::writeBriefLzPack(document, entries, 4096, stats, error)) << error;

    start();
    ASSERT_TRUE(tt::clickItem(kNavigationPanel, kContentsTab));
    ASSERT_TRUE(tt::clickItem(kContentsTree, 1)); // Telepítés
    drain();
    tt::pressKey(toolkit::Key::LetterF, toolkit::ModControl);
    drain();
    ASSERT_TRUE(tt::typeText(kFindField, u"program"));
    drain();
    EXPECT_EQ(tt::view(kFindCount).text, u"1 of 2");
    EXPECT_TRUE(tt::saveScreenshot(kMainWindow, shots / "leafscope-find-en.png"));

    tt::reset();
    app = std::make_unique<LeafscopeApp>();
    StartOptions options;
    options.programFolder = folder / "program/";
    options.arguments = {platform::utf8ToUtf16(document)};
    options.systemLocaleName = u"hu_HU";
    options.displayWidth = 1024;
    ASSERT_TRUE(startLeafscope(*app, options));
    tt::activate(kMainWindow);
    ASSERT_TRUE(tt::clickItem(kNavigationPanel, kIndexTab));
    drain();
    ASSERT_TRUE(tt::typeText(kIndexField, u"start"));
    drain();
    ASSERT_FALSE(rows().empty());
    EXPECT_EQ(rows().front(), u"Telep\u00edt\u00e9s (2)");
    EXPECT_TRUE(tt::saveScreenshot(kMainWindow, shots / "leafscope-search-hu.png"));
}

} // namespace
