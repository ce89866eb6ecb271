// Start-up, the main window with its toolbar, navigation panel, page view and
// splitter, opening the document, the main loop's dispatch and re-fitting.

#include <algorithm>
#include <string>

#include "platform/folders.h"
#include "platform/text.h"
#include "viewer/app/leafscope_ids.h"
#include "viewer/app/leafscope_internal.h"
#include "viewer/app/leafscope_resources.h"
#include "viewer/app/link_filter.h"

namespace leafscope {
namespace {

struct ToolbarEntry {
    int command; // -1: a separator
    int image;
    std::string_view toolTipKey;
};

// Zoom out stands before Zoom in although its command number is the higher one.
constexpr ToolbarEntry kToolbar[] = {
    {kCommandAbout, kAboutIcon, "tToolTipABOUT"},
    {-1, -1, {}},
    {kCommandProperties, kPropertiesIcon, "tToolTipPROPERTIES"},
    {kCommandPrint, kPrintIcon, "tToolTipPRINT"},
    {-1, -1, {}},
    {kCommandHome, kHomeIcon, "tToolTipHOME"},
    {kCommandPrevious, kPreviousIcon, "tToolTipPREVIOUS"},
    {kCommandNext, kNextIcon, "tToolTipNEXT"},
    {kCommandZoomOut, kZoomOutIcon, "tToolTipZOOMOUT"},
    {kCommandZoomIn, kZoomInIcon, "tToolTipZOOMIN"},
};

void createToolbar(LeafscopeApp& app)
{
    if (!toolkit::createToolbar(kMainWindow)) {
        app.toolbarHeight = 0;
        return;
    }
    for (const ToolbarEntry& entry : kToolbar) {
        if (entry.command < 0) {
            toolkit::addToolbarSeparator(kMainWindow);
        } else {
            toolkit::addToolbarButton(kMainWindow, entry.command, entry.image, lookup(app, entry.toolTipKey));
        }
    }
    app.toolbarHeight = toolkit::toolbarHeight(kMainWindow);
}

void createNavigationPanel(LeafscopeApp& app)
{
    toolkit::createPanel(kMainWindow, kNavigationPanel, 0, 0, 250, 0);
    toolkit::setFont(kNavigationPanel, kPanelFont);
    toolkit::addItem(kNavigationPanel, -1, lookup(app, "tMainCONTENTS"));
    toolkit::createTree(toolkit::inTab(kNavigationPanel, kContentsTab), kContentsTree, 0, 0, 250, 100);
    toolkit::setFont(kContentsTree, kPanelFont);
    toolkit::addItem(kNavigationPanel, -1, lookup(app, "tMainINDEX"));
    toolkit::createTextField(toolkit::inTab(kNavigationPanel, kIndexTab), kIndexField, 0, 0, 250, 25, u"");
    toolkit::setFont(kIndexField, kPanelFont);
    toolkit::createListBox(toolkit::inTab(kNavigationPanel, kIndexTab), kIndexList, 0, 28, 250, 100);
    toolkit::setFont(kIndexList, kPanelFont);
}

// The tree and the index gadgets fill the panel's page area.
void refit()
{
    const int width = toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageWidth);
    const int height = toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight);
    toolkit::resizeGadget(kContentsTree, toolkit::kKeep, toolkit::kKeep, width, height);
    toolkit::resizeGadget(kIndexField, toolkit::kKeep, toolkit::kKeep, width, toolkit::kKeep);
    fitIndexLists(width, height);
}

void resizeSplitter(const LeafscopeApp& app)
{
    toolkit::resizeGadget(kSplitter, 0, app.toolbarHeight, toolkit::windowWidth(kMainWindow),
        toolkit::windowHeight(kMainWindow) - app.toolbarHeight - findBarHeight(app));
    placeFindBar(app);
}

void fillContentsTree(const LeafscopeApp& app)
{
    const std::vector<std::int32_t> depths = document::contentsTreeDepths(app.doc.contents());
    for (std::size_t i = 0; i < app.doc.contents().size(); ++i) {
        toolkit::addItem(kContentsTree, -1, app.doc.contents()[i].title, -1, depths[i]);
    }
}

// The rest of opening once the packing, properties and contents are read.
void showFirstPage(LeafscopeApp& app, int page)
{
    if (app.commandLine.inMemory) {
        app.doc.preload();
    }
    fillContentsTree(app);
    app.titleIndex = buildTitleIndex(app.doc.contents(), app.locale);
    filterIndex(app, u"");
    app.currentPage = page;
    PageViewSink sink;
    app.doc.loadPage(page, sink);
    toolkit::setState(kContentsTree, page);
    startHistory(app.history, page);
    toolkit::setPageBackground(kPageView, app.doc.properties().pageBackColor);
    toolkit::setPageMargins(kPageView, app.doc.properties().leftMargin, app.doc.properties().rightMargin);
}

bool openNamedDocument(LeafscopeApp& app)
{
    if (!app.doc.open(platform::pathFromUtf16(app.commandLine.documentPath).string())) {
        return false;
    }
    const int page = app.commandLine.startPageTitle.empty()
        ? 0
        : document::findPageByTitle(app.doc.contents(), app.commandLine.startPageTitle);
    showFirstPage(app, page);
    toolkit::showWindow(kMainWindow);
    return true;
}

bool openChosenDocument(LeafscopeApp& app)
{
    toolkit::showWindow(kMainWindow);
    const std::u16string chosen = toolkit::openFileDialog(
        kFileDialogTitle, platform::pathToUtf16(app.programFolder), lookup(app, "tReqPATTERN"), 0);
    if (chosen.empty() || !hasHelpExtension(chosen) || !isRegularFile(chosen)) {
        return false;
    }
    if (!app.doc.open(platform::pathFromUtf16(chosen).string())) {
        return false;
    }
    // A start page named on the command line is not used on this path.
    showFirstPage(app, 0);
    return true;
}

void handleCommand(LeafscopeApp& app, int command)
{
    switch (command) {
    case kCommandAbout:
        showAboutWindow(app);
        break;
    case kCommandProperties:
        showPropertiesWindow(app);
        break;
    case kCommandPrint:
        printPage(app);
        break;
    case kCommandHome:
        goHome(app);
        break;
    case kCommandPrevious:
        goPrevious(app);
        break;
    case kCommandNext:
        goNext(app);
        break;
    case kCommandZoomIn:
        zoomBy(app, kZoomStep);
        break;
    case kCommandZoomOut:
        zoomBy(app, -kZoomStep);
        break;
    case kCommandZoom100:
        zoomTo100(app);
        break;
    case kCommandIntoIndexList:
        toolkit::setActiveGadget(kIndexList);
        if (toolkit::state(kIndexList) < 0 && toolkit::countItems(kIndexList) > 0) {
            toolkit::setState(kIndexList, 0);
        }
        break;
    default:
        break;
    }
}

void handleMainEvent(LeafscopeApp& app, const toolkit::Event& event)
{
    if (handleFindEvent(app, event) || handleFullTextEvent(app, event)) {
        return;
    }
    switch (event.kind) {
    case toolkit::EventKind::Command:
        handleCommand(app, event.id);
        break;
    case toolkit::EventKind::Gadget:
        if (event.id == kContentsTree && event.type == toolkit::EventType::Change) {
            selectTreeItem(app);
        } else if (event.id == kSplitter) {
            refit();
            placeFindBar(app);
        } else if (event.id == kIndexField && event.type == toolkit::EventType::Change) {
            filterIndex(app, toolkit::text(kIndexField));
        } else if (event.id == kIndexField && event.type == toolkit::EventType::Activated) {
            showIndexRow(app, std::max(toolkit::state(kIndexList), 0));
        } else if (event.id == kIndexList && event.type == toolkit::EventType::Activated) {
            showIndexRow(app, toolkit::state(kIndexList));
        } else if (event.id == kPageView && event.type == toolkit::EventType::Clicked) {
            followPageLink(app);
        }
        break;
    case toolkit::EventKind::SizeWindow:
        resizeSplitter(app);
        refit();
        break;
    case toolkit::EventKind::CloseWindow:
        app.quit = true;
        break;
    case toolkit::EventKind::Application:
        if (event.id == kEndRequested) {
            app.quit = true;
        }
        break;
    default:
        break;
    }
}

} // namespace

std::u16string lookup(const LeafscopeApp& app, std::string_view key)
{
    return app.texts.lookupText(key);
}

std::vector<std::u16string> copyArguments(int argc, char** argv)
{
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i) {
        // Losslessly: a path whose bytes are not UTF-8 must still name its file.
        arguments.push_back(platform::pathTextFromBytes(argv[i]));
    }
    return arguments;
}

StartOptions defaultStartOptions(std::vector<std::u16string> arguments)
{
    StartOptions options;
    options.programFolder = platform::programFolder();
    options.arguments = std::move(arguments);
    options.systemLocaleName = platform::defaultLocaleName();
    options.displayWidth = toolkit::primaryScreenWidth();
    options.screenArea = toolkit::primaryScreenArea();
    return options;
}

bool startLeafscope(LeafscopeApp& app, const StartOptions& options)
{
    // Without the readers every document would read as empty.
    document::registerStandardPackers();
    loadFonts();
    decodeImages();
    app.locale = chooseViewerLocale(options.systemLocaleName);
    app.texts = viewerTextTable(app.locale);
    // Qt's own dialog texts follow ours: Hungarian only with Hungarian texts.
    toolkit::setSystemTextLanguage(app.locale);
    app.programFolder = options.programFolder;
    app.commandLine = classifyArguments(options.arguments, isRegularFile);
    const toolkit::ScreenRect placed = mainWindowRect(options.displayWidth, options.screenArea, options.frame);
    app.windowSize = WindowSize{placed.width, placed.height};

    std::uint32_t flags = toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowMinimizeButton |
        toolkit::WindowMaximizeButton | toolkit::WindowSizable | toolkit::WindowInvisible |
        toolkit::WindowScreenCentered | toolkit::WindowFitToScreen;
    if (app.commandLine.maximized) {
        flags |= toolkit::WindowMaximized;
    }
    if (!toolkit::openWindow(
            kMainWindow, 0, 0, app.windowSize.width, app.windowSize.height, kMainWindowCaption, flags)) {
        return false;
    }
    // On a screen smaller than the minimum the window fills what there is.
    toolkit::setWindowMinimumSize(kMainWindow, std::min(kMainWindowMinimum.width, app.windowSize.width),
        std::min(kMainWindowMinimum.height, app.windowSize.height));
    createToolbar(app);
    createNavigationPanel(app);
    toolkit::createPageView(kMainWindow, kPageView, 0, 0, 0, 0);
    toolkit::setPageMargins(kPageView, 0, 0);
    toolkit::setPageZoom(kPageView, 100);
    toolkit::setPageWheelCommands(kPageView, kCommandZoomIn, kCommandZoomOut);
    // A link a click would not follow is drawn as plain text, by the rule the click obeys.
    toolkit::setPageLinkRule(
        kPageView, [&app](std::u16string_view target) { return pageLinkActs(app.doc.contents(), target); });
    toolkit::createSplitter(kMainWindow, kSplitter, 0, app.toolbarHeight, app.windowSize.width,
        app.windowSize.height - app.toolbarHeight, kNavigationPanel, kPageView);
    toolkit::setAttribute(kSplitter, toolkit::Attribute::SplitterFirstMinimum, 250);
    toolkit::setValue(kSplitter, 250);
    createFullTextList();
    refit();
    createFindBar(app);
    toolkit::addShortcut(kMainWindow, toolkit::Key::KeypadPlus, toolkit::ModControl, kCommandZoomIn);
    toolkit::addShortcut(kMainWindow, toolkit::Key::KeypadMinus, toolkit::ModControl, kCommandZoomOut);
    toolkit::addShortcut(kMainWindow, toolkit::Key::KeypadMultiply, toolkit::ModControl, kCommandZoom100);
    // Beside the keypad zoom keys above, the ones desktop users expect.
    toolkit::addShortcut(kMainWindow, toolkit::Key::Left, toolkit::ModAlt, kCommandPrevious);
    toolkit::addShortcut(kMainWindow, toolkit::Key::Right, toolkit::ModAlt, kCommandNext);
    toolkit::addShortcut(kMainWindow, toolkit::Key::Home, toolkit::ModAlt, kCommandHome);
    toolkit::addShortcut(kMainWindow, toolkit::Key::LetterP, toolkit::ModControl, kCommandPrint);
    toolkit::addShortcut(kMainWindow, toolkit::Key::Plus, toolkit::ModControl, kCommandZoomIn);
    toolkit::addShortcut(kMainWindow, toolkit::Key::Minus, toolkit::ModControl, kCommandZoomOut);
    toolkit::addShortcut(kMainWindow, toolkit::Key::Digit0, toolkit::ModControl, kCommandZoom100);
    toolkit::addGadgetShortcut(kIndexField, toolkit::Key::Down, toolkit::ModNone, kCommandIntoIndexList);

    // Hashmere's help key brings the viewer it started forward.
    toolkit::raiseOnRequest(kMainWindow);
    const bool opened = app.commandLine.documentPath.empty() ? openChosenDocument(app) : openNamedDocument(app);
    if (!opened) {
        return false;
    }
    toolkit::setPageZoom(kPageView, app.zoom);
    return true;
}

void handleEvent(LeafscopeApp& app, const toolkit::Event& event)
{
    switch (event.window) {
    case kMainWindow:
        handleMainEvent(app, event);
        break;
    case kPropertiesWindow:
        handlePropertiesEvent(app, event);
        break;
    case kAboutWindow:
        handleAboutEvent(app, event);
        break;
    case kNoPrinterWindow:
        handleNoPrinterEvent(event);
        break;
    default:
        break;
    }
}

void runEventLoop(LeafscopeApp& app)
{
    while (!app.quit) {
        handleEvent(app, toolkit::waitEvent());
    }
}

} // namespace leafscope
