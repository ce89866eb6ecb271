#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QTextTable>
#include <QUrl>

#include "toolkit/rtf/rtf_test_support.h"

namespace rtf {
namespace {

using test::cellText;
using test::charFormatAt;
using test::imagesOf;
using test::read;
using test::readFile;
using test::tablesOf;
using test::textOf;

enum class Check { Bold, Italic, Underline, Strike };

struct Formatted {
    const char* text;
    Check check;
};

struct Link {
    const char* text;
    const char* href;
};

struct Producer {
    const char* file;
    std::vector<const char*> paragraphs; // must appear, in this order
    std::vector<Formatted> formats;
    QSize pictureOnPage;
    std::vector<Link> links;
};

bool has(const QTextCharFormat& format, Check check)
{
    switch (check) {
    case Check::Bold:
        return format.fontWeight() >= QFont::Bold;
    case Check::Italic:
        return format.fontItalic();
    case Check::Underline:
        return format.fontUnderline();
    case Check::Strike:
        return format.fontStrikeOut();
    }
    return false;
}

const std::vector<Producer>& producers()
{
    static const std::vector<Producer> all = {
        {"pandoc_page.rtf",
            {"Verifying a download", "1.\tOpen the file.", "2.\tTick SHA2 - 256.", "\u2022\tCRC32",
                "\u2013\tnested item", "See the project website for details, or mail support.",
                "A quoted remark: \u00c4pfel, na\u00efve, \u20ac5, \u201cquotes\u201d, "
                "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac, "
                "\u0420\u0443\u0441\u0441\u043a\u0438\u0439."},
            {{"checksums", Check::Bold}, {"expected", Check::Italic}, {"bold and italic", Check::Bold},
                {"bold and italic", Check::Italic}, {"struck out", Check::Strike}},
            // \picwgoal1280 \pichgoal640
            {85, 43}, {{"project website", "http://example.com/hashmere"}, {"support", "mailto:help@example.com"}}},
        {"libreoffice_from_html.rtf",
            {"Verifying a download", "A centred paragraph.", " 1.\tOpen the file.", " 3.\tPress Run.", "\u2022\tMD5",
                "See the project website for details."},
            {{"checksums", Check::Bold}, {"expected", Check::Italic}, {"underlined", Check::Underline}},
            // 64 x 32 shown at 200 %, as the page's <img width=128 height=64> asked
            {128, 64}, {{"project website", "http://example.com/hashmere"}}},
        {"libreoffice_from_docx.rtf",
            {"Verifying a download", " 1.\tOpen the file.", " \u2022\tCRC32", " \u2013\tnested item", "Checker picture",
                "See the project website for details, or mail support."},
            {{"checksums", Check::Bold}, {"expected", Check::Italic}, {"struck out", Check::Strike}}, {85, 43},
            {{"project website", "http://example.com/hashmere"}, {"support", "mailto:help@example.com"}}},
        {"abiword_page.rtf",
            // AbiWord leaves the list text blank and states the numbering with \pn.
            {"Verifying a download", "A centred paragraph.", "1. \tOpen the file.", "3. \tPress Run.", "\u2022\tCRC32",
                "See the project website for details."},
            {{"checksums", Check::Bold}, {"expected", Check::Italic}, {"underlined", Check::Underline}},
            // \picwgoal1280 at \picscalex200
            {171, 85}, {{"project website", "http://example.com/hashmere"}}},
    };
    return all;
}

class ProducerPages : public ::testing::TestWithParam<Producer> {};

TEST_P(ProducerPages, TextFormatsTablePictureAndLinks)
{
    const Producer& p = GetParam();
    const auto r = read(readFile(std::string(HASHMERE_TEST_DATA_DIR) + "/producers/" + p.file));
    EXPECT_TRUE(r.complete);
    const QTextDocument& d = *r.document;

    const QStringList paragraphs = textOf(d).split('\n');
    qsizetype at = 0;
    for (const char* expected : p.paragraphs) {
        const qsizetype found = paragraphs.indexOf(QString::fromUtf8(expected), at);
        EXPECT_GE(found, 0) << "missing or out of order: " << expected;
        if (found >= 0)
            at = found + 1;
    }

    for (const Formatted& f : p.formats) {
        const QTextCharFormat format = charFormatAt(d, QString::fromUtf8(f.text));
        EXPECT_TRUE(has(format, f.check)) << f.text;
    }
    // The heading is bold and larger than the body.
    EXPECT_TRUE(has(charFormatAt(d, "Verifying"), Check::Bold));
    EXPECT_GT(charFormatAt(d, "Verifying").fontPointSize(), charFormatAt(d, "computes").fontPointSize());

    // The 3 x 3 table.
    const auto tables = tablesOf(d);
    ASSERT_EQ(tables.size(), 1u);
    QTextTable* table = tables[0];
    ASSERT_EQ(table->rows(), 3);
    ASSERT_EQ(table->columns(), 3);
    const char* cells[3][3] = {
        {"Algorithm", "Bits", "Use"}, {"MD5", "128", "legacy"}, {"SHA2 - 256", "256", "downloads"}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(cellText(table, row, column), cells[row][column]) << row << "," << column;
    }
    EXPECT_EQ(table->format().columnWidthConstraints().size(), 3);

    // The picture: decoded as the 64 x 32 PNG, shown at the size the page states.
    const auto images = imagesOf(d);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(QSize(qRound(images[0].width()), qRound(images[0].height())), p.pictureOnPage);
    const QImage image = d.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    EXPECT_EQ(image.size(), QSize(64, 32));

    for (const Link& link : p.links) {
        const QTextCharFormat format = charFormatAt(d, QString::fromUtf8(link.text));
        EXPECT_TRUE(format.isAnchor()) << link.text;
        EXPECT_EQ(format.anchorHref().toStdString(), link.href);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RtfProducers, ProducerPages, ::testing::ValuesIn(producers()), [](const ::testing::TestParamInfo<Producer>& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

// Formats only some writers keep.
TEST(RtfProducers, ColoursSizesAndScripts)
{
    for (const char* file : {"libreoffice_from_html.rtf", "abiword_page.rtf"}) {
        SCOPED_TRACE(file);
        const auto r = read(readFile(std::string(HASHMERE_TEST_DATA_DIR) + "/producers/" + file));
        const QTextDocument& d = *r.document;
        EXPECT_EQ(charFormatAt(d, "red").foreground().color(), QColor(0xc0, 0, 0));
        EXPECT_EQ(charFormatAt(d, "large").fontPointSize(), 18);
        EXPECT_EQ(charFormatAt(d, "highlighted").background().color(), QColor(0xff, 0xff, 0));
        EXPECT_EQ(charFormatAt(d, "2O").verticalAlignment(), QTextCharFormat::AlignSubScript);
        EXPECT_EQ(charFormatAt(d, "2 work").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        EXPECT_EQ(test::blockFormatAt(d, "A centred").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
}

} // namespace
} // namespace rtf
