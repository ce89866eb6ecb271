// Hostile pages: nesting past the group cap, sizes past what word processors allow, and pages
// that would lay out taller than the layout's fixed-point range.

#include <gtest/gtest.h>

#include <functional>

#include <QAbstractTextDocumentLayout>
#include <QTextTable>

#include "toolkit/rtf/rtf_reader.h"
#include "toolkit/rtf/rtf_test_support.h"

namespace rtf {
namespace {

using test::blockFormatAt;
using test::charFormatAt;
using test::imagesOf;
using test::read;
using test::tablesOf;
using test::textOf;

std::string nested(int depth, std::string_view inside)
{
    return std::string(static_cast<std::size_t>(depth), '{') + std::string(inside) +
        std::string(static_cast<std::size_t>(depth), '}');
}

TEST(RtfLimits, TextBeyondTheGroupCapIsKept)
{
    struct Case {
        const char* name;
        std::string rtf;
        const char16_t* text;
    };
    const Case cases[] = {
        {"two words in 100,000 groups", "{\\rtf1" + nested(100000, "two words") + "}", u"two words"},
        {"breaks and characters act", "{\\rtf1" + nested(1000, "a\\par b\\line c\\tab d\\u8364?\\~e") + "}",
            u"a\nb\nc\td€\u00A0e"},
        {"a destination hides its group only", "{\\rtf1" + nested(1000, "a{\\*\\generator x}{\\info y}b") + "}", u"ab"},
        {"an unknown starred word hides its group only", "{\\rtf1" + nested(1000, "a{\\*\\unknown x{y}}b") + "}",
            u"ab"},
        {"a field beyond the cap shows nothing of its own", "{\\rtf1" + nested(1000, "a{\\field x}b") + "}", u"ab"},
        {"a bin past the end drops the rest of its group", "{\\rtf1" + nested(1000, "a{b\\bin99999999 xyz}c") + "}",
            u"abc"},
        {"hidden text stays hidden", "{\\rtf1 a{\\v" + nested(1000, "hidden") + "}b}", u"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(textOf(c.rtf), QString::fromUtf16(c.text));
    }
    EXPECT_FALSE(read("{\\rtf1" + nested(kMaxGroupDepth, "x") + "}").complete);
    EXPECT_TRUE(read("{\\rtf1" + nested(kMaxGroupDepth - 2, "x") + "}").complete);
}

TEST(RtfLimits, TextBeyondTheCapIsFormattedAsTheDeepestTrackedGroup)
{
    // \b stands in the deepest tracked group; \i, \fs and \pard beyond the cap change nothing,
    // there or after the deep groups close.
    const std::string deep = std::string(kMaxGroupDepth - 2, '{') + "\\b\\qc " +
        nested(100, "\\i\\fs80\\ql\\pard deep") + " after\\par" + std::string(kMaxGroupDepth - 2, '}');
    const auto r = read("{\\rtf1 " + deep + " plain}");
    EXPECT_EQ(textOf(*r.document), "deep after\n plain");
    for (const char* text : {"deep", "after"}) {
        SCOPED_TRACE(text);
        const QTextCharFormat format = charFormatAt(*r.document, text);
        EXPECT_EQ(format.fontWeight(), QFont::Bold);
        EXPECT_FALSE(format.fontItalic());
        EXPECT_EQ(format.fontPointSize(), 12);
    }
    EXPECT_EQ(blockFormatAt(*r.document, "deep").alignment(), Qt::AlignHCenter);
    EXPECT_NE(blockFormatAt(*r.document, "plain").alignment(), Qt::AlignHCenter);
    EXPECT_EQ(charFormatAt(*r.document, "plain").fontWeight(), QFont::Normal);
}

TEST(RtfLimits, SizesAreClampedToWhatWordProcessorsAllow)
{
    constexpr double kMaxPixels = 22 * 96; // 22 inches
    struct Case {
        const char* name;
        std::string body;
        std::function<double(const QTextDocument&)> value;
        double expected;
    };
    const auto block = [](auto getter) {
        return [getter](const QTextDocument& d) { return getter(blockFormatAt(d, "x")); };
    };
    const auto firstTable = [](auto getter) {
        return [getter](const QTextDocument& d) {
            const auto tables = tablesOf(d);
            return tables.empty() ? -1.0 : getter(*tables[0]);
        };
    };
    const auto picture = [](bool width) {
        return [width](const QTextDocument& d) {
            const auto images = imagesOf(d);
            return images.empty() ? -1.0 : width ? images[0].width() : images[0].height();
        };
    };
    const Case cases[] = {
        {"font size", "\\fs212922 x", [](const QTextDocument& d) { return charFormatAt(d, "x").fontPointSize(); },
            1638},
        {"font size just inside", "\\fs3275 x",
            [](const QTextDocument& d) { return charFormatAt(d, "x").fontPointSize(); }, 1637.5},
        {"left indent", "\\li99999999 x\\par", block([](const QTextBlockFormat& f) { return f.leftMargin(); }),
            kMaxPixels},
        {"right indent", "\\ri99999999 x\\par", block([](const QTextBlockFormat& f) { return f.rightMargin(); }),
            kMaxPixels},
        {"first-line indent", "\\fi-99999999 x\\par", block([](const QTextBlockFormat& f) { return f.textIndent(); }),
            -kMaxPixels},
        {"space before", "\\sb2147483647 x\\par", block([](const QTextBlockFormat& f) { return f.topMargin(); }),
            kMaxPixels},
        {"space after", "\\sa99999999 x\\par", block([](const QTextBlockFormat& f) { return f.bottomMargin(); }),
            kMaxPixels},
        {"line spacing at least", "\\sl99999999 x\\par",
            block([](const QTextBlockFormat& f) { return f.lineHeight(); }), kMaxPixels},
        {"line spacing exactly", "\\sl-99999999 x\\par",
            block([](const QTextBlockFormat& f) { return f.lineHeight(); }), kMaxPixels},
        {"line spacing multiple", "\\sl99999999\\slmult1 x\\par",
            block([](const QTextBlockFormat& f) { return f.lineHeight(); }), 13200},
        {"cell width", "\\trowd\\cellx99999999\\pard\\intbl x\\cell\\row",
            firstTable([](const QTextTable& t) { return t.format().columnWidthConstraints().value(0).rawValue(); }),
            kMaxPixels},
        {"cell gap", "\\trowd\\trgaph99999999\\cellx1000\\pard\\intbl x\\cell\\row",
            firstTable([](const QTextTable& t) { return t.format().cellPadding(); }), 96},
        {"row indent", "\\trowd\\trleft99999999\\cellx1000\\pard\\intbl x\\cell\\row",
            firstTable([](const QTextTable& t) { return t.format().leftMargin(); }), kMaxPixels},
        {"picture goal width", "{\\pict\\emfblip\\picwgoal99999999\\pichgoal720 00}", picture(true), kMaxPixels},
        {"picture goal height", "{\\pict\\emfblip\\picwgoal720\\pichgoal99999999 00}", picture(false), kMaxPixels},
        {"picture scale", "{\\pict\\emfblip\\picwgoal1440\\picscalex99999 00}", picture(true), kMaxPixels},
        {"metafile extent", "{\\pict\\wmetafile8\\picw2147483647\\pich100 00}", picture(true), kMaxPixels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = read("{\\rtf1 " + c.body + "}");
        EXPECT_TRUE(r.complete);
        EXPECT_DOUBLE_EQ(c.value(*r.document), c.expected);
    }
}

// Qt's layout works in 26.6 fixed point and does not finish a page taller than this.
constexpr double kLayoutLimit = 8388607;

double laidOutHeight(QTextDocument& document, double width)
{
    document.setTextWidth(width);
    return document.documentLayout()->documentSize().height();
}

std::string repeated(std::string_view piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(RtfLimits, PagesStayWithinTheLayoutsRange)
{
    struct Case {
        const char* name;
        std::string rtf;
    };
    // Each would lay out taller than the layout's range: the reader stops before.
    const Case cases[] = {
        {"paragraphs in the largest font", "{\\rtf1\\fs3276 " + repeated("word\\par ", 3000) + "}"},
        {"words in the largest font", "{\\rtf1\\fs212922 " + repeated("ab ", 6000) + "}"},
        {"lines in the largest font", "{\\rtf1\\fs212922 " + repeated("ab\\line ", 3000) + "}"},
        {"spacing", "{\\rtf1\\sb31680\\sa31680 " + repeated("a\\par ", 3000) + "}"},
        {"exact line spacing", "{\\rtf1\\sl-31680 " + repeated("a b c d e f g h\\par ", 4500) + "}"},
        {"tall pictures", "{\\rtf1 " + repeated("{\\pict\\emfblip\\picwgoal100\\pichgoal31680 00}\\par ", 5000) + "}"},
        {"padded cells", "{\\rtf1\\trowd\\trgaph1440\\cellx100\\pard\\intbl " + repeated("a\\cell\\row ", 50000) + "}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = read(c.rtf);
        EXPECT_FALSE(r.complete);
        EXPECT_FALSE(r.document->isEmpty());
        EXPECT_LT(laidOutHeight(*r.document, 500), kLayoutLimit);
        EXPECT_LT(laidOutHeight(*r.document, 100), kLayoutLimit);
    }
}

TEST(RtfLimits, LongOrdinaryPagesAreReadWhole)
{
    // 200,000 words in 20,000 paragraphs and a 10,000-row table are far from the limit.
    const std::string prose =
        "{\\rtf1 " + repeated("one two three four five six seven eight nine ten\\par ", 20000) + "}";
    const auto r = read(prose);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.document->blockCount(), 20000);
    const std::string table = "{\\rtf1\\trowd\\trgaph108\\cellx2000\\cellx4000\\pard\\intbl " +
        repeated("a b\\cell c d\\cell\\row ", 10000) + "}";
    EXPECT_TRUE(read(table).complete);
}

} // namespace
} // namespace rtf
