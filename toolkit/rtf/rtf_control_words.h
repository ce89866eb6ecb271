#pragma once
// The control words the reader acts on, each registered under one operation id.

#include <cstdint>
#include <string_view>

namespace rtf {

// clang-format off
enum class Op : std::uint8_t {
    // Destinations: the group they open is read in a particular way.
    DestFontTable, DestColorTable, DestStyleSheet, DestSkip, DestPicture, DestField, DestFieldInstruction,
    DestFieldResult, DestContainer, DestResume, DestNestTableProps, DestListText, DestNumbering,
    DestNumberingText, DestShape, DestShapePropertyName, DestShapePropertyValue, DestShapeResult,
    // Document and font table.
    Rtf, DocumentCodePage, AnsiCodePage, DefaultFont, Font, FontFamily, FontCharset, FontCodePage,
    ColorComponent,
    // Character properties.
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, FontSize, Foreground, Background, Highlight,
    VerticalAlign, Raise, Lower, Hidden, Caps, SmallCaps, UnicodeSkip, Unicode,
    // Paragraph properties and breaks.
    Pard, Par, Line, Tab, Char, Align, LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter,
    LineSpacing, LineMultiple, TabStop, TabKind, InTable, NestLevel,
    // Tables.
    RowDefaults, CellRight, Cell, Row, NestCell, NestRow, RowGap, RowLeft, CellBorder, RowBorder,
    ParagraphBorder, BorderWidth, BorderStyle, BorderColor, CellShading, CellMergeFirst, CellMerge,
    CellVerticalMergeFirst, CellVerticalMerge, CellVerticalAlign, CellPadding, RowPadding, DefaultTab,
    // Paragraph numbering.
    NumberingStyle, NumberingStart, NumberingLevel,
    // Pictures.
    PictureKind, PictureWidth, PictureHeight, PictureGoalWidth, PictureGoalHeight, PictureScaleX,
    PictureScaleY,
};
// clang-format on

struct ControlWord {
    std::string_view name;
    Op op;
    std::int32_t arg; // meaning depends on op: a code point, an alignment, a side, ...
};

// Arguments of some operations.
enum class Alignment : std::int32_t { Left, Center, Right, Justify };
enum class FontFamily : std::int32_t { Any, Roman, Swiss, Modern, Script, Decorative, Technical };
enum class TabAlignment : std::int32_t { Left, Center, Right, Decimal };
enum class Side : std::int32_t { Top, Left, Bottom, Right, Horizontal, Vertical };
enum class PictureFormat : std::int32_t { Unknown, Png, Jpeg, Emf, Wmf, Dib, Ddb, MacPict, Os2Metafile };
enum class VerticalPosition : std::int32_t { Baseline, Super, Sub };
enum class NumberStyle : std::int32_t { Bullet, Decimal, UpperLetter, LowerLetter, UpperRoman, LowerRoman };

// The entry for `name`, or nullptr for a word the reader does not act on.
const ControlWord* findControlWord(std::string_view name);

} // namespace rtf
