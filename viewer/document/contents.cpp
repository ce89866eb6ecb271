#include "viewer/document/contents.h"

#include <algorithm>
#include <memory>
#include <new>

#include "viewer/document/field_text.h"

namespace document {

void decodeContents(std::u16string_view fieldText, ContentsList& list)
{
    const std::vector<std::u16string_view> fields = splitFields(fieldText);
    const auto field = [&](std::size_t n) { return n <= fields.size() ? fields[n - 1] : std::u16string_view(); };
    const std::int64_t count = static_cast<std::int32_t>(static_cast<std::uint32_t>(parseNumber(field(2))));
    list.clear();
    const std::int64_t kept = std::min(count, kMaxContentsRecords);
    if (kept <= 0)
        return;
    list.reserve(static_cast<std::size_t>(kept));
    for (std::int64_t i = 0; i < kept; ++i) {
        const auto base = static_cast<std::size_t>(4 * i + 3);
        ContentsRecord record;
        record.level = static_cast<std::int8_t>(static_cast<std::uint8_t>(parseNumber(field(base))));
        record.entryName = field(base + 1);
        record.title = field(base + 2);
        record.size = static_cast<std::int32_t>(static_cast<std::uint32_t>(parseNumber(field(base + 3))));
        list.push_back(std::move(record));
    }
}

void readContents(const std::string& path, PackingKind kind, ContentsList& list)
{
    if (!openPack(path, kind))
        return;
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kContentsCapacity]());
    if (buffer != nullptr) {
        const std::int32_t count = readEntry(u"contents", buffer.get(), kContentsCapacity);
        if (count != 0)
            decodeContents(fieldTextFromBuffer(buffer.get(), kContentsCapacity), list);
    }
    closePack();
}

std::vector<std::int32_t> contentsTreeParents(const ContentsList& list)
{
    std::vector<std::int32_t> parents(list.size(), -1);
    std::vector<std::int32_t> depths(list.size(), 0);
    for (std::size_t i = 1; i < list.size(); ++i) {
        const std::int32_t level = std::max<std::int32_t>(list[i].level, 0);
        const auto previous = static_cast<std::int32_t>(i - 1);
        const std::int32_t depth = depths[i - 1];
        if (level > depth) {
            parents[i] = previous;
            depths[i] = depth + 1;
        } else {
            // Equal level: a sibling of the previous item; lower: a sibling of
            // its ancestor at that depth. Depths never exceed 127, so the walk
            // is short.
            std::int32_t ancestor = previous;
            while (depths[static_cast<std::size_t>(ancestor)] > level)
                ancestor = parents[static_cast<std::size_t>(ancestor)];
            parents[i] = parents[static_cast<std::size_t>(ancestor)];
            depths[i] = level;
        }
    }
    return parents;
}

std::vector<std::int32_t> contentsTreeDepths(const ContentsList& list)
{
    const std::vector<std::int32_t> parents = contentsTreeParents(list);
    std::vector<std::int32_t> depths(parents.size(), 0);
    for (std::size_t i = 0; i < parents.size(); ++i)
        depths[i] = parents[i] < 0 ? 0 : depths[static_cast<std::size_t>(parents[i])] + 1;
    return depths;
}

} // namespace document
