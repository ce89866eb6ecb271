#pragma once
// File-dialog filter lists: labels and masks alternating, all
// separated by "|", several masks in one field separated by ";":
//
//     "Text files (*.txt)|*.txt|All files (*.*)|*.*"
//
// A trailing label without masks gets the mask "*". Empty fields are kept as
// they are (an empty label, or an empty mask that matches nothing).

#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

struct FileFilter {
    std::u16string label;
    std::vector<std::u16string> masks; // "*.*" is given as "*": on Linux it must match names without a dot
};

std::vector<FileFilter> parseFilterList(std::u16string_view filters);

} // namespace toolkit
