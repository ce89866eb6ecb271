#pragma once
// Test-only surface of the window toolkit: acts as a user would and reads what
// the screen shows. Linked only into tests and tools (library toolkit_testing).
// Runs headless with QT_QPA_PLATFORM=offscreen. Every call is for the GUI thread.
//
// Actions go through the same input paths as a real user's: a click on a
// disabled gadget or in a disabled window does nothing, a key reaches only the
// active window, a drop lands only on a gadget that accepts drops.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/toolkit.h"

namespace toolkit::testing {

// Sets QT_QPA_PLATFORM=offscreen unless it is set, then initialise().
bool initialiseHeadless();

// Closes every window and forgets queued events, file-dialog answers and
// records, opened addresses and shown-hooks: a clean slate between tests.
// Fonts and images stay.
void reset();

// Runs pending window-system work for at least `milliseconds` without taking
// toolkit events out of the queue.
void processEvents(int milliseconds = 0);

// Runs `action` on the GUI thread from inside the next wait for events (for
// example inside a requester's sub-loop).
void runSoon(std::function<void()> action);

// Runs `action` once, from the event loop, right after `window` is next shown.
void whenWindowShown(int window, std::function<void()> action);

// Number of toolkit events waiting in the queue.
int pendingEvents();

// ---------------------------------------------------------------- Acting

// A left click in the middle of the gadget (for a check box, on its box). False
// when the gadget does not exist or is hidden; a click on a disabled gadget is
// made but does nothing.
bool click(int gadget);
// Clicks item `item` of a tree or list box (selecting it), or tab `item` of a panel.
bool clickItem(int gadget, int item);
// Clicks a menu item as a user would: nothing happens when the item or the
// window is disabled. False when there is no such item.
bool chooseMenuItem(int window, int item);
// Clicks the toolbar button that raises `command`.
bool clickToolbarButton(int window, int command);
// Types `text` into the gadget (a text field) as key presses, after clicking it.
bool typeText(int gadget, const std::u16string& text);
// Presses and releases `key` on the keyboard; it goes to the active window.
void pressKey(Key key, std::uint32_t modifiers = ModNone);
// Moves the splitter's bar as a drag would (raising its Change event).
bool dragSplitter(int gadget, int position);
// Drops local files on the gadget as a file manager does. True when the drop was
// accepted (the gadget takes drops and is enabled in an enabled window).
bool dropFiles(int gadget, const std::vector<std::u16string>& paths);
// The close box of the window.
void clickCloseBox(int window);
// Activates the window and waits until the window system reports it active.
bool activate(int window);
// Resizes the window's inner area as a drag of its border would; the window keeps
// to its minimum size. False when there is no such window.
bool resizeWindow(int window, int width, int height);
// Moves the mouse, no button held, to (x, y) of the gadget (of the visible area
// of a page view, tree or list) as the window system reports a move. False when
// the gadget does not exist or is hidden.
bool movePointer(int gadget, int x, int y);

// The real dialogs, shown as to a user, driven through their own controls (the answers
// below stand in for them instead). Each call handles the next such dialog to come up
// and counts it in `shown`.
// Goes to `folder` and chooses `file` there; cancels when `file` is empty.
void answerShownFileDialog(const std::filesystem::path& folder, const std::u16string& file, int& shown);
// Shows the next file dialog as it is (not answered from the queue below),
// notes the texts of its buttons in `buttons`, accept button first (mnemonic
// "&" removed), and cancels it.
void readShownFileDialogButtons(std::vector<std::u16string>& buttons, int& shown);
// Prints to the PDF file `pdf` with the dialog's printer list, file field and Print button,
// offering its print-to-file choice again for that (a machine without a print server lists
// no printer at all); cancels when `pdf` is empty, or when the dialog lacks those controls.
void answerShownPrintDialog(const std::filesystem::path& pdf, int& shown);

// The next file dialog returns `path` at once (empty: as if cancelled) instead
// of showing itself. Answers queue up in order.
void answerNextFileDialog(const std::u16string& path);
void cancelNextFileDialog();

struct FileDialogRecord {
    bool save = false;
    std::u16string title;
    std::u16string initialPath;
    std::u16string filters;
    int selectedFilter = 0;
};
// Every file dialog asked for since the start, in order.
const std::vector<FileDialogRecord>& fileDialogs();

// Every address handed to openWithDefaultHandler while testing (nothing is
// opened once the test surface is initialised).
const std::vector<std::u16string>& openedAddresses();

// ---------------------------------------------------------------- Reading

struct GadgetView {
    bool exists = false;
    bool visible = false;                    // shown on screen (window shown, gadget not hidden)
    bool enabled = false;                    // takes input: the gadget, its parents and its window enabled
    std::u16string text;                     // as shown
    Colour textColour = 0;                   // as drawn (never -1)
    Colour backgroundColour = 0;             // as drawn (never -1)
    int x = 0, y = 0, width = 0, height = 0; // in the window's inner area
    std::u16string fontFamily;
    int fontPointSize = 0;
    bool fontBold = false;
    bool wordWrap = false;               // static text
    int alignment = 0;                   // static text: 0 left, 1 centre, 2 right
    int imageWidth = 0, imageHeight = 0; // image gadget: the picture shown
};
GadgetView view(int gadget);

struct WindowView {
    bool exists = false;
    bool visible = false;
    bool enabled = false;
    bool active = false;
    std::u16string title;
    int x = 0, y = 0;          // inner area on the screen
    int width = 0, height = 0; // inner size
    bool sizable = false;
    int owner = -1;
    Colour backgroundColour = 0;
};
WindowView windowView(int window);

// The next print dialog prints to the PDF file `file` at once instead of showing
// itself; without an answer a print dialog is cancelled. Answers queue up in order.
void answerNextPrintDialog(const std::filesystem::path& file);

// Whether the system seems to have a printer (printerInstalled); under the test
// surface one is there unless a test says otherwise (until the next reset). A
// test that starts the toolkit itself asks the system until it calls this.
void setPrinterInstalled(bool installed);

// Runs `action` once, on the GUI thread, when the next print begins sending its
// pages (after its dialog, with the busy pointer up).
void whenPrinting(std::function<void()> action);

// Whether the busy pointer is up over the whole program.
bool busyPointerShown();

struct PrintDialogRecord {
    std::u16string documentName;
    bool pageRangeOffered = false; // the dialog's options as the platform's dialog has them
    bool selectionOffered = false;
    bool printToFileOffered = false;
};
// Every print dialog asked for since the last reset, in order.
const std::vector<PrintDialogRecord>& printDialogs();

struct ToolbarButtonView {
    bool separator = false;
    int command = -1; // -1 for a separator
    std::u16string toolTip;
    int iconWidth = 0, iconHeight = 0;
    bool enabled = false;
};
// The window's toolbar from left to right; empty without one.
std::vector<ToolbarButtonView> toolbarButtons(int window);

struct TreeItemView {
    bool exists = false;
    std::u16string text;
    int depth = 0;   // 0 at the top
    int parent = -1; // item index of the parent, -1 at the top
    bool expanded = false;
    bool hasChildren = false;
    bool selected = false;
    int x = 0, y = 0, width = 0, height = 0; // its row in the visible area (it may reach past it)
};
TreeItemView treeItem(int gadget, int item);

struct TreeLooksView {
    bool exists = false;
    bool buttonsOnTopLevel = false; // expand arrows on the top level too
    bool selectionVisibleWithoutFocus = false;
    bool fullRowSelection = false;
    int rowHeight = 0;    // of the first row, in pixels
    int maxScrollX = 0;   // how far the items scroll sideways; 0 when they fit
    int visibleWidth = 0; // of the area that shows items
};
TreeLooksView treeLooks(int gadget);

// The plain text of the page view's content, paragraphs separated by line feeds.
std::u16string pageText(int gadget);

// The tool tip the gadget shows when the mouse rests at (x, y) of it (of the visible
// area of a page view, tree or list), asked for as the window system asks; empty
// when it shows none.
std::u16string toolTipAt(int gadget, int x, int y);

enum class PointerShape { None, Arrow, IBeam, Hand, Other };
// The mouse pointer the gadget shows while the mouse is over it (over the visible
// area of a page view, tree or list); None when there is no such gadget.
PointerShape pointerShape(int gadget);

// How the window system is asked to treat a shown window.
struct WindowSystemView {
    bool exists = false;
    int transientFor = -1; // the window it is a dialog of (kept above that one), or -1
    bool dialog = false;   // typed as a dialog: no taskbar entry of its own
    bool modal = false;    // its owner takes no input while it is shown
    bool minimizeButton = false;
    bool maximizeButton = false;
    int frameX = 0, frameY = 0, frameWidth = 0, frameHeight = 0; // outer frame on the screen
};
WindowSystemView windowSystemView(int window);

// The primary screen's available area (without panels): what centring uses.
struct ScreenArea {
    int x = 0, y = 0, width = 0, height = 0;
};
ScreenArea availableScreenArea();

struct MenuItemView {
    bool exists = false;
    bool checkable = false; // drawn with a check indicator, empty while unchecked
    bool checked = false;
    bool enabled = false;
};
MenuItemView menuItemView(int window, int item);

// A page view as laid out, in view pixels (the whole page is laid out first).
struct PageViewState {
    bool exists = false;
    int scrollX = 0, scrollY = 0;            // scroll position
    int maxScrollX = 0, maxScrollY = 0;      // scroll range
    int viewWidth = 0, viewHeight = 0;       // the visible area, without frame and scroll bars
    int contentWidth = 0, contentHeight = 0; // the page at its zoom, margins included
    std::u16string selectedText;             // as it would be copied
};
PageViewState pageView(int gadget);
// The page view's vertical scroll range as it stands, without laying out more: a long
// page is laid out as far as it is painted, the rest from the event loop.
int pageScrollRangeNow(int gadget);
// Runs the event loop, one pass at a time, until the page view has laid out its whole page.
// The longest pass in milliseconds (what an input event could have waited), or -1 when there
// is no such page view or the layout is still unfinished after `limitMs`.
double runUntilPageLaidOut(int gadget, int limitMs);

// A mark of found text in a page view (setPageHighlights), in the order given.
struct PageHighlightView {
    int start = 0;
    int length = 0;
    bool current = false;
    bool onScreen = false; // entirely inside the visible area as scrolled now
    std::u16string text;   // the page text it covers
};
std::vector<PageHighlightView> pageHighlights(int gadget);

// Turns the mouse wheel over the page view by `notches` (positive: away from the
// user, scrolling up) with the given modifiers held.
bool turnWheel(int gadget, int notches, std::uint32_t modifiers = ModNone);
// Presses the left button at (x1, y1) of the visible area, drags to (x2, y2) and releases.
bool dragInPage(int gadget, int x1, int y1, int x2, int y2);
// Presses a letter key (for example 'C' with ModControl); it goes to the focused gadget.
void pressLetter(char letter, std::uint32_t modifiers = ModNone);

// Paints the visible part of the page view now, as the window system would on its next
// frame (laying out only what is visible). False when there is no such page view.
bool repaintPage(int gadget);

// Saves a picture of the page view's whole content, laid out at the view's width with
// its zoom, margins and background, as a PNG file: as tall as the page.
bool savePageImage(int gadget, const std::filesystem::path& file);

// Saves a picture of the window (its inner area and menu bar) as a PNG file.
bool saveScreenshot(int window, const std::filesystem::path& file);

} // namespace toolkit::testing
