#pragma once
// Character and paragraph properties as RTF states them, and their Qt text formats.
// Lengths in RTF are twips (1/1440 inch); the document is laid out in pixels at 96 per inch.

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include <QColor>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "toolkit/rtf/rtf_control_words.h"

namespace rtf {

inline constexpr double kTwipsPerPixel = 15.0;
inline constexpr std::int32_t kDefaultHalfPoints = 24; // 12 pt
// Sizes are clamped to what word processors allow: fonts to 1638 pt, lengths to 22 inches (the
// widest paper), cell padding to an inch.
inline constexpr std::int32_t kMaxHalfPoints = 3276;
inline constexpr std::int32_t kMaxTabStops = 32;
inline constexpr std::int32_t kMaxTwips = 22 * 1440;
inline constexpr std::int32_t kMaxCellPadding = 1440;

double twipsToPixels(std::int32_t twips);
std::int32_t clampTwips(std::int32_t twips);

struct CharProps {
    std::int32_t font = -1; // RTF font number; -1 = the document's default font
    std::int32_t halfPoints = kDefaultHalfPoints;
    std::int32_t foreground = -1; // colour table index; -1 = automatic
    std::int32_t background = -1;
    std::int32_t highlight = -1;
    std::int32_t link = -1; // index into DocumentTables::links; -1 = none
    VerticalPosition vertical = VerticalPosition::Baseline;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;

    bool operator==(const CharProps&) const = default;
};

struct CharPropsHash {
    std::size_t operator()(const CharProps& p) const;
};

struct TabStop {
    std::int32_t position = 0; // twips
    TabAlignment alignment = TabAlignment::Left;
};

struct ParaProps {
    Alignment alignment = Alignment::Left;
    std::int32_t leftIndent = 0; // twips
    std::int32_t rightIndent = 0;
    std::int32_t firstIndent = 0;
    std::int32_t spaceBefore = 0;
    std::int32_t spaceAfter = 0;
    std::int32_t lineSpacing = 0; // \sl: > 0 at least, < 0 exactly, 0 single
    bool lineMultiple = false;    // \slmult1: lineSpacing is in 240ths of a single line
    bool inTable = false;
    std::int32_t nestLevel = 1;  // \itap
    std::int32_t numbering = -1; // \pn definition of the paragraph; -1 = none
    TabAlignment nextTabAlignment = TabAlignment::Left;
    std::int32_t tabCount = 0;
    std::array<TabStop, kMaxTabStops> tabs{};
};

struct FontEntry {
    QString name;
    FontFamily family = FontFamily::Any;
    std::int32_t codePage = 0; // 0 until the font table entry is complete
};

struct ColorEntry {
    bool automatic = true;
    QRgb rgb = 0;
};

struct LinkEntry {
    QString target;
    bool acts = true; // false: shown as the page's own text, with the target as its tool tip
};

// What the header of a document defines, and the links its fields point at.
struct DocumentTables {
    std::int32_t codePage = 1252;  // \ansicpg
    std::int32_t defaultFont = -1; // \deff
    std::unordered_map<std::int32_t, FontEntry> fonts;
    std::vector<ColorEntry> colors;
    std::vector<LinkEntry> links;
};

// The colour at a table index, or an invalid colour for "automatic" and indices out of range.
QColor colorAt(const DocumentTables& tables, std::int32_t index);

// The font an RTF font number names (the default font for -1), or nullptr when there is none.
const FontEntry* fontAt(const DocumentTables& tables, std::int32_t number);

QTextCharFormat charFormatFor(const CharProps& props, const DocumentTables& tables);
QTextBlockFormat blockFormatFor(const ParaProps& props);

} // namespace rtf
