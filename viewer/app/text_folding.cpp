#include "viewer/app/text_folding.h"

#include <QChar>
#include <QString>

#include <algorithm>

namespace leafscope {
namespace {

// The base letter of `c` after canonical decomposition ("ő" gives "o", "ǖ" gives "u").
char16_t baseOf(char16_t c)
{
    while (QChar::decompositionTag(c) == QChar::Canonical) {
        const QString parts = QChar::decomposition(c);
        if (parts.isEmpty() || parts.front().isSurrogate() || parts.front().unicode() == c) {
            break;
        }
        c = parts.front().unicode();
    }
    return c;
}

bool isCombiningMark(char16_t c)
{
    const QChar::Category category = QChar::category(static_cast<char32_t>(c));
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
        category == QChar::Mark_Enclosing;
}

} // namespace

FoldedText foldText(std::u16string_view text, bool keepCase)
{
    FoldedText folded;
    folded.text.reserve(text.size());
    folded.origin.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < 0x80) {
            // The common case first: ASCII needs no tables.
            if (!keepCase && c >= u'A' && c <= u'Z') {
                c = static_cast<char16_t>(c - u'A' + u'a');
            }
        } else if (QChar::isSurrogate(c)) {
            // Outside the basic plane: kept as it is.
        } else if (isCombiningMark(c)) {
            continue;
        } else {
            c = baseOf(c);
            if (!keepCase) {
                c = static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
            }
        }
        folded.text.push_back(c);
        folded.origin.push_back(static_cast<int>(i));
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
        const int end = haystack.origin[at + folded.size()];
        found.push_back({start, end - start});
        at = in.find(folded, at + folded.size());
    }
    return found;
}

} // namespace leafscope
