// Fuzzes the decoding of the "properties" and "contents" entries from the
// viewer's read buffers, tree placement and the title search.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "viewer/document/contents.h"
#include "viewer/document/document_properties.h"
#include "viewer/document/field_text.h"

using namespace document;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kContentsCapacity), 0);
    std::copy_n(data, std::min(size, buffer.size()), buffer.begin());

    DocumentProperties properties;
    decodeProperties(fieldTextFromBuffer(buffer.data(), kPropertiesCapacity), properties);

    ContentsList list;
    decodeContents(fieldTextFromBuffer(buffer.data(), buffer.size()), list);
    if (list.size() > static_cast<std::size_t>(kMaxContentsRecords))
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
