#pragma once
// Text compared the way a reader expects when looking for words: accents,
// case and special letters do not count. One rule for the title index, find
// in page and full-text search: compatibility decomposition, combining marks
// dropped, case folded, and the letters no decomposition takes apart spelt
// with plain ones ("Straße" as "strasse", "Łódź" as "lodz", "Øre" as "ore").

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace leafscope {

struct FoldedText {
    std::u16string text;
    // origin[i]: the position in the unfolded text of folded unit i; one more
    // entry at the end holds the unfolded text's length.
    std::vector<int> origin;
};

// Folds `text`; with `keepCase` letter case is kept.
FoldedText foldText(std::u16string_view text, bool keepCase = false);

// The folded text alone, for words and queries.
std::u16string foldedString(std::u16string_view text, bool keepCase = false);

// Every place `needle` occurs in `text` once both are folded, as ranges of the
// unfolded text (a match covers the whole characters its ends fall in and the
// marks that follow its last letter), from
// the start, not overlapping, at most `limit`. Empty for an empty needle (or one
// that folds to nothing).
std::vector<toolkit::TextRange> findFolded(
    std::u16string_view text, std::u16string_view needle, bool keepCase, std::size_t limit);

} // namespace leafscope
