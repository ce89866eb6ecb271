#include "checksum/settings/text_table.h"

namespace settings {

std::u16string TextTable::lookupText(std::u16string_view key) const
{
    const auto found = texts_.find(key);
    return found == texts_.end() ? std::u16string() : found->second;
}

std::u16string TextTable::lookupText(std::string_view asciiKey) const
{
    return lookupText(std::u16string(asciiKey.begin(), asciiKey.end()));
}

bool TextTable::contains(std::u16string_view key) const
{
    return texts_.find(key) != texts_.end();
}

void TextTable::setText(std::u16string_view key, std::u16string_view text)
{
    const auto found = texts_.find(key);
    if (found != texts_.end())
        found->second.assign(text);
    else
        texts_.emplace(std::u16string(key), std::u16string(text));
}

} // namespace settings
