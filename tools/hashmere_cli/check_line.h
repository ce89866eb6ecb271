#pragma once
// One line of a checksum list as md5sum, sha256sum and their kin write it:
//
//   d41d8cd98f00b204e9800998ecf8427e  empty.txt        text mode
//   d41d8cd98f00b204e9800998ecf8427e *empty.bin        binary mode (same digest here)
//   \d41d8cd98f00b204e9800998ecf8427e  new\nline       escaped name: \\, \n and \r
//   SHA256 (notes.txt) = e3b0c442...                   BSD tag form
//
// Blank lines and lines starting with '#' are not check lines. A line that
// fits none of these forms gives std::nullopt.

#include <optional>
#include <string>
#include <string_view>

namespace hashmere_cli {

struct CheckLine {
    std::string expectedHex; // lower-cased
    std::string fileName;
    std::string tag; // algorithm named by a BSD tag line, upper case; empty otherwise
};

std::optional<CheckLine> parseCheckLine(std::string_view line);

} // namespace hashmere_cli
