#pragma once
// TextTable: the program's interface texts by key, filled from language files.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace settings {

class TextTable {
public:
    // The text of `key` (keys are case-sensitive), as a copy; the empty text
    // when the key is not in the table. Plain ASCII keys may be given as
    // narrow literals: lookupText("tGenOK") equals lookupText(u"tGenOK").
    std::u16string lookupText(std::u16string_view key) const;
    std::u16string lookupText(std::string_view asciiKey) const;

    bool contains(std::u16string_view key) const;

    // Sets the text of `key`, replacing any text it had.
    void setText(std::u16string_view key, std::u16string_view text);

    std::size_t size() const { return texts_.size(); }

private:
    std::map<std::u16string, std::u16string, std::less<>> texts_;
};

} // namespace settings
