// The test-only surface: user actions through Qt's input paths, and reading
// what gadgets and windows show.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/page_view.h"
#include "toolkit/qt/test_hooks.h"
#include "toolkit/testing.h"

namespace toolkit::testing {

using namespace toolkit::qt;

namespace {

int gArgc = 1;
char gArgv0[] = "toolkit-test";
char* gArgv[] = {gArgv0, nullptr};

// What the back end's hooks record and answer while testing.
struct Records {
    std::deque<std::u16string> dialogAnswers;
    std::vector<FileDialogRecord> dialogs;
    std::vector<std::u16string> openedAddresses;
    std::map<int, std::function<void()>> shownActions;
    std::deque<std::filesystem::path> printAnswers;
    std::vector<PrintDialogRecord> printDialogs;
    int realFileDialogs = 0; // shown as they are instead of answered from the queue
    bool printerInstalled = true;
    std::function<void()> printingAction;
};

Records& records()
{
    static Records instance;
    return instance;
}

// Every file dialog is answered from the queue (cancelled when it is empty) and
// recorded; addresses are recorded instead of opened.
void installHooks()
{
    TestHooks& hooks = testHooks();
    hooks.answerFileDialog = [](const FileDialogRequest& request) -> std::optional<std::u16string> {
        Records& r = records();
        r.dialogs.push_back(FileDialogRecord{request.save, std::u16string(request.title),
            std::u16string(request.initialPath), std::u16string(request.filters), request.selectedFilter});
        if (r.realFileDialogs > 0) {
            --r.realFileDialogs;
            return std::nullopt;
        }
        if (r.dialogAnswers.empty()) {
            return std::u16string();
        }
        std::u16string answer = std::move(r.dialogAnswers.front());
        r.dialogAnswers.pop_front();
        return answer;
    };
    hooks.answerPrintDialog = [](const PrintDialogRequest& request) -> std::optional<std::filesystem::path> {
        Records& r = records();
        r.printDialogs.push_back(PrintDialogRecord{std::u16string(request.documentName), request.pageRangeOffered,
            request.selectionOffered, request.printToFileOffered});
        if (r.printAnswers.empty()) {
            return std::filesystem::path();
        }
        std::filesystem::path answer = std::move(r.printAnswers.front());
        r.printAnswers.pop_front();
        return answer;
    };
    hooks.printerInstalled = [] { return records().printerInstalled; };
    hooks.printing = [] {
        if (std::function<void()> action = std::move(records().printingAction)) {
            records().printingAction = nullptr;
            action();
        }
    };
    hooks.openAddress = [](std::u16string_view address) { records().openedAddresses.emplace_back(address); };
    hooks.windowShown = [](int window) {
        std::map<int, std::function<void()>>& actions = records().shownActions;
        auto found = actions.find(window);
        if (found != actions.end()) {
            std::function<void()> action = std::move(found->second);
            actions.erase(found);
            postToGui(std::move(action));
        }
    };
    hooks.windowClosed = [](int window) { records().shownActions.erase(window); };
    hooks.shuttingDown = [] { records().shownActions.clear(); };
}

QPoint clickPoint(QWidget* widget)
{
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        return box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    return widget->rect().center();
}

bool shown(QWidget* widget)
{
    return widget != nullptr && widget->isVisible();
}

// Whether input reaches the widget: it and its parents are enabled and its
// window is enabled.
bool takesInput(QWidget* widget)
{
    WindowRecord* record = windowOfWidget(widget);
    return widget->isEnabled() && record != nullptr && record->enabled;
}

Colour roleColour(QWidget* widget, QPalette::ColorRole role)
{
    return fromQColor(widget->palette().color(role));
}

} // namespace

QtMessageHandler gDefaultHandler = nullptr;

// The offscreen platform warns about every window operation it lacks
// (propagateSizeHints and the like); those lines would bury real warnings.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (gDefaultHandler != nullptr) {
        gDefaultHandler(type, context, message);
    }
}

bool initialiseHeadless()
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    gDefaultHandler = qInstallMessageHandler(quietHandler);
    if (!toolkit::isInitialised() && !toolkit::initialise(gArgc, gArgv)) {
        return false;
    }
    installHooks();
    return true;
}

void reset()
{
    State& s = state();
    std::vector<int> numbers;
    for (const auto& entry : s.windows) {
        numbers.push_back(entry.first);
    }
    for (int number : numbers) {
        toolkit::closeWindow(number);
    }
    processEvents();
    s.queue.clear();
    records() = Records{};
}

void processEvents(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (timer.elapsed() < milliseconds);
}

void runSoon(std::function<void()> action)
{
    postToGui(std::move(action));
}

void whenWindowShown(int window, std::function<void()> action)
{
    records().shownActions[window] = std::move(action);
}

int pendingEvents()
{
    return static_cast<int>(state().queue.size());
}

bool click(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || !shown(record->widget)) {
        return false;
    }
    QWidget* widget = record->widget;
    if (record->kind == GadgetKind::Tree || record->kind == GadgetKind::ListBox) {
        widget = static_cast<QAbstractScrollArea*>(widget)->viewport();
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, clickPoint(widget));
    return true;
}

bool clickItem(int gadget, int item)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || !shown(record->widget) || item < 0) {
        return false;
    }
    if (record->kind == GadgetKind::Tree) {
        if (item >= static_cast<int>(record->treeItems.size())) {
            return false;
        }
        auto* tree = static_cast<QTreeWidget*>(record->widget.data());
        QTreeWidgetItem* entry = record->treeItems[static_cast<std::size_t>(item)];
        if (takesInput(tree)) {
            for (QTreeWidgetItem* parent = entry->parent(); parent != nullptr; parent = parent->parent()) {
                parent->setExpanded(true); // as the user would open the branch first
            }
            tree->scrollToItem(entry);
        }
        QRect rect = tree->visualItemRect(entry);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        return true;
    }
    if (record->kind == GadgetKind::ListBox) {
        auto* list = static_cast<QListWidget*>(record->widget.data());
        QListWidgetItem* entry = list->item(item);
        if (entry == nullptr) {
            return false;
        }
        list->scrollToItem(entry);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(entry).center());
        return true;
    }
    if (record->kind == GadgetKind::Panel) {
        QTabBar* bar = static_cast<QTabWidget*>(record->widget.data())->tabBar();
        if (item >= bar->count()) {
            return false;
        }
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(item).center());
        return true;
    }
    return false;
}

bool chooseMenuItem(int window, int item)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return false;
    }
    auto found = record->menuItems.find(item);
    if (found == record->menuItems.end() || found->second.isNull()) {
        return false;
    }
    QAction* action = found->second;
    auto* menu = qobject_cast<QMenu*>(action->parent());
    bool reachable = record->enabled && !blockedByModalWindow(*record) && record->host->isVisible() &&
        !record->menuBar.isNull() && action->isEnabled() && (menu == nullptr || menu->isEnabled());
    if (reachable) {
        action->trigger();
    }
    return true;
}

bool clickToolbarButton(int window, int command)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || record->toolbar.isNull()) {
        return false;
    }
    auto found = record->toolbarButtons.find(command);
    if (found == record->toolbarButtons.end() || found->second.isNull()) {
        return false;
    }
    QWidget* button = record->toolbar->widgetForAction(found->second);
    if (!shown(button)) {
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    return true;
}

bool typeText(int gadget, const std::u16string& text)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->kind != GadgetKind::TextField || !shown(record->widget)) {
        return false;
    }
    QWidget* widget = record->widget;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    QTest::keyClicks(widget, toQ(text));
    return true;
}

namespace {

// Where a key press goes: the focused widget, else the active window.
QWidget* keyTarget()
{
    QWidget* target = QApplication::focusWidget();
    return target != nullptr ? target : QApplication::activeWindow();
}

Qt::KeyboardModifiers toQtModifiers(std::uint32_t modifiers)
{
    Qt::KeyboardModifiers qtModifiers;
    if (modifiers & ModControl) {
        qtModifiers |= Qt::ControlModifier;
    }
    if (modifiers & ModShift) {
        qtModifiers |= Qt::ShiftModifier;
    }
    if (modifiers & ModAlt) {
        qtModifiers |= Qt::AltModifier;
    }
    return qtModifiers;
}

} // namespace

void pressKey(Key key, std::uint32_t modifiers)
{
    QWidget* target = keyTarget();
    if (target == nullptr) {
        return;
    }
    Qt::KeyboardModifiers qtModifiers = toQtModifiers(modifiers);
    if (key == Key::KeypadPlus || key == Key::KeypadMinus || key == Key::KeypadMultiply) {
        qtModifiers |= Qt::KeypadModifier;
    }
    QTest::keyClick(target, qtKey(key), qtModifiers);
}

bool dragSplitter(int gadget, int position)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->kind != GadgetKind::Splitter || !shown(record->widget)) {
        return false;
    }
    auto* splitter = static_cast<QSplitter*>(record->widget.data());
    QSplitterHandle* handle = splitter->handle(1);
    if (handle == nullptr) {
        return false;
    }
    bool horizontal = splitter->orientation() == Qt::Horizontal;
    QPoint start = handle->rect().center();
    QPoint startInSplitter = handle->mapToParent(start);
    int offset = (horizontal ? startInSplitter.x() : startInSplitter.y()) - splitter->sizes().front();
    QPoint targetInSplitter =
        horizontal ? QPoint(position + offset, startInSplitter.y()) : QPoint(startInSplitter.x(), position + offset);
    QPoint target = handle->mapFromParent(targetInSplitter);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(target), handle->mapToGlobal(QPointF(target)), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, target);
    return true;
}

bool dropFiles(int gadget, const std::vector<std::u16string>& paths)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || !shown(record->widget)) {
        return false;
    }
    QWidget* widget = record->widget;
    if (auto* view = qobject_cast<QAbstractScrollArea*>(widget)) {
        widget = view->viewport();
    }
    // As Qt's drop-target search: the first enabled widget that accepts drops,
    // from the widget under the pointer up to its window.
    QWidget* target = widget;
    while (target != nullptr && !(target->isEnabled() && target->acceptDrops()) && !target->isWindow()) {
        target = target->parentWidget();
    }
    if (target == nullptr || !target->acceptDrops() || !target->isEnabled()) {
        return false;
    }
    QMimeData data;
    QList<QUrl> urls;
    QStringList lines;
    for (const std::u16string& path : paths) {
        QUrl url = fileUrlOfPath(path);
        urls << url;
        lines << url.toString();
    }
    data.setUrls(urls);
    data.setText(lines.join(QLatin1Char('\n')));
    QPoint point = widget->mapTo(target->window(), widget->rect().center());
    point = target->mapFrom(target->window(), point);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (!move.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void clickCloseBox(int window)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || !record->host->isVisible()) {
        return;
    }
    QCloseEvent event;
    QCoreApplication::sendEvent(record->host, &event);
}

bool activate(int window)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || !record->host->isVisible()) {
        return false;
    }
    raiseWindow(record->host);
    record->host->activateWindow();
    QElapsedTimer timer;
    timer.start();
    while (QApplication::activeWindow() != record->host && timer.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return QApplication::activeWindow() == record->host;
}

bool resizeWindow(int window, int width, int height)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return false;
    }
    // Qt keeps a resize within the window's minimum and maximum size, as the
    // window system keeps a drag within the size hints it is given.
    record->host->resize(width, height + record->appliedMenuHeight);
    processEvents();
    return true;
}

namespace {

// Runs `action` on the modal dialog of type D once it is up.
template <typename D> void whenModalShown(std::function<void(D*)> action)
{
    runSoon([action]() {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            whenModalShown<D>(action);
            return;
        }
        action(dialog);
    });
}

} // namespace

void answerShownFileDialog(const std::filesystem::path& folder, const std::u16string& file, int& shown)
{
    whenModalShown<QFileDialog>([folder, file, &shown](QFileDialog* dialog) {
        ++shown;
        dialog->setDirectory(QString::fromStdString(folder.string()));
        if (file.empty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(toQ(file));
        static_cast<QDialog*>(dialog)->accept(); // public as a QDialog
    });
}

void readShownFileDialogButtons(std::vector<std::u16string>& buttons, int& shown)
{
    ++records().realFileDialogs;
    whenModalShown<QFileDialog>([&buttons, &shown](QFileDialog* dialog) {
        ++shown;
        buttons.clear();
        if (auto* box = dialog->findChild<QDialogButtonBox*>()) {
            for (const QDialogButtonBox::ButtonRole role :
                {QDialogButtonBox::AcceptRole, QDialogButtonBox::RejectRole}) {
                for (QAbstractButton* button : box->buttons()) {
                    if (box->buttonRole(button) == role) {
                        buttons.push_back(fromQ(button->text().remove(QLatin1Char('&'))));
                    }
                }
            }
        }
        dialog->reject();
    });
}

void answerShownPrintDialog(const std::filesystem::path& pdf, int& shown)
{
    whenModalShown<QPrintDialog>([pdf, &shown](QPrintDialog* dialog) {
        ++shown;
        if (pdf.empty()) {
            dialog->reject();
            return;
        }
        dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog->setVisible(true); // lists "Print to File (PDF)" now
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        if (printers == nullptr || file == nullptr || buttons == nullptr) {
            dialog->reject();
            return;
        }
        printers->setCurrentIndex(printers->count() - 1);
        file->setText(QString::fromStdString(pdf.string()));
        buttons->button(QDialogButtonBox::Ok)->click();
    });
}

void answerNextFileDialog(const std::u16string& path)
{
    records().dialogAnswers.push_back(path);
}

void cancelNextFileDialog()
{
    records().dialogAnswers.emplace_back();
}

const std::vector<FileDialogRecord>& fileDialogs()
{
    return records().dialogs;
}

const std::vector<std::u16string>& openedAddresses()
{
    return records().openedAddresses;
}

void answerNextPrintDialog(const std::filesystem::path& file)
{
    records().printAnswers.push_back(file);
}

void setPrinterInstalled(bool installed)
{
    records().printerInstalled = installed;
    testHooks().printerInstalled = [] { return records().printerInstalled; };
}

void whenPrinting(std::function<void()> action)
{
    records().printingAction = std::move(action);
}

bool busyPointerShown()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

const std::vector<PrintDialogRecord>& printDialogs()
{
    return records().printDialogs;
}

GadgetView view(int gadget)
{
    GadgetView result;
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return result;
    }
    QWidget* widget = record->widget;
    result.exists = true;
    result.visible = widget->isVisible();
    result.enabled = takesInput(widget);
    result.text = toolkit::text(gadget);
    WindowRecord* window = findWindow(record->window);
    QPoint origin = window == nullptr ? widget->pos() : widget->mapTo(window->client, QPoint(0, 0));
    result.x = origin.x();
    result.y = origin.y();
    result.width = widget->width();
    result.height = widget->height();
    QFontInfo font(widget->font());
    result.fontFamily = fromQ(font.family());
    result.fontPointSize = font.pointSize();
    result.fontBold = font.bold();
    switch (record->kind) {
    case GadgetKind::TextField:
    case GadgetKind::Tree:
    case GadgetKind::ListBox:
    case GadgetKind::PageView:
        result.textColour = roleColour(widget, QPalette::Text);
        result.backgroundColour = roleColour(widget, QPalette::Base);
        break;
    case GadgetKind::Button:
        result.textColour = roleColour(widget, QPalette::ButtonText);
        result.backgroundColour = roleColour(widget, QPalette::Button);
        break;
    default:
        result.textColour = roleColour(widget, QPalette::WindowText);
        result.backgroundColour = roleColour(widget, QPalette::Window);
        break;
    }
    if (record->kind == GadgetKind::Text || record->kind == GadgetKind::Hyperlink) {
        result.text = fromQ(shownLabelText(*static_cast<QLabel*>(widget)));
    }
    if (record->kind == GadgetKind::Text) {
        auto* label = static_cast<QLabel*>(widget);
        result.wordWrap = label->wordWrap();
        Qt::Alignment alignment = label->alignment();
        result.alignment = (alignment & Qt::AlignHCenter) ? 1 : (alignment & Qt::AlignRight) ? 2 : 0;
    }
    if (record->kind == GadgetKind::Image) {
        QPixmap pixmap = static_cast<QLabel*>(widget)->pixmap();
        result.imageWidth = pixmap.width();
        result.imageHeight = pixmap.height();
    }
    return result;
}

WindowView windowView(int window)
{
    WindowView result;
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return result;
    }
    result.exists = true;
    result.visible = record->host->isVisible();
    result.enabled = record->enabled;
    result.active = QApplication::activeWindow() == record->host;
    result.title = fromQ(record->host->windowTitle());
    QPoint origin = record->client->mapToGlobal(QPoint(0, 0));
    if (!result.visible) {
        origin = record->host->pos() + QPoint(0, record->host->height() - toolkit::windowHeight(window));
    }
    result.x = origin.x();
    result.y = origin.y();
    result.width = toolkit::windowWidth(window);
    result.height = toolkit::windowHeight(window);
    result.sizable = (record->flags & WindowSizable) != 0;
    result.owner = record->owner;
    result.backgroundColour = fromQColor(record->client->palette().color(QPalette::Window));
    return result;
}

WindowSystemView windowSystemView(int window)
{
    WindowSystemView result;
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return result;
    }
    result.exists = true;
    WindowHost* host = record->host;
    if (QWindow* handle = host->windowHandle(); handle != nullptr && handle->transientParent() != nullptr) {
        for (const auto& entry : state().windows) {
            if (entry.second.host != nullptr && entry.second.host->windowHandle() == handle->transientParent()) {
                result.transientFor = entry.first;
            }
        }
    }
    const Qt::WindowFlags flags = host->windowFlags();
    result.dialog = host->windowType() == Qt::Dialog;
    result.modal = host->windowModality() != Qt::NonModal;
    result.minimizeButton = flags.testFlag(Qt::WindowMinimizeButtonHint);
    result.maximizeButton = flags.testFlag(Qt::WindowMaximizeButtonHint);
    const QRect frame = host->frameGeometry();
    result.frameX = frame.x();
    result.frameY = frame.y();
    result.frameWidth = frame.width();
    result.frameHeight = frame.height();
    return result;
}

ScreenArea availableScreenArea()
{
    ScreenArea result;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        result = ScreenArea{area.x(), area.y(), area.width(), area.height()};
    }
    return result;
}

MenuItemView menuItemView(int window, int item)
{
    MenuItemView result;
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return result;
    }
    auto found = record->menuItems.find(item);
    if (found == record->menuItems.end() || found->second.isNull()) {
        return result;
    }
    result.exists = true;
    result.checkable = found->second->isCheckable();
    result.checked = found->second->isChecked();
    result.enabled = found->second->isEnabled();
    return result;
}

PageViewState pageView(int gadget)
{
    PageViewState result;
    qt::PageViewWidget* page = pageViewOf(gadget);
    if (page == nullptr) {
        return result;
    }
    // Scroll bars come and go through posted layout requests, and each changes the width the
    // page is laid out at: settle until the view's size holds.
    QSize before;
    for (int round = 0; round < 8 && page->viewport()->size() != before; ++round) {
        before = page->viewport()->size();
        settleGeometry(page);
        page->finishLayout();
        QCoreApplication::sendPostedEvents(page); // shows or hides the scroll bars (a queued call)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    result.exists = true;
    result.scrollX = page->horizontalScrollBar()->value();
    result.scrollY = page->verticalScrollBar()->value();
    result.maxScrollX = page->horizontalScrollBar()->maximum();
    result.maxScrollY = page->verticalScrollBar()->maximum();
    result.viewWidth = page->viewport()->width();
    result.viewHeight = page->viewport()->height();
    QSize content = page->contentSize();
    result.contentWidth = content.width();
    result.contentHeight = content.height();
    result.selectedText = fromQ(page->selectedText());
    return result;
}

int pageScrollRangeNow(int gadget)
{
    qt::PageViewWidget* page = pageViewOf(gadget);
    return page == nullptr ? 0 : page->verticalScrollBar()->maximum();
}

double runUntilPageLaidOut(int gadget, int limitMs)
{
    qt::PageViewWidget* page = pageViewOf(gadget);
    if (page == nullptr) {
        return -1;
    }
    QElapsedTimer total;
    total.start();
    double longest = 0;
    while (!page->layoutComplete()) {
        if (total.elapsed() > limitMs) {
            return -1;
        }
        QElapsedTimer pass;
        pass.start();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, static_cast<double>(pass.nsecsElapsed()) / 1e6);
    }
    return longest;
}

bool turnWheel(int gadget, int notches, std::uint32_t modifiers)
{
    qt::PageViewWidget* page = pageViewOf(gadget);
    if (page == nullptr) {
        return false;
    }
    Qt::KeyboardModifiers qtModifiers;
    if (modifiers & ModControl) {
        qtModifiers |= Qt::ControlModifier;
    }
    if (modifiers & ModShift) {
        qtModifiers |= Qt::ShiftModifier;
    }
    QWidget* target = page->viewport();
    QPointF inside(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(inside, target->mapToGlobal(inside), QPoint(), QPoint(0, notches * 120), Qt::NoButton,
        qtModifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
    return true;
}

bool dragInPage(int gadget, int x1, int y1, int x2, int y2)
{
    qt::PageViewWidget* page = pageViewOf(gadget);
    if (page == nullptr || !shown(page)) {
        return false;
    }
    QWidget* target = page->viewport();
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, QPoint(x1, y1));
    QTest::mouseMove(target, QPoint((x1 + x2) / 2, (y1 + y2) / 2));
    QTest::mouseMove(target, QPoint(x2, y2));
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, QPoint(x2, y2));
    return true;
}

namespace {

// The widget that takes the mouse for a gadget: a scrolling gadget's visible area.
QWidget* pointerTarget(QWidget* widget)
{
    auto* scrolling = qobject_cast<QAbstractScrollArea*>(widget);
    return scrolling != nullptr ? scrolling->viewport() : widget;
}

} // namespace

bool movePointer(int gadget, int x, int y)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || !shown(record->widget)) {
        return false;
    }
    QWidget* target = pointerTarget(record->widget);
    QWindow* window = target->window()->windowHandle();
    if (window == nullptr) {
        return false;
    }
    settleGeometry(target);
    // Through the window system's input path: the widget under the point gets
    // the move (with enter and leave events), as with a real mouse.
    QTest::mouseMove(window, window->mapFromGlobal(target->mapToGlobal(QPoint(x, y))));
    return true;
}

std::u16string toolTipAt(int gadget, int x, int y)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || !shown(record->widget)) {
        return {};
    }
    QWidget* target = pointerTarget(record->widget);
    settleGeometry(target);
    const QPoint at(x, y);
    // A tip of the test's own stands for "none": a gadget with nothing to show
    // hides it (after a delay) and leaves its text.
    const QString none = QStringLiteral("\u2063none");
    QToolTip::showText(target->mapToGlobal(at), none, target);
    QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &help);
    const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    return tip == none ? std::u16string() : fromQ(tip);
}

PointerShape pointerShape(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->widget.isNull()) {
        return PointerShape::None;
    }
    const QCursor* forced = QGuiApplication::overrideCursor();
    // A widget without a pointer of its own shows its parent's.
    const Qt::CursorShape shape = forced != nullptr ? forced->shape() : pointerTarget(record->widget)->cursor().shape();
    switch (shape) {
    case Qt::ArrowCursor:
        return PointerShape::Arrow;
    case Qt::IBeamCursor:
        return PointerShape::IBeam;
    case Qt::PointingHandCursor:
        return PointerShape::Hand;
    default:
        return PointerShape::Other;
    }
}

void pressLetter(char letter, std::uint32_t modifiers)
{
    QWidget* target = keyTarget();
    if (target == nullptr) {
        return;
    }
    QTest::keyClick(target, letter, toQtModifiers(modifiers));
}

bool repaintPage(int gadget)
{
    qt::PageViewWidget* page = pageViewOf(gadget);
    if (page == nullptr) {
        return false;
    }
    settleGeometry(page);
    page->viewport()->repaint();
    return true;
}

bool savePageImage(int gadget, const std::filesystem::path& file)
{
    qt::PageViewWidget* page = pageViewOf(gadget);
    if (page == nullptr) {
        return false;
    }
    settleGeometry(page);
    page->finishLayout();
    QSize content = page->contentSize();
    QSize size(std::max(page->viewport()->width(), content.width()), std::max(1, content.height()));
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(page->palette().color(QPalette::Base));
    QPainter painter(&picture);
    page->paintContent(painter, QRect(QPoint(0, 0), size), QPoint(0, 0));
    painter.end();
    return picture.save(QString::fromStdString(file.string()), "PNG");
}

bool saveScreenshot(int window, const std::filesystem::path& file)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return false;
    }
    settleGeometry(record->host);
    QPixmap picture = record->host->grab();
    return !picture.isNull() && picture.save(QString::fromStdString(file.string()), "PNG");
}

} // namespace toolkit::testing
