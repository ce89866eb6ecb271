#pragma once
// Hashmere's application: the state of one running program, its start-up,
// the dispatch of the main loop's events and its shutdown. All of it runs on
// the user-interface thread except where a member says otherwise.
//
//   toolkit::initialise(argc, argv);
//   hashmere::HashmereApp hashmere;
//   if (hashmere::startHashmere(hashmere, hashmere::defaultStartOptions(argc, argv)))
//       hashmere::runEventLoop(hashmere);
//   hashmere::shutdownHashmere(hashmere);
//   hashmere::endProcess(hashmere); // never returns

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "checksum/app/requester.h"
#include "checksum/app/viewer_launch.h"
#include "checksum/engine/checksum_worker.h"
#include "checksum/settings/languages.h"
#include "checksum/settings/preferences_file.h"
#include "program_versions.h"
#include "toolkit/toolkit.h"

namespace hashmere {

inline constexpr char16_t kMainWindowCaption[] = u"Hashmere v" HASHMERE_VERSION " (x86) - Orvanix";
inline constexpr int kMainWindowWidth = 1000;
inline constexpr int kMainWindowHeight = 605;

// Posted by the checksum worker when it ends.
inline constexpr std::int32_t kWorkerFinished = 65536;

struct StartOptions {
    std::filesystem::path programFolder;   // with a trailing "/"
    std::filesystem::path perUserFolder;   // where the preferences go when not portable
    std::vector<std::u16string> arguments; // the command-line parameters, program name excluded
    // The system's locale name; asked of the system when empty.
    std::u16string systemLocaleName;
};

// The options of a normal start: this executable's folder, the user's
// settings folder and the command line.
StartOptions defaultStartOptions(int argc, char** argv);

struct HashmereApp {
    std::filesystem::path programFolder;
    std::u16string startFile;
    // The chosen file as path text (its bytes kept, platform/text.h); FileField
    // shows its display form. Written by the user-interface thread only while
    // no run is active; the worker reads it.
    std::u16string filePath;
    settings::Preferences preferences;
    settings::Languages languages;
    RequesterStyles styles;
    std::vector<settings::LanguageEntry> menuLanguages; // Languages menu item 5 + n
    int currentLanguageItem = -1;
    bool quitRequested = false;
    bool hasMenu = false;

    // The run
    bool runActive = false;
    bool runCancelled = false;
    bool closeAfterRun = false; // a close request came as the worker was finishing
    engine::WorkerShared worker;
    engine::WorkerPause pause;
    std::thread workerThread;
    // Starts the worker's thread; empty: a std::thread. Throws std::system_error
    // when no thread can be started (tests stand in for the system here).
    std::function<std::thread(std::function<void()> body)> startThread;
    // Worker thread: called at each of the worker's pause points after the
    // pause has been honoured (tests hold the worker here).
    std::function<void(engine::PausePlace place, int row)> workerHook;

    ViewerState viewer;
};

// Start-up up to showing the main window. False when the main window could
// not be opened (the program then ends without writing preferences).
bool startHashmere(HashmereApp& app, const StartOptions& options);

// Acts on one event of the main loop.
void handleEvent(HashmereApp& app, const toolkit::Event& event);

// Waits for and handles events until quitRequested is set.
void runEventLoop(HashmereApp& app);

// Reads the check boxes, writes the preferences and ends a viewer started here.
void shutdownHashmere(HashmereApp& app);

// Releases the toolkit and ends the process with `code`. A worker that is
// still running ends with the process: nothing waits for it.
[[noreturn]] void endProcess(HashmereApp& app, int code);

// The commands, also used by the tests.
void selectFile(HashmereApp& app, std::u16string_view path);
bool switchLanguage(HashmereApp& app, int menuItem); // false when nothing changed
void showAboutWindow(HashmereApp& app);
void openWebsite(HashmereApp& app);
void openHelp(HashmereApp& app);

// The checked rows' lines as Copy all and Save produce them.
std::u16string currentResultLines();

} // namespace hashmere
