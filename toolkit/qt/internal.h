#pragma once
// Shared state of the Qt 6 Widgets back end. Only files in toolkit/qt/ include this.

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QMainWindow>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/toolkit.h"

class QAction;
class QEventLoop;
class QMenu;
class QLabel;
class QMenuBar;
class QToolBar;
class QTreeWidgetItem;

namespace toolkit::qt {

// ---------------------------------------------------------------- Conversions

// Copies the code units as they are: QString::fromUtf16 would drop a leading
// U+FEFF as a byte-order mark, and a text loaded from a file may start with one.
inline QString toQ(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
inline std::u16string fromQ(const QString& text)
{
    return text.toStdU16String();
}
QColor toQColor(Colour colour);
Colour fromQColor(const QColor& colour);

// A label with this property set elides its one line of text (TextElide).
inline constexpr const char* kElideProperty = "toolkitElide";
// The text a label draws: its text, or that text elided with "…" to its width.
QString shownLabelText(const QLabel& label);

// ---------------------------------------------------------------- Records

class WindowHost;
class ClientArea;

struct Shortcut {
    Key key;
    std::uint32_t modifiers;
    int command;
    int gadget = -1; // only while this gadget has the keyboard focus; -1: anywhere in the window
};

struct WindowRecord {
    int number = -1;
    QPointer<WindowHost> host;
    QPointer<ClientArea> client;
    int owner = -1;
    std::uint32_t flags = 0;
    bool enabled = true;
    int innerWidth = 0;
    int innerHeight = 0;
    int minimumWidth = 0;
    int minimumHeight = 0;
    int appliedMenuHeight = 0; // menu bar height the window's outer size was last given for
    int reportedWidth = 0;     // last size reported by a SizeWindow event (or the creation size)
    int reportedHeight = 0;
    Colour background = kDefaultColour;
    // Centring waits for the window system's frame: the frame margins the
    // window was last centred with, and whether a correction may still come.
    bool centrePending = false;
    QMargins centredMargins;
    QPointer<QMenuBar> menuBar;
    std::vector<QPointer<QMenu>> menuTitles;
    std::map<int, QPointer<QAction>> menuItems;
    QPointer<QToolBar> toolbar;
    std::map<int, QPointer<QAction>> toolbarButtons;
    std::vector<Shortcut> shortcuts;
};

struct GadgetRecord {
    int number = -1;
    GadgetKind kind = GadgetKind::None;
    int window = -1;
    QPointer<QWidget> widget;
    Colour textColour = kDefaultColour;
    Colour backgroundColour = kDefaultColour;
    int font = -1;
    bool enabled = true;
    std::uint32_t flags = 0;
    bool dropEnabled = false;
    QPointer<QObject> dropFilter;
    // progress bar
    int minimum = 0;
    int maximum = 100;
    int value = 0;
    // image gadget
    int image = -1;
    // tree: items in creation order with their depths
    std::vector<QTreeWidgetItem*> treeItems;
    std::vector<int> treeDepths;
    // splitter
    int first = -1;
    int second = -1;
    int firstMinimum = 0;
    int secondMinimum = 0;
    // hyperlink
    Colour hoverColour = kDefaultColour;
};

struct Image {
    QPixmap pixmap;
};

// ---------------------------------------------------------------- State

struct State {
    QApplication* app = nullptr;
    QObject* dispatcher = nullptr;
    QObject* inputFilter = nullptr;
    std::map<int, WindowRecord> windows;
    std::map<int, GadgetRecord> gadgets;
    std::map<int, QFont> fonts;
    std::map<int, Image> images;
    std::deque<Event> queue;
    std::vector<QEventLoop*> waitLoops; // innermost last
};

State& state();

// Cross-thread machinery, valid from any thread.
bool alive();
bool onGuiThread();
// Runs `call` on the GUI thread, after every call posted before it. False after shutdown.
bool postToGui(std::function<void()> call);

// Runs `read` on the GUI thread and returns its result; from another thread the
// caller waits, and gets `fallback` when the toolkit shuts down meanwhile.
template <class Result, class Read> Result readOnGui(Read read, Result fallback)
{
    if (onGuiThread()) {
        return read();
    }
    struct Reply {
        std::mutex mutex;
        std::condition_variable done;
        bool ready = false;
        Result value;
    };
    auto reply = std::make_shared<Reply>();
    reply->value = fallback;
    bool posted = postToGui([reply, read]() {
        Result value = read();
        std::lock_guard<std::mutex> lock(reply->mutex);
        reply->value = std::move(value);
        reply->ready = true;
        reply->done.notify_all();
    });
    if (!posted) {
        return fallback;
    }
    std::unique_lock<std::mutex> lock(reply->mutex);
    while (!reply->ready) {
        if (!alive()) {
            return fallback;
        }
        reply->done.wait_for(lock, std::chrono::milliseconds(20));
    }
    return reply->value;
}

// ---------------------------------------------------------------- Lookups

WindowRecord* findWindow(int window);
GadgetRecord* findGadget(int gadget);
// The record of the toolkit window whose top-level widget is `widget`'s window.
WindowRecord* windowOfWidget(const QWidget* widget);
// The number of the toolkit window `widget` belongs to, or -1.
int windowNumberOf(const QWidget* widget);

// ---------------------------------------------------------------- Events

// Whether a shown modal window is owned by `record`'s window, directly or
// through other owned windows: such a window takes no input.
bool blockedByModalWindow(const WindowRecord& record);

// Queues a toolkit event; drops gadget, command, close and drop events of a
// disabled or missing window.
void enqueue(Event event);
// Removes the queued events of `window`.
void dropQueuedEvents(int window);

// ---------------------------------------------------------------- Helpers

// Sends the resize events that Qt holds back for hidden widgets, so that
// geometry of children managed by layouts (tab pages, splitter panes) is
// current before a window is first shown.
void settleGeometry(QWidget* widget);

// Forgets every gadget record whose widget is `widget` or inside it.
void forgetGadgetsWithin(QWidget* widget);

void applyInnerSize(WindowRecord& record);
// Places the record's outer frame in the middle of its owner's frame or of the
// screen's available area (WindowScreenCentered, WindowOwnerCentered).
void centreWindow(WindowRecord& record);
// Shrinks the window to the screen's available area with the frame the window
// system gave it (WindowFitToScreen); true when its size changed.
bool fitToScreen(WindowRecord& record);
void raiseWindow(QWidget* host);
void applyGadgetColours(GadgetRecord& record);
void freeWindowGadgets(int window);

Qt::Key qtKey(Key key);
bool keyMatches(const Shortcut& shortcut, int qtKeyCode, Qt::KeyboardModifiers modifiers);

// Local file addresses and path text, whose bytes need not be UTF-8 (the
// lossless form of platform/text.h): the bytes travel percent-encoded.
std::u16string pathOfFileUrl(const QUrl& url);
QUrl fileUrlOfPath(std::u16string_view path);

// The page-view gadget's widget (page_view.cpp).
QWidget* createPageViewWidget(QWidget* parent);

// ---------------------------------------------------------------- Widgets

class ClientArea : public QWidget {
public:
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}
    int windowNumber = -1;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

class WindowHost : public QMainWindow {
public:
    WindowHost(QWidget* owner, Qt::WindowFlags flags) : QMainWindow(owner, flags) {}
    int windowNumber = -1;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// Posted to the dispatcher: a call to run on the GUI thread.
class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> call);
    static QEvent::Type eventType();
    std::function<void()> call;
};

} // namespace toolkit::qt
