#include "checksum/settings/languages.h"

#include <algorithm>
#include <utility>

#include "checksum/settings/language_container.h"
#include "checksum/settings/language_keys.h"
#include "platform/folders.h"

namespace settings {

void scanLanguages(const std::filesystem::path& container, LanguageList& list)
{
    forEachLanguageFile(container, [&](std::u16string_view baseName, PreferencesDocument& document) {
        document.selectGroup(kLanguageFileGroup);
        list.add(document.readText(u"tLangFileNAME", u""), baseName);
    });
}

bool loadLanguage(const std::filesystem::path& container, std::u16string_view baseName, TextTable& table)
{
    PreferencesDocument document;
    if (!openLanguageFile(container, baseName, document))
        return false;
    mergeLanguageTexts(document, table);
    return true;
}

void mergeLanguageTexts(PreferencesDocument& document, TextTable& table)
{
    std::u16string group;
    std::u16string key;
    std::u16string value;
    while (document.nextGroup(group)) {
        while (document.nextKey(key, value))
            table.setText(key, value);
    }
}

std::u16string chooseStartLanguage(
    std::u16string_view savedBaseName, bool portable, const LanguageList& list, std::u16string_view systemLocaleName)
{
    std::u16string baseName(savedBaseName);
    if (baseName.empty() && !portable) {
        baseName = systemLocaleName;
        std::replace(baseName.begin(), baseName.end(), u'-', u'_');
    }
    if (baseName.empty() || list.findBaseName(baseName) == nullptr)
        baseName = kFallbackLanguage;
    return baseName;
}

void startLanguages(Languages& languages, const std::filesystem::path& programFolder, const Preferences& preferences,
    std::u16string_view systemLocaleName)
{
    languages.container = programFolder / kLanguageContainerName;
    scanLanguages(languages.container, languages.languageList);
    languages.languageBaseName = chooseStartLanguage(
        preferences.languageBaseName, preferences.portable, languages.languageList, systemLocaleName);
    loadLanguage(languages.container, languages.languageBaseName, languages.textTable);
}

void startLanguages(Languages& languages, const std::filesystem::path& programFolder, const Preferences& preferences)
{
    // The system is asked only when its answer can matter.
    const bool needLocale = preferences.languageBaseName.empty() && !preferences.portable;
    startLanguages(languages, programFolder, preferences, needLocale ? platform::defaultLocaleName() : u"");
}

bool selectLanguage(Languages& languages, std::u16string_view displayName)
{
    const LanguageEntry* entry = languages.languageList.find(displayName);
    if (entry == nullptr)
        return false;
    std::u16string baseName = entry->baseName;
    const bool loaded = loadLanguage(languages.container, baseName, languages.textTable);
    languages.languageBaseName = std::move(baseName);
    return loaded;
}

} // namespace settings
