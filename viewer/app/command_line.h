#pragma once
// Leafscope's command line: any number of arguments in any order, each tested
// on its own against four independent tests; for the texts a later argument
// replaces an earlier one.
//
//     Leafscope "/home/ilona/Hashmere_en_GB.help" Introduction /mem /FS
//
//   document    an existing regular file whose name ends in ".help" (exactly,
//               in lower case, after the last dot of the last path component)
//   /FS         (any letter case) the main window starts maximised
//   /MEM        (any letter case) every page is read into memory once at open
//   start page  no extension and neither switch: a page title to show first
//
// Anything else (a missing file, "notes.txt", an empty argument) is ignored.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/window_fit.h"

namespace leafscope {

struct CommandLine {
    std::u16string documentPath;
    std::u16string startPageTitle;
    bool maximized = false;
    bool inMemory = false;
};

// True when `path` names an existing regular file (not a folder).
using RegularFileTest = std::function<bool(std::u16string_view path)>;

// True when the last path component of `path` has a dot and the text after its
// last dot is exactly "help".
bool hasHelpExtension(std::u16string_view path);

// Classifies `arguments` (program name excluded). Pure: the file system is only
// asked through `isRegularFile`.
CommandLine classifyArguments(const std::vector<std::u16string>& arguments, const RegularFileTest& isRegularFile);

// The file-system test classifyArguments uses in the program.
bool isRegularFile(std::u16string_view path);

// What the program does before its window system starts.
enum class EarlyAction { Run, PrintUsage, PrintVersion };

// "--help" or "--version" as the only argument print text and end; anything
// else runs the viewer.
EarlyAction earlyAction(const std::vector<std::u16string>& arguments);

// The texts printed for PrintUsage and PrintVersion, each ending in a line feed.
std::string usageText();
std::string versionText();

struct WindowSize {
    int width = 0;
    int height = 0;
};

// The main window's inner size for a primary display `displayWidth` pixels
// wide: 1440 x 720 when wider than 1024, else 1024 x 768.
WindowSize mainWindowSize(int displayWidth);

inline constexpr WindowSize kMainWindowMinimum{800, 600};

// Where the main window goes: mainWindowSize where it fits the screen's
// available area `area` with the window system's `frame`, otherwise shrunk to
// that area, never below kMainWindowMinimum unless the area is smaller; centred.
toolkit::ScreenRect mainWindowRect(int displayWidth, toolkit::ScreenRect area, toolkit::FrameExtents frame);

} // namespace leafscope
