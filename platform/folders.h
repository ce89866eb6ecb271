#pragma once
// Where things live on this system: the program's own folder, the user's
// folders, the temporary folder, and the user's locale name.
//
// Folder results end with "/" so that a file name can be appended directly;
// the empty path means "cannot be determined". The *From variants take the
// environment values as arguments (nullptr for an unset variable) so that
// they can be tested without touching the process environment.

#include <filesystem>
#include <string>

namespace platform {

// Folder of the running executable (from /proc/self/exe), or the empty path.
std::filesystem::path programFolder();

// The user's application-data folder: $XDG_CONFIG_HOME when it is an absolute
// path, else the profile folder + ".config/", else the empty path.
std::filesystem::path applicationDataFolder();
std::filesystem::path applicationDataFolderFrom(const char* xdgConfigHome, const char* home);

// The user's home folder ($HOME when it is an absolute path), or the empty path.
std::filesystem::path profileFolder();
std::filesystem::path profileFolderFrom(const char* home);

// $TMPDIR when it is set and not empty, else "/tmp/".
std::filesystem::path temporaryFolder();
std::filesystem::path temporaryFolderFrom(const char* tmpdir);

// The user's locale name as the environment spells it, such as "hu_HU" or
// "de-DE": the first non-empty of LC_ALL, LC_MESSAGES and LANG, without a
// ".codeset" or "@modifier" part and at most 255 characters long. The empty
// text when none is set or the locale is "C" or "POSIX" (no language chosen).
std::u16string defaultLocaleName();
std::u16string defaultLocaleNameFrom(const char* lcAll, const char* lcMessages, const char* lang);

} // namespace platform
