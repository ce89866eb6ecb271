// Menu bars with image items and check marks, the toolbar, and shortcuts.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "toolkit/qt/internal.h"

namespace toolkit::qt {
namespace {

QAction* menuAction(int window, int item)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return nullptr;
    }
    auto found = record->menuItems.find(item);
    return found == record->menuItems.end() ? nullptr : found->second.data();
}

QIcon iconOf(int image)
{
    auto found = state().images.find(image);
    return found == state().images.end() ? QIcon() : QIcon(found->second.pixmap);
}

} // namespace
} // namespace toolkit::qt

namespace toolkit {

using namespace toolkit::qt;

bool createMenuBar(int window)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return false;
    }
    auto* bar = new QMenuBar(record->host);
    bar->setNativeMenuBar(false);
    bar->setAcceptDrops(false);
    record->host->setMenuBar(bar); // deletes an earlier bar
    record->menuBar = bar;
    record->menuTitles.clear();
    record->menuItems.clear();
    applyInnerSize(*record);
    return true;
}

void addMenuTitle(int window, std::u16string_view text)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || record->menuBar.isNull()) {
        return;
    }
    QMenu* menu = record->menuBar->addMenu(toQ(text));
    record->menuTitles.emplace_back(menu);
    applyInnerSize(*record);
}

void addMenuItem(int window, int item, std::u16string_view text, int image)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || record->menuTitles.empty() || record->menuTitles.back().isNull()) {
        return;
    }
    QMenu* menu = record->menuTitles.back();
    QAction* action = menu->addAction(iconOf(image), toQ(text));
    action->setIconVisibleInMenu(true);
    if (auto old = record->menuItems.find(item); old != record->menuItems.end() && !old->second.isNull()) {
        delete old->second.data();
    }
    record->menuItems[item] = action;
    QObject::connect(action, &QAction::triggered, action, [window, item, action](bool checked) {
        if (action->isCheckable()) {
            action->setChecked(!checked); // check marks are the program's, set by setMenuItemChecked
        }
        enqueue(Event{EventKind::Command, window, item, EventType::None, {}});
    });
}

void addMenuSeparator(int window)
{
    WindowRecord* record = findWindow(window);
    if (record != nullptr && !record->menuTitles.empty() && !record->menuTitles.back().isNull()) {
        record->menuTitles.back()->addSeparator();
    }
}

void setMenuTitleText(int window, int title, std::u16string_view text)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || title < 0 || title >= static_cast<int>(record->menuTitles.size())) {
        return;
    }
    if (QMenu* menu = record->menuTitles[static_cast<std::size_t>(title)]) {
        menu->setTitle(toQ(text));
    }
}

void setMenuItemText(int window, int item, std::u16string_view text)
{
    if (QAction* action = menuAction(window, item)) {
        action->setText(toQ(text));
    }
}

std::u16string menuItemText(int window, int item)
{
    QAction* action = menuAction(window, item);
    return action == nullptr ? std::u16string() : fromQ(action->text());
}

void setMenuItemChecked(int window, int item, bool checked)
{
    if (QAction* action = menuAction(window, item)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

bool menuItemChecked(int window, int item)
{
    QAction* action = menuAction(window, item);
    return action != nullptr && action->isChecked();
}

void setMenuItemEnabled(int window, int item, bool enabled)
{
    if (QAction* action = menuAction(window, item)) {
        action->setEnabled(enabled);
    }
}

bool menuItemEnabled(int window, int item)
{
    QAction* action = menuAction(window, item);
    return action != nullptr && action->isEnabled();
}

bool createToolbar(int window)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return false;
    }
    if (!record->toolbar.isNull()) {
        delete record->toolbar.data();
    }
    record->toolbarButtons.clear();
    auto* bar = new QToolBar(record->client);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setAcceptDrops(false);
    bar->setGeometry(0, 0, record->client->width(), bar->sizeHint().height());
    bar->show();
    record->toolbar = bar;
    return true;
}

void addToolbarButton(int window, int command, int image, std::u16string_view toolTip)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr || record->toolbar.isNull()) {
        return;
    }
    QAction* action = record->toolbar->addAction(iconOf(image), toQ(toolTip));
    action->setToolTip(toQ(toolTip));
    record->toolbarButtons[command] = action;
    QObject::connect(action, &QAction::triggered, action, [window, command]() {
        enqueue(Event{EventKind::Command, window, command, EventType::None, {}});
    });
    record->toolbar->setGeometry(0, 0, record->client->width(), record->toolbar->sizeHint().height());
}

void addToolbarSeparator(int window)
{
    WindowRecord* record = findWindow(window);
    if (record != nullptr && !record->toolbar.isNull()) {
        record->toolbar->addSeparator();
    }
}

void setToolbarToolTip(int window, int command, std::u16string_view toolTip)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return;
    }
    auto found = record->toolbarButtons.find(command);
    if (found != record->toolbarButtons.end() && !found->second.isNull()) {
        found->second->setToolTip(toQ(toolTip));
        found->second->setText(toQ(toolTip));
    }
}

int toolbarHeight(int window)
{
    WindowRecord* record = findWindow(window);
    return record == nullptr || record->toolbar.isNull() ? 0 : record->toolbar->height();
}

void addShortcut(int window, Key key, std::uint32_t modifiers, int command)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return;
    }
    removeShortcut(window, key, modifiers);
    record->shortcuts.push_back(Shortcut{key, modifiers, command});
}

void addGadgetShortcut(int gadget, Key key, std::uint32_t modifiers, int command)
{
    GadgetRecord* gadgetRecord = findGadget(gadget);
    WindowRecord* record = gadgetRecord == nullptr ? nullptr : findWindow(gadgetRecord->window);
    if (record == nullptr) {
        return;
    }
    // Before the window's own shortcuts, so that it wins while the gadget has the focus.
    record->shortcuts.insert(record->shortcuts.begin(), Shortcut{key, modifiers, command, gadget});
}

void removeShortcut(int window, Key key, std::uint32_t modifiers)
{
    WindowRecord* record = findWindow(window);
    if (record == nullptr) {
        return;
    }
    auto& list = record->shortcuts;
    list.erase(std::remove_if(list.begin(), list.end(),
                   [&](const Shortcut& s) { return s.key == key && s.modifiers == modifiers; }),
        list.end());
}

} // namespace toolkit
