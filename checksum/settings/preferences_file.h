#pragma once
// "Hashmere.prefs": the interface language and the eleven algorithm check
// boxes, kept between runs. Read once at start-up, rewritten from scratch at
// exit.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

inline constexpr char kPreferencesFileName[] = "Hashmere.prefs";

// Below the user's application-data folder.
inline constexpr char kPerUserSubfolder[] = "Orvanix/Hashmere/";

inline constexpr std::size_t kAlgorithmKeyCount = 11;

// Keys of the check boxes in the group "General", in algorithm row order.
// clang-format off
inline constexpr std::array<std::u16string_view, kAlgorithmKeyCount> kAlgorithmKeys = {
    u"CRC32",   u"MD5",     u"SHA1",    u"SHA2224", u"SHA2256", u"SHA2384",
    u"SHA2512", u"SHA3224", u"SHA3256", u"SHA3384", u"SHA3512",
};
// clang-format on

using AlgorithmChecks = std::array<bool, kAlgorithmKeyCount>;

struct Preferences {
    // Where "Hashmere.prefs" was read from and is written to at exit, with a
    // trailing "/"; the empty path means the current directory.
    std::filesystem::path settingsFolder;
    // True when the file sits in the program's own folder.
    bool portable = false;
    // Base name of the chosen language file, empty when none was saved.
    std::u16string languageBaseName;
    // Check box states in row order; a saved value other than 0 is checked.
    AlgorithmChecks algorithmChecks{};
};

// `applicationDataFolder` + "Orvanix/Hashmere/", or the empty path when the
// application-data folder is unknown (empty).
std::filesystem::path perUserSettingsFolder(const std::filesystem::path& applicationDataFolder);

// Creates `folder` one level at a time from the left, skipping levels that
// exist; a level that cannot be created is skipped silently.
void createFolderLevels(const std::filesystem::path& folder);

// Chooses the settings folder and reads the preferences from it. When
// "Hashmere.prefs" opens in `programFolder` (even empty or read-only), that
// folder is used and nothing is created; otherwise `perUserFolder` is
// created if missing and used, whether or not a file is found there. What
// cannot be read keeps its default: no language, every box off.
Preferences loadPreferences(const std::filesystem::path& programFolder, const std::filesystem::path& perUserFolder);

// Rewrites settingsFolder + "Hashmere.prefs" from scratch with the language
// and the check box states. False when the file cannot be created or
// written; the caller goes on regardless.
bool savePreferences(const std::filesystem::path& settingsFolder, std::u16string_view languageBaseName,
    const AlgorithmChecks& algorithmChecks);

} // namespace settings
