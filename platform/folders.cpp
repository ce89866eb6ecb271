#include "platform/folders.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "platform/text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

bool isSet(const char* value)
{
    return value != nullptr && value[0] != '\0';
}

// `folder` with exactly one trailing "/".
fs::path asFolder(std::string_view folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    std::string text(folder);
    if (text != "/")
        text += '/';
    return fs::path(text);
}

} // namespace

fs::path programFolder()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error || !executable.is_absolute())
        return {};
    return asFolder(executable.parent_path().native());
}

fs::path profileFolderFrom(const char* home)
{
    if (!isSet(home) || home[0] != '/')
        return {};
    return asFolder(home);
}

fs::path applicationDataFolderFrom(const char* xdgConfigHome, const char* home)
{
    if (isSet(xdgConfigHome) && xdgConfigHome[0] == '/')
        return asFolder(xdgConfigHome);
    const fs::path profile = profileFolderFrom(home);
    if (profile.empty())
        return {};
    return fs::path(profile.native() + ".config/");
}

fs::path temporaryFolderFrom(const char* tmpdir)
{
    return asFolder(isSet(tmpdir) ? tmpdir : "/tmp");
}

std::u16string defaultLocaleNameFrom(const char* lcAll, const char* lcMessages, const char* lang)
{
    const char* chosen = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : isSet(lang) ? lang : "";
    std::string_view name(chosen);
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX")
        return {};
    std::u16string result = utf8ToUtf16(name);
    if (result.size() > 255)
        result.resize(255);
    return result;
}

fs::path applicationDataFolder()
{
    return applicationDataFolderFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

fs::path profileFolder()
{
    return profileFolderFrom(std::getenv("HOME"));
}

fs::path temporaryFolder()
{
    return temporaryFolderFrom(std::getenv("TMPDIR"));
}

std::u16string defaultLocaleName()
{
    return defaultLocaleNameFrom(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

} // namespace platform
