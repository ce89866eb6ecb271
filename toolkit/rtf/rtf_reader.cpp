// The reader walks the token stream once, keeping one state per open group on an explicit stack
// (never recursion). Each group has a destination that says where its text goes: the page, a
// font or colour table entry, a field instruction, picture data, or nowhere.
//
//   {\rtf1\ansi\ansicpg1250\deff0
//    {\fonttbl{\f0\fswiss\fcharset238 Arial;}{\f1\fnil\fcharset128 MS Mincho;}}
//    {\colortbl;\red255\green0\blue0;}
//    {\*\generator any writer;}                              <- unknown \* group: skipped whole
//    \pard\qc\b\cf1 Title\b0\par
//    \pard\li720\fi-360{\pntext\'b7\tab}Item \u8364\'80\par  <- \uN then one fallback byte
//    {\field{\*\fldinst HYPERLINK "http://host/"}{\fldrslt link}}\par
//    \trowd\cellx2000\cellx4000\pard\intbl A\cell B\cell\row
//    {\pict\pngblip\picwgoal1440\pichgoal720 89504e47...}
//   }
//
// Recovery: unknown words are ignored; a closing brace too many ends the document; a missing one
// is supplied at the end; everything else is described in rtf_reader.h.

#include "toolkit/rtf/rtf_reader.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextOption>
#include <QTextTable>

#include "toolkit/rtf/rtf_code_pages.h"
#include "toolkit/rtf/rtf_control_words.h"
#include "toolkit/rtf/rtf_fields.h"
#include "toolkit/rtf/rtf_formats.h"
#include "toolkit/rtf/rtf_pictures.h"
#include "toolkit/rtf/rtf_tables.h"
#include "toolkit/rtf/rtf_tokenizer.h"

namespace rtf {
namespace {

constexpr qsizetype kMaxFieldInstruction = 2048;
constexpr qsizetype kMaxFontName = 256;
constexpr std::size_t kMaxColors = 4096;
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxCachedFormats = 1024;
constexpr std::int32_t kDefaultTabTwips = 720;
constexpr std::size_t kMaxNumberings = 4096;
constexpr qsizetype kMaxNumberingText = 32;

// Qt lays text out in 26.6 fixed point: a page taller than 2^23 pixels overflows it, and its
// layout then never ends. The reader estimates the height of the page as it reads, on the high
// side, and drops the rest of a page whose estimate passes kMaxPageHeight.
constexpr double kMaxPageHeight = 4'000'000;
constexpr double kLineHeightPerPixel = 2.5; // line height of a font, per pixel of its size, at most
constexpr double kCharWidthPerPixel = 0.6;  // average width of a character, per pixel of its size
constexpr double kNarrowestPage = 200;      // narrowest page area text is assumed to wrap in, pixels
// A page holding a run of more characters than this without a blank or hyphen wraps its lines at
// any character. Qt's default, a break at a word boundary or else anywhere, scans the rest of such
// a run again for every line it breaks (seconds for a run of 200,000 characters, at every width);
// breaking anywhere is linear. Other pages keep breaking at word boundaries.
constexpr std::int64_t kLongestUnbrokenRun = 1000;

enum class Dest : std::uint8_t {
    Normal, // the page
    Skip,   // nothing, not even control words
    FontTable,
    ColorTable,
    StyleSheet,
    Container, // a group whose own text is hidden but whose result groups are shown
    FieldInstruction,
    Picture,
    NestTableProps,    // row definitions of a nested table
    Numbering,         // a paragraph's \pn definition
    NumberingText,     // the text before or after its number
    ShapePropertyName, // \sn of a drawing shape
};

struct GroupState {
    CharProps chars;
    ParaProps para;
    std::int32_t unicodeSkip = 1;
    Dest dest = Dest::Normal;
    Dest resumeDest = Dest::Normal;     // where a container's result groups send their text
    std::int32_t field = -1;            // the field whose \fldinst and \fldrslt follow
    std::int32_t instructionField = -1; // the field receiving FieldInstruction text
    bool listText = false;              // inside \listtext or \pntext
    bool numberingAfter = false;        // NumberingText: the text after the number
};

struct NumberingDef {
    NumberStyle style = NumberStyle::Decimal;
    std::int32_t start = 1;
    std::int32_t level = 10; // 10: body text; 1..9: outline levels
    QString before;
    QString after;
};

struct Field {
    QString instruction;
    Dest outerDest = Dest::Normal;
    std::int32_t outerInstructionField = -1;
    std::int32_t link = -2; // -2: not yet worked out; -1: not a link
};

struct FontDraft {
    bool active = false;
    std::int32_t number = 0;
    std::int32_t charset = -1;
    std::int32_t codePage = 0;
    FontFamily family = FontFamily::Any;
    QString name;
};

struct ReaderState {
    explicit ReaderState(QTextDocument& doc, std::span<const std::uint8_t> bytes, const LinkRule& rule)
        : document(doc), cursor(&doc), linkActs(rule)
    {
        tokens.input = bytes;
        tableBuilder.cellBudget = tableCellBudget(bytes.size());
    }

    TokenizerState tokens;
    QTextDocument& document;
    QTextCursor cursor;
    DocumentTables tables;
    CodePageDecoder decoder;

    std::vector<GroupState> stack; // stack[0] is the state outside the document's group
    // Groups opened beyond kMaxGroupDepth have no state of their own: their text goes where the
    // deepest tracked group's goes, formatted as it is.
    int overflowDepth = 0;
    int overflowSkipDepth = 0; // overflow depth of a group whose content is skipped; 0 = none
    bool damaged = false;
    bool previousWasGroupOpen = false;
    bool destinationStar = false;    // "{\*" was just read
    std::int32_t fallbackToSkip = 0; // characters after \uN still to skip

    std::vector<std::uint8_t> pendingBytes; // text bytes not yet decoded
    QString decoded;

    QString run; // text not yet inserted, all in runProps
    CharProps runProps;
    // Formats already made, by the properties they were made from; cleared whenever the font
    // or colour tables change, and when it grows large.
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> formats;

    bool paragraphStarted = false;
    bool endedWithParagraphBreak = false;

    // The page's estimated height: the paragraphs ended so far, then the one being read.
    double heightUsed = 0;
    double lineHeight = 0;            // tallest line of the paragraph, pixels
    double textWidth = 0;             // its text laid out in one line, pixels
    std::int64_t characters = 0;      // characters in it, each of which may start a line
    std::int64_t forcedLines = 0;     // line breaks in it
    std::int64_t unbrokenRun = 0;     // characters since the last blank, hyphen or line end
    std::int64_t longestUnbroken = 0; // the longest such run on the page
    bool heightExhausted = false;     // the estimate passed kMaxPageHeight: the rest is dropped

    FontDraft font;
    ColorEntry color;
    bool colorStarted = false;

    TableBuilder tableBuilder;
    RowDefinitions rowDefinitions;
    bool rowDefinitionOpen = false; // after \trowd until \row: text belongs to the table

    PictureProps picture;
    std::size_t pictureDepth = 0; // stack size of the group that holds \pict; 0 = none
    bool pictureShown = false;
    PictureStore pictures;

    std::vector<Field> fields;
    const LinkRule& linkActs;

    // Drawing shapes: a picture shape holds its picture in the property "pib"; the shape's result
    // group repeats it for readers without shapes, and is skipped once the picture was shown.
    QString shapePropertyName;
    bool shapePictureShown = false;

    std::vector<NumberingDef> numberings;
    bool listTextSeen = false;       // the paragraph had \listtext or \pntext ...
    bool listTextHasContent = false; // ... with more than white space in it
    std::int64_t paragraphCount = 0;
    std::int64_t lastNumberedParagraph = -2;
    NumberStyle lastNumberStyle = NumberStyle::Bullet;
    std::int32_t lastNumberLevel = 0;
    std::int32_t lastNumber = 0;
};

GroupState& current(ReaderState& r)
{
    return r.stack.back();
}

// The \pn definition a numbering group is filling in, or nullptr (a \pard inside it, say).
NumberingDef* numberingOf(ReaderState& r, const GroupState& state)
{
    if ((state.dest != Dest::Numbering && state.dest != Dest::NumberingText) || state.para.numbering < 0 ||
        static_cast<std::size_t>(state.para.numbering) >= r.numberings.size())
        return nullptr;
    return &r.numberings[static_cast<std::size_t>(state.para.numbering)];
}

// ---------------------------------------------------------------------------------------------
// Page output

const QTextCharFormat& formatFor(ReaderState& r, const CharProps& props)
{
    if (const auto found = r.formats.find(props); found != r.formats.end())
        return found->second;
    if (r.formats.size() >= kMaxCachedFormats)
        r.formats.clear();
    return r.formats.emplace(props, charFormatFor(props, r.tables)).first->second;
}

int paragraphLevel(const ReaderState& r, const ParaProps& para)
{
    if (!para.inTable && !r.rowDefinitionOpen)
        return 0;
    return std::clamp(para.nestLevel, 1, kMaxTableDepth);
}

int tableDepth(const ReaderState& r)
{
    return static_cast<int>(r.tableBuilder.open.size());
}

void enterLevel(ReaderState& r, int level)
{
    const std::size_t defLevel = static_cast<std::size_t>(std::clamp(level, 1, kMaxTableDepth));
    const int columns = static_cast<int>(r.rowDefinitions.rows[defLevel].cells.size());
    enterTableLevel(r.tableBuilder, r.cursor, level, columns);
}

bool dropEmptyParagraphAfterBreak(ReaderState& r);

void startParagraph(ReaderState& r, int level)
{
    // A table placed after an empty paragraph would show that paragraph as a blank line; placed
    // at the end of the paragraph before, it follows that one directly.
    if (level > tableDepth(r) && !r.tableBuilder.disabled)
        dropEmptyParagraphAfterBreak(r);
    enterLevel(r, level);
    r.paragraphStarted = true;
    r.endedWithParagraphBreak = false;
}

// Keeps what a text layout cannot take: control characters, Qt's own structure markers, and
// surrogates without their partner.
void sanitize(QString& text)
{
    QChar* chars = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < size && chars[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            chars[i] = QChar(0xFFFD);
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || (c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFFFC) {
            chars[i] = QChar(0xFFFD);
        } else if (c == 0x2029) {
            chars[i] = QChar(QChar::LineSeparator);
        }
    }
}

void flushRun(ReaderState& r)
{
    if (r.run.isEmpty())
        return;
    sanitize(r.run);
    r.cursor.insertText(r.run, formatFor(r, r.runProps));
    r.run.clear();
}

bool isDroppedControl(char16_t c)
{
    return (c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0);
}

// ---------------------------------------------------------------------------------------------
// Page height estimate

double fontPixels(std::int32_t halfPoints)
{
    return std::clamp(halfPoints, 2, kMaxHalfPoints) / 2.0 * 96.0 / 72.0;
}

// Height of the paragraph being read: one line, plus one per line break, plus as many as its text
// takes on the narrowest page, but no more than one per character (narrow table cells and large
// fonts wrap inside words).
double paragraphHeight(ReaderState& r, const ParaProps& para)
{
    double perLine = std::max(r.lineHeight, fontPixels(current(r).chars.halfPoints) * kLineHeightPerPixel);
    if (para.lineSpacing != 0) {
        if (para.lineMultiple && para.lineSpacing > 0)
            perLine *= para.lineSpacing / 240.0;
        else
            perLine = std::max(perLine, std::abs(para.lineSpacing) / kTwipsPerPixel);
    }
    const double lines = 1.0 + static_cast<double>(r.forcedLines) +
        std::min(static_cast<double>(r.characters), r.textWidth / kNarrowestPage);
    return lines * perLine + (std::max(0, para.spaceBefore) + std::max(0, para.spaceAfter)) / kTwipsPerPixel;
}

// Adds `height` to the page; false (and the rest of the page is dropped) when that passes the limit.
bool addHeight(ReaderState& r, double height)
{
    if (r.heightUsed + height + paragraphHeight(r, current(r).para) > kMaxPageHeight) {
        r.heightExhausted = true;
        r.damaged = true;
        return false;
    }
    r.heightUsed += height;
    return true;
}

void endParagraphHeight(ReaderState& r, double extra = 0)
{
    const double height = paragraphHeight(r, current(r).para) + extra;
    r.lineHeight = 0;
    r.textWidth = 0;
    r.characters = 0;
    r.forcedLines = 0;
    r.unbrokenRun = 0;
    addHeight(r, height);
}

void countCharacter(ReaderState& r, QChar c, double width)
{
    r.textWidth += width;
    if (c == QChar::LineSeparator)
        ++r.forcedLines;
    else
        ++r.characters;
    if (c.isSpace() || c == u'-') {
        r.unbrokenRun = 0;
    } else if (++r.unbrokenRun > r.longestUnbroken) {
        r.longestUnbroken = r.unbrokenRun;
    }
}

// How many characters of `text` fit on the page before its height limit: all of them, or fewer
// when the limit is reached (the rest of the page is then dropped).
qsizetype countText(ReaderState& r, QStringView text, const CharProps& chars)
{
    const double pixels = fontPixels(chars.halfPoints);
    const double width = pixels * kCharWidthPerPixel;
    const double lineHeight = r.lineHeight;
    const double textWidth = r.textWidth;
    const std::int64_t characters = r.characters;
    const std::int64_t forcedLines = r.forcedLines;
    r.lineHeight = std::max(r.lineHeight, pixels * kLineHeightPerPixel);
    for (const QChar c : text)
        countCharacter(r, c, width);
    if (addHeight(r, 0))
        return text.size();
    // Too much: count again one character at a time.
    r.heightExhausted = false;
    r.textWidth = textWidth;
    r.characters = characters;
    r.forcedLines = forcedLines;
    qsizetype fits = 0;
    while (fits < text.size()) {
        countCharacter(r, text[fits], width);
        if (!addHeight(r, 0))
            break;
        ++fits;
    }
    r.lineHeight = fits > 0 ? r.lineHeight : lineHeight;
    return fits;
}

void appendPageText(ReaderState& r, QStringView text)
{
    const CharProps& chars = current(r).chars;
    if (chars.hidden || text.isEmpty())
        return;
    text = text.left(countText(r, text, chars));
    if (text.isEmpty())
        return;
    if (current(r).listText) {
        r.listTextSeen = true;
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); }))
            r.listTextHasContent = true;
    }
    if (!r.paragraphStarted)
        startParagraph(r, paragraphLevel(r, current(r).para));
    if (!(chars == r.runProps)) {
        flushRun(r);
        r.runProps = chars;
    }
    for (const QChar c : text) {
        if (!isDroppedControl(c.unicode()))
            r.run.append(c);
    }
    r.endedWithParagraphBreak = false;
}

void finishBlockFormat(ReaderState& r)
{
    r.cursor.setBlockFormat(blockFormatFor(current(r).para));
    if (r.cursor.block().length() <= 1)
        r.cursor.setBlockCharFormat(formatFor(r, current(r).chars));
}

QString numberText(std::int32_t n, NumberStyle style)
{
    switch (style) {
    case NumberStyle::UpperLetter:
    case NumberStyle::LowerLetter: {
        QString letters;
        for (std::int32_t v = std::max(1, n); v > 0; v = (v - 1) / 26)
            letters.prepend(QChar(u'A' + (v - 1) % 26));
        return style == NumberStyle::LowerLetter ? letters.toLower() : letters;
    }
    case NumberStyle::UpperRoman:
    case NumberStyle::LowerRoman: {
        if (n < 1 || n > 3999)
            return QString::number(n);
        static const std::pair<int, const char*> kRoman[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"},
            {100, "C"}, {90, "XC"}, {50, "L"}, {40, "XL"}, {10, "X"}, {9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"}};
        QString roman;
        for (const auto& [value, digits] : kRoman) {
            for (; n >= value; n -= value)
                roman += QLatin1String(digits);
        }
        return style == NumberStyle::LowerRoman ? roman.toLower() : roman;
    }
    default:
        return QString::number(n);
    }
}

// A paragraph numbered by \pn whose list text is missing or blank gets its number (or bullet)
// written in front of it, counting on from the paragraph before when that had the same style.
void numberParagraph(ReaderState& r)
{
    const std::int32_t index = current(r).para.numbering;
    if (index >= 0 && static_cast<std::size_t>(index) < r.numberings.size()) {
        const NumberingDef& def = r.numberings[static_cast<std::size_t>(index)];
        QString label;
        if (def.style == NumberStyle::Bullet) {
            label = def.before.isEmpty() ? QString(QChar(0x2022)) : def.before;
        } else {
            const bool continues = r.lastNumberedParagraph == r.paragraphCount - 1 && r.lastNumberStyle == def.style &&
                r.lastNumberLevel == def.level;
            r.lastNumber = continues && r.lastNumber < 1000000 ? r.lastNumber + 1 : def.start;
            label = def.before + numberText(r.lastNumber, def.style) + def.after;
            r.lastNumberedParagraph = r.paragraphCount;
            r.lastNumberStyle = def.style;
            r.lastNumberLevel = def.level;
        }
        if (!r.listTextHasContent && !current(r).chars.hidden) {
            if (!r.listTextSeen)
                label += u'\t';
            QTextCursor start = r.cursor;
            start.setPosition(r.cursor.block().position());
            start.insertText(label, formatFor(r, current(r).chars));
        }
    }
    r.listTextSeen = false;
    r.listTextHasContent = false;
    ++r.paragraphCount;
}

void paragraphBreak(ReaderState& r)
{
    flushRun(r);
    endParagraphHeight(r);
    if (r.heightExhausted)
        return;
    if (!r.paragraphStarted)
        startParagraph(r, paragraphLevel(r, current(r).para));
    numberParagraph(r);
    finishBlockFormat(r);
    r.cursor.insertBlock();
    r.paragraphStarted = false;
    r.endedWithParagraphBreak = true;
}

// A \par right before the end of a cell or of the document ends the last paragraph; it does
// not open an empty one after it.
bool dropEmptyParagraphAfterBreak(ReaderState& r)
{
    if (!r.endedWithParagraphBreak || r.cursor.block().length() > 1)
        return false;
    QTextCursor before = r.cursor;
    if (!before.movePosition(QTextCursor::PreviousCharacter) || before.currentFrame() != r.cursor.currentFrame())
        return false;
    QTextTable* table = r.cursor.currentTable();
    if (before.currentTable() != table)
        return false;
    if (table != nullptr && table->cellAt(before.position()) != table->cellAt(r.cursor.position()))
        return false;
    const QTextBlockFormat kept = before.blockFormat();
    r.cursor.deletePreviousChar();
    r.cursor.setBlockFormat(kept);
    r.endedWithParagraphBreak = false;
    return true;
}

void cellBreak(ReaderState& r, int level)
{
    flushRun(r);
    const RowDef& row = r.rowDefinitions.rows[static_cast<std::size_t>(std::clamp(level, 1, kMaxTableDepth))];
    const std::int32_t padding = std::max({row.gap, row.padding[static_cast<std::size_t>(Side::Top)],
        row.padding[static_cast<std::size_t>(Side::Bottom)]});
    endParagraphHeight(r, 2.0 * std::max(0, padding) / kTwipsPerPixel);
    if (r.heightExhausted)
        return;
    const bool dropped = !r.paragraphStarted && tableDepth(r) == level && rowOpen(r.tableBuilder) &&
        !r.tableBuilder.open.back().cellEnded && dropEmptyParagraphAfterBreak(r);
    if (!dropped) {
        if (!r.paragraphStarted || tableDepth(r) != level)
            startParagraph(r, level);
        numberParagraph(r);
        finishBlockFormat(r);
    }
    if (tableDepth(r) == level)
        endCell(r.tableBuilder, r.cursor);
    else
        r.cursor.insertBlock(); // no table could be made: the cell becomes a paragraph
    r.paragraphStarted = false;
    r.endedWithParagraphBreak = false;
}

void rowBreak(ReaderState& r, int level)
{
    flushRun(r);
    if (r.paragraphStarted)
        finishBlockFormat(r);
    if (tableDepth(r) != level || !rowOpen(r.tableBuilder))
        enterLevel(r, level);
    if (tableDepth(r) == level)
        endRow(r.tableBuilder, r.rowDefinitions.rows[static_cast<std::size_t>(level)], r.tables);
    else if (r.paragraphStarted)
        r.cursor.insertBlock();
    r.paragraphStarted = false;
    r.endedWithParagraphBreak = false;
    if (level == 1)
        r.rowDefinitionOpen = false;
}

void showPicture(ReaderState& r)
{
    if (current(r).chars.hidden)
        return;
    flushRun(r);
    if (!r.paragraphStarted)
        startParagraph(r, paragraphLevel(r, current(r).para));
    const QSize size = insertPicture(r.cursor, r.picture, formatFor(r, current(r).chars), r.pictures);
    addHeight(r, size.height());
    r.endedWithParagraphBreak = false;
}

// ---------------------------------------------------------------------------------------------
// Text of every destination

int textCodePage(ReaderState& r)
{
    if (r.tables.codePage == kUtf8CodePage)
        return kUtf8CodePage;
    if (current(r).dest == Dest::FontTable && r.font.active) {
        // A font's name is in its own code page, except for symbol fonts.
        int codePage = r.tables.codePage;
        if (r.font.codePage > 0)
            codePage = r.font.codePage;
        else if (r.font.charset >= 0)
            codePage = codePageForCharset(r.font.charset, r.tables.codePage);
        return codePage == kSymbolCodePage ? r.tables.codePage : codePage;
    }
    const FontEntry* font = fontAt(r.tables, current(r).chars.font);
    return font != nullptr && font->codePage > 0 ? font->codePage : r.tables.codePage;
}

void emitText(ReaderState& r, QStringView text)
{
    GroupState& state = current(r);
    switch (state.dest) {
    case Dest::Normal:
        appendPageText(r, text);
        break;
    case Dest::FieldInstruction:
        if (state.instructionField >= 0) {
            QString& instruction = r.fields[static_cast<std::size_t>(state.instructionField)].instruction;
            instruction.append(text.left(std::max<qsizetype>(0, kMaxFieldInstruction - instruction.size())));
        }
        break;
    case Dest::ShapePropertyName:
        r.shapePropertyName.append(text.left(std::max<qsizetype>(0, 16 - r.shapePropertyName.size())));
        break;
    case Dest::NumberingText:
        if (NumberingDef* def = numberingOf(r, state)) {
            QString& part = state.numberingAfter ? def->after : def->before;
            part.append(text.left(std::max<qsizetype>(0, kMaxNumberingText - part.size())));
        }
        break;
    case Dest::FontTable:
        if (r.font.active)
            r.font.name.append(text.left(std::max<qsizetype>(0, kMaxFontName - r.font.name.size())));
        break;
    default:
        break;
    }
}

void flushBytes(ReaderState& r)
{
    if (r.pendingBytes.empty())
        return;
    r.decoded.clear();
    decodeBytes(r.decoder, textCodePage(r), r.pendingBytes, r.decoded);
    r.pendingBytes.clear();
    emitText(r, r.decoded);
}

bool collectsText(Dest dest)
{
    return dest == Dest::Normal || dest == Dest::FieldInstruction || dest == Dest::FontTable ||
        dest == Dest::NumberingText || dest == Dest::ShapePropertyName;
}

void emitCharacter(ReaderState& r, char16_t c)
{
    flushBytes(r);
    emitText(r, QStringView(&c, 1));
}

void emitUnicode(ReaderState& r, std::int32_t value)
{
    if (value < 0)
        value += 65536;
    if (value < 0 || value > 0xFFFF) {
        emitCharacter(r, 0xFFFD);
        return;
    }
    const int codePage = textCodePage(r);
    // Symbol fonts' characters are often written in the private-use area, 0xF020..0xF0FF.
    if ((codePage == kSymbolCodePage || codePage == kWingdingsCodePage) && value >= 0xF020 && value <= 0xF0FF) {
        const char16_t mapped = symbolFontCharacter(codePage, static_cast<std::uint8_t>(value - 0xF000));
        if (mapped != 0)
            value = mapped;
    }
    emitCharacter(r, static_cast<char16_t>(value));
}

void finishFont(ReaderState& r)
{
    flushBytes(r);
    if (!r.font.active)
        return;
    FontDraft& draft = r.font;
    FontEntry entry;
    entry.name = draft.name.trimmed();
    entry.family = draft.family;
    if (draft.codePage > 0)
        entry.codePage = draft.codePage;
    else if (draft.charset >= 0)
        entry.codePage = codePageForCharset(draft.charset, r.tables.codePage);
    else
        entry.codePage = r.tables.codePage;
    if (entry.codePage == kSymbolCodePage && entry.name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
        entry.codePage = kWingdingsCodePage;
    if (r.tables.fonts.size() < kMaxFonts || r.tables.fonts.count(draft.number) != 0)
        r.tables.fonts[draft.number] = entry;
    draft = FontDraft{};
    r.formats.clear();
}

void finishColor(ReaderState& r)
{
    if (r.tables.colors.size() < kMaxColors)
        r.tables.colors.push_back(r.color);
    r.color = ColorEntry{};
    r.colorStarted = false;
    r.formats.clear();
}

// Bytes of text: the page and the tables decode them; pictures read them as hex.
void handleText(ReaderState& r, std::span<const std::uint8_t> bytes)
{
    GroupState& state = current(r);
    switch (state.dest) {
    case Dest::Picture:
        if (r.stack.size() >= r.pictureDepth && r.pictureDepth != 0)
            appendPictureHex(r.picture, bytes);
        return;
    case Dest::ColorTable:
        for (const std::uint8_t byte : bytes) {
            if (byte == ';')
                finishColor(r);
        }
        return;
    case Dest::FontTable:
        for (const std::uint8_t byte : bytes) {
            if (byte == ';') {
                finishFont(r);
            } else if (r.font.active) {
                r.pendingBytes.push_back(byte);
            }
        }
        return;
    default:
        if (collectsText(state.dest))
            r.pendingBytes.insert(r.pendingBytes.end(), bytes.begin(), bytes.end());
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Groups

void openGroup(ReaderState& r)
{
    flushBytes(r);
    if (r.stack.size() >= static_cast<std::size_t>(kMaxGroupDepth) || r.overflowDepth > 0) {
        ++r.overflowDepth;
        r.damaged = true;
        return;
    }
    r.stack.push_back(r.stack.back());
}

void closeGroup(ReaderState& r)
{
    flushBytes(r);
    if (r.overflowDepth > 0) {
        if (r.overflowSkipDepth == r.overflowDepth)
            r.overflowSkipDepth = 0;
        --r.overflowDepth;
        return;
    }
    const GroupState& closing = r.stack.back();
    if (closing.dest == Dest::FontTable && r.font.active)
        finishFont(r);
    if (closing.dest == Dest::ColorTable && r.colorStarted && r.stack[r.stack.size() - 2].dest != Dest::ColorTable)
        finishColor(r);
    if (r.pictureDepth == r.stack.size()) {
        r.pictureDepth = 0;
        const bool shown = r.pictureShown;
        r.stack.pop_back();
        if (shown)
            showPicture(r);
        r.picture = PictureProps{};
        return;
    }
    r.stack.pop_back();
}

// The destination a control word starts, for the group it stands in.
void startDestination(ReaderState& r, const ControlWord& word)
{
    const Op op = word.op;
    GroupState& state = current(r);
    const Dest dest = state.dest;
    switch (op) {
    case Op::DestFontTable:
        state.dest = Dest::FontTable;
        break;
    case Op::DestColorTable:
        state.dest = Dest::ColorTable;
        break;
    case Op::DestStyleSheet:
        state.dest = Dest::StyleSheet;
        break;
    case Op::DestSkip:
        state.dest = Dest::Skip;
        break;
    case Op::DestPicture:
        if ((dest == Dest::Normal || dest == Dest::Container) && r.pictureDepth == 0) {
            state.dest = Dest::Picture;
            r.picture = PictureProps{};
            r.pictureDepth = r.stack.size();
            r.pictureShown = dest == Dest::Normal || state.resumeDest == Dest::Normal;
            if (dest == Dest::Container && r.pictureShown)
                r.shapePictureShown = true;
        } else {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestField:
        if (dest == Dest::Normal || dest == Dest::FieldInstruction) {
            Field field;
            field.outerDest = dest;
            field.outerInstructionField = state.instructionField;
            r.fields.push_back(field);
            state.field = static_cast<std::int32_t>(r.fields.size() - 1);
            state.resumeDest = dest;
            state.dest = Dest::Container;
        } else {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestFieldInstruction:
        if (state.field >= 0 && dest == Dest::Container) {
            state.dest = Dest::FieldInstruction;
            state.instructionField = state.field;
        } else {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestFieldResult:
        if (state.field >= 0 && dest == Dest::Container) {
            Field& field = r.fields[static_cast<std::size_t>(state.field)];
            state.dest = field.outerDest;
            state.instructionField = field.outerInstructionField;
            if (field.outerDest == Dest::Normal) {
                if (field.link == -2) {
                    const QString target = fieldLinkTarget(field.instruction);
                    field.link = -1;
                    if (!target.isEmpty()) {
                        r.tables.links.push_back(LinkEntry{target, !r.linkActs || r.linkActs(target)});
                        field.link = static_cast<std::int32_t>(r.tables.links.size() - 1);
                    }
                }
                if (field.link >= 0)
                    state.chars.link = field.link;
            }
        } else {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestContainer:
        if (dest == Dest::Normal || dest == Dest::FieldInstruction) {
            state.resumeDest = dest;
            state.dest = Dest::Container;
        } else if (dest != Dest::Container) {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestResume:
        if (dest == Dest::Container)
            state.dest = state.resumeDest;
        break;
    case Op::DestNestTableProps:
        state.dest = dest == Dest::Normal ? Dest::NestTableProps : Dest::Skip;
        break;
    case Op::DestListText:
        state.listText = true;
        break;
    case Op::DestShape:
        if (dest == Dest::Normal) {
            state.resumeDest = dest;
            state.dest = Dest::Container;
            r.shapePictureShown = false;
        } else {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestShapePropertyName:
        r.shapePropertyName.clear();
        state.dest = dest == Dest::Container ? Dest::ShapePropertyName : Dest::Skip;
        break;
    case Op::DestShapePropertyValue:
        // Only the picture property is shown; a \pict in it goes to the page.
        state.dest =
            dest == Dest::Container && r.shapePropertyName == QLatin1String("pib") ? Dest::Container : Dest::Skip;
        break;
    case Op::DestShapeResult:
        if (dest == Dest::Container)
            state.dest = r.shapePictureShown ? Dest::Skip : state.resumeDest;
        break;
    case Op::DestNumbering:
        if (dest == Dest::Normal && r.stack.size() >= 3 && r.numberings.size() < kMaxNumberings) {
            r.numberings.emplace_back();
            const auto index = static_cast<std::int32_t>(r.numberings.size() - 1);
            state.para.numbering = index;
            r.stack[r.stack.size() - 2].para.numbering = index; // the paragraph the group stands in
            state.dest = Dest::Numbering;
        } else {
            state.dest = Dest::Skip;
        }
        break;
    case Op::DestNumberingText:
        if (dest == Dest::Numbering) {
            state.dest = Dest::NumberingText;
            state.numberingAfter = word.arg == 1;
        } else {
            state.dest = Dest::Skip;
        }
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Control words

bool on(const Token& t)
{
    return !t.hasParam || t.param != 0;
}

// Words that add text or breaks to the page without changing any group's properties.
bool addsContent(Op op)
{
    switch (op) {
    case Op::Par:
    case Op::Line:
    case Op::Tab:
    case Op::Char:
    case Op::Unicode:
    case Op::Cell:
    case Op::NestCell:
    case Op::Row:
    case Op::NestRow:
        return true;
    default:
        return false;
    }
}

void handleControlWord(ReaderState& r, const Token& t)
{
    const bool star = r.destinationStar;
    r.destinationStar = false;
    const ControlWord* word = t.word.empty() ? nullptr : findControlWord(t.word);
    GroupState& state = current(r);
    if (r.overflowDepth > 0) {
        // A group beyond the cap has no state to change: only words that add content act, and
        // a destination hides the whole group.
        if (star || (word != nullptr && word->op <= Op::DestShapeResult)) {
            r.overflowSkipDepth = r.overflowDepth;
            return;
        }
        if (word == nullptr || !addsContent(word->op))
            return;
    }
    if (word == nullptr || (star && word->op > Op::DestShapeResult)) {
        if (star)
            state.dest = Dest::Skip;
        return;
    }
    const Op op = word->op;
    if (op <= Op::DestShapeResult) {
        flushBytes(r);
        startDestination(r, *word);
        return;
    }
    // Font table entries: \fN starts one, the family, charset and code page describe it.
    if (state.dest == Dest::FontTable) {
        switch (op) {
        case Op::Font:
            finishFont(r);
            r.font.active = true;
            r.font.number = t.param;
            return;
        case Op::FontFamily:
            r.font.family = static_cast<FontFamily>(word->arg);
            return;
        case Op::FontCharset:
            flushBytes(r);
            r.font.charset = t.param;
            return;
        case Op::FontCodePage:
            flushBytes(r);
            r.font.codePage = t.param > 0 ? t.param : 0;
            return;
        default:
            break;
        }
    }

    const Dest dest = state.dest;
    CharProps& chars = state.chars;
    ParaProps& para = state.para;
    const int definedLevel = dest == Dest::NestTableProps ? std::clamp(para.nestLevel, 2, kMaxTableDepth) : 1;
    if (applyRowDefinitionWord(r.rowDefinitions, *word, t.param, definedLevel)) {
        if (op == Op::RowDefaults && definedLevel == 1 && dest == Dest::Normal)
            r.rowDefinitionOpen = true;
        return;
    }
    if (applyPictureWord(r.picture, *word, t.param, dest == Dest::Picture))
        return;
    switch (op) {
    case Op::Rtf:
        break;
    case Op::DocumentCodePage:
        r.tables.codePage = word->arg;
        break;
    case Op::AnsiCodePage:
        if (t.param > 0)
            r.tables.codePage = t.param;
        break;
    case Op::DefaultFont:
        r.tables.defaultFont = t.param;
        r.formats.clear();
        break;
    case Op::Font:
        flushBytes(r);
        chars.font = t.param;
        break;
    case Op::ColorComponent:
        if (dest == Dest::ColorTable) {
            const auto value = static_cast<QRgb>(std::clamp(t.param, 0, 255));
            QRgb& rgb = r.color.rgb;
            if (word->arg == 0)
                rgb = qRgb(static_cast<int>(value), qGreen(rgb), qBlue(rgb));
            else if (word->arg == 1)
                rgb = qRgb(qRed(rgb), static_cast<int>(value), qBlue(rgb));
            else
                rgb = qRgb(qRed(rgb), qGreen(rgb), static_cast<int>(value));
            r.color.automatic = false;
            r.colorStarted = true;
        }
        break;

    case Op::Plain: {
        flushBytes(r);
        const std::int32_t link = chars.link;
        chars = CharProps{};
        chars.link = link;
        break;
    }
    case Op::Bold:
        chars.bold = on(t);
        break;
    case Op::Italic:
        chars.italic = on(t);
        break;
    case Op::Underline:
        chars.underline = on(t);
        break;
    case Op::UnderlineNone:
        chars.underline = false;
        break;
    case Op::Strike:
        chars.strike = on(t);
        break;
    case Op::FontSize:
        chars.halfPoints = t.hasParam && t.param > 0 ? std::min(t.param, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
    case Op::Foreground:
        chars.foreground = t.hasParam ? t.param : 0;
        break;
    case Op::Background:
        chars.background = t.hasParam ? t.param : 0;
        break;
    case Op::Highlight:
        chars.highlight = t.hasParam ? t.param : 0;
        break;
    case Op::VerticalAlign:
        chars.vertical = static_cast<VerticalPosition>(word->arg);
        break;
    case Op::Raise:
        chars.vertical = t.param != 0 ? VerticalPosition::Super : VerticalPosition::Baseline;
        break;
    case Op::Lower:
        chars.vertical = t.param != 0 ? VerticalPosition::Sub : VerticalPosition::Baseline;
        break;
    case Op::Hidden:
        chars.hidden = on(t);
        break;
    case Op::Caps:
        chars.caps = on(t);
        break;
    case Op::SmallCaps:
        chars.smallCaps = on(t);
        break;
    case Op::UnicodeSkip:
        state.unicodeSkip = t.hasParam ? std::max(0, t.param) : 1;
        break;
    case Op::Unicode:
        if (t.hasParam && collectsText(dest)) {
            emitUnicode(r, t.param);
            r.fallbackToSkip = state.unicodeSkip;
        }
        break;

    case Op::Pard: {
        // List numbers are written in a group of their own that often starts with \pard; the
        // paragraph they belong to stays in its table.
        const bool inTable = para.inTable;
        const std::int32_t nestLevel = para.nestLevel;
        para = ParaProps{};
        if (state.listText) {
            para.inTable = inTable;
            para.nestLevel = nestLevel;
        }
        break;
    }
    case Op::Par:
        flushBytes(r);
        if (dest == Dest::Normal)
            paragraphBreak(r);
        break;
    case Op::Line:
        if (dest == Dest::Normal)
            emitCharacter(r, QChar::LineSeparator);
        break;
    case Op::Tab:
        emitCharacter(r, u'\t');
        break;
    case Op::Char:
        emitCharacter(r, static_cast<char16_t>(word->arg));
        break;
    case Op::Align:
        para.alignment = static_cast<Alignment>(word->arg);
        break;
    case Op::LeftIndent:
        para.leftIndent = clampTwips(t.param);
        break;
    case Op::RightIndent:
        para.rightIndent = clampTwips(t.param);
        break;
    case Op::FirstIndent:
        para.firstIndent = clampTwips(t.param);
        break;
    case Op::SpaceBefore:
        para.spaceBefore = clampTwips(t.param);
        break;
    case Op::SpaceAfter:
        para.spaceAfter = clampTwips(t.param);
        break;
    case Op::LineSpacing:
        para.lineSpacing = clampTwips(t.param);
        break;
    case Op::LineMultiple:
        para.lineMultiple = t.param == 1;
        break;
    case Op::TabStop:
        if (para.tabCount < kMaxTabStops)
            para.tabs[static_cast<std::size_t>(para.tabCount++)] = TabStop{clampTwips(t.param), para.nextTabAlignment};
        para.nextTabAlignment = TabAlignment::Left;
        break;
    case Op::TabKind:
        para.nextTabAlignment = static_cast<TabAlignment>(word->arg);
        break;
    case Op::InTable:
        para.inTable = on(t);
        break;
    case Op::NestLevel:
        para.nestLevel = std::clamp(t.param, 0, kMaxTableDepth);
        if (para.nestLevel == 0)
            para.inTable = false;
        break;

    case Op::Cell:
        flushBytes(r);
        if (dest == Dest::Normal)
            cellBreak(r, 1);
        break;
    case Op::NestCell:
        flushBytes(r);
        if (dest == Dest::Normal)
            cellBreak(r, std::clamp(para.nestLevel, 2, kMaxTableDepth));
        break;
    case Op::Row:
        flushBytes(r);
        if (dest == Dest::Normal)
            rowBreak(r, 1);
        break;
    case Op::NestRow:
        flushBytes(r);
        if (dest == Dest::Normal || dest == Dest::NestTableProps)
            rowBreak(r, std::clamp(para.nestLevel, 2, kMaxTableDepth));
        break;
    case Op::DefaultTab:
        if (t.param > 0) {
            QTextOption option = r.document.defaultTextOption();
            option.setTabStopDistance(twipsToPixels(std::min(t.param, 1440 * 4)));
            r.document.setDefaultTextOption(option);
        }
        break;

    case Op::NumberingStyle:
        if (NumberingDef* def = numberingOf(r, state))
            def->style = static_cast<NumberStyle>(word->arg);
        break;
    case Op::NumberingStart:
        if (NumberingDef* def = numberingOf(r, state))
            def->start = std::clamp(t.param, 0, 32767);
        break;
    case Op::NumberingLevel:
        if (NumberingDef* def = numberingOf(r, state))
            def->level = word->arg == 10 ? 10 : std::clamp(t.param, 1, 9);
        break;

    default:
        break;
    }
}

void handleControlSymbol(ReaderState& r, char c)
{
    const bool star = r.destinationStar;
    r.destinationStar = false;
    const Dest dest = current(r).dest;
    switch (c) {
    case '*':
        r.destinationStar = star || r.previousWasGroupOpen;
        break;
    case '~':
        emitCharacter(r, 0x00A0);
        break;
    case '-':
        emitCharacter(r, 0x00AD);
        break;
    case '_':
        emitCharacter(r, 0x2011);
        break;
    case '\\':
    case '{':
    case '}':
        // Literal bytes: they may be the second byte of a double-byte character.
        if (collectsText(dest))
            r.pendingBytes.push_back(static_cast<std::uint8_t>(c));
        break;
    default:
        break;
    }
}

void handleToken(ReaderState& r, const Token& t)
{
    switch (t.kind) {
    case TokenKind::GroupOpen:
        openGroup(r);
        return;
    case TokenKind::GroupClose:
        closeGroup(r);
        return;
    default:
        break;
    }
    // Nothing outside the document's group is shown, nor anything after the height limit.
    if (r.stack.size() == 1 || r.heightExhausted)
        return;
    const Dest dest = current(r).dest;
    if (dest == Dest::Skip || r.overflowSkipDepth > 0) {
        if (t.kind == TokenKind::BadBinary)
            r.damaged = true;
        return;
    }
    switch (t.kind) {
    case TokenKind::ControlWord:
        flushBytes(r);
        handleControlWord(r, t);
        return;
    case TokenKind::ControlSymbol:
        if (t.param != '\\' && t.param != '{' && t.param != '}')
            flushBytes(r);
        handleControlSymbol(r, static_cast<char>(t.param));
        return;
    case TokenKind::HexByte:
        r.destinationStar = false;
        if (collectsText(dest) || dest == Dest::FontTable) {
            const auto byte = static_cast<std::uint8_t>(t.param);
            handleText(r, std::span<const std::uint8_t>(&byte, 1));
        }
        return;
    case TokenKind::Text:
        r.destinationStar = false;
        handleText(r, t.bytes);
        return;
    case TokenKind::Binary:
        r.destinationStar = false;
        if (dest == Dest::Picture && r.pictureDepth != 0)
            appendPictureBinary(r.picture, t.bytes);
        return;
    case TokenKind::BadBinary:
        // The data cannot be there: give up this group only.
        flushBytes(r);
        r.damaged = true;
        if (r.overflowDepth > 0) {
            r.overflowSkipDepth = r.overflowDepth;
            return;
        }
        current(r).dest = Dest::Skip;
        if (r.pictureDepth != 0)
            r.pictureShown = false;
        return;
    default:
        return;
    }
}

// Unicode fallback: after \uN the next N characters (\ucN) are skipped; a text byte, \'hh, a
// control word or a whole \bin is one character, and a brace ends the skipping.
bool skipFallback(ReaderState& r, Token& t)
{
    if (r.fallbackToSkip <= 0)
        return false;
    switch (t.kind) {
    case TokenKind::Text: {
        const auto n = std::min<std::size_t>(static_cast<std::size_t>(r.fallbackToSkip), t.bytes.size());
        r.fallbackToSkip -= static_cast<std::int32_t>(n);
        t.bytes = t.bytes.subspan(n);
        return t.bytes.empty();
    }
    case TokenKind::ControlWord:
    case TokenKind::ControlSymbol:
    case TokenKind::HexByte:
    case TokenKind::Binary:
        --r.fallbackToSkip;
        return true;
    default:
        r.fallbackToSkip = 0;
        return false;
    }
}

void finishDocument(ReaderState& r)
{
    flushBytes(r);
    flushRun(r);
    if (r.paragraphStarted) {
        numberParagraph(r);
        finishBlockFormat(r);
        r.paragraphStarted = false;
    }
    enterTableLevel(r.tableBuilder, r.cursor, 0, 1);
    dropEmptyParagraphAfterBreak(r);
}

bool startsAsRtf(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    const std::string_view rest(reinterpret_cast<const char*>(bytes.data() + i), bytes.size() - i);
    return rest.starts_with("{\\rtf") || rest.starts_with("{\\urtf");
}

void readPlainText(std::span<const std::uint8_t> bytes, QTextDocument& out)
{
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), end - bytes.begin());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (utf8.hasError()) {
        CodePageDecoder decoder;
        text.clear();
        decodeBytes(decoder, kDefaultCodePage,
            std::span<const std::uint8_t>(
                reinterpret_cast<const std::uint8_t*>(raw.data()), static_cast<std::size_t>(raw.size())),
            text);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor cursor(&out);
    cursor.insertText(text);
}

} // namespace

bool readRtf(std::span<const std::uint8_t> bytes, QTextDocument& out, const LinkRule& linkActs)
{
    const bool undo = out.isUndoRedoEnabled();
    out.setUndoRedoEnabled(false);
    out.clear();
    // Tab stops every half inch unless the page says otherwise (\deftab).
    QTextOption option = out.defaultTextOption();
    option.setTabStopDistance(twipsToPixels(kDefaultTabTwips));
    out.setDefaultTextOption(option);
    bool complete = true;
    if (!bytes.empty() && !startsAsRtf(bytes)) {
        readPlainText(bytes, out);
        complete = false;
    } else if (!bytes.empty()) {
        ReaderState r(out, bytes, linkActs);
        r.stack.reserve(64);
        r.stack.emplace_back();
        r.cursor.beginEditBlock();
        bool rootClosed = false;
        for (;;) {
            Token token = nextToken(r.tokens);
            if (token.kind == TokenKind::End)
                break;
            if (skipFallback(r, token))
                continue;
            handleToken(r, token);
            r.previousWasGroupOpen = token.kind == TokenKind::GroupOpen;
            if (token.kind == TokenKind::GroupClose && r.stack.size() == 1 && r.overflowDepth == 0) {
                rootClosed = true;
                break;
            }
        }
        if (!rootClosed) {
            r.damaged = true;
            r.overflowDepth = 0;
            r.overflowSkipDepth = 0;
            while (r.stack.size() > 1)
                closeGroup(r);
        }
        finishDocument(r);
        r.cursor.endEditBlock();
        complete = !r.damaged;
        if (r.longestUnbroken > kLongestUnbrokenRun) {
            option.setWrapMode(QTextOption::WrapAnywhere);
            out.setDefaultTextOption(option);
        }
    }
    out.setUndoRedoEnabled(undo);
    return complete;
}

} // namespace rtf
