#include "toolkit/rtf/rtf_tables.h"

#include <algorithm>
#include <cmath>

#include <QTextCursor>
#include <QTextTable>
#include <QTextTableCellFormat>
#include <QTextTableFormat>

namespace rtf {
namespace {

QTextTableFormat baseTableFormat()
{
    QTextTableFormat format;
    format.setBorder(0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setMargin(0);
    return format;
}

BorderDef* borderTarget(RowDefinitions& defs)
{
    const auto side = static_cast<std::size_t>(defs.borderSide);
    switch (defs.borderTarget) {
    case BorderTarget::Cell:
        return side < 4 ? &defs.pendingCell.borders[side] : nullptr;
    case BorderTarget::Row:
        return &defs.rows[static_cast<std::size_t>(defs.level)].borders[side];
    default:
        return nullptr;
    }
}

void finishVerticalMerge(OpenTable& table, int column, int lastRow)
{
    int& start = table.verticalMergeStart[static_cast<std::size_t>(column)];
    if (start >= 0 && lastRow > start && table.merges.size() < kMaxMergesPerTable)
        table.merges.push_back(Merge{start, column, lastRow - start + 1, 1});
    start = -1;
}

void closeInnermost(TableBuilder& builder, QTextCursor& cursor)
{
    OpenTable& t = builder.open.back();
    const int used = t.row + 1;
    if (t.capacityRows > used)
        t.table->removeRows(used, t.capacityRows - used);
    for (int c = 0; c < t.columns; ++c)
        finishVerticalMerge(t, c, t.row);

    QTextTableFormat format = baseTableFormat();
    if (t.continued)
        format.setTopMargin(-t.pullUp);
    format.setCellPadding(std::max(0.0, twipsToPixels(t.gap)));
    if (t.left > 0)
        format.setLeftMargin(twipsToPixels(t.left));
    if (std::any_of(t.widths.begin(), t.widths.end(), [](double w) { return w > 0; })) {
        QList<QTextLength> constraints;
        for (const double width : t.widths)
            constraints.append(
                width > 0 ? QTextLength(QTextLength::FixedLength, width) : QTextLength(QTextLength::VariableLength, 0));
        format.setColumnWidthConstraints(constraints);
    }
    t.table->setFormat(format);

    for (const Merge& merge : t.merges) {
        const int rows = std::min(merge.rows, t.table->rows() - merge.row);
        const int columns = std::min(merge.columns, t.table->columns() - merge.column);
        if (rows >= 1 && columns >= 1 && rows * columns > 1)
            t.table->mergeCells(merge.row, merge.column, rows, columns);
    }
    cursor.setPosition(t.table->lastPosition() + 1);
    builder.open.pop_back();
}

void closeAll(TableBuilder& builder, QTextCursor& cursor)
{
    while (!builder.open.empty())
        closeInnermost(builder, cursor);
}

OpenTable openTable(TableBuilder& builder, QTextCursor& cursor, int columns)
{
    OpenTable t;
    t.table = cursor.insertTable(1, columns, baseTableFormat());
    t.columns = columns;
    t.capacityRows = 1;
    t.rowOpen = true;
    t.widths.assign(static_cast<std::size_t>(columns), 0.0);
    t.verticalMergeStart.assign(static_cast<std::size_t>(columns), -1);
    builder.cellBudget -= columns;
    return t;
}

// Closes a long table and opens its continuation below, with the same columns.
bool continueInNewTable(TableBuilder& builder, QTextCursor& cursor)
{
    const OpenTable previous = builder.open.back();
    if (builder.cellBudget < previous.columns)
        return false;
    std::vector<double> borderAbove;
    double widest = 0;
    for (int c = 0; c < previous.columns; ++c) {
        const QTextTableCellFormat format = previous.table->cellAt(previous.row, c).format().toTableCellFormat();
        const double width = format.hasProperty(QTextFormat::TableCellBottomBorder) ? format.bottomBorder() : 0;
        borderAbove.push_back(std::max(0.0, width));
        widest = std::max(widest, width);
    }
    closeInnermost(builder, cursor);
    OpenTable next = openTable(builder, cursor, previous.columns);
    next.widths = previous.widths;
    next.left = previous.left;
    next.gap = previous.gap;
    next.continued = true;
    next.borderAbove = std::move(borderAbove);
    next.pieceAbove = previous.table;
    next.rowAbove = previous.row;
    // Qt lays a table's outer border half outside it, rounded to whole pixels; the piece above
    // ends that far below its last row, where one table would go straight on.
    next.pullUp = std::round(widest / 2);
    builder.open.push_back(std::move(next));
    return true;
}

// A piece may end after the current row: an outermost table, no vertical merge that could go on.
bool pieceMayEnd(const TableBuilder& builder)
{
    const OpenTable& t = builder.open.back();
    return builder.open.size() == 1 && t.row + 1 >= kRowsPerPiece &&
        std::all_of(t.verticalMergeStart.begin(), t.verticalMergeStart.end(), [](int start) { return start < 0; });
}

bool startNextRow(TableBuilder& builder, QTextCursor& cursor)
{
    if (builder.open.back().row + 1 >= kMaxRowsPerTable || pieceMayEnd(builder))
        return continueInNewTable(builder, cursor);
    OpenTable& t = builder.open.back();
    const int position = cursor.position();
    if (t.row + 1 >= t.capacityRows) {
        std::int64_t add =
            std::min<std::int64_t>({t.capacityRows, kMaxRowsPerTable - t.capacityRows, builder.cellBudget / t.columns});
        if (add <= 0)
            return false;
        t.table->appendRows(static_cast<int>(add));
        t.capacityRows += static_cast<int>(add);
        builder.cellBudget -= add * t.columns;
    }
    // Cells after the cursor are still empty, one position each.
    cursor.setPosition(position + (t.columns - t.column));
    ++t.row;
    t.column = 0;
    t.rowOpen = true;
    t.cellEnded = false;
    return true;
}

// Moves from the end of the current cell to the start of the next one.
void advanceCell(TableBuilder& builder, QTextCursor& cursor)
{
    OpenTable& t = builder.open.back();
    t.cellEnded = false;
    if (t.column + 1 < t.columns) {
        cursor.setPosition(cursor.position() + 1);
        ++t.column;
        return;
    }
    if (t.columns < kMaxTableColumns && builder.cellBudget >= t.capacityRows) {
        t.table->appendColumns(1);
        builder.cellBudget -= t.capacityRows;
        ++t.columns;
        t.widths.push_back(0.0);
        t.verticalMergeStart.push_back(-1);
        ++t.column;
        cursor = t.table->cellAt(t.row, t.column).firstCursorPosition();
        return;
    }
    cursor.insertBlock();
}

BorderDef pick(const BorderDef& own, const BorderDef& fallback)
{
    return own.present ? own : fallback;
}

double borderPixels(const BorderDef& border)
{
    return std::max(1.0, twipsToPixels(border.width));
}

// Sets one side of `format` to `border` (nothing when it is not present), through that side's setters.
template <typename SetWidth, typename SetStyle, typename SetBrush>
void setBorder(QTextTableCellFormat& format, const BorderDef& border, const DocumentTables& tables, SetWidth setWidth,
    SetStyle setStyle, SetBrush setBrush)
{
    if (!border.present)
        return;
    (format.*setWidth)(borderPixels(border));
    (format.*setStyle)(QTextFrameFormat::BorderStyle_Solid);
    const QColor color = colorAt(tables, border.color);
    (format.*setBrush)(QBrush(color.isValid() ? color : QColor(Qt::black)));
}

void applyCellFormat(OpenTable& t, int column, const CellDef& cell, const RowDef& row, const DocumentTables& tables)
{
    const bool first = column == 0;
    const bool last = column == t.columns - 1;
    auto rowSide = [&](Side side) { return row.borders[static_cast<std::size_t>(side)]; };
    auto cellSide = [&](Side side) { return cell.borders[static_cast<std::size_t>(side)]; };
    BorderDef top = pick(cellSide(Side::Top), t.row == 0 ? rowSide(Side::Top) : rowSide(Side::Horizontal));
    // The first row of a piece meets the last row of the piece above, which draws the border
    // between them as its bottom: Qt collapses borders within one table only, and drawing it
    // again would double it. Of the two that meet, the wider shows, as in one table; half of
    // it lies in this row.
    double above = 0;
    if (t.row == 0 && t.continued && static_cast<std::size_t>(column) < t.borderAbove.size()) {
        double& drawn = t.borderAbove[static_cast<std::size_t>(column)];
        const BorderDef own = cellSide(Side::Top);
        const double width = own.present ? borderPixels(own) : 0.0;
        if (width > drawn && t.pieceAbove != nullptr) {
            QTextTableCell cell = t.pieceAbove->cellAt(t.rowAbove, column);
            QTextTableCellFormat upper = cell.format().toTableCellFormat();
            setBorder(upper, own, tables, &QTextTableCellFormat::setBottomBorder,
                &QTextTableCellFormat::setBottomBorderStyle, &QTextTableCellFormat::setBottomBorderBrush);
            cell.setFormat(upper);
            drawn = width;
            t.pullUp = std::max(t.pullUp, std::round(width / 2));
        }
        above = drawn;
        top = BorderDef{};
    }
    const BorderDef bottom = pick(
        cellSide(Side::Bottom), rowSide(Side::Horizontal).present ? rowSide(Side::Horizontal) : rowSide(Side::Bottom));
    const BorderDef left = pick(cellSide(Side::Left), first ? rowSide(Side::Left) : rowSide(Side::Vertical));
    const BorderDef right = pick(cellSide(Side::Right), last ? rowSide(Side::Right) : rowSide(Side::Vertical));
    const QColor shading = colorAt(tables, cell.shading);
    std::array<std::int32_t, 4> padding{};
    bool anyPadding = false;
    for (std::size_t side = 0; side < 4; ++side) {
        padding[side] = cell.padding[side] >= 0 ? cell.padding[side] : row.padding[side];
        anyPadding = anyPadding || padding[side] >= 0;
    }
    if (!top.present && !bottom.present && !left.present && !right.present && !shading.isValid() &&
        cell.verticalAlign == 0 && !anyPadding && above == 0)
        return;

    QTextTableCellFormat format;
    auto pad = [&](Side side, void (QTextTableCellFormat::*set)(qreal)) {
        const std::int32_t twips = padding[static_cast<std::size_t>(side)];
        if (twips >= 0)
            (format.*set)(twipsToPixels(twips));
    };
    pad(Side::Top, &QTextTableCellFormat::setTopPadding);
    if (above > 0) {
        const std::int32_t twips = padding[static_cast<std::size_t>(Side::Top)];
        format.setTopPadding((twips >= 0 ? twipsToPixels(twips) : std::max(0.0, twipsToPixels(t.gap))) + above / 2);
    }
    pad(Side::Left, &QTextTableCellFormat::setLeftPadding);
    pad(Side::Bottom, &QTextTableCellFormat::setBottomPadding);
    pad(Side::Right, &QTextTableCellFormat::setRightPadding);
    auto border = [&](const BorderDef& b, auto setWidth, auto setStyle, auto setBrush) {
        setBorder(format, b, tables, setWidth, setStyle, setBrush);
    };
    border(top, &QTextTableCellFormat::setTopBorder, &QTextTableCellFormat::setTopBorderStyle,
        &QTextTableCellFormat::setTopBorderBrush);
    border(bottom, &QTextTableCellFormat::setBottomBorder, &QTextTableCellFormat::setBottomBorderStyle,
        &QTextTableCellFormat::setBottomBorderBrush);
    border(left, &QTextTableCellFormat::setLeftBorder, &QTextTableCellFormat::setLeftBorderStyle,
        &QTextTableCellFormat::setLeftBorderBrush);
    border(right, &QTextTableCellFormat::setRightBorder, &QTextTableCellFormat::setRightBorderStyle,
        &QTextTableCellFormat::setRightBorderBrush);
    if (shading.isValid())
        format.setBackground(shading);
    if (cell.verticalAlign == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    else if (cell.verticalAlign == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignBottom);
    QTextTableCell target = t.table->cellAt(t.row, column);
    if (target.isValid())
        target.setFormat(format);
}

} // namespace

std::int64_t tableCellBudget(std::size_t inputSize)
{
    return 4096 + static_cast<std::int64_t>(inputSize / 4);
}

bool rowOpen(const TableBuilder& builder)
{
    return !builder.open.empty() && builder.open.back().rowOpen;
}

int enterTableLevel(TableBuilder& builder, QTextCursor& cursor, int level, int columnsHint)
{
    level = builder.disabled ? 0 : std::clamp(level, 0, kMaxTableDepth);
    while (static_cast<int>(builder.open.size()) > level)
        closeInnermost(builder, cursor);
    if (level == 0)
        return 0;
    if (!builder.open.empty() && !builder.open.back().rowOpen && !startNextRow(builder, cursor)) {
        builder.disabled = true;
        closeAll(builder, cursor);
        return 0;
    }
    if (!builder.open.empty() && builder.open.back().cellEnded)
        advanceCell(builder, cursor);
    const int columns = std::clamp(columnsHint, 1, kMaxTableColumns);
    while (static_cast<int>(builder.open.size()) < level) {
        if (builder.cellBudget < columns) {
            builder.disabled = true;
            closeAll(builder, cursor);
            return 0;
        }
        builder.open.push_back(openTable(builder, cursor, columns));
    }
    return level;
}

void endCell(TableBuilder& builder, QTextCursor& cursor)
{
    if (builder.open.empty())
        return;
    OpenTable& t = builder.open.back();
    if (t.cellEnded)
        advanceCell(builder, cursor);
    t.cellEnded = true;
}

void endRow(TableBuilder& builder, const RowDef& row, const DocumentTables& tables)
{
    if (builder.open.empty())
        return;
    OpenTable& t = builder.open.back();
    if (t.row == 0 && !t.continued) {
        t.left = row.left;
        t.gap = row.gap;
    }
    const int cells = std::min(static_cast<int>(row.cells.size()), t.columns);
    std::int32_t previous = row.left;
    for (int c = 0; c < cells; ++c) {
        const CellDef& cell = row.cells[static_cast<std::size_t>(c)];
        const std::int32_t width = clampTwips(cell.right) - clampTwips(previous);
        previous = std::max(previous, cell.right);
        double& known = t.widths[static_cast<std::size_t>(c)];
        if (width > 0 && known == 0)
            known = twipsToPixels(width);
        applyCellFormat(t, c, cell, row, tables);
    }
    for (int c = 0; c < cells; ++c) {
        const CellDef& cell = row.cells[static_cast<std::size_t>(c)];
        if (cell.mergeFirst) {
            int span = 1;
            while (c + span < cells && row.cells[static_cast<std::size_t>(c + span)].merged)
                ++span;
            if (span > 1 && t.merges.size() < kMaxMergesPerTable)
                t.merges.push_back(Merge{t.row, c, 1, span});
        }
        if (cell.verticalMergeFirst) {
            finishVerticalMerge(t, c, t.row - 1);
            t.verticalMergeStart[static_cast<std::size_t>(c)] = t.row;
        } else if (!cell.verticalMerged) {
            finishVerticalMerge(t, c, t.row - 1);
        }
    }
    t.rowOpen = false;
}

bool applyRowDefinitionWord(RowDefinitions& defs, const ControlWord& word, std::int32_t param, int level)
{
    RowDef& row = defs.rows[static_cast<std::size_t>(defs.level)];
    switch (word.op) {
    case Op::RowDefaults:
        defs.level = level;
        defs.rows[static_cast<std::size_t>(level)] = RowDef{};
        defs.pendingCell = CellDef{};
        defs.borderTarget = BorderTarget::None;
        return true;
    case Op::CellRight:
        if (row.cells.size() < static_cast<std::size_t>(kMaxTableColumns)) {
            defs.pendingCell.right = clampTwips(param);
            row.cells.push_back(defs.pendingCell);
        }
        defs.pendingCell = CellDef{};
        defs.borderTarget = BorderTarget::None;
        return true;
    case Op::RowGap:
        row.gap = std::clamp(param, 0, kMaxCellPadding);
        return true;
    case Op::RowLeft:
        row.left = clampTwips(param);
        return true;
    case Op::CellBorder:
        defs.borderTarget = BorderTarget::Cell;
        defs.borderSide = static_cast<Side>(word.arg);
        return true;
    case Op::RowBorder:
        defs.borderTarget = BorderTarget::Row;
        defs.borderSide = static_cast<Side>(word.arg);
        return true;
    case Op::ParagraphBorder:
        defs.borderTarget = BorderTarget::None;
        return true;
    case Op::BorderWidth:
        if (BorderDef* border = borderTarget(defs))
            border->width = std::clamp(param, 0, 1440);
        return true;
    case Op::BorderStyle:
        if (BorderDef* border = borderTarget(defs))
            border->present = word.arg != 0;
        return true;
    case Op::BorderColor:
        if (BorderDef* border = borderTarget(defs))
            border->color = param;
        return true;
    case Op::CellShading:
        defs.pendingCell.shading = param;
        return true;
    case Op::CellMergeFirst:
        defs.pendingCell.mergeFirst = true;
        return true;
    case Op::CellMerge:
        defs.pendingCell.merged = true;
        return true;
    case Op::CellVerticalMergeFirst:
        defs.pendingCell.verticalMergeFirst = true;
        return true;
    case Op::CellVerticalMerge:
        defs.pendingCell.verticalMerged = true;
        return true;
    case Op::CellVerticalAlign:
        defs.pendingCell.verticalAlign = word.arg;
        return true;
    case Op::CellPadding:
        defs.pendingCell.padding[static_cast<std::size_t>(word.arg)] = std::clamp(param, 0, kMaxCellPadding);
        return true;
    case Op::RowPadding:
        row.padding[static_cast<std::size_t>(word.arg)] = std::clamp(param, 0, kMaxCellPadding);
        return true;
    default:
        return false;
    }
}

} // namespace rtf
