// Numbered top-level windows: a QMainWindow host whose central widget is the
// inner area where gadgets sit at absolute positions.

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QToolBar>
#include <QWindow>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/test_hooks.h"

namespace toolkit::qt {

void ClientArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (WindowRecord* record = findWindow(windowNumber)) {
        if (!record->toolbar.isNull()) {
            record->toolbar->setGeometry(0, 0, width(), record->toolbar->height());
        }
    }
}

namespace {

// A window blocked by a modal window it owns takes no input, yet the window
// manager may activate it (a click on it): the keyboard then goes to the
// modal window, so that Escape and Return still answer it.
void passActivationToModalWindow(int window)
{
    for (const auto& entry : state().windows) {
        const WindowRecord& other = entry.second;
        if (other.owner == window && (other.flags & WindowModal) && !other.host.isNull() && other.host->isVisible()) {
            const int modal = other.number;
            postToGui([modal]() {
                if (WindowRecord* record = findWindow(modal); record != nullptr && record->host->isVisible()) {
                    raiseWindow(record->host);
                    record->host->activateWindow();
                    passActivationToModalWindow(modal); // a modal window of its own goes first
                }
            });
            return;
        }
    }
}

} // namespace

bool WindowHost::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // The window system decorates a window only once it is mapped, and only then
    // tells the frame's size: a centred window moves once the real frame is known.
    const QEvent::Type type = event->type();
    if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::WindowActivate) {
        WindowRecord* record = findWindow(windowNumber);
        // No margins yet: not decorated so far (or a window system that keeps
        // its frames to itself); wait for the next move.
        if (record != nullptr && record->centrePending && isVisible() && windowHandle() != nullptr &&
            !windowHandle()->frameMargins().isNull()) {
            record->centrePending = false;
            const bool refitted = (record->flags & WindowFitToScreen) && !isMaximized() && fitToScreen(*record);
            if (refitted || windowHandle()->frameMargins() != record->centredMargins) {
                centreWindow(*record);
            }
        }
    }
    if (type == QEvent::WindowActivate) {
        passActivationToModalWindow(windowNumber);
    }
    return handled;
}

void WindowHost::closeEvent(QCloseEvent* event)
{
    // Only closeWindow closes a window; the close box asks the program.
    event->ignore();
    enqueue(Event{EventKind::CloseWindow, windowNumber, -1, EventType::None, {}});
}

void WindowHost::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    WindowRecord* record = findWindow(windowNumber);
    if (record == nullptr || !isVisible() || isMinimized()) {
        return;
    }
    int innerWidth = toolkit::windowWidth(windowNumber);
    int innerHeight = toolkit::windowHeight(windowNumber);
    if (innerWidth == record->reportedWidth && innerHeight == record->reportedHeight) {
        return;
    }
    record->reportedWidth = innerWidth;
    record->reportedHeight = innerHeight;
    enqueue(Event{EventKind::SizeWindow, windowNumber, -1, EventType::None, {}});
}

namespace {

int menuBarHeight(const WindowRecord& record)
{
    return record.menuBar.isNull() ? 0 : record.menuBar->sizeHint().height();
}

} // namespace

void raiseWindow(QWidget* host)
{
    // The offscreen platform has no stacking order and says so on every raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        host->raise();
    }
}

void applyInnerSize(WindowRecord& record)
{
    // The inner area keeps its size when a menu bar comes or changes: the
    // creation size before the window is shown, the current one after.
    int innerWidth = record.innerWidth;
    int innerHeight = record.innerHeight;
    if (record.host->isVisible()) {
        innerWidth = record.host->width();
        innerHeight = record.host->height() - record.appliedMenuHeight;
    }
    int menu = menuBarHeight(record);
    record.appliedMenuHeight = menu;
    if (record.flags & WindowSizable) {
        record.host->setMinimumSize(record.minimumWidth, record.minimumHeight + menu);
        record.host->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        record.host->resize(innerWidth, innerHeight + menu);
    } else {
        record.host->setFixedSize(innerWidth, innerHeight + menu);
    }
}

namespace {

// The frame a window will get before it has one: that of its owner, else of
// any shown window (one window manager decorates them alike), else none.
QMargins expectedFrameMargins(const WindowRecord& record)
{
    const auto known = [](const WindowHost* host) {
        return host != nullptr && host->isVisible() && host->windowHandle() != nullptr &&
            !host->windowHandle()->frameMargins().isNull();
    };
    if (known(record.host)) {
        return record.host->windowHandle()->frameMargins();
    }
    const WindowRecord* owner = findWindow(record.owner);
    if (owner != nullptr && known(owner->host)) {
        return owner->host->windowHandle()->frameMargins();
    }
    for (const auto& entry : state().windows) {
        const WindowHost* host = entry.second.host;
        if (host != record.host && known(host)) {
            return host->windowHandle()->frameMargins();
        }
    }
    return QMargins();
}

} // namespace

bool fitToScreen(WindowRecord& record)
{
    // The offscreen platform's frames are made up around a fixed 800 x 600 screen
    // that headless tests do not size their windows for: real window systems only.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || record.host->windowHandle() == nullptr ||
        QGuiApplication::platformName() == QLatin1String("offscreen")) {
        return false;
    }
    const QRect area = screen->availableGeometry();
    const QMargins margins = record.host->windowHandle()->frameMargins();
    // A menu bar takes from the inner area's room like the frame does.
    const int menu = record.appliedMenuHeight;
    const int width = record.host->width();
    const int height = record.host->height() - menu;
    const ScreenRect fitted = fitWindowToArea(width, height, record.minimumWidth, record.minimumHeight,
        ScreenRect{area.x(), area.y(), area.width(), area.height()},
        FrameExtents{margins.left(), margins.top() + menu, margins.right(), margins.bottom()});
    if (fitted.width == width && fitted.height == height) {
        return false;
    }
    record.minimumWidth = std::min(record.minimumWidth, fitted.width);
    record.minimumHeight = std::min(record.minimumHeight, fitted.height);
    record.host->setMinimumSize(record.minimumWidth, record.minimumHeight + menu);
    record.host->resize(fitted.width, fitted.height + menu);
    return true;
}

void centreWindow(WindowRecord& record)
{
    QRect area;
    const WindowRecord* owner = findWindow(record.owner);
    if ((record.flags & WindowOwnerCentered) && owner != nullptr) {
        area = owner->host->frameGeometry();
    } else if (record.flags & (WindowScreenCentered | WindowOwnerCentered)) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            area = screen->availableGeometry();
        }
    }
    if (!area.isValid()) {
        return;
    }
    const QMargins margins = expectedFrameMargins(record);
    const QSize frame = record.host->size().grownBy(margins);
    record.centredMargins = margins;
    // The inner area's place is given: whether move() means the frame or the
    // inner area depends on whether Qt knows the frame yet.
    const QPoint frameTopLeft(
        area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
    record.host->setGeometry(QRect(frameTopLeft + QPoint(margins.left(), margins.top()), record.host->size()));
}

void freeWindowGadgets(int window)
{
    auto& gadgets = state().gadgets;
    for (auto it = gadgets.begin(); it != gadgets.end();) {
        it = it->second.window == window ? gadgets.erase(it) : std::next(it);
    }
}

} // namespace toolkit::qt

namespace toolkit {

using namespace toolkit::qt;

bool openWindow(int window, int x, int y, int innerWidth, int innerHeight, std::u16string_view title,
    std::uint32_t flags, int owner)
{
    State& s = state();
    if (s.app == nullptr || innerWidth <= 0 || innerHeight <= 0) {
        return false;
    }
    WindowRecord* ownerRecord = nullptr;
    if (owner >= 0) {
        ownerRecord = findWindow(owner);
        if (ownerRecord == nullptr) {
            return false;
        }
    }
    closeWindow(window);

    Qt::WindowFlags qtFlags = Qt::Window | Qt::CustomizeWindowHint;
    if (flags & WindowCaption) {
        qtFlags |= Qt::WindowTitleHint;
    }
    if (flags & WindowSystemMenu) {
        qtFlags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (ownerRecord != nullptr) {
        // A dialog type is what makes X11 and Wayland keep the window above
        // its owner (transient-for) and leave it out of the taskbar.
        qtFlags = (qtFlags & ~Qt::WindowType_Mask) | Qt::Dialog;
    } else {
        if (flags & WindowMinimizeButton) {
            qtFlags |= Qt::WindowMinimizeButtonHint;
        }
        if (flags & WindowMaximizeButton) {
            qtFlags |= Qt::WindowMaximizeButtonHint;
        }
    }
    auto* host = new WindowHost(ownerRecord != nullptr ? ownerRecord->host.data() : nullptr, qtFlags);
    if (ownerRecord != nullptr && (flags & WindowModal)) {
        host->setWindowModality(Qt::WindowModal);
    }
    host->windowNumber = window;
    host->setWindowTitle(toQ(title));
    auto* client = new ClientArea(host);
    client->windowNumber = window;
    client->setAcceptDrops(false);
    host->setCentralWidget(client);
    host->setAcceptDrops(false);

    WindowRecord record;
    record.number = window;
    record.host = host;
    record.client = client;
    record.owner = ownerRecord != nullptr ? owner : -1;
    record.flags = flags;
    record.innerWidth = innerWidth;
    record.innerHeight = innerHeight;
    record.reportedWidth = innerWidth;
    record.reportedHeight = innerHeight;
    WindowRecord& stored = s.windows[window] = std::move(record);
    applyInnerSize(stored);

    if (flags & (WindowScreenCentered | WindowOwnerCentered)) {
        // Centred again when first shown (a menu bar may come meanwhile) and
        // once more when the window system has put its frame around it.
        stored.centrePending = true;
        centreWindow(stored);
    } else {
        host->move(x, y);
    }
    if (!(flags & WindowInvisible)) {
        showWindow(window);
    }
    return true;
}

void closeWindow(int window)
{
    State& s = state();
    auto found = s.windows.find(window);
    if (found == s.windows.end()) {
        return;
    }
    // Owned windows close first, with their own records.
    std::vector<int> owned;
    for (const auto& entry : s.windows) {
        if (entry.second.owner == window && entry.first != window) {
            owned.push_back(entry.first);
        }
    }
    for (int number : owned) {
        closeWindow(number);
    }
    found = s.windows.find(window);
    if (found == s.windows.end()) {
        return;
    }
    QPointer<WindowHost> host = found->second.host;
    int owner = found->second.owner;
    bool wasActive = !host.isNull() && QApplication::activeWindow() == host;
    freeWindowGadgets(window);
    dropQueuedEvents(window);
    if (const TestHooks& hooks = testHooks(); hooks.windowClosed) {
        hooks.windowClosed(window);
    }
    s.windows.erase(found);
    if (!host.isNull()) {
        host->hide();
        delete host.data();
    }
    if (wasActive) {
        if (WindowRecord* ownerRecord = findWindow(owner); ownerRecord != nullptr && ownerRecord->host->isVisible()) {
            ownerRecord->host->activateWindow();
        }
    }
}

bool windowExists(int window)
{
    return findWindow(window) != nullptr;
}

void showWindow(int window)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return;
    }
    if (record->centrePending && !record->host->isVisible()) {
        centreWindow(*record);
    }
    if (record->flags & WindowMaximized) {
        record->flags &= ~static_cast<std::uint32_t>(WindowMaximized);
        record->host->showMaximized();
    } else {
        record->host->show();
    }
    raiseWindow(record->host);
    record->host->activateWindow();
    if (const TestHooks& hooks = testHooks(); hooks.windowShown) {
        hooks.windowShown(window);
    }
}

void hideWindow(int window)
{
    if (WindowRecord* record = findWindow(window)) {
        record->host->hide();
    }
}

void maximizeWindow(int window)
{
    if (WindowRecord* record = findWindow(window)) {
        record->host->showMaximized();
    }
}

void restoreWindow(int window)
{
    if (WindowRecord* record = findWindow(window)) {
        record->host->showNormal();
    }
}

bool windowMaximized(int window)
{
    WindowRecord* record = findWindow(window);
    return record != nullptr && record->host->isMaximized();
}

bool windowVisible(int window)
{
    WindowRecord* record = findWindow(window);
    return record != nullptr && record->host->isVisible();
}

void setWindowEnabled(int window, bool enabled)
{
    if (WindowRecord* record = findWindow(window)) {
        record->enabled = enabled;
    }
}

bool windowEnabled(int window)
{
    WindowRecord* record = findWindow(window);
    return record != nullptr && record->enabled;
}

void activateWindow(int window)
{
    if (WindowRecord* record = findWindow(window)) {
        raiseWindow(record->host);
        record->host->activateWindow();
    }
}

int activeWindow()
{
    return windowNumberOf(QApplication::activeWindow());
}

void setWindowTitle(int window, std::u16string_view title)
{
    if (WindowRecord* record = findWindow(window)) {
        record->host->setWindowTitle(toQ(title));
    }
}

std::u16string windowTitle(int window)
{
    WindowRecord* record = findWindow(window);
    return record == nullptr ? std::u16string() : fromQ(record->host->windowTitle());
}

void setWindowMinimumSize(int window, int innerWidth, int innerHeight)
{
    if (WindowRecord* record = findWindow(window)) {
        record->minimumWidth = std::max(0, innerWidth);
        record->minimumHeight = std::max(0, innerHeight);
        if (record->flags & WindowSizable) {
            record->host->setMinimumSize(record->minimumWidth, record->minimumHeight + record->appliedMenuHeight);
        }
    }
}

void setWindowColour(int window, Colour colour)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return;
    }
    record->background = colour;
    QWidget* client = record->client;
    client->setPalette(QPalette());
    if (colour != kDefaultColour) {
        QPalette palette = client->palette();
        palette.setColor(QPalette::Window, toQColor(colour));
        client->setPalette(palette);
        client->setAutoFillBackground(true);
    } else {
        client->setAutoFillBackground(false);
    }
}

int windowWidth(int window)
{
    WindowRecord* record = findWindow(window);
    return record == nullptr ? 0 : record->host->width();
}

int windowHeight(int window)
{
    WindowRecord* record = findWindow(window);
    return record == nullptr ? 0 : record->host->height() - record->appliedMenuHeight;
}

int primaryScreenWidth()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 0 : screen->geometry().width();
}

int primaryScreenHeight()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 0 : screen->geometry().height();
}

ScreenRect primaryScreenArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return ScreenRect{};
    }
    const QRect area = screen->availableGeometry();
    return ScreenRect{area.x(), area.y(), area.width(), area.height()};
}

void setApplicationIcon(const std::vector<int>& images)
{
    QIcon icon;
    for (int image : images) {
        auto found = state().images.find(image);
        if (found != state().images.end()) {
            icon.addPixmap(found->second.pixmap);
        }
    }
    QApplication::setWindowIcon(icon);
}

} // namespace toolkit
