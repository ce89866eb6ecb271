#include "checksum/settings/preferences_file.h"

#include <sys/stat.h>

#include "checksum/settings/preferences_document.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kLanguageGroup = u"Language";
constexpr std::u16string_view kLanguageKey = u"Language";
constexpr std::u16string_view kGeneralGroup = u"General";
constexpr std::u16string_view kComment = u"Hashmere Preferences";

void readInto(PreferencesDocument& document, Preferences& preferences)
{
    document.selectGroup(kLanguageGroup);
    preferences.languageBaseName = document.readText(kLanguageKey, u"");
    document.selectGroup(kGeneralGroup);
    for (std::size_t row = 0; row < kAlgorithmKeyCount; ++row)
        preferences.algorithmChecks[row] = document.readInteger(kAlgorithmKeys[row], 0) != 0;
    document.closeDocument();
}

} // namespace

fs::path perUserSettingsFolder(const fs::path& applicationDataFolder)
{
    if (applicationDataFolder.empty())
        return {};
    std::string folder = applicationDataFolder.native();
    if (folder.back() != '/')
        folder += '/';
    return fs::path(folder + kPerUserSubfolder);
}

void createFolderLevels(const fs::path& folder)
{
    std::string text = folder.native();
    if (text.empty())
        return;
    if (text.back() != '/')
        text += '/';
    for (std::size_t slash = text.find('/'); slash != std::string::npos; slash = text.find('/', slash + 1)) {
        if (slash == 0)
            continue;
        const std::string level = text.substr(0, slash);
        struct stat info {};
        if (::stat(level.c_str(), &info) != 0)
            ::mkdir(level.c_str(), 0700);
    }
}

Preferences loadPreferences(const fs::path& programFolder, const fs::path& perUserFolder)
{
    Preferences preferences;
    PreferencesDocument document;
    if (!programFolder.empty() && document.openDocument(programFolder / kPreferencesFileName)) {
        preferences.settingsFolder = programFolder;
        preferences.portable = true;
        readInto(document, preferences);
        return preferences;
    }
    preferences.settingsFolder = perUserFolder;
    createFolderLevels(perUserFolder);
    if (document.openDocument(perUserFolder / kPreferencesFileName))
        readInto(document, preferences);
    return preferences;
}

bool savePreferences(
    const fs::path& settingsFolder, std::u16string_view languageBaseName, const AlgorithmChecks& algorithmChecks)
{
    PreferencesDocument document;
    if (!document.createDocument(settingsFolder / kPreferencesFileName))
        return false;
    document.addComment(kComment);
    document.selectGroup(kLanguageGroup);
    document.writeText(kLanguageKey, languageBaseName);
    document.selectGroup(kGeneralGroup);
    for (std::size_t row = 0; row < kAlgorithmKeyCount; ++row)
        document.writeInteger(kAlgorithmKeys[row], algorithmChecks[row] ? 1 : 0);
    return document.closeDocument();
}

} // namespace settings
