#include "viewer/app/text_folding.h"

#include <QChar>
#include <QString>

#include <algorithm>

namespace leafscope {
namespace {

bool isCombiningMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
        category == QChar::Mark_Enclosing;
}

// Letters that no decomposition takes apart, written the way a reader without
// them types them ("Øre" as "ore", "Łódź" as "lodz").
const char16_t* spelledOut(char32_t c)
{
    switch (c) {
    case U'\u00df':
        return u"ss";
    case U'\u1e9e':
        return u"SS";
    case U'\u00f8':
        return u"o";
    case U'\u00d8':
        return u"O";
    case U'\u0142':
        return u"l";
    case U'\u0141':
        return u"L";
    case U'\u0111':
        return u"d";
    case U'\u0110':
        return u"D";
    case U'\u0127':
        return u"h";
    case U'\u0126':
        return u"H";
    case U'\u0131':
        return u"i";
    case U'\u00e6':
        return u"ae";
    case U'\u00c6':
        return u"AE";
    case U'\u0153':
        return u"oe";
    case U'\u0152':
        return u"OE";
    case U'\u00fe':
        return u"th";
    case U'\u00de':
        return u"TH";
    default:
        return nullptr;
    }
}

void appendUnit(FoldedText& folded, char16_t unit, int origin)
{
    folded.text.push_back(unit);
    folded.origin.push_back(origin);
}

// Appends the folded form of the character `c` (from position `origin`):
// compatibility decomposition ("ﬁ" as "fi", "²" as "2"), marks dropped, case
// folded unless `keepCase`, the letters above spelt out.
void appendFolded(FoldedText& folded, char32_t c, int origin, bool keepCase, int depth = 0)
{
    if (depth < 8 && QChar::decompositionTag(c) != QChar::NoDecomposition) {
        const QString parts = QChar::decomposition(c);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            char32_t part = parts[i].unicode();
            if (parts[i].isHighSurrogate() && i + 1 < parts.size() && parts[i + 1].isLowSurrogate()) {
                part = QChar::surrogateToUcs4(parts[i], parts[i + 1]);
                ++i;
            }
            appendFolded(folded, part, origin, keepCase, depth + 1);
        }
        return;
    }
    if (isCombiningMark(c)) {
        return;
    }
    if (!keepCase) {
        const char32_t lower = QChar::toCaseFolded(c);
        if (lower != c) {
            appendFolded(folded, lower, origin, keepCase, depth + 1);
            return;
        }
    }
    if (const char16_t* spelling = spelledOut(c)) {
        for (; *spelling != 0; ++spelling) {
            appendUnit(folded, keepCase ? *spelling : static_cast<char16_t>(QChar::toCaseFolded(*spelling)), origin);
        }
        return;
    }
    if (QChar::requiresSurrogates(c)) {
        appendUnit(folded, QChar::highSurrogate(c), origin);
        appendUnit(folded, QChar::lowSurrogate(c), origin);
    } else {
        appendUnit(folded, static_cast<char16_t>(c), origin);
    }
}

} // namespace

FoldedText foldText(std::u16string_view text, bool keepCase)
{
    FoldedText folded;
    folded.text.reserve(text.size());
    folded.origin.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            // The common case first: ASCII needs no tables.
            appendUnit(folded, !keepCase && c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c,
                static_cast<int>(i));
            continue;
        }
        char32_t code = c;
        const std::size_t start = i;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        appendFolded(folded, code, static_cast<int>(start), keepCase);
    }
    folded.origin.push_back(static_cast<int>(text.size()));
    return folded;
}

std::u16string foldedString(std::u16string_view text, bool keepCase)
{
    return foldText(text, keepCase).text;
}

std::vector<toolkit::TextRange> findFolded(
    std::u16string_view text, std::u16string_view needle, bool keepCase, std::size_t limit)
{
    std::vector<toolkit::TextRange> found;
    const std::u16string folded = foldedString(needle, keepCase);
    if (folded.empty() || limit == 0) {
        return found;
    }
    const FoldedText haystack = foldText(text, keepCase);
    const std::u16string_view in = haystack.text;
    std::size_t at = in.find(folded);
    while (at != std::u16string_view::npos && found.size() < limit) {
        const int start = haystack.origin[at];
        // A match ends after the whole character its last unit comes from ("ß" for "ss"
        // or for its first "s"), with the marks that follow it.
        std::size_t after = at + folded.size();
        while (haystack.origin[after] == haystack.origin[after - 1]) {
            ++after;
        }
        const int end = haystack.origin[after];
        found.push_back({start, end - start});
        at = in.find(folded, after);
    }
    return found;
}

} // namespace leafscope
