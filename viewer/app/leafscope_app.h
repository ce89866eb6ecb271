#pragma once
// Leafscope's application: the state of one run, its start-up, the dispatch of
// the main loop's events and its end. Single-threaded: everything runs on the
// user-interface thread.
//
//   std::vector<std::u16string> arguments = copyArguments(argc, argv); // before the toolkit
//   toolkit::initialise(argc, argv);
//   leafscope::LeafscopeApp app;
//   if (leafscope::startLeafscope(app, leafscope::defaultStartOptions(arguments)))
//       leafscope::runEventLoop(app);

#include <filesystem>
#include <string>
#include <vector>

#include "program_versions.h"
#include "toolkit/toolkit.h"
#include "viewer/app/command_line.h"
#include "viewer/app/document_access.h"
#include "viewer/app/find_bar.h"
#include "viewer/app/full_text_search.h"
#include "viewer/app/history.h"
#include "viewer/app/title_index.h"
#include "viewer/app/viewer_texts.h"

namespace leafscope {

inline constexpr char16_t kMainWindowCaption[] = u"Leafscope v" LEAFSCOPE_VERSION " - Orvanix";
inline constexpr char16_t kFileDialogTitle[] = u"Leafscope";
inline constexpr char16_t kPrintDocumentName[] = u"Leafscope";
inline constexpr int kZoomStep = 20;

struct StartOptions {
    std::filesystem::path programFolder;   // with a trailing "/"
    std::vector<std::u16string> arguments; // program name excluded, copied before the toolkit started
    std::u16string systemLocaleName;       // the user's locale name as the system spells it
    int displayWidth = 0;                  // of the primary screen
    toolkit::ScreenRect screenArea;        // the primary screen's available area
    // What the window system draws around a window: unknown (0) until it has
    // framed one; the toolkit fits the window again once it knows.
    toolkit::FrameExtents frame;
};

// The options of a normal start: this executable's folder, `arguments`, the
// user's locale and the primary screen's width and available area (the toolkit
// must be running).
StartOptions defaultStartOptions(std::vector<std::u16string> arguments);

// The arguments after the program name as path text (platform::pathTextFromBytes):
// bytes that are not UTF-8 survive, so such a document path still opens.
std::vector<std::u16string> copyArguments(int argc, char** argv);

struct LeafscopeApp {
    std::filesystem::path programFolder;
    std::u16string locale;
    ViewerTextTable texts;
    CommandLine commandLine;
    WindowSize windowSize;
    document::HelpDocument doc;
    HistoryList history;
    int currentPage = 0;
    int zoom = 100; // the stored zoom, applied again after every page change
    int toolbarHeight = 0;
    bool quit = false;
    std::vector<TitleIndexEntry> titleIndex;
    std::vector<int> indexRows; // the index list's rows: positions in titleIndex
    FindBarState find;
    FullTextState fullText;
};

// Start-up up to showing the main window with the document's start page. False
// when the program is to end without running its loop: the main window cannot
// be opened, the document's packing is None, or the open-file dialog was
// cancelled or gave no ".help" file.
bool startLeafscope(LeafscopeApp& app, const StartOptions& options);

// Acts on one event of the main loop (of any of the three windows).
void handleEvent(LeafscopeApp& app, const toolkit::Event& event);

// Waits for and handles events until quit is set.
void runEventLoop(LeafscopeApp& app);

// The text of `key` in the chosen locale.
std::u16string lookup(const LeafscopeApp& app, std::string_view key);

// The commands, also used by the tests.
void selectTreeItem(LeafscopeApp& app); // the tree reported a new selection
void goHome(LeafscopeApp& app);
void goPrevious(LeafscopeApp& app);
void goNext(LeafscopeApp& app);
void zoomBy(LeafscopeApp& app, int step);
void zoomTo100(LeafscopeApp& app);
// The number of pages printed; 0 when the dialog was cancelled, -1 on failure
// and when no printer is installed (a window then says so).
int printPage(LeafscopeApp& app);
void showAboutWindow(LeafscopeApp& app);
void showPropertiesWindow(LeafscopeApp& app);
void openWebsiteLink(LeafscopeApp& app);
// The Index tab: shows the entries matching `query`; shows the page of list row `row`.
void filterIndex(LeafscopeApp& app, std::u16string_view query);
void showIndexRow(LeafscopeApp& app, int row);
// A link in the page was clicked: "#Title" shows that page as the tree would,
// a web or mail address goes to the desktop, anything else is ignored.
void followPageLink(LeafscopeApp& app);

} // namespace leafscope
