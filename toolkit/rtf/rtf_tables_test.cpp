#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QTextTable>

#include "toolkit/rtf/rtf_tables.h"

#include "toolkit/rtf/rtf_test_support.h"

namespace rtf {
namespace {

using test::cellText;
using test::read;
using test::tablesOf;
using test::textOf;

std::string doc(std::string_view body)
{
    return "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" + std::string(body) + "}";
}

// Every cell of a table, row by row, "|" between cells and "/" between rows.
QString grid(QTextTable* table)
{
    QString out;
    for (int row = 0; row < table->rows(); ++row) {
        if (row > 0)
            out += '/';
        for (int column = 0; column < table->columns(); ++column) {
            if (column > 0)
                out += '|';
            out += cellText(table, row, column);
        }
    }
    return out;
}

TEST(RtfTables, Shapes)
{
    struct Case {
        const char* name;
        std::string body;
        const char* grid;
        const char* text; // the whole page
    };
    const Case cases[] = {
        {"simple",
            "\\trowd\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"
            "\\trowd\\cellx1000\\cellx2000\\pard\\intbl C\\cell D\\cell\\row\\pard after\\par",
            "A|B/C|D", "\nA\nB\nC\nD\nafter"},
        {"before and after", "before\\par\\trowd\\cellx1000\\pard\\intbl X\\cell\\row\\pard after", "X",
            "before\nX\nafter"},
        {"paragraphs in a cell", "\\trowd\\cellx1000\\cellx2000\\pard\\intbl one\\par two\\cell three\\cell\\row",
            "one\ntwo|three", nullptr},
        {"missing trowd", "\\pard\\intbl A\\cell B\\cell C\\cell\\row\\pard\\intbl D\\cell\\row", "A|B|C/D||", nullptr},
        {"missing intbl", "\\trowd\\cellx1000\\cellx2000 A\\cell B\\cell\\row\\pard after", "A|B", nullptr},
        {"more cells in a later row",
            "\\trowd\\cellx1000\\pard\\intbl A\\cell\\row"
            "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl B\\cell C\\cell D\\cell\\row",
            "A||/B|C|D", nullptr},
        {"fewer cells in a later row",
            "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl A\\cell B\\cell C\\cell\\row"
            "\\trowd\\cellx1000\\pard\\intbl D\\cell\\row",
            "A|B|C/D||", nullptr},
        {"empty cells", "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl\\cell\\cell X\\cell\\row", "||X",
            nullptr},
        {"row without cell marks", "\\trowd\\cellx1000\\pard\\intbl lonely\\row", "lonely", nullptr},
        {"cell without row", "\\trowd\\cellx1000\\pard\\intbl A\\cell", "A", nullptr},
        // A paragraph mark right before the end of a cell opens no empty paragraph.
        {"paragraph mark before cell end",
            "\\trowd\\cellx1000\\cellx2000{\\pard\\intbl one\\par}\\cell{\\pard\\intbl two\\par\\par}\\cell\\row",
            "one|two\n", nullptr},
        {"row properties after the cells", "\\pard\\intbl A\\cell B\\cell\\trowd\\cellx500\\cellx900\\row", "A|B",
            nullptr},
        {"nested",
            "\\trowd\\cellx4000\\cellx8000\\pard\\intbl\\itap1 outer\\par"
            "\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
            "{\\nonesttables\\par}\\pard\\intbl\\itap1 tail\\cell right\\cell\\row",
            nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = read(doc(c.body));
        const auto tables = tablesOf(*r.document);
        ASSERT_FALSE(tables.empty());
        if (c.grid != nullptr) {
            EXPECT_EQ(grid(tables[0]), QString::fromUtf8(c.grid));
        }
        if (c.text != nullptr) {
            EXPECT_EQ(textOf(*r.document), QString::fromUtf8(c.text));
        }
    }
}

TEST(RtfTables, NestedTableSitsInItsCell)
{
    const auto r = read(
        doc("\\trowd\\cellx4000\\cellx8000\\pard\\intbl\\itap1 outer\\par"
            "\\pard\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
            "\\pard\\intbl\\itap2 n3\\nestcell n4\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
            "{\\nonesttables\\par}\\pard\\intbl\\itap1 tail\\cell right\\cell\\row\\pard after"));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 2u);
    QTextTable* outer = tables[0];
    QTextTable* inner = tables[1];
    EXPECT_EQ(outer->rows(), 1);
    EXPECT_EQ(outer->columns(), 2);
    EXPECT_EQ(grid(inner), "n1|n2/n3|n4");
    EXPECT_EQ(cellText(outer, 0, 1), "right");
    EXPECT_EQ(outer->cellAt(inner->firstPosition()).column(), 0);
    EXPECT_TRUE(cellText(outer, 0, 0).startsWith("outer"));
    EXPECT_TRUE(cellText(outer, 0, 0).endsWith("tail"));
    EXPECT_TRUE(textOf(*r.document).endsWith("after"));
}

TEST(RtfTables, ColumnWidthsFromCellx)
{
    struct Case {
        const char* name;
        std::string rowDef;
        std::vector<double> widths; // pixels; 0 = not fixed
    };
    const Case cases[] = {
        {"plain", "\\trowd\\cellx1500\\cellx4500", {100, 200}},
        {"row offset", "\\trowd\\trleft-150\\cellx1500\\cellx3000", {110, 100}},
        {"zero width", "\\trowd\\cellx0\\cellx1500", {0, 100}},
        {"decreasing", "\\trowd\\cellx3000\\cellx1500\\cellx4500", {200, 0, 100}},
        {"absurd", "\\trowd\\cellx999999999", {2112}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string body = c.rowDef + "\\pard\\intbl";
        for (std::size_t i = 0; i < c.widths.size(); ++i)
            body += " x\\cell";
        body += "\\row";
        const auto r = read(doc(body));
        const auto tables = tablesOf(*r.document);
        ASSERT_EQ(tables.size(), 1u);
        const QList<QTextLength> constraints = tables[0]->format().columnWidthConstraints();
        ASSERT_EQ(constraints.size(), static_cast<qsizetype>(c.widths.size()));
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            if (c.widths[i] == 0) {
                EXPECT_EQ(constraints[static_cast<qsizetype>(i)].type(), QTextLength::VariableLength);
            } else {
                EXPECT_EQ(constraints[static_cast<qsizetype>(i)].type(), QTextLength::FixedLength);
                EXPECT_NEAR(constraints[static_cast<qsizetype>(i)].rawValue(), c.widths[i], 0.01);
            }
        }
    }
}

TEST(RtfTables, BordersShadingAndPadding)
{
    const auto r = read(doc("\\trowd\\trgaph108\\clbrdrt\\brdrs\\brdrw30\\brdrcf1\\clbrdrb\\brdrs\\clcbpat2\\cellx1000"
                            "\\clvertalc\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 1u);
    QTextTable* table = tables[0];
    EXPECT_DOUBLE_EQ(table->format().cellPadding(), 7.2);
    EXPECT_EQ(table->format().border(), 0);
    const QTextTableCellFormat a = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(a.topBorder(), 2);
    EXPECT_EQ(a.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(a.bottomBorder(), 1); // a border without width is a hairline
    EXPECT_EQ(a.bottomBorderBrush().color(), QColor(Qt::black));
    EXPECT_FALSE(a.hasProperty(QTextFormat::TableCellLeftBorder));
    EXPECT_EQ(a.background().color(), QColor(0, 0, 255));
    const QTextTableCellFormat b = table->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_EQ(b.verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_FALSE(b.hasProperty(QTextFormat::TableCellTopBorder));
}

TEST(RtfTables, CellPaddingAndKeptParagraphFormat)
{
    const auto r = read(doc("\\trowd\\trgaph60\\trpaddl30\\trpaddr30\\clpadl150\\clpadt45\\cellx1000\\cellx2000"
                            "{\\pard\\intbl\\qr right\\par}\\cell{\\pard\\intbl left\\par}\\cell\\row"));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_DOUBLE_EQ(tables[0]->format().cellPadding(), 4);
    const QTextTableCellFormat a = tables[0]->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(a.leftPadding(), 10);
    EXPECT_DOUBLE_EQ(a.topPadding(), 3);
    EXPECT_DOUBLE_EQ(a.rightPadding(), 2);
    EXPECT_FALSE(a.hasProperty(QTextFormat::TableCellBottomPadding));
    const QTextTableCellFormat b = tables[0]->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(b.leftPadding(), 2);
    // The dropped empty paragraph does not take the cell's alignment with it.
    EXPECT_EQ(tables[0]->cellAt(0, 0).firstCursorPosition().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
        Qt::AlignRight | Qt::AlignAbsolute);
    EXPECT_EQ(cellText(tables[0], 0, 0), "right");
}

TEST(RtfTables, RowBordersApplyToCellsWithoutTheirOwn)
{
    const auto r =
        read(doc("\\trowd\\trbrdrt\\brdrs\\brdrw15\\trbrdrl\\brdrs\\trbrdrb\\brdrs\\trbrdrr\\brdrs"
                 "\\trbrdrh\\brdrs\\trbrdrv\\brdrs\\cellx1000\\cellx2000\\pard\\intbl A\\cell B\\cell\\row"));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 1u);
    for (int column = 0; column < 2; ++column) {
        const QTextTableCellFormat cell = tables[0]->cellAt(0, column).format().toTableCellFormat();
        EXPECT_DOUBLE_EQ(cell.topBorder(), 1) << column;
        EXPECT_DOUBLE_EQ(cell.leftBorder(), 1) << column;
        EXPECT_DOUBLE_EQ(cell.rightBorder(), 1) << column;
        EXPECT_DOUBLE_EQ(cell.bottomBorder(), 1) << column;
    }
}

TEST(RtfTables, RowRightBorderGoesToTheLastCellOnly)
{
    const auto r = read(doc(
        "\\trowd\\trbrdrr\\brdrs\\brdrw30\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl A\\cell B\\cell C\\cell\\row"));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0]->columns(), 3);
    for (int column = 0; column < 2; ++column) {
        EXPECT_FALSE(tables[0]->cellAt(0, column).format().hasProperty(QTextFormat::TableCellRightBorder)) << column;
    }
    const QTextTableCellFormat last = tables[0]->cellAt(0, 2).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(last.rightBorder(), 2);
    EXPECT_FALSE(last.hasProperty(QTextFormat::TableCellLeftBorder));
}

TEST(RtfTables, MergedCells)
{
    const auto r = read(doc(
        "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\clvmgf\\cellx3000\\pard\\intbl wide\\cell\\cell tall\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\clvmrg\\cellx3000\\pard\\intbl a\\cell b\\cell\\cell\\row"));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 1u);
    QTextTable* table = tables[0];
    EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);
    EXPECT_EQ(table->cellAt(0, 2).rowSpan(), 2);
    EXPECT_EQ(cellText(table, 0, 0), "wide");
    EXPECT_EQ(cellText(table, 1, 1), "b");
    EXPECT_EQ(cellText(table, 0, 2), "tall");
}

TEST(RtfTables, ManyRowsLandInOrder)
{
    std::string body = "\\trowd\\cellx1000\\cellx2000\\cellx3000";
    constexpr int kRows = 3000;
    for (int row = 0; row < kRows; ++row) {
        body += "\\pard\\intbl r" + std::to_string(row) + "a\\cell r" + std::to_string(row) + "b\\cell";
        if (row % 7 != 0)
            body += " r" + std::to_string(row) + "c\\cell";
        body += "\\row";
    }
    body += "\\pard after";
    const auto r = read(doc(body));
    // A long table goes on in further tables of kRowsPerPiece rows, right below.
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), static_cast<std::size_t>((kRows + kRowsPerPiece - 1) / kRowsPerPiece));
    std::vector<std::pair<QTextTable*, int>> rows; // table and row of each RTF row
    for (QTextTable* table : tables) {
        EXPECT_LE(table->rows(), kRowsPerPiece);
        ASSERT_EQ(table->columns(), 3);
        EXPECT_EQ(table->format().columnWidthConstraints().size(), 3);
        for (int row = 0; row < table->rows(); ++row)
            rows.emplace_back(table, row);
    }
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRows));
    for (int row = 0; row < kRows; row += 97) {
        const auto [table, at] = rows[static_cast<std::size_t>(row)];
        EXPECT_EQ(cellText(table, at, 0), QString("r%1a").arg(row));
        EXPECT_EQ(cellText(table, at, 2), row % 7 != 0 ? QString("r%1c").arg(row) : QString());
    }
    EXPECT_EQ(cellText(tables.back(), tables.back()->rows() - 1, 1), QString("r%1b").arg(kRows - 1));
    EXPECT_TRUE(textOf(*r.document).endsWith("after"));

    r.document->setDocumentMargin(0);
    r.document->setTextWidth(600);
    QAbstractTextDocumentLayout* layout = r.document->documentLayout();
    EXPECT_DOUBLE_EQ(layout->frameBoundingRect(tables[1]).top(), layout->frameBoundingRect(tables[0]).bottom());
}

// A row of `body` cells with the given cell definitions, repeated `count` times.
std::string rows(int count, std::string_view definitions, std::string_view body)
{
    std::string out;
    for (int row = 0; row < count; ++row)
        out += "\\trowd" + std::string(definitions) + "\\pard\\intbl " + std::string(body) + "\\row";
    return out;
}

TEST(RtfTables, PiecesOfALongTable)
{
    constexpr std::string_view kPlain = "\\cellx1000\\cellx2000";
    constexpr std::string_view kTallFirst = "\\cellx1000\\clvmgf\\cellx2000";
    constexpr std::string_view kTallGoesOn = "\\cellx1000\\clvmrg\\cellx2000";
    auto rowsPerTable = [](const std::vector<QTextTable*>& tables) {
        std::vector<int> counts;
        for (QTextTable* table : tables)
            counts.push_back(table->rows());
        return counts;
    };
    const int cut = kRowsPerPiece;

    // A vertical merge across the cut moves the cut below the row that ends it: the merged
    // cell stays whole.
    const auto merged = read(doc(rows(cut - 2, kPlain, "a\\cell b\\cell") + rows(1, kTallFirst, "a\\cell tall\\cell") +
        rows(4, kTallGoesOn, "a\\cell\\cell") + rows(10, kPlain, "a\\cell b\\cell")));
    auto tables = tablesOf(*merged.document);
    ASSERT_EQ(rowsPerTable(tables), (std::vector<int>{cut + 4, 9}));
    EXPECT_EQ(tables[0]->cellAt(cut - 2, 1).rowSpan(), 5);
    EXPECT_EQ(cellText(tables[0], cut - 2, 1), "tall");

    // A nested table is laid out with its outer cell whatever its length: it stays whole.
    std::string nested = "\\trowd\\cellx4000\\pard\\intbl\\itap1 outer\\par";
    for (int row = 0; row < cut * 2; ++row)
        nested += "\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}";
    nested += "{\\nonesttables\\par}\\pard\\intbl\\itap1 tail\\cell\\row\\pard after";
    const auto inner = read(doc(nested));
    ASSERT_EQ(rowsPerTable(tablesOf(*inner.document)), (std::vector<int>{1, cut * 2}));

    // The border between the pieces is drawn once, as the bottom of the piece above, not as
    // the table's top border; the table's indent comes from its first row only.
    const std::string bordered = "\\trleft720\\trbrdrt\\brdrs\\brdrw60\\trbrdrh\\brdrs\\brdrw15" + std::string(kPlain);
    const auto framed = read(doc(rows(cut + 1, bordered, "a\\cell b\\cell")));
    tables = tablesOf(*framed.document);
    ASSERT_EQ(rowsPerTable(tables), (std::vector<int>{cut, 1}));
    EXPECT_DOUBLE_EQ(tables[0]->cellAt(0, 0).format().toTableCellFormat().topBorder(), 4);
    EXPECT_DOUBLE_EQ(tables[0]->cellAt(1, 0).format().toTableCellFormat().topBorder(), 1);
    EXPECT_DOUBLE_EQ(tables[0]->cellAt(cut - 1, 0).format().toTableCellFormat().bottomBorder(), 1);
    EXPECT_FALSE(tables[1]->cellAt(0, 0).format().hasProperty(QTextFormat::TableCellTopBorder));
    EXPECT_DOUBLE_EQ(tables[1]->format().leftMargin(), tables[0]->format().leftMargin());
    EXPECT_GT(tables[1]->format().leftMargin(), 0);
}

// The rows of a long table stand as evenly across the cut between two pieces as anywhere else:
// the border between them is neither doubled nor rounded up at the piece's edge.
TEST(RtfTables, PiecesMeetWithoutASeam)
{
    struct Case {
        int twips;  // the borders between rows
        int gap;    // cell padding
        int ownTop; // a top border of each cell's own (0: none), wider than the border above
    };
    const Case cases[] = {{15, 0, 0}, {15, 108, 0}, {30, 0, 0}, {30, 108, 0}, {45, 0, 0}, {15, 108, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(
            std::to_string(c.twips) + " twips, gap " + std::to_string(c.gap) + ", own top " + std::to_string(c.ownTop));
        const std::string width = std::to_string(c.twips);
        const std::string own = c.ownTop > 0 ? "\\clbrdrt\\brdrs\\brdrw" + std::to_string(c.ownTop) : "";
        const std::string definitions = "\\trgaph" + std::to_string(c.gap) + "\\trbrdrt\\brdrs\\brdrw" + width +
            "\\trbrdrh\\brdrs\\brdrw" + width + "\\trbrdrb\\brdrs\\brdrw" + width + own + "\\cellx2000" + own +
            "\\cellx4000";
        const auto r = read(doc(rows(kRowsPerPiece + 8, definitions, "a\\cell b\\cell") + "\\pard after"));
        const auto tables = tablesOf(*r.document);
        ASSERT_EQ(tables.size(), 2u);
        r.document->setDocumentMargin(0);
        r.document->setTextWidth(600);
        QAbstractTextDocumentLayout* layout = r.document->documentLayout();
        std::vector<double> tops;
        for (QTextTable* table : tables) {
            for (int row = 0; row < table->rows(); ++row)
                tops.push_back(layout->blockBoundingRect(table->cellAt(row, 0).firstCursorPosition().block()).top());
        }
        const double pitch = tops[2] - tops[1];
        ASSERT_GT(pitch, 0);
        for (std::size_t row = kRowsPerPiece - 2; row < kRowsPerPiece + 2; ++row)
            EXPECT_DOUBLE_EQ(tops[row + 1] - tops[row], pitch) << "row " << row;
    }
}

TEST(RtfTables, ColumnAndCellLimits)
{
    // Beyond 64 columns the text stays in the last cell.
    std::string body = "\\pard\\intbl";
    for (int i = 0; i < 70; ++i)
        body += " c" + std::to_string(i) + "\\cell";
    body += "\\row";
    const auto r = read(doc(body));
    const auto tables = tablesOf(*r.document);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0]->columns(), 64);
    EXPECT_EQ(cellText(tables[0], 0, 63), "c63\nc64\nc65\nc66\nc67\nc68\nc69");

    // Rows of many empty cells cannot grow without bound: past the budget the rest is text.
    std::string wide = "\\trowd";
    for (int i = 0; i < 64; ++i)
        wide += "\\cellx" + std::to_string((i + 1) * 100);
    wide += "\\pard\\intbl\\cell\\row";
    for (int i = 0; i < 2000; ++i)
        wide += "\\row";
    wide += "\\pard end";
    const auto many = read(doc(wide));
    std::int64_t cells = 0;
    for (QTextTable* table : tablesOf(*many.document))
        cells += std::int64_t(table->rows()) * table->columns();
    EXPECT_LE(cells, 4096 + static_cast<std::int64_t>(doc(wide).size() / 4));
    EXPECT_TRUE(textOf(*many.document).endsWith("end"));
}

} // namespace
} // namespace rtf
