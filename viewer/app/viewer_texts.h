#pragma once
// Leafscope's built-in interface texts for en_GB, en_US and hu_HU, chosen once
// at start-up from the user's locale name.

#include <array>
#include <map>
#include <string>
#include <string_view>

namespace leafscope {

inline constexpr int kViewerTextCount = 35;

// The keys, in the order of every locale's block of texts.
extern const std::array<std::string_view, kViewerTextCount> kViewerTextKeys;

// The locales with texts, in order; the first is the fallback.
extern const std::array<std::u16string_view, 3> kViewerLocales;

// The locale whose texts to show for a system locale name such as "hu-HU" or
// "en_US": "-" becomes "_" and the whole name must equal one of kViewerLocales
// exactly; anything else (empty, "C", "de_DE", "en_AU") gives "en_GB".
std::u16string chooseViewerLocale(std::u16string_view systemLocaleName);

struct ViewerTextTable {
    std::map<std::string, std::u16string, std::less<>> texts;

    // The text of `key`, or the empty text for a key that is not there.
    std::u16string lookupText(std::string_view key) const;
};

// The texts of `locale` (one of kViewerLocales; any other name gives en_GB's).
ViewerTextTable viewerTextTable(std::u16string_view locale);

} // namespace leafscope
