#pragma once
// Text compared the way a reader expects when looking for words: accents and
// case do not count. Folding decomposes every character, drops the combining
// marks and case-folds the rest ("Érvényes" and "ervenyes" fold alike).

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

// Folds `text`; with `keepCase` only the accents are folded away.
FoldedText foldText(std::u16string_view text, bool keepCase = false);

// The folded text alone, for words and queries.
std::u16string foldedString(std::u16string_view text, bool keepCase = false);

// Every place `needle` occurs in `text` once both are folded, as ranges of the
// unfolded text (a match covers the marks that follow its last letter), from
// the start, not overlapping, at most `limit`. Empty for an empty needle (or one
// that folds to nothing).
std::vector<toolkit::TextRange> findFolded(
    std::u16string_view text, std::u16string_view needle, bool keepCase, std::size_t limit);

} // namespace leafscope
