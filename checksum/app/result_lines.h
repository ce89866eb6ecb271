#pragma once
// The text that Copy all puts on the clipboard and Save writes: one line per
// checked row, in row order, the row's result label followed directly by its
// result text (possibly empty), each line ending in CR LF. Nothing else.

#include <array>
#include <string>

#include "checksum/engine/algorithm_rows.h"

namespace hashmere {

struct RowResults {
    std::array<bool, engine::kAlgorithmRowCount> checked{};
    std::array<std::u16string, engine::kAlgorithmRowCount> results{};
};

std::u16string resultLines(const RowResults& rows);

// "name" plus ".txt" when the file name part has no extension; else unchanged.
std::u16string withDefaultExtension(std::u16string_view path);

// Everything up to and including the last "/", or the empty text.
std::u16string folderPart(std::u16string_view path);

// The expected checksum in the first line of `bytes`: the bytes up to the first
// CR or LF, decoded as UTF-8 (a byte-order mark stays as U+FEFF).
std::u16string firstLineText(std::string_view bytes);

// A web address for the desktop's handler: "https://" before a bare host name.
std::u16string webAddress(std::u16string_view address);

} // namespace hashmere
