// Start-up, the main window with its menus and gadgets, choosing a file, the
// language switch, the main loop's dispatch, closing and shutdown.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "checksum/app/hashmere_ids.h"
#include "checksum/app/hashmere_internal.h"
#include "checksum/app/hashmere_resources.h"
#include "checksum/app/result_lines.h"
#include "checksum/engine/algorithm_rows.h"
#include "checksum/engine/digest.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace hashmere {
namespace {

namespace fs = std::filesystem;

std::u16string ascii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

bool isExistingFile(std::u16string_view path)
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(platform::pathFromUtf16(path), error);
}

void applyRequesterTexts(HashmereApp& app)
{
    setRequesterTexts(app.styles,
        requesterTexts([&app](std::u16string_view key) { return app.languages.textTable.lookupText(key); }));
}

void createMenus(HashmereApp& app)
{
    app.hasMenu = toolkit::createMenuBar(kMainWindow);
    if (!app.hasMenu) {
        return;
    }
    toolkit::addMenuTitle(kMainWindow, lookup(app, "tMenuFILE"));
    toolkit::addMenuItem(kMainWindow, kMenuOpen, lookup(app, "tMenuOPEN"), kOpenIcon);
    toolkit::addMenuSeparator(kMainWindow);
    toolkit::addMenuItem(kMainWindow, kMenuQuit, lookup(app, "tMenuQUIT"), kQuitIcon);
    toolkit::addMenuTitle(kMainWindow, lookup(app, "tMenuLANGUAGES"));
    for (std::size_t n = 0; n < app.menuLanguages.size(); ++n) {
        const int item = kFirstLanguageItem + static_cast<int>(n);
        toolkit::addMenuItem(kMainWindow, item, app.menuLanguages[n].displayName);
        // Every language shows the same indicator; only the current one is checked.
        const bool current = app.menuLanguages[n].baseName == app.languages.languageBaseName;
        toolkit::setMenuItemChecked(kMainWindow, item, current);
        if (current) {
            app.currentLanguageItem = item;
        }
    }
    toolkit::addMenuTitle(kMainWindow, lookup(app, "tMenuHELP"));
    toolkit::addMenuItem(kMainWindow, kMenuOpenHelp, lookup(app, "tMenuOPENHELP"), kHelpIcon);
    toolkit::addMenuSeparator(kMainWindow);
    toolkit::addMenuItem(kMainWindow, kMenuAbout, lookup(app, "tMenuABOUT"), kAboutIcon);
    toolkit::addMenuSeparator(kMainWindow);
    toolkit::addMenuItem(kMainWindow, kMenuOpenWebsite, lookup(app, "tMenuOPENWEB"), kWebsiteIcon);
}

void bodyButton(int gadget, int x, int y, int w, int h, std::u16string_view text, bool enabled)
{
    toolkit::createButton(kMainWindow, gadget, x, y, w, h, text);
    toolkit::setFont(gadget, kBodyFont);
    toolkit::setEnabled(gadget, enabled);
}

void createGadgets(HashmereApp& app)
{
    toolkit::createFrame(kMainWindow, kFileFrame, 5, 5, 990, 55, lookup(app, "tMainFILE"));
    toolkit::createTextField(kMainWindow, kFileField, 10, 23, 855, 27, u"", toolkit::FieldReadOnly);
    toolkit::setFont(kFileField, kBodyFont);
    bodyButton(kFileBrowseButton, 870, 23, 120, 27, lookup(app, "tGenBROWSE"), true);
    toolkit::createFrame(kMainWindow, kAlgorithmFrame, 5, 65, 990, 410, lookup(app, "tMainALGORITHM"));
    const std::u16string copyText = lookup(app, "tMainCLIPBOARD");
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        const int y = 83 + 32 * row;
        toolkit::createCheckBox(kMainWindow, algorithmCheck(row), 10, y, 100, 27,
            ascii(engine::kAlgorithmRows[static_cast<std::size_t>(row)].checkLabel));
        toolkit::setFont(algorithmCheck(row), kBodyFont);
        toolkit::createTextField(kMainWindow, resultField(row), 115, y, 770, 27, u"", toolkit::FieldReadOnly);
        toolkit::setFont(resultField(row), kBodyFont);
        bodyButton(copyButton(row), 890, y, 100, 27, copyText, false);
    }
    bodyButton(kCopyAllButton, 10, 440, 120, 27, copyText, false);
    bodyButton(kSaveButton, 135, 440, 120, 27, lookup(app, "tMainSAVE"), false);
    bodyButton(kDeleteAllButton, 870, 440, 120, 27, lookup(app, "tMainDELETEALL"), false);
    toolkit::createFrame(kMainWindow, kVerificationFrame, 5, 480, 990, 55, lookup(app, "tMainVERIFICATION"));
    toolkit::createTextField(kMainWindow, kExpectedField, 10, 498, 855, 27, u"");
    toolkit::setFont(kExpectedField, kBodyFont);
    bodyButton(kExpectedBrowseButton, 870, 498, 120, 27, lookup(app, "tGenBROWSE"), true);
    toolkit::createProgressBar(kMainWindow, kProgressBar, 5, 545, 855, 27, 0, 100);
    toolkit::createButton(kMainWindow, kRunButton, 865, 540, 130, 35, lookup(app, "tMainVERIFY"));
    toolkit::setFont(kRunButton, kRunFont);
    toolkit::setEnabled(kRunButton, false);
    toolkit::enableFileDrop(kFileField, true);
}

void relabel(HashmereApp& app)
{
    static constexpr std::string_view kTitles[] = {"tMenuFILE", "tMenuLANGUAGES", "tMenuHELP"};
    for (int title = 0; title < 3; ++title) {
        toolkit::setMenuTitleText(kMainWindow, title, lookup(app, kTitles[title]));
    }
    static constexpr std::string_view kItems[] = {
        "tMenuOPEN", "tMenuQUIT", "tMenuOPENHELP", "tMenuABOUT", "tMenuOPENWEB"};
    for (int item = 0; item < 5; ++item) {
        toolkit::setMenuItemText(kMainWindow, item, lookup(app, kItems[item]));
    }
    toolkit::setText(kFileFrame, lookup(app, "tMainFILE"));
    toolkit::setText(kFileBrowseButton, lookup(app, "tGenBROWSE"));
    toolkit::setText(kAlgorithmFrame, lookup(app, "tMainALGORITHM"));
    const std::u16string copyText = lookup(app, "tMainCLIPBOARD");
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        toolkit::setText(copyButton(row), copyText);
    }
    toolkit::setText(kCopyAllButton, copyText);
    toolkit::setText(kSaveButton, lookup(app, "tMainSAVE"));
    toolkit::setText(kDeleteAllButton, lookup(app, "tMainDELETEALL"));
    toolkit::setText(kVerificationFrame, lookup(app, "tMainVERIFICATION"));
    toolkit::setText(kExpectedBrowseButton, lookup(app, "tGenBROWSE"));
    toolkit::setText(kRunButton, lookup(app, app.runActive ? "tMainCANCEL" : "tMainVERIFY"));
}

void browseForFile(HashmereApp& app)
{
    const std::u16string chosen = toolkit::openFileDialog(
        lookup(app, "tReqOPENFILE"), folderPart(app.filePath), lookup(app, "tReqOPENPATTERN"), 0);
    if (!chosen.empty()) {
        selectFile(app, chosen);
    }
}

void askToQuit(HashmereApp& app)
{
    if (showRequester(app.styles.confirm, lookup(app, "tReqSURETOEXIT"))) {
        app.quitRequested = true;
    }
}

void closeRequested(HashmereApp& app)
{
    if (!app.runActive) {
        askToQuit(app);
        return;
    }
    if (!engine::pauseWorker(app.pause)) {
        // The worker's finished event is on its way; a question now would
        // swallow it. Ask once the run has ended.
        app.closeAfterRun = true;
        return;
    }
    const bool quit = showRequester(app.styles.confirm, lookup(app, "tReqINPROGRESSQUIT"));
    if (quit) {
        app.worker.cancelRequested.store(true, std::memory_order_release);
        app.runCancelled = true;
    }
    engine::resumeWorker(app.pause);
    if (quit) {
        // Give the worker a moment to reach its cancel check; the loop does
        // not wait for it to finish.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        app.quitRequested = true;
    }
}

void handleCommand(HashmereApp& app, int command)
{
    if (command >= 0 && command < kFirstLanguageItem && app.hasMenu &&
        !toolkit::menuItemEnabled(kMainWindow, command)) {
        return; // F1 during a run: the help item is disabled
    }
    switch (command) {
    case kMenuOpen:
        browseForFile(app);
        break;
    case kMenuQuit:
        askToQuit(app);
        break;
    case kMenuOpenHelp:
        openHelp(app);
        break;
    case kMenuAbout:
        showAboutWindow(app);
        break;
    case kMenuOpenWebsite:
        openWebsite(app);
        break;
    default:
        if (command >= kFirstLanguageItem) {
            switchLanguage(app, command);
        }
        break;
    }
}

void handleGadget(HashmereApp& app, int gadget)
{
    if (gadget >= copyButton(0) && gadget <= copyButton(engine::kAlgorithmRowCount - 1) &&
        (gadget - copyButton(0)) % 3 == 0) {
        copyOne((gadget - copyButton(0)) / 3);
        return;
    }
    switch (gadget) {
    case kFileBrowseButton:
        browseForFile(app);
        break;
    case kCopyAllButton:
        copyAll(app);
        break;
    case kSaveButton:
        saveResults(app);
        break;
    case kDeleteAllButton:
        deleteAll(app);
        break;
    case kExpectedBrowseButton:
        loadExpected(app);
        break;
    case kRunButton:
        startOrCancelRun(app);
        break;
    default:
        break;
    }
}

void handleMainEvent(HashmereApp& app, const toolkit::Event& event)
{
    switch (event.kind) {
    case toolkit::EventKind::Gadget:
        handleGadget(app, event.id);
        break;
    case toolkit::EventKind::Command:
        handleCommand(app, event.id);
        break;
    case toolkit::EventKind::FilesDropped:
        if (event.id == kFileField && !event.files.empty() && isExistingFile(event.files.front())) {
            selectFile(app, event.files.front());
        }
        break;
    case toolkit::EventKind::CloseWindow:
        closeRequested(app);
        break;
    case toolkit::EventKind::Application:
        if (event.id == kWorkerFinished) {
            finishRun(app);
            if (app.closeAfterRun) {
                app.closeAfterRun = false;
                askToQuit(app);
            }
        }
        break;
    default:
        break;
    }
}

} // namespace

std::u16string lookup(const HashmereApp& app, std::string_view key)
{
    return app.languages.textTable.lookupText(key);
}

StartOptions defaultStartOptions(int argc, char** argv)
{
    StartOptions options;
    options.programFolder = platform::programFolder();
    options.perUserFolder = settings::perUserSettingsFolder(platform::applicationDataFolder());
    for (int i = 1; i < argc; ++i) {
        options.arguments.push_back(platform::pathTextFromBytes(argv[i]));
    }
    return options;
}

bool startHashmere(HashmereApp& app, const StartOptions& options)
{
    engine::registerStandardPlugins();
    fillRequesterStyles(app.styles, toolkit::systemColour(toolkit::SystemColour::ButtonFace));
    loadFonts();
    decodeImages();
    app.programFolder = options.programFolder;
    if (!options.arguments.empty()) {
        app.startFile = options.arguments.front();
    }
    app.preferences = settings::loadPreferences(app.programFolder, options.perUserFolder);
    if (options.systemLocaleName.empty()) {
        settings::startLanguages(app.languages, app.programFolder, app.preferences);
    } else {
        settings::startLanguages(app.languages, app.programFolder, app.preferences, options.systemLocaleName);
    }
    app.menuLanguages = app.languages.languageList.entries();
    applyRequesterTexts(app);
    toolkit::setSystemTextLanguage(lookup(app, "tLangFileLANGID"));

    const std::uint32_t flags = toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowMinimizeButton |
        toolkit::WindowInvisible | toolkit::WindowScreenCentered;
    if (!toolkit::openWindow(kMainWindow, 0, 0, kMainWindowWidth, kMainWindowHeight, kMainWindowCaption, flags)) {
        return false;
    }
    createMenus(app);
    createGadgets(app);
    toolkit::addShortcut(kMainWindow, toolkit::Key::F1, toolkit::ModNone, kMenuOpenHelp);
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        toolkit::setState(algorithmCheck(row), app.preferences.algorithmChecks[static_cast<std::size_t>(row)] ? 1 : 0);
    }
    if (isExistingFile(app.startFile)) {
        // Made absolute but not normalised: after a symbolic link, ".." names
        // the link target's parent, which only the kernel can tell.
        std::error_code error;
        const fs::path absolute = fs::absolute(platform::pathFromUtf16(app.startFile), error);
        selectFile(app, error ? app.startFile : platform::pathToUtf16(absolute));
    }
    toolkit::showWindow(kMainWindow);
    return true;
}

void selectFile(HashmereApp& app, std::u16string_view path)
{
    app.filePath = std::u16string(path);
    toolkit::setText(kFileField, platform::displayPathText(path));
    toolkit::setEnabled(kDeleteAllButton, true);
    toolkit::setEnabled(kRunButton, true);
}

bool switchLanguage(HashmereApp& app, int menuItem)
{
    if (menuItem == app.currentLanguageItem) {
        return false;
    }
    const std::size_t n = static_cast<std::size_t>(menuItem - kFirstLanguageItem);
    if (n >= app.menuLanguages.size()) {
        return false;
    }
    settings::selectLanguage(app.languages, toolkit::menuItemText(kMainWindow, menuItem));
    toolkit::setMenuItemChecked(kMainWindow, app.currentLanguageItem, false);
    app.currentLanguageItem = menuItem;
    toolkit::setMenuItemChecked(kMainWindow, menuItem, true);
    relabel(app);
    applyRequesterTexts(app);
    toolkit::setSystemTextLanguage(lookup(app, "tLangFileLANGID"));
    return true;
}

void setRunningControls(HashmereApp& app, bool running)
{
    for (int item = kMenuOpen; item <= kMenuOpenWebsite; ++item) {
        toolkit::setMenuItemEnabled(kMainWindow, item, !running);
    }
    toolkit::setText(kRunButton, lookup(app, running ? "tMainCANCEL" : "tMainVERIFY"));
    for (int gadget : {kFileField, kFileBrowseButton, kExpectedField, kExpectedBrowseButton, kCopyAllButton,
             kSaveButton, kDeleteAllButton}) {
        toolkit::setEnabled(gadget, !running);
    }
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        toolkit::setEnabled(algorithmCheck(row), !running);
        toolkit::setEnabled(copyButton(row), !running && toolkit::state(algorithmCheck(row)) == 1);
    }
}

void handleEvent(HashmereApp& app, const toolkit::Event& event)
{
    if (event.window == kMainWindow) {
        handleMainEvent(app, event);
    } else if (event.window == kAboutWindow) {
        handleAboutEvent(app, event);
    }
}

void runEventLoop(HashmereApp& app)
{
    app.quitRequested = false;
    while (!app.quitRequested && toolkit::isInitialised()) {
        handleEvent(app, toolkit::waitEvent());
    }
}

void shutdownHashmere(HashmereApp& app)
{
    settings::AlgorithmChecks checks{};
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        checks[static_cast<std::size_t>(row)] = toolkit::state(algorithmCheck(row)) == 1;
    }
    settings::savePreferences(app.preferences.settingsFolder, app.languages.languageBaseName, checks);
    stopViewer(app.viewer);
}

void endProcess(HashmereApp& app, int code)
{
    toolkit::shutdown();
    std::fflush(nullptr);
    if (app.workerThread.joinable()) {
        // A worker still computing ends with the process; joining would wait
        // for the whole file and destroying a running thread would abort.
        std::_Exit(code);
    }
    std::exit(code);
}

std::u16string currentResultLines()
{
    RowResults rows;
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        rows.checked[static_cast<std::size_t>(row)] = toolkit::state(algorithmCheck(row)) == 1;
        rows.results[static_cast<std::size_t>(row)] = toolkit::text(resultField(row));
    }
    return resultLines(rows);
}

} // namespace hashmere
