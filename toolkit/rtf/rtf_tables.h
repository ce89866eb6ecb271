#pragma once
// Tables: RTF describes a table row by row (\trowd, cell definitions \cellx, cell text ended by
// \cell, the row ended by \row; nested rows end with \nestcell and \nestrow). They become
// QTextTables, built while the text streams in.
//
// Qt re-indexes a whole table after every added row and removes rows one by one, so rows are
// added in growing batches, trimmed when the table ends, and a table longer than
// kMaxRowsPerTable goes on in a new QTextTable right below (they show as one); the cursor moves
// from cell to cell by position. This keeps building linear in the table's size.
//
// Qt also lays out a table all at once, so an outermost table is built in pieces of
// kRowsPerPiece rows, split where no cell is merged across the cut: a page view lays out a
// piece in a few milliseconds, and a long table no longer holds up the window. The pieces
// meet as the rows of one table do: the border between them is drawn once, by the piece
// above, and the piece below moves up by the part of it Qt places outside a table.

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/rtf/rtf_formats.h"

class QTextCursor;
class QTextTable;

namespace rtf {

inline constexpr int kMaxTableColumns = 64;
inline constexpr int kMaxTableDepth = 8;
inline constexpr int kMaxMergesPerTable = 256;
inline constexpr int kMaxRowsPerTable = 1024;
inline constexpr int kRowsPerPiece = 128;

struct BorderDef {
    std::int32_t width = 0;  // twips; 0 = no border
    std::int32_t color = -1; // colour table index
    bool present = false;
};

struct CellDef {
    std::int32_t right = 0;                              // \cellx: right edge in twips from the row's origin
    std::array<BorderDef, 4> borders{};                  // indexed by Side Top, Left, Bottom, Right
    std::int32_t shading = -1;                           // colour table index of the background
    std::array<std::int32_t, 4> padding{-1, -1, -1, -1}; // twips by Side; -1 = the row's
    std::int32_t verticalAlign = 0;                      // 0 top, 1 centre, 2 bottom
    bool mergeFirst = false;
    bool merged = false;
    bool verticalMergeFirst = false;
    bool verticalMerged = false;
};

struct RowDef {
    std::vector<CellDef> cells;
    std::array<BorderDef, 6> borders{};                  // indexed by Side, including inner Horizontal and Vertical
    std::array<std::int32_t, 4> padding{-1, -1, -1, -1}; // twips by Side; -1 = from \trgaph
    std::int32_t left = 0;                               // \trleft
    std::int32_t gap = 0;                                // \trgaph: half the space between cells
};

enum class BorderTarget : std::uint8_t { None, Cell, Row };

// The rows that \trowd ... \cellx words define, one per nesting level, as they are read.
struct RowDefinitions {
    std::array<RowDef, kMaxTableDepth + 1> rows{}; // by nesting level; [0] is not used
    int level = 1;                                 // the level the words define now
    CellDef pendingCell;                           // the cell the next \cellx ends
    BorderTarget borderTarget = BorderTarget::None;
    Side borderSide = Side::Top;
};

// Carries out a word that defines rows or cells: \trowd (which starts defining the row of
// `level`), \cellx, \trgaph, \trleft, borders, shading, merges, alignment and padding.
// Returns false, and changes nothing, for any other word.
bool applyRowDefinitionWord(RowDefinitions& defs, const ControlWord& word, std::int32_t param, int level);

struct Merge {
    int row = 0;
    int column = 0;
    int rows = 1;
    int columns = 1;
};

struct OpenTable {
    QTextTable* table = nullptr;
    int columns = 0;
    int capacityRows = 0; // rows that exist, including empty ones kept in reserve
    int row = 0;          // current row and column
    int column = 0;
    bool rowOpen = false;
    bool cellEnded = false; // \cell ended `column`; text that follows goes to the next cell
    bool continued = false; // goes on from the table above: its first row is not the table's first
    // Continued: per column, the width in pixels of the bottom border the last row above drew
    // (0: none), and how far this piece moves up to meet that row as one table would.
    std::vector<double> borderAbove;
    double pullUp = 0;
    QTextTable* pieceAbove = nullptr; // continued: the piece above and its last row
    int rowAbove = 0;
    std::int32_t left = 0;
    std::int32_t gap = 0;
    std::vector<double> widths; // pixels per column; 0 = not stated
    std::vector<Merge> merges;
    std::vector<int> verticalMergeStart; // per column: row where a vertical merge started, or -1
};

struct TableBuilder {
    std::vector<OpenTable> open; // outermost first
    std::int64_t cellBudget = 0; // cells that may still be created
    bool disabled = false;       // the budget ran out: no further table structure is built
};

// Cells a document of `inputSize` bytes may create: generous for real tables, bounded for hostile ones.
std::int64_t tableCellBudget(std::size_t inputSize);

// Makes `level` tables open around the cursor (0 closes them all) and moves the cursor to where
// the next text of the innermost one goes: the next row after \row, the next cell after \cell. `columnsHint` sizes a table that opens here. Returns the level
// now open: lower than asked when the depth cap or the cell budget stops it.
int enterTableLevel(TableBuilder& builder, QTextCursor& cursor, int level, int columnsHint);

// Ends the cursor's cell in the innermost table. The next text goes to the next cell, which is
// added past the last column (up to kMaxTableColumns; beyond that it stays in the last cell).
void endCell(TableBuilder& builder, QTextCursor& cursor);

// Ends the innermost table's row; `row` gives the widths, borders and shading of its cells.
void endRow(TableBuilder& builder, const RowDef& row, const DocumentTables& tables);

bool rowOpen(const TableBuilder& builder);

} // namespace rtf
