// Life cycle, the event queue and its waits, cross-thread calls and the input
// filter that makes disabled windows deaf and turns keys into shortcuts.

#include <QCloseEvent>
#include <QEventLoop>
#include <QFont>
#include <QKeyEvent>
#include <QPalette>
#include <QSettings>
#include <QTimer>

#include <cstdlib>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/test_hooks.h"

namespace toolkit::qt {
namespace {

std::atomic<bool> gAlive{false};
std::thread::id gGuiThread;
std::mutex gPostMutex; // held only while posting, and while shutdown marks the toolkit dead

class Dispatcher : public QObject {
protected:
    bool event(QEvent* event) override
    {
        if (event->type() == CallEvent::eventType()) {
            auto* call = static_cast<CallEvent*>(event);
            if (call->call) {
                call->call();
            }
            return true;
        }
        return QObject::event(event);
    }
};

bool isInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

bool focusWithinGadget(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    QWidget* focus = QApplication::focusWidget();
    return record != nullptr && !record->widget.isNull() && focus != nullptr &&
        (focus == record->widget || record->widget->isAncestorOf(focus));
}

// Installed on the application: sees every event before its receiver does.
class InputFilter : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (!object->isWidgetType() || !isInputEvent(event->type())) {
            return false;
        }
        WindowRecord* record = windowOfWidget(static_cast<QWidget*>(object));
        if (record == nullptr) {
            return false;
        }
        if (!record->enabled || blockedByModalWindow(*record)) {
            event->ignore(); // a refused drag stays refused
            return true;
        }
        if (event->type() == QEvent::KeyPress && !record->shortcuts.empty() &&
            QApplication::activeWindow() == record->host) {
            auto* key = static_cast<QKeyEvent*>(event);
            for (const Shortcut& shortcut : record->shortcuts) {
                if (shortcut.gadget >= 0 && !focusWithinGadget(shortcut.gadget)) {
                    continue;
                }
                if (keyMatches(shortcut, key->key(), key->modifiers())) {
                    enqueue(Event{EventKind::Command, record->number, shortcut.command, EventType::None, {}});
                    return true;
                }
            }
        }
        return false;
    }
};

// Qt's file dialog keeps its history and layout in the user's settings
// ("QtProject.conf" in the configuration folder); the programs write nothing
// outside their own settings file. Qt's user settings are pointed at a folder
// that cannot exist (a path below a device file), so every write fails
// silently and every read finds nothing.
void keepNoQtSettings()
{
    const QString nowhere = QStringLiteral("/dev/null/no-settings");
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, nowhere);
        QSettings::setPath(format, QSettings::SystemScope, nowhere);
    }
}

} // namespace

// Whether a shown modal window is owned by `record`'s window, directly or
// through other owned windows. The window system keeps real input from such a
// window; this keeps every other input path (the test surface's) in line.
bool blockedByModalWindow(const WindowRecord& record)
{
    for (const auto& entry : state().windows) {
        const WindowRecord& other = entry.second;
        if (!(other.flags & WindowModal) || other.host.isNull() || !other.host->isVisible()) {
            continue;
        }
        for (const WindowRecord* owner = findWindow(other.owner); owner != nullptr; owner = findWindow(owner->owner)) {
            if (owner->number == record.number) {
                return true;
            }
        }
    }
    return false;
}

State& state()
{
    static State instance;
    return instance;
}

TestHooks& testHooks()
{
    static TestHooks hooks;
    return hooks;
}

bool alive()
{
    return gAlive.load(std::memory_order_acquire);
}

bool onGuiThread()
{
    return std::this_thread::get_id() == gGuiThread;
}

CallEvent::CallEvent(std::function<void()> function) : QEvent(eventType()), call(std::move(function)) {}

QEvent::Type CallEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool postToGui(std::function<void()> call)
{
    std::lock_guard<std::mutex> lock(gPostMutex);
    if (!alive() || state().dispatcher == nullptr) {
        return false;
    }
    QCoreApplication::postEvent(state().dispatcher, new CallEvent(std::move(call)));
    return true;
}

QColor toQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

Colour fromQColor(const QColor& colour)
{
    return rgb(colour.red(), colour.green(), colour.blue());
}

WindowRecord* findWindow(int window)
{
    auto found = state().windows.find(window);
    if (found == state().windows.end() || found->second.host.isNull()) {
        return nullptr;
    }
    return &found->second;
}

GadgetRecord* findGadget(int gadget)
{
    auto found = state().gadgets.find(gadget);
    if (found == state().gadgets.end() || found->second.widget.isNull()) {
        return nullptr;
    }
    return &found->second;
}

WindowRecord* windowOfWidget(const QWidget* widget)
{
    if (widget == nullptr) {
        return nullptr;
    }
    const QWidget* top = widget->window();
    if (const auto* host = dynamic_cast<const WindowHost*>(top)) {
        return findWindow(host->windowNumber);
    }
    return nullptr;
}

int windowNumberOf(const QWidget* widget)
{
    WindowRecord* record = windowOfWidget(widget);
    return record == nullptr ? -1 : record->number;
}

void enqueue(Event event)
{
    State& s = state();
    WindowRecord* record = findWindow(event.window);
    if (record == nullptr) {
        return;
    }
    bool needsEnabled = event.kind == EventKind::Gadget || event.kind == EventKind::Command ||
        event.kind == EventKind::CloseWindow || event.kind == EventKind::FilesDropped;
    if (needsEnabled && !record->enabled) {
        return;
    }
    s.queue.push_back(std::move(event));
    if (!s.waitLoops.empty()) {
        s.waitLoops.back()->quit();
    }
}

void dropQueuedEvents(int window)
{
    auto& queue = state().queue;
    for (auto it = queue.begin(); it != queue.end();) {
        it = it->window == window ? queue.erase(it) : it + 1;
    }
}

Qt::Key qtKey(Key key)
{
    switch (key) {
    case Key::F1:
        return Qt::Key_F1;
    case Key::F2:
        return Qt::Key_F2;
    case Key::F3:
        return Qt::Key_F3;
    case Key::F4:
        return Qt::Key_F4;
    case Key::F5:
        return Qt::Key_F5;
    case Key::F6:
        return Qt::Key_F6;
    case Key::F7:
        return Qt::Key_F7;
    case Key::F8:
        return Qt::Key_F8;
    case Key::F9:
        return Qt::Key_F9;
    case Key::F10:
        return Qt::Key_F10;
    case Key::F11:
        return Qt::Key_F11;
    case Key::F12:
        return Qt::Key_F12;
    case Key::Escape:
        return Qt::Key_Escape;
    case Key::Return:
        return Qt::Key_Return;
    case Key::KeypadPlus:
        return Qt::Key_Plus;
    case Key::KeypadMinus:
        return Qt::Key_Minus;
    case Key::KeypadMultiply:
        return Qt::Key_Asterisk;
    case Key::Delete:
        return Qt::Key_Delete;
    case Key::Tab:
        return Qt::Key_Tab;
    case Key::Space:
        return Qt::Key_Space;
    case Key::Up:
        return Qt::Key_Up;
    case Key::Down:
        return Qt::Key_Down;
    case Key::PageUp:
        return Qt::Key_PageUp;
    case Key::PageDown:
        return Qt::Key_PageDown;
    case Key::Home:
        return Qt::Key_Home;
    case Key::End:
        return Qt::Key_End;
    case Key::Left:
        return Qt::Key_Left;
    case Key::Right:
        return Qt::Key_Right;
    case Key::Plus:
        return Qt::Key_Plus;
    case Key::Minus:
        return Qt::Key_Minus;
    case Key::Digit0:
        return Qt::Key_0;
    case Key::LetterP:
        return Qt::Key_P;
    case Key::LetterF:
        return Qt::Key_F;
    }
    return Qt::Key_unknown;
}

bool keyMatches(const Shortcut& shortcut, int qtKeyCode, Qt::KeyboardModifiers modifiers)
{
    bool keypadKey =
        shortcut.key == Key::KeypadPlus || shortcut.key == Key::KeypadMinus || shortcut.key == Key::KeypadMultiply;
    if (keypadKey && !(modifiers & Qt::KeypadModifier)) {
        return false;
    }
    bool mainKeyboardKey = shortcut.key == Key::Plus || shortcut.key == Key::Minus || shortcut.key == Key::Digit0;
    if (mainKeyboardKey && (modifiers & Qt::KeypadModifier)) {
        return false;
    }
    // "+" sits on the "=" key of many layouts: Ctrl+= and Ctrl+Shift+= count as Ctrl+plus.
    bool plusKey = shortcut.key == Key::Plus && qtKeyCode == Qt::Key_Equal;
    bool keyOk =
        plusKey || qtKeyCode == qtKey(shortcut.key) || (shortcut.key == Key::Return && qtKeyCode == Qt::Key_Enter);
    if (!keyOk) {
        return false;
    }
    if (shortcut.key == Key::Plus) {
        modifiers &= ~Qt::ShiftModifier;
    }
    std::uint32_t pressed = 0;
    if (modifiers & Qt::ControlModifier) {
        pressed |= ModControl;
    }
    if (modifiers & Qt::ShiftModifier) {
        pressed |= ModShift;
    }
    if (modifiers & Qt::AltModifier) {
        pressed |= ModAlt;
    }
    return pressed == shortcut.modifiers;
}

} // namespace toolkit::qt

namespace toolkit {

using namespace toolkit::qt;

bool displayAvailable()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

bool initialise(int& argc, char** argv)
{
    State& s = state();
    if (s.app != nullptr || !displayAvailable()) {
        return false;
    }
    gGuiThread = std::this_thread::get_id();
    // Metric-compatible and close faces for the Windows fonts the programs name.
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans")});
    s.app = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    keepNoQtSettings();
    s.dispatcher = new Dispatcher;
    s.inputFilter = new InputFilter;
    s.app->installEventFilter(s.inputFilter);
    {
        std::lock_guard<std::mutex> lock(gPostMutex);
        gAlive.store(true, std::memory_order_release);
    }
    return true;
}

bool isInitialised()
{
    return state().app != nullptr;
}

void shutdown()
{
    State& s = state();
    if (s.app == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(gPostMutex);
        gAlive.store(false, std::memory_order_release);
    }
    std::vector<int> numbers;
    for (const auto& entry : s.windows) {
        numbers.push_back(entry.first);
    }
    for (int number : numbers) {
        closeWindow(number);
    }
    s.windows.clear();
    s.gadgets.clear();
    s.fonts.clear();
    s.images.clear();
    s.queue.clear();
    if (const TestHooks& hooks = testHooks(); hooks.shuttingDown) {
        hooks.shuttingDown();
    }
    s.app->removeEventFilter(s.inputFilter);
    delete s.inputFilter;
    s.inputFilter = nullptr;
    delete s.dispatcher; // pending calls addressed to it are discarded with it
    s.dispatcher = nullptr;
    delete s.app;
    s.app = nullptr;
}

Colour systemColour(SystemColour which)
{
    QPalette palette = QApplication::palette();
    switch (which) {
    case SystemColour::ButtonFace:
        return fromQColor(palette.color(QPalette::Button));
    case SystemColour::Window:
        return fromQColor(palette.color(QPalette::Base));
    case SystemColour::WindowText:
        return fromQColor(palette.color(QPalette::WindowText));
    }
    return 0;
}

Event waitEvent(int timeoutMs)
{
    State& s = state();
    if (s.app == nullptr) {
        return Event{};
    }
    if (s.queue.empty()) {
        if (timeoutMs == 0) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        } else {
            QEventLoop loop;
            QTimer timer;
            if (timeoutMs > 0) {
                timer.setSingleShot(true);
                QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
                timer.start(timeoutMs);
            }
            s.waitLoops.push_back(&loop);
            loop.exec();
            s.waitLoops.pop_back();
            // An event that arrived for an outer waiter wakes it too.
            if (!s.queue.empty() && !s.waitLoops.empty()) {
                s.waitLoops.back()->quit();
            }
        }
    }
    if (s.queue.empty()) {
        return Event{};
    }
    Event event = std::move(s.queue.front());
    s.queue.pop_front();
    return event;
}

Event waitEvent()
{
    for (;;) {
        Event event = waitEvent(-1);
        if (event.kind != EventKind::None || state().app == nullptr) {
            return event;
        }
    }
}

Event waitWindowEvent(int window)
{
    for (;;) {
        if (findWindow(window) == nullptr) {
            return Event{EventKind::CloseWindow, window, -1, EventType::None, {}};
        }
        Event event = waitEvent();
        if (event.window == window || state().app == nullptr) {
            return event;
        }
    }
}

bool postEvent(int window, std::int32_t number)
{
    if (number < kFirstApplicationEvent) {
        return false;
    }
    return postToGui([window, number]() {
        enqueue(Event{EventKind::Application, window, number, EventType::None, {}});
    });
}

} // namespace toolkit
