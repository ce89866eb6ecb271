// Find in page on screen (headless): the bar's keys, matches across formatting
// runs, the case and accent rules, wrap-around, the count, the marks in the
// page and the search running again after a page change.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
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

struct FindPage {
    std::u16string title;
    std::string entry;
    std::string rtfBody; // RTF between the header and the closing brace
};

std::vector<std::uint8_t> rtfBytes(const std::string& body)
{
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 " + body + "}";
    return std::vector<std::uint8_t>(rtf.begin(), rtf.end());
}

std::string writeFindDocument(const fs::path& file, const std::vector<FindPage>& pages)
{
    std::vector<leafscope::testing::TestPage> written;
    for (const FindPage& page : pages)
        written.push_back({0, page.title, page.entry, rtfBytes(page.rtfBody)});
    return leafscope::testing::writeHelpDocument(file, written, leafscope::testing::defaultProperties());
}

std::string longPage()
{
    std::string body;
    for (int i = 0; i < 200; ++i) {
        body += "Filler line " + std::to_string(i) + "\\par ";
    }
    return body + "The needle at the end\\par ";
}

std::string repeated(const std::string& text, int times)
{
    std::string body;
    for (int i = 0; i < times; ++i) {
        body += text;
    }
    return body;
}

class FindInPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        tt::reset();
        fs::create_directories(folder / "program");
        // Page one: "verifying" with its middle in bold, accented and plain
        // spellings of one word, capitals. Page two: a long page, one match at its end.
        document = writeFindDocument(folder / "find.help",
            {{u"First", "a.rtf",
                 "Verify the ve{\\b rif}ying step. \\'c9rv\\'e9nyes, ervenyes, ERV\\'c9NYES.\\par Verified at "
                 "last.\\par "},
                {u"Second", "b.rtf", longPage()}, {u"Third", "c.rtf", "Nothing to see.\\par "},
                {u"Thousand", "d.rtf", repeated("ab ", 1000)}, {u"Thousand and one", "e.rtf", repeated("ab ", 1001)}});
    }

    void TearDown() override { tt::reset(); }

    void start(std::u16string locale = u"en_GB")
    {
        app = std::make_unique<LeafscopeApp>();
        StartOptions options;
        options.programFolder = folder / "program/";
        options.arguments = {platform::utf8ToUtf16(document)};
        options.systemLocaleName = std::move(locale);
        options.displayWidth = 1920;
        ASSERT_TRUE(startLeafscope(*app, options));
        tt::activate(kMainWindow);
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
    void key(toolkit::Key key, std::uint32_t modifiers = toolkit::ModNone)
    {
        tt::pressKey(key, modifiers);
        drain();
    }
    // Replaces the field's text as typing would; the test surface types ASCII
    // only, so other letters go in as a paste does (text set, change raised).
    void enter(const std::u16string& text)
    {
        toolkit::setText(kFindField, u"");
        if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) {
            ASSERT_TRUE(tt::typeText(kFindField, text));
        } else {
            toolkit::setText(kFindField, text);
            handleEvent(*app, {toolkit::EventKind::Gadget, kMainWindow, kFindField, toolkit::EventType::Change, {}});
        }
        drain();
    }
    void find(const std::u16string& text)
    {
        key(toolkit::Key::LetterF, toolkit::ModControl);
        enter(text);
    }
    std::vector<std::u16string> markedTexts()
    {
        std::vector<std::u16string> texts;
        for (const tt::PageHighlightView& mark : tt::pageHighlights(kPageView)) {
            texts.push_back(mark.text);
        }
        return texts;
    }
    int currentMark()
    {
        const std::vector<tt::PageHighlightView> marks = tt::pageHighlights(kPageView);
        for (std::size_t i = 0; i < marks.size(); ++i) {
            if (marks[i].current) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    platform::testing::ScratchFolder scratch;
    fs::path folder = scratch.path();
    std::string document;
    std::unique_ptr<LeafscopeApp> app;
};

TEST_F(FindInPage, CtrlFOpensTheBarBelowThePageAndEscapeClosesIt)
{
    start();
    const int pageHeight = tt::view(kPageView).height;
    EXPECT_FALSE(tt::view(kFindField).visible);
    key(toolkit::Key::LetterF, toolkit::ModControl);
    EXPECT_TRUE(tt::view(kFindField).visible);
    EXPECT_TRUE(tt::view(kFindMatchCase).visible);
    EXPECT_EQ(tt::view(kFindNextButton).text, u"Next");
    EXPECT_EQ(tt::view(kFindPreviousButton).text, u"Previous");
    EXPECT_EQ(tt::view(kFindMatchCase).text, u"Match case");
    // The page gives the bar its room; the bar lies under the page view.
    EXPECT_EQ(tt::view(kPageView).height, pageHeight - kFindBarHeight);
    EXPECT_GE(tt::view(kFindField).y, tt::view(kPageView).y + tt::view(kPageView).height);
    EXPECT_GE(tt::view(kFindField).x, tt::view(kPageView).x);

    ASSERT_TRUE(tt::typeText(kFindField, u"verif"));
    drain();
    EXPECT_EQ(markedTexts().size(), 3u);
    key(toolkit::Key::Escape);
    EXPECT_FALSE(tt::view(kFindField).visible);
    EXPECT_TRUE(tt::pageHighlights(kPageView).empty());
    EXPECT_EQ(tt::view(kPageView).height, pageHeight);
    EXPECT_FALSE(app->find.open);
}

TEST_F(FindInPage, MatchesFollowTheCaseAndAccentRules)
{
    start();
    struct Row {
        std::u16string query;
        bool matchCase;
        std::vector<std::u16string> marked;
    };
    // clang-format off
    const Row rows[] = {
        {u"verif", false, {u"Verif", u"verif", u"Verif"}},                    // across the bold run
        {u"verifying", false, {u"verifying"}},
        {u"verif", true, {u"verif"}},
        {u"\u00e9rv\u00e9nyes", false, {u"\u00c9rv\u00e9nyes", u"ervenyes", u"ERV\u00c9NYES"}},
        {u"ERVENYES", true, {u"ERV\u00c9NYES"}},
        {u"absent", false, {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        key(toolkit::Key::LetterF, toolkit::ModControl);
        if ((toolkit::state(kFindMatchCase) == 1) != row.matchCase) {
            ASSERT_TRUE(tt::click(kFindMatchCase));
        }
        enter(row.query);
        EXPECT_EQ(markedTexts(), row.marked) << std::string(row.query.begin(), row.query.end());
    }
}

TEST_F(FindInPage, NextAndPreviousWrapRoundAndTheCountFollows)
{
    start();
    find(u"verif");
    EXPECT_EQ(tt::view(kFindCount).text, u"1 of 3");
    EXPECT_EQ(currentMark(), 0);
    key(toolkit::Key::F3);
    EXPECT_EQ(currentMark(), 1);
    EXPECT_EQ(tt::view(kFindCount).text, u"2 of 3");
    key(toolkit::Key::Return); // Enter in the field: on to the next
    EXPECT_EQ(currentMark(), 2);
    key(toolkit::Key::F3);
    EXPECT_EQ(currentMark(), 0);
    key(toolkit::Key::F3, toolkit::ModShift);
    EXPECT_EQ(currentMark(), 2);
    EXPECT_EQ(tt::view(kFindCount).text, u"3 of 3");
    ASSERT_TRUE(tt::click(kFindPreviousButton));
    drain();
    EXPECT_EQ(currentMark(), 1);
    ASSERT_TRUE(tt::click(kFindNextButton));
    drain();
    EXPECT_EQ(currentMark(), 2);

    enter(u"zzz");
    EXPECT_EQ(tt::view(kFindCount).text, u"No matches");
    key(toolkit::Key::F3); // nothing to step to, and nothing breaks
    EXPECT_EQ(currentMark(), -1);
}

TEST_F(FindInPage, TheSearchRunsAgainOnANewPageAndScrollsToTheMatch)
{
    start();
    find(u"needle");
    EXPECT_EQ(tt::view(kFindCount).text, u"No matches");
    ASSERT_TRUE(tt::clickItem(kContentsTree, 1));
    drain();
    const std::vector<tt::PageHighlightView> marks = tt::pageHighlights(kPageView);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_TRUE(marks[0].current);
    EXPECT_TRUE(marks[0].onScreen); // the page was scrolled down to it
    EXPECT_GT(tt::pageView(kPageView).scrollY, 0);
    EXPECT_EQ(tt::view(kFindCount).text, u"1 of 1");
    EXPECT_TRUE(tt::view(kFindField).visible);

    ASSERT_TRUE(tt::clickItem(kContentsTree, 2));
    drain();
    EXPECT_TRUE(tt::pageHighlights(kPageView).empty());
    EXPECT_EQ(tt::view(kFindCount).text, u"No matches");
}

// At most 1000 matches are marked; past that the count says there are more.
TEST_F(FindInPage, TheCountStopsAtAThousand)
{
    start();
    struct Row {
        int item;
        const char16_t* count;
    };
    const Row rows[] = {{3, u"1 of 1000"}, {4, u"1 of 1000+"}};
    for (const Row& row : rows) {
        ASSERT_TRUE(tt::clickItem(kContentsTree, row.item));
        drain();
        find(u"ab");
        EXPECT_EQ(tt::view(kFindCount).text, row.count);
        const std::vector<tt::PageHighlightView> marks = tt::pageHighlights(kPageView);
        ASSERT_EQ(marks.size(), 1000u);
        EXPECT_EQ(marks.back().start, 999 * 3);
        key(toolkit::Key::F3, toolkit::ModShift); // back round to the last match marked
        EXPECT_EQ(tt::view(kFindCount).text, std::u16string(u"1000 of 1000") + (row.item == 4 ? u"+" : u""));
    }
}

TEST_F(FindInPage, HungarianTexts)
{
    start(u"hu_HU");
    find(u"verif");
    EXPECT_EQ(tt::view(kFindNextButton).text, u"K\u00f6vetkez\u0151");
    EXPECT_EQ(tt::view(kFindPreviousButton).text, u"El\u0151z\u0151");
    EXPECT_EQ(tt::view(kFindMatchCase).text, u"Kis- \u00e9s nagybet\u0171");
    EXPECT_EQ(tt::view(kFindCount).text, u"1 / 3 tal\u00e1lat");
}

} // namespace
