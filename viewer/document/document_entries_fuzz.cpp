// Fuzzes the decoding of the "properties" and "contents" entries as read whole,
// tree placement and the title search.

#include <cstdint>
#include <vector>

#include "viewer/document/contents.h"
#include "viewer/document/document_properties.h"
#include "viewer/document/field_text.h"

using namespace document;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text = fieldTextFromBuffer(data, size);

    DocumentProperties properties;
    decodeProperties(text, properties);

    ContentsList list;
    decodeContents(text, list);
    // Four fields per record, all present in the text.
    if (list.size() > static_cast<std::size_t>(kMaxContentsRecords) || list.size() * 4 > text.size() + 1)
        __builtin_trap();
    const std::vector<std::int32_t> parents = contentsTreeParents(list);
    const std::vector<std::int32_t> depths = contentsTreeDepths(list);
    for (std::size_t i = 0; i < parents.size(); ++i) {
        // Parents come before their children, and depths never jump by more than one.
        if (parents[i] >= static_cast<std::int32_t>(i) || (i > 0 && depths[i] > depths[i - 1] + 1))
            __builtin_trap();
    }
    if (!list.empty()) {
        const std::int32_t page = findPageByTitle(list, list.back().title);
        if (page < 0 || static_cast<std::size_t>(page) >= list.size())
            __builtin_trap();
    }
    return 0;
}
