// More readers of the test surface: toolbar buttons in order with their
// tooltips and icon size; tree items with depth, parent and expanded state and
// how the tree draws; the plain text a page view shows.

#include <QAction>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/page_view.h"
#include "toolkit/testing.h"

namespace toolkit::testing {

using namespace toolkit::qt;

std::vector<ToolbarButtonView> toolbarButtons(int window)
{
    std::vector<ToolbarButtonView> buttons;
    WindowRecord* record = findWindow(window);
    if (record == nullptr || record->toolbar.isNull()) {
        return buttons;
    }
    for (QAction* action : record->toolbar->actions()) {
        ToolbarButtonView button;
        button.separator = action->isSeparator();
        for (const auto& [command, known] : record->toolbarButtons) {
            if (known == action) {
                button.command = command;
            }
        }
        if (!button.separator) {
            button.toolTip = fromQ(action->toolTip());
            button.iconWidth = record->toolbar->iconSize().width();
            button.iconHeight = record->toolbar->iconSize().height();
            button.enabled = action->isEnabled();
        }
        buttons.push_back(button);
    }
    return buttons;
}

TreeItemView treeItem(int gadget, int item)
{
    TreeItemView view;
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->kind != GadgetKind::Tree || record->widget.isNull() || item < 0 ||
        item >= static_cast<int>(record->treeItems.size())) {
        return view;
    }
    QTreeWidgetItem* node = record->treeItems[static_cast<std::size_t>(item)];
    view.exists = true;
    view.text = fromQ(node->text(0));
    for (QTreeWidgetItem* up = node->parent(); up != nullptr; up = up->parent()) {
        ++view.depth;
    }
    const auto& items = record->treeItems;
    auto parent = std::find(items.begin(), items.end(), node->parent());
    view.parent = node->parent() == nullptr || parent == items.end() ? -1 : static_cast<int>(parent - items.begin());
    view.expanded = node->isExpanded();
    view.hasChildren = node->childCount() > 0;
    view.selected = node->isSelected();
    const QRect row = static_cast<QTreeWidget*>(record->widget.data())->visualItemRect(node);
    view.x = row.x();
    view.y = row.y();
    view.width = row.width();
    view.height = row.height();
    return view;
}

TreeLooksView treeLooks(int gadget)
{
    TreeLooksView view;
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->kind != GadgetKind::Tree || record->widget.isNull()) {
        return view;
    }
    auto* tree = static_cast<QTreeWidget*>(record->widget.data());
    view.exists = true;
    view.buttonsOnTopLevel = tree->rootIsDecorated();
    const QPalette palette = tree->palette();
    view.selectionVisibleWithoutFocus = palette.color(QPalette::Inactive, QPalette::Highlight) ==
            palette.color(QPalette::Active, QPalette::Highlight) &&
        palette.color(QPalette::Inactive, QPalette::Highlight) != palette.color(QPalette::Inactive, QPalette::Base);
    view.fullRowSelection = tree->style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, tree) != 0;
    if (tree->topLevelItemCount() > 0) {
        view.rowHeight = tree->visualItemRect(tree->topLevelItem(0)).height();
    }
    view.maxScrollX = tree->horizontalScrollBar()->maximum();
    view.visibleWidth = tree->viewport()->width();
    return view;
}

std::u16string pageText(int gadget)
{
    PageViewWidget* view = pageViewOf(gadget);
    return view == nullptr ? std::u16string() : fromQ(view->document().toPlainText());
}

std::vector<PageHighlightView> pageHighlights(int gadget)
{
    std::vector<PageHighlightView> marks;
    PageViewWidget* view = pageViewOf(gadget);
    if (view == nullptr) {
        return marks;
    }
    const QString text = view->document().toPlainText();
    const QRect room = view->viewport()->rect();
    for (std::size_t i = 0; i < view->highlights().size(); ++i) {
        const auto& [start, length] = view->highlights()[i];
        PageHighlightView mark;
        mark.start = start;
        mark.length = length;
        mark.current = static_cast<int>(i) == view->currentHighlight();
        const QRect rect = view->rangeRect(start, length);
        mark.onScreen =
            rect.isValid() && room.contains(rect.topLeft()) && rect.top() + rect.height() - 1 <= room.bottom();
        mark.text = fromQ(text.mid(start, length));
        marks.push_back(mark);
    }
    return marks;
}

} // namespace toolkit::testing
