#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include <QAbstractTextDocumentLayout>

#include "toolkit/rtf/rtf_reader.h"
#include "toolkit/rtf/rtf_test_support.h"

namespace rtf {
namespace {

using test::read;
using test::readFile;
using test::textOf;

TEST(RtfRobustness, MalformedInput)
{
    struct Case {
        const char* name;
        std::string rtf;
        const char* text;
        bool complete;
    };
    const Case cases[] = {
        {"missing closing braces", "{\\rtf1 {\\b bold {\\i both", "bold both", false},
        {"truncated in a control word", "{\\rtf1 text\\pa", "text", false},
        {"truncated in a hex escape", "{\\rtf1 text\\'e", "text", false},
        {"truncated in a picture", "{\\rtf1 a{\\pict\\pngblip 8950", "a\xef\xbf\xbc", false},
        {"closing brace too many", "{\\rtf1 a}b}c", "a", true},
        {"stray closing braces inside", "{\\rtf1 a{}}}}", "a", true},
        {"bad hex digits", "{\\rtf1 a\\'zzb\\'4", "azzb", false},
        {"control word too long", "{\\rtf1 a\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnop b}", "ab", true},
        {"font index out of range", "{\\rtf1{\\fonttbl{\\f0 A;}}\\f99999 x\\f-5 y}", "xy", true},
        {"colour index out of range", "{\\rtf1{\\colortbl;}\\cf2147483647 x\\cb-1 y\\highlight9 z}", "xyz", true},
        {"bin longer than the data", "{\\rtf1 a{\\pict\\bin999 xyz}b}", "ab", false},
        // What the group showed before the \\bin stays.
        {"bin longer than the data in the page", "{\\rtf1 a{\\b b\\bin999 xyz}c}", "abc", false},
        {"bin at top level", "{\\rtf1 a\\bin5 }}}}}b}", "ab", true},
        {"absurd parameters", "{\\rtf1\\fs999999999\\li-999999999\\sl2147483647\\uc2147483647 x}", "x", true},
        {"negative uc", "{\\rtf1\\uc-5\\u8364 x}", "\xe2\x82\xacx", true},
        {"unicode out of range", "{\\rtf1\\u99999 ?}", "\xef\xbf\xbd", true},
        {"lone surrogates", "{\\rtf1\\u-10179?x\\u-8704?}", "\xef\xbf\xbdx\xef\xbf\xbd", true},
        {"control characters", "{\\rtf1 a\\u7?\\u0?\\u127?\\u65532?b}",
            "a\xef\xbf\xbd"
            "b",
            true},
        {"not rtf at all", "{}", "{}", false},
        {"only the header", "{\\rtf1", "", false},
        {"field without result", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}}after}", "after", true},
        {"result without field", "{\\rtf1{\\fldrslt shown?}x}", "x", true},
        {"font table without semicolons", "{\\rtf1{\\fonttbl\\f0 A\\f1 B}\\f1 x}", "x", true},
        {"star alone", "{\\rtf1 a\\*b}", "ab", true},
        {"paragraph reset inside a numbering group", "{\\rtf1{\\*\\pn\\pard\\pndec\\pnstart4{\\pntxta .}}x\\par}",
            "1\tx", true},
        {"text around the document", "  {\\rtf1 x}", "x", true},
        {"cell outside any destination", "{\\rtf1{\\info\\cell\\row\\par}x}", "x", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = read(c.rtf);
        EXPECT_EQ(textOf(*r.document), QString::fromUtf8(c.text));
        EXPECT_EQ(r.complete, c.complete);
    }
}

TEST(RtfRobustness, DeepNestingIsCapped)
{
    // Groups beyond the cap keep their text (see rtf_limits_test.cpp).
    std::string deep = "{\\rtf1 top";
    deep += std::string(200000, '{');
    deep += "deep";
    deep += std::string(200000, '}');
    deep += " end}";
    const auto r = read(deep);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(textOf(*r.document), "topdeep end");

    // Just under the cap everything is shown.
    std::string fine =
        "{\\rtf1 top" + std::string(kMaxGroupDepth - 2, '{') + "deep" + std::string(kMaxGroupDepth - 2, '}') + " end}";
    const auto ok = read(fine);
    EXPECT_TRUE(ok.complete);
    EXPECT_EQ(textOf(*ok.document), "topdeep end");
}

// The fuzz seed corpus: pages a reader meets, and hostile pages (named hostile_*) that are
// damaged or cut short on purpose.
std::vector<std::string> corpusFiles(bool hostile = false)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(RTF_CORPUS_DIR)) {
        if (entry.path().filename().string().starts_with("hostile_") == hostile)
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(RtfRobustness, CorpusFilesReadCompletely)
{
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files) {
        const auto r = read(readFile(file));
        EXPECT_TRUE(r.complete) << file;
        EXPECT_FALSE(r.document->isEmpty()) << file;
    }
}

// Each hostile page shows something and lays out within the layout's fixed-point range.
TEST(RtfRobustness, HostileCorpusPagesLayOut)
{
    const auto files = corpusFiles(true);
    ASSERT_GE(files.size(), 5u);
    for (const std::string& file : files) {
        const auto r = read(readFile(file));
        EXPECT_FALSE(r.document->isEmpty()) << file;
        r.document->setTextWidth(500);
        EXPECT_LT(r.document->documentLayout()->documentSize().height(), 8388607) << file;
    }
}

// Every way of cutting a page short shows a prefix of what the whole page shows.
TEST(RtfRobustness, TruncationsShowAPrefix)
{
    for (const std::string& file : corpusFiles()) {
        const std::string bytes = readFile(file);
        const std::size_t step = std::max<std::size_t>(1, bytes.size() / 150);
        for (std::size_t size = 0; size < bytes.size(); size += step) {
            const auto r = read(std::string_view(bytes).substr(0, size));
            ASSERT_NE(r.document, nullptr);
            r.document->setTextWidth(300);
            (void)r.document->documentLayout()->documentSize();
        }
    }
}

TEST(RtfRobustness, RandomMutationsNeitherCrashNorHang)
{
    std::mt19937 random(20261208);
    const auto files = corpusFiles();
    const char specials[] = "{}\\'*;0123456789-abuclrpx \x80\xff";
    for (int round = 0; round < 400; ++round) {
        std::string bytes = readFile(files[static_cast<std::size_t>(round) % files.size()]);
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            const std::size_t at = random() % bytes.size();
            switch (random() % 3) {
            case 0:
                bytes[at] = specials[random() % (sizeof specials - 1)];
                break;
            case 1:
                bytes.erase(at, 1 + random() % 16);
                break;
            default:
                bytes.insert(at, std::string(1 + random() % 4, specials[random() % (sizeof specials - 1)]));
            }
        }
        const auto r = read(bytes);
        r.document->setTextWidth(400);
        (void)r.document->documentLayout()->documentSize();
    }
}

TEST(RtfRobustness, OutputIsBoundedByTheInput)
{
    // Patterns that multiply: paragraphs, rows, pictures, columns. The document's character
    // count stays within a small factor of the input.
    const std::string pieces[] = {"\\par", "\\cell", "\\row", "{\\pict}", "\\line", "\\tab", "\\u8364?",
        "\\trowd\\cellx1\\cellx2\\cellx3\\intbl\\cell\\row"};
    for (const std::string& piece : pieces) {
        std::string rtf = "{\\rtf1 ";
        for (int i = 0; i < 20000; ++i)
            rtf += piece;
        rtf += "}";
        const auto r = read(rtf);
        EXPECT_LE(r.document->characterCount(), static_cast<int>(rtf.size())) << piece;
    }
}

} // namespace
} // namespace rtf
