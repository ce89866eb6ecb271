#pragma once
// The window toolkit: numbered windows, gadgets, menus,
// shortcuts, fonts and images, one blocking event wait and posted application
// events. Programs drive their windows the way their tables of numbers read:
//
//     toolkit::openWindow(kMainWindow, 0, 0, 1000, 605, title, toolkit::WindowCaption | ...);
//     toolkit::createButton(kMainWindow, 44, 865, 540, 130, 35, verifyText);
//     for (;;) {
//         toolkit::Event event = toolkit::waitEvent();
//         if (event.kind == toolkit::EventKind::Gadget && event.id == 44) ...
//     }
//
// This header is free of Qt types; the Qt 6 Widgets back end lives in
// toolkit/qt/. No code outside toolkit/ includes Qt Widgets headers.
//
// Numbering: window numbers, gadget numbers, font numbers and image numbers are
// four separate spaces of small non-negative integers chosen by the program.
// Gadget numbers are global across windows (gadget 45 lives in window 1 while
// gadgets 0 to 44 live in window 0). Menu item and command numbers belong to
// their window. Creating an object under a number in use frees the old one.
//
// Threads: every call is for the GUI thread (the one that called initialise),
// except those marked "any thread". Those are marshalled to the GUI thread in
// the order they are made; an application event posted after them from the same
// thread is delivered after they have been applied. A read from another thread
// waits until the GUI thread has answered it (the GUI thread answers while it
// waits for events or runs any sub-loop, a requester's or a file dialog's).
//
// Failures are result values: a call on a number that does not exist does
// nothing and reads give 0, -1 or the empty text.
//
// Windows details that need no call here: flicker-free painting
// (Qt paints double-buffered), the tree's "Explorer" theme, proof-quality fonts
// (fonts are always anti-aliased), the common-controls manifest.
//
// Texts are UTF-16 (std::u16string) as everywhere in the programs. Colours are
// 24-bit values with red in the lowest byte, then green, then blue; -1 means the
// system default.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/window_fit.h"

namespace toolkit {

// ------------------------------------------------------------------ Colours

using Colour = std::int32_t;
inline constexpr Colour kDefaultColour = -1;

constexpr Colour rgb(int red, int green, int blue)
{
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}
constexpr int redOf(Colour colour)
{
    return colour & 0xFF;
}
constexpr int greenOf(Colour colour)
{
    return (colour >> 8) & 0xFF;
}
constexpr int blueOf(Colour colour)
{
    return (colour >> 16) & 0xFF;
}

enum class SystemColour { ButtonFace, Window, WindowText };

// The platform's colour for `which` (never -1).
Colour systemColour(SystemColour which);

// ------------------------------------------------------------ Life cycle

// True when a window system can be reached: QT_QPA_PLATFORM is set, or DISPLAY
// or WAYLAND_DISPLAY is. Callable before initialise.
bool displayAvailable();

// Starts the toolkit on the calling thread, which becomes the GUI thread.
// `argc` and `argv` must stay valid until shutdown. False when it was started
// already or no window system can be reached.
bool initialise(int& argc, char** argv);

// Closes every window and frees every gadget, font and image. Calls from other
// threads made after this return defaults at once.
void shutdown();

bool isInitialised();

// ------------------------------------------------------------------ Events

enum class EventKind : std::int32_t {
    None = 0,     // no event (only from a wait with a time-out)
    Gadget,       // a gadget was used: id = gadget number, type = what happened
    Command,      // a menu item, toolbar button or shortcut: id = its number
    CloseWindow,  // the close box, the system menu's Close or Alt+F4
    SizeWindow,   // the window was sized, maximised or restored (not minimised)
    FilesDropped, // files dropped on a gadget: id = gadget number, files = paths
    Application,  // posted with postEvent: id = the event number (>= 65536)
};

enum class EventType : std::int32_t {
    None = 0,
    Clicked,   // button, check box, hyperlink
    Change,    // text edited by the user, selection of a tree or list box
               // changed, tab switched, splitter bar moved
    Activated, // Enter in a text field; a double-click or Enter on a list box item
};

inline constexpr std::int32_t kFirstApplicationEvent = 65536;

struct Event {
    EventKind kind = EventKind::None;
    std::int32_t window = -1;
    std::int32_t id = -1;
    EventType type = EventType::None;
    std::vector<std::u16string> files; // FilesDropped only, in drop order
};

// Waits without time-out for the next event of any window and returns it.
Event waitEvent();

// As waitEvent, but gives up after `timeoutMs` milliseconds (0: only what is
// already there) and then returns an event of kind None.
Event waitEvent(int timeoutMs);

// The sub-loop of a window (a requester's): waits for the next event of
// `window` and drops the events of every other window that arrive meanwhile;
// they are not delivered later. Returns a CloseWindow event of `window` at once
// when `window` does not exist.
Event waitWindowEvent(int window);

// Any thread. Queues an application event `number` (at least 65536) for
// `window`; it is delivered after every marshalled call made before it from the
// same thread. False for a number below 65536 or after shutdown; an event for a
// window that does not exist when it arrives is dropped.
bool postEvent(int window, std::int32_t number);

// Events of a window still queued when it closes are dropped with it.

// ----------------------------------------------------------------- Windows

enum WindowFlags : std::uint32_t {
    WindowCaption = 1u << 0,
    WindowSystemMenu = 1u << 1, // and the close box
    WindowMinimizeButton = 1u << 2,
    WindowMaximizeButton = 1u << 3,
    WindowSizable = 1u << 4,
    WindowInvisible = 1u << 5,      // created hidden; showWindow shows it
    WindowScreenCentered = 1u << 6, // x and y are ignored
    WindowOwnerCentered = 1u << 7,  // centred on the owner (on the screen without one)
    WindowMaximized = 1u << 8,      // shown maximised
    WindowModal = 1u << 9,          // with an owner: the owner takes no input while this window is shown
    // With screen centring: once the window system has framed the window, a window
    // that does not fit the screen's available area with its frame is shrunk to it
    // (fitWindowToArea, its minimum size lowered where the area is smaller).
    WindowFitToScreen = 1u << 10,
};

// Opens window `window` with the given inner (client) size, below any menu bar.
// With an owner (a window number, or -1) the window is the owner's dialog on
// the window system: it stays above its owner, has no taskbar entry and no
// minimise or maximise button of its own (those flags are ignored), and closes
// with it. Centring places the outer frame (title bar and borders included) in
// the middle of the screen's available area or of the owner's frame, once the
// window system has decorated it. False when the owner does not exist or the
// size is not positive.
bool openWindow(int window, int x, int y, int innerWidth, int innerHeight, std::u16string_view title,
    std::uint32_t flags, int owner = -1);

// Closes the window with its gadgets, menus, toolbar, shortcuts and owned windows.
// When it was the active window its owner becomes active.
void closeWindow(int window);
bool windowExists(int window);

void showWindow(int window); // shows and activates it
void hideWindow(int window);
void maximizeWindow(int window);
void restoreWindow(int window);
bool windowMaximized(int window);
bool windowVisible(int window);

// A disabled window takes no input: no clicks, keys, drops or close requests;
// its gadgets keep their look. Gadget, command, drop and close events of a
// disabled window are never raised.
void setWindowEnabled(int window, bool enabled);
bool windowEnabled(int window);

void activateWindow(int window);
// The number of the active window, or -1.
int activeWindow();
// From now on, when the program that started this one asks (a raise request,
// platform/raise_request.h), `window` is shown again if minimised, raised and
// activated, as long as it is visible. False when requests cannot be heard.
bool raiseOnRequest(int window);

void setWindowTitle(int window, std::u16string_view title);
std::u16string windowTitle(int window);

// The user cannot size the window's inner area below this.
void setWindowMinimumSize(int window, int innerWidth, int innerHeight);
void setWindowColour(int window, Colour colour);
int windowWidth(int window);  // inner width
int windowHeight(int window); // inner height, without menu bar

int primaryScreenWidth();
int primaryScreenHeight();
// The primary screen's available area (without panels and docks); empty
// without a screen.
ScreenRect primaryScreenArea();

// The icon every window shows: the given images (one per size), from the image
// numbers of decodeImage.
void setApplicationIcon(const std::vector<int>& images);

// ----------------------------------------------------------------- Gadgets

// Where a gadget is created: in a window's inner area, or inside one tab of a
// tab panel (then x and y count from the tab's page area).
struct Parent {
    int window = -1;
    int panel = -1; // tab panel gadget, or -1
    int tab = -1;
    Parent(int windowNumber) : window(windowNumber) {} // NOLINT: implicit on purpose
};
Parent inTab(int panelGadget, int tab);

enum GadgetFlags : std::uint32_t {
    // text field: takes no typing, text still selectable; drawn on the
    // window's colour unless a background colour is set
    FieldReadOnly = 1u << 0,
    // static text: horizontal alignment (left when neither), word wrap
    TextCenter = 1u << 1,
    TextRight = 1u << 2,
    TextWordWrap = 1u << 3,
    // hyperlink
    HyperlinkUnderline = 1u << 4,
    // splitter: panes one above the other (default: side by side)
    SplitterStacked = 1u << 5,
    // static text (one line) and hyperlink: a text longer than the gadget ends
    // in "…" and shows the whole text as its tool tip
    TextElide = 1u << 6,
};

// Each create* returns false when the parent does not exist; a gadget of the
// same number is freed first. Static texts are plain text, top-aligned.
bool createFrame(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view caption);
bool createTextField(
    Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text, std::uint32_t flags = 0);
bool createButton(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text);
bool createCheckBox(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text);
// Smooth progress bar without text; value = minimum.
bool createProgressBar(Parent parent, int gadget, int x, int y, int width, int height, int minimum, int maximum);
bool createText(
    Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text, std::uint32_t flags = 0);
// Shows image `image` (or nothing for -1) at its own size from the top-left corner.
bool createImage(Parent parent, int gadget, int x, int y, int width, int height, int image);
// Text in its text colour (setColour), in `hoverColour` while the pointer is
// over it, with the hand pointer; raises Clicked.
bool createHyperlink(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text,
    Colour hoverColour, std::uint32_t flags = 0);
// Tree with expand buttons on every level, no lines, selection kept visible
// without focus. Items by addItem with a depth; the state is the selected index.
bool createTree(Parent parent, int gadget, int x, int y, int width, int height);
// Tab panel: tabs by addItem (the caption); gadgets go inside with inTab.
bool createPanel(Parent parent, int gadget, int x, int y, int width, int height);
bool createListBox(Parent parent, int gadget, int x, int y, int width, int height);
// Two existing gadgets of the same window become the panes (first = left or
// top); bar 7 units wide; value = bar position (width or height of the first pane).
bool createSplitter(
    Parent parent, int gadget, int x, int y, int width, int height, int first, int second, std::uint32_t flags = 0);
// The rich-text page view: read-only, word-wrapping, no text limit; zoom 100 %,
// no margins. Its content and settings are changed by the page-view calls below.
bool createPageView(Parent parent, int gadget, int x, int y, int width, int height);

enum class GadgetKind : std::int32_t {
    None = 0,
    Frame,
    TextField,
    Button,
    CheckBox,
    ProgressBar,
    Text,
    Image,
    Hyperlink,
    Tree,
    Panel,
    ListBox,
    Splitter,
    PageView,
};

void freeGadget(int gadget);
bool gadgetExists(int gadget);
GadgetKind gadgetKind(int gadget);
int gadgetWindow(int gadget); // -1 when absent

// Any thread. Text of a text field, button, check box, frame, static text or
// hyperlink; for a tree or list box the selected item's text (read only).
void setText(int gadget, std::u16string_view text);
std::u16string text(int gadget);

// Any thread. Check box: 0 or 1. Tree, list box: selected index or -1 (setting
// selects, scrolls to and reveals the item). Tab panel: current tab. Setting
// the selection or tab raises a Change event as a click does (as the
// platform's tree does); setting a check box raises nothing.
void setState(int gadget, int state);
int state(int gadget);

// Any thread. Progress bar: value (clamped to minimum..maximum). Splitter: bar position.
void setValue(int gadget, int value);
int value(int gadget);

enum class Attribute : std::int32_t {
    ProgressMinimum,
    ProgressMaximum,
    SplitterFirstMinimum,  // minimum size of the first pane
    SplitterSecondMinimum, // minimum size of the second pane
    PanelPageWidth,        // read-only: size of a tab panel's page area
    PanelPageHeight,
};
void setAttribute(int gadget, Attribute attribute, int value);
int attribute(int gadget, Attribute attribute);

enum class ColourRole : std::int32_t { Text, Background };
// Any thread. -1 restores the default.
void setColour(int gadget, ColourRole role, Colour colour);
Colour colour(int gadget, ColourRole role); // what was set, -1 by default

void setFont(int gadget, int font); // -1: the default interface font
void setImage(int gadget, int image);

void setEnabled(int gadget, bool enabled);
bool enabled(int gadget); // the gadget's own flag
void setHidden(int gadget, bool hidden);
void setToolTip(int gadget, std::u16string_view text);
void setActiveGadget(int gadget); // keyboard focus

inline constexpr int kKeep = -2147483647 - 1; // resizeGadget: leave this value
void resizeGadget(int gadget, int x, int y, int width, int height);
int gadgetX(int gadget);
int gadgetY(int gadget);
int gadgetWidth(int gadget);
int gadgetHeight(int gadget);

// Items of a tree (with `depth`: the new item becomes a child of the last
// earlier item of depth - 1), list box or tab panel (a tab with caption `text`).
// `position` -1 appends. Returns the new item's index or -1.
int addItem(int gadget, int position, std::u16string_view text, int image = -1, int depth = 0);
void clearItems(int gadget);
int countItems(int gadget);
std::u16string itemText(int gadget, int item);
void setItemText(int gadget, int item, std::u16string_view text);

// Accept files dropped from the desktop (copy action); each drop raises one
// FilesDropped event with the local paths. Off for every gadget by default: no
// gadget takes text or file drops unless this is on.
void enableFileDrop(int gadget, bool enabled);

// -------------------------------------------------------------- Page view
// GUI thread only. A gadget that is not a page view is left alone: reads give 0,
// setters false or nothing. The text is selectable with the mouse and copied with
// Ctrl+C; keys and the wheel scroll (Ctrl + wheel too, unless setPageWheelCommands).

// Replaces the whole content with the RTF page in `bytes` (an empty range empties
// the view). The bytes are only read during the call; the caller keeps them. False
// when there is no such page view or the bytes were damaged (the view then shows
// what could be recovered). Zoom, margins and colour stay; the view shows the top.
bool showRichText(int gadget, const void* bytes, std::size_t size);

// The zoom in percent: numerator x 100 / denominator, truncated; 0 without a view.
int pageZoom(int gadget);
// Sets the zoom to numerator / denominator. Text and pictures scale together and
// the page re-wraps at the view's width. A ratio outside 1/64 to 64 (or not
// positive) is ignored: false, and the zoom stays.
bool setPageZoomRatio(int gadget, int numerator, int denominator);
// setPageZoomRatio(gadget, percent, 100).
bool setPageZoom(int gadget, int percent);

// Inner margins in pixels, exactly as given (negative counts as 0); they do not zoom.
void setPageMargins(int gadget, int left, int right);
// The background colour; -1 restores the system's window colour. The same as
// setColour(gadget, ColourRole::Background, colour).
void setPageBackground(int gadget, Colour colour);
// Scrolls to the top-left corner.
void scrollPageToTop(int gadget);

// Links in the page (hyperlink fields) show the hand pointer; a click on one
// raises a Clicked event of the page view, and this gives the clicked link's
// target as the page names it ("http://...", "#Title"); empty before any click.
std::u16string clickedPageLink(int gadget);
// Decides, for the pages shown from now on, which links act: a link whose target
// `acts` refuses is shown as the page's own text (no link colour, underline or
// hand pointer), raises no event and shows its target as a tool tip. Without a
// rule (the default, or an empty one) every link acts.
void setPageLinkRule(int gadget, std::function<bool(std::u16string_view target)> acts);

// Ctrl + wheel over the page view raises Command `zoomIn` (wheel turned away
// from the user) or `zoomOut` of its window instead of scrolling; -1 for both,
// the default, keeps Ctrl + wheel scrolling.
void setPageWheelCommands(int gadget, int zoomIn, int zoomOut);

// The page's text as plain UTF-16 with one unit per position that highlights count
// in: paragraph and cell ends are line feeds, pictures U+FFFC. Empty without a view.
std::u16string pagePlainText(int gadget);

// A run of positions in pagePlainText.
struct TextRange {
    int start = 0;
    int length = 0;
};
// Marks `ranges` as found text: every range in a pale colour, range `current` (an
// index into `ranges`, or -1 for none) in a strong one, scrolled into view when it
// is not in view. Ranges outside the text or empty are dropped; an empty list
// removes every mark. Showing new content removes them too.
void setPageHighlights(int gadget, const std::vector<TextRange>& ranges, int current);

// Prints the whole content (at 100 %, without the view's margins and colour) to a
// PDF file, in pages the size of the printer's printable area, text and pictures
// at print resolution. `title` is the job's document name. Returns the number of
// pages, or -1 when there is no such page view or the file cannot be written.
int printPageToPdf(int gadget, const std::filesystem::path& file, std::u16string_view title);

// Whether the system has any printer to print to.
bool printerInstalled();

// Shows the platform's print dialog over the active window (no page range, no
// selection, no print to a file) and prints the whole content to the chosen
// printer as printPageToPdf lays it out, under the document name `title`, with
// the busy pointer shown while the pages are sent.
// Returns the number of pages printed, 0 when the dialog was cancelled, or -1
// when there is no such page view or printing failed.
int printPageWithDialog(int gadget, std::u16string_view title);

// ------------------------------------------------------------------- Menus

// A menu bar for `window`, replacing any earlier one; the inner size stays.
bool createMenuBar(int window);
// Appends a menu title; later items go into it.
void addMenuTitle(int window, std::u16string_view text);
// Appends an item to the last title: `item` is the number its Command event
// carries; `image` a 16 x 16 image number or -1.
void addMenuItem(int window, int item, std::u16string_view text, int image = -1);
void addMenuSeparator(int window);
void setMenuTitleText(int window, int title, std::u16string_view text); // title: 0-based position
void setMenuItemText(int window, int item, std::u16string_view text);
std::u16string menuItemText(int window, int item);
// Gives the item a check indicator (empty while unchecked) from the first call on.
// Choosing an item never changes its check mark; only this call does.
void setMenuItemChecked(int window, int item, bool checked);
bool menuItemChecked(int window, int item);
void setMenuItemEnabled(int window, int item, bool enabled);
bool menuItemEnabled(int window, int item);

// ----------------------------------------------------------------- Toolbar

// A toolbar across the top of the window's inner area with 32 x 32 buttons.
bool createToolbar(int window);
void addToolbarButton(int window, int command, int image, std::u16string_view toolTip);
void addToolbarSeparator(int window);
void setToolbarToolTip(int window, int command, std::u16string_view toolTip);
// Outer height of the toolbar in units; 0 without one.
int toolbarHeight(int window);

// ---------------------------------------------------------------- Shortcuts

enum class Key : std::int32_t {
    F1 = 1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    Escape,
    Return, // Return also stands for the keypad's Enter
    KeypadPlus,
    KeypadMinus,
    KeypadMultiply,
    Delete,
    Tab,
    Space,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    Plus,   // on the main keyboard (the keypad's is KeypadPlus), with or without Shift
    Minus,  // on the main keyboard
    Digit0, // on the main keyboard
    LetterP,
    LetterF,
};
enum Modifiers : std::uint32_t { ModNone = 0, ModControl = 1u << 0, ModShift = 1u << 1, ModAlt = 1u << 2 };

// `key` with exactly `modifiers` raises Command `command` of `window`, while
// `window` is the active window and enabled; the key does not reach the gadget
// that has the focus.
void addShortcut(int window, Key key, std::uint32_t modifiers, int command);
// As addShortcut for the gadget's window, but only while `gadget` (or a part of
// it) has the keyboard focus; elsewhere the key goes on as usual. Removed with
// the gadget's window or by removeShortcut.
void addGadgetShortcut(int gadget, Key key, std::uint32_t modifiers, int command);
void removeShortcut(int window, Key key, std::uint32_t modifiers);

// ------------------------------------------------------------------ Fonts

enum FontStyle : std::uint32_t { FontNormal = 0, FontBold = 1u << 0 };

// Font `font` by face, size in points and style, anti-aliased. "Arial" resolves
// to Liberation Sans and "Tahoma" to DejaVu Sans where those are not installed.
bool loadFont(int font, std::u16string_view face, int points, std::uint32_t style = FontNormal);
bool fontExists(int font);
void freeFont(int font);
// The family the font actually resolved to, or empty.
std::u16string fontFamily(int font);

// ------------------------------------------------------------------ Images

// Decodes PNG bytes (through libpng) into image `image`. False, and no image
// under that number, when the data is not a complete, valid PNG.
bool decodeImage(int image, const void* data, std::size_t size);
bool imageExists(int image);
void freeImage(int image);
int imageWidth(int image);  // 0 when absent
int imageHeight(int image); // 0 when absent

// --------------------------------------------------- Dialogs, clipboard, shell

// The open-file and save-file dialogs. `filters` is a list of
// alternating labels and masks, all separated by "|" ("Text (*.txt)|*.txt|All
// files (*.*)|*.*"); several masks in one field are separated by ";"; "*.*"
// matches every name. `initialPath` names a folder or a file (folder plus a
// proposed name). The save dialog does not ask before replacing a file. Return
// the chosen path, or the empty text when cancelled.
std::u16string openFileDialog(
    std::u16string_view title, std::u16string_view initialPath, std::u16string_view filters, int selectedFilter = 0);
std::u16string saveFileDialog(
    std::u16string_view title, std::u16string_view initialPath, std::u16string_view filters, int selectedFilter = 0);

// The window system's own texts (the file dialogs' buttons and labels, the
// standard buttons) in the language of `languageId` ("de_DE", "hu_HU": the part
// before "_" names the language), for dialogs made from now on. English or
// the empty id takes them back to English. False when no translation is
// installed for the language; the texts are English then.
bool setSystemTextLanguage(std::u16string_view languageId);

// Replaces the clipboard's content with `text` (as Unicode text).
void setClipboardText(std::u16string_view text);
std::u16string clipboardText();

// Hands an address or document to the desktop's default handler; a bare host
// name ("example.org") opens as a web address. False when nothing took it.
bool openWithDefaultHandler(std::u16string_view address);

} // namespace toolkit
