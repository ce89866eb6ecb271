#pragma once
// The interface languages: finding the language files, choosing the start
// language, loading a language's texts and switching at run time.
//
// Typical start-up, after loadPreferences:
//
//   settings::Languages languages;
//   settings::startLanguages(languages, programFolder, preferences);
//   ... build the menu from languages.languageList.entries(), checking the
//       entry whose baseName equals languages.languageBaseName ...
//   button.setText(languages.textTable.lookupText(u"tMainVERIFY"));
//
// All of it runs on the user-interface thread.

#include <filesystem>
#include <string>
#include <string_view>

#include "checksum/settings/language_list.h"
#include "checksum/settings/preferences_document.h"
#include "checksum/settings/preferences_file.h"
#include "checksum/settings/text_table.h"

namespace settings {

// In the program folder: a folder or a ZIP archive of "*.language" files.
inline constexpr char kLanguageContainerName[] = "Hashmere.lang";

// The language used when no other can be chosen; it must ship.
inline constexpr std::u16string_view kFallbackLanguage = u"en_GB";

struct Languages {
    std::filesystem::path container; // the LanguageContainer path
    LanguageList languageList;       // filled once at start-up
    TextTable textTable;             // grows with every load, never emptied
    std::u16string languageBaseName; // the current language, saved at exit
};

// Adds an entry to `list` for every language file in `container`, with the
// file's tLangFileNAME (group "LANGUAGE FILE", blanks trimmed, empty when
// missing) as display name. Of two files with one display name the one read
// later wins. Unreadable files are skipped; a missing or empty container adds
// nothing.
void scanLanguages(const std::filesystem::path& container, LanguageList& list);

// Merges every key/value pair of the language file `baseName` (pairs above
// the first group excepted) into `table`, later pairs overriding earlier
// ones; keys the file lacks keep their texts. False, with `table` unchanged,
// when the file cannot be found or read.
bool loadLanguage(const std::filesystem::path& container, std::u16string_view baseName, TextTable& table);

// Merges every key/value pair of the open language `document` into `table`,
// later pairs overriding earlier ones (pairs above the first group excepted).
void mergeLanguageTexts(PreferencesDocument& document, TextTable& table);

// The base name to start with: the saved one; when none is saved and the
// settings are per-user (not portable), the system locale name with every
// "-" made "_"; "en_GB" when that too is empty or no listed language has
// exactly this base name (letter case counts).
std::u16string chooseStartLanguage(
    std::u16string_view savedBaseName, bool portable, const LanguageList& list, std::u16string_view systemLocaleName);

// Sets up `languages` from the program folder's container: scans it,
// chooses the start language (asking the system for its locale name when
// `systemLocaleName` is not given) and loads it.
void startLanguages(Languages& languages, const std::filesystem::path& programFolder, const Preferences& preferences);
void startLanguages(Languages& languages, const std::filesystem::path& programFolder, const Preferences& preferences,
    std::u16string_view systemLocaleName);

// Switches to the language listed under `displayName`: loads its texts over
// the current ones and makes it current even when loading fails. False when
// no language has this display name (nothing changes then) or loading failed.
bool selectLanguage(Languages& languages, std::u16string_view displayName);

} // namespace settings
