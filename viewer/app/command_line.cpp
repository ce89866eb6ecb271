#include "viewer/app/command_line.h"

#include <filesystem>
#include <system_error>

#include "platform/ascii.h"
#include "platform/text.h"
#include "program_versions.h"

namespace leafscope {
namespace {

std::u16string_view lastComponent(std::u16string_view path)
{
    const std::size_t slash = path.find_last_of(u'/');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

bool hasExtension(std::u16string_view path)
{
    return lastComponent(path).find(u'.') != std::u16string_view::npos;
}

bool isSwitch(std::u16string_view argument, std::string_view name)
{
    if (argument.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = argument[i];
        if (c > 0x7F || platform::lowerAscii(static_cast<char>(c)) != platform::lowerAscii(name[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool hasHelpExtension(std::u16string_view path)
{
    const std::u16string_view name = lastComponent(path);
    const std::size_t dot = name.find_last_of(u'.');
    return dot != std::u16string_view::npos && name.substr(dot + 1) == u"help";
}

CommandLine classifyArguments(const std::vector<std::u16string>& arguments, const RegularFileTest& isRegularFile)
{
    CommandLine line;
    for (const std::u16string& argument : arguments) {
        const bool fullScreen = isSwitch(argument, "/FS");
        const bool inMemory = isSwitch(argument, "/MEM");
        if (hasHelpExtension(argument) && isRegularFile(argument)) {
            line.documentPath = argument;
        }
        if (fullScreen) {
            line.maximized = true;
        }
        if (inMemory) {
            line.inMemory = true;
        }
        if (!argument.empty() && !hasExtension(argument) && !fullScreen && !inMemory) {
            line.startPageTitle = argument;
        }
    }
    return line;
}

bool isRegularFile(std::u16string_view path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(platform::pathFromUtf16(path), error);
}

EarlyAction earlyAction(const std::vector<std::u16string>& arguments)
{
    if (arguments.size() == 1 && arguments[0] == u"--help") {
        return EarlyAction::PrintUsage;
    }
    if (arguments.size() == 1 && arguments[0] == u"--version") {
        return EarlyAction::PrintVersion;
    }
    return EarlyAction::Run;
}

std::string usageText()
{
    return "Usage: Leafscope [DOCUMENT.help] [PAGE TITLE] [/FS] [/MEM]\n"
           "Shows a help document. Without a document it asks for one.\n"
           "  DOCUMENT.help  the help document to show\n"
           "  PAGE TITLE     the title of the page to show first (any letter case)\n"
           "  /FS            start with the window maximised\n"
           "  /MEM           read every page into memory when the document opens\n"
           "Keys: Ctrl+keypad plus/minus zoom in/out, Ctrl+keypad * back to 100 %.\n";
}

std::string versionText()
{
    return "Leafscope " LEAFSCOPE_VERSION "\n";
}

WindowSize mainWindowSize(int displayWidth)
{
    return displayWidth > 1024 ? WindowSize{1440, 720} : WindowSize{1024, 768};
}

toolkit::ScreenRect mainWindowRect(int displayWidth, toolkit::ScreenRect area, toolkit::FrameExtents frame)
{
    const WindowSize wanted = mainWindowSize(displayWidth);
    return toolkit::fitWindowToArea(
        wanted.width, wanted.height, kMainWindowMinimum.width, kMainWindowMinimum.height, area, frame);
}

} // namespace leafscope
