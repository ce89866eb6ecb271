#include "viewer/document/contents.h"

#include <algorithm>

#include "viewer/document/field_text.h"

namespace document {

void decodeContents(std::u16string_view fieldText, ContentsList& list)
{
    list.clear();
    FieldCursor cursor{fieldText};
    std::u16string_view field;
    if (!nextField(cursor, field) || !nextField(cursor, field))
        return;
    const std::int64_t count = static_cast<std::int32_t>(static_cast<std::uint32_t>(parseNumber(field)));
    const std::int64_t wanted = std::min(count, kMaxContentsRecords);
    if (wanted <= 0)
        return;
    // Every record takes four separators at least: no more can be in the text.
    list.reserve(static_cast<std::size_t>(std::min<std::int64_t>(wanted, fieldText.size() / 4 + 1)));
    for (std::int64_t i = 0; i < wanted; ++i) {
        std::u16string_view level, entryName, title, size;
        if (!nextField(cursor, level) || !nextField(cursor, entryName) || !nextField(cursor, title) ||
            !nextField(cursor, size))
            return;
        ContentsRecord record;
        record.level = static_cast<std::int8_t>(static_cast<std::uint8_t>(parseNumber(level)));
        record.entryName = entryName;
        record.title = title;
        record.size = static_cast<std::int32_t>(static_cast<std::uint32_t>(parseNumber(size)));
        list.push_back(std::move(record));
    }
}

void readContents(const std::string& path, PackingKind kind, ContentsList& list)
{
    if (!openPack(path, kind))
        return;
    std::vector<std::uint8_t> bytes;
    const std::int32_t count = readWholeEntry(u"contents", bytes);
    closePack();
    if (count < 0)
        list.clear();
    else if (count > 0)
        decodeContents(fieldTextFromBuffer(bytes.data(), bytes.size()), list);
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
