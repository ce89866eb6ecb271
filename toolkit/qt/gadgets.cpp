// Numbered gadgets: Qt widgets at absolute positions in a window's inner area
// or in a tab page, with the toolkit's text, state, value and colour calls.

#include <QCheckBox>
#include <QEnterEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/page_view.h"

namespace toolkit::qt {

QString shownLabelText(const QLabel& label)
{
    if (!label.property(kElideProperty).toBool() || label.wordWrap()) {
        return label.text();
    }
    return label.fontMetrics().elidedText(label.text(), Qt::ElideRight, label.contentsRect().width());
}

namespace {

// A one-line label that ends a text too long for it in "…" and shows the
// whole text as its tool tip (TextElide).
class ElidingLabel : public QLabel {
public:
    explicit ElidingLabel(QWidget* parent) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const QString shown = shownLabelText(*this);
        if (shown == text()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
            palette(), isEnabled(), shown, foregroundRole());
    }
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && shownLabelText(*this) != text()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
            return true;
        }
        return QLabel::event(event);
    }
};

class HyperlinkLabel : public ElidingLabel {
public:
    explicit HyperlinkLabel(QWidget* parent) : ElidingLabel(parent) {}
    int gadget = -1;

protected:
    void enterEvent(QEnterEvent* event) override
    {
        ElidingLabel::enterEvent(event);
        hovering = true;
        if (GadgetRecord* record = findGadget(gadget)) {
            applyGadgetColours(*record);
        }
    }
    void leaveEvent(QEvent* event) override
    {
        ElidingLabel::leaveEvent(event);
        hovering = false;
        if (GadgetRecord* record = findGadget(gadget)) {
            applyGadgetColours(*record);
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ElidingLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            enqueue(Event{EventKind::Gadget, windowNumberOf(this), gadget, EventType::Clicked, {}});
        }
    }

public:
    bool hovering = false;
};

// A tab panel that can tell its page area before it is first shown (a hidden
// QTabWidget defers its own layout).
class PanelWidget : public QTabWidget {
public:
    explicit PanelWidget(QWidget* parent) : QTabWidget(parent) {}
    QRect pageArea() const
    {
        QStyleOptionTabWidgetFrame option;
        initStyleOption(&option);
        return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this);
    }
};

// Accepts local files dropped on a gadget whose file drop is on.
class DropFilter : public QObject {
public:
    explicit DropFilter(QObject* parent, int gadgetNumber) : QObject(parent), gadget(gadgetNumber) {}
    int gadget;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (hasLocalFiles(drag->mimeData()) && (drag->possibleActions() & Qt::CopyAction)) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            std::vector<std::u16string> files;
            for (const QUrl& url : drop->mimeData()->urls()) {
                if (url.isLocalFile()) {
                    files.push_back(pathOfFileUrl(url));
                }
            }
            if (files.empty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            enqueue(Event{EventKind::FilesDropped, windowNumberOf(static_cast<QWidget*>(object)), gadget,
                EventType::None, std::move(files)});
            return true;
        }
        default:
            return false;
        }
    }

private:
    static bool hasLocalFiles(const QMimeData* data)
    {
        if (data == nullptr || !data->hasUrls()) {
            return false;
        }
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                return true;
            }
        }
        return false;
    }
};

QWidget* parentWidget(const Parent& parent)
{
    if (parent.panel >= 0) {
        GadgetRecord* panel = findGadget(parent.panel);
        if (panel == nullptr || panel->kind != GadgetKind::Panel) {
            return nullptr;
        }
        auto* tabs = static_cast<QTabWidget*>(panel->widget.data());
        return parent.tab >= 0 && parent.tab < tabs->count() ? tabs->widget(parent.tab) : nullptr;
    }
    WindowRecord* window = findWindow(parent.window);
    return window == nullptr ? nullptr : window->client.data();
}

int parentWindowNumber(const Parent& parent)
{
    if (parent.panel >= 0) {
        GadgetRecord* panel = findGadget(parent.panel);
        return panel == nullptr ? -1 : panel->window;
    }
    return parent.window;
}

// Registers `widget` as gadget `gadget` after the common set-up.
GadgetRecord* adopt(const Parent& parent, int gadget, GadgetKind kind, QWidget* widget, int x, int y, int width,
    int height, std::uint32_t flags = 0)
{
    widget->setAcceptDrops(false);
    widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    widget->show();
    GadgetRecord record;
    record.number = gadget;
    record.kind = kind;
    record.window = parentWindowNumber(parent);
    record.widget = widget;
    record.flags = flags;
    GadgetRecord& stored = state().gadgets[gadget] = std::move(record);
    return &stored;
}

Event gadgetEvent(int gadget, EventType type)
{
    GadgetRecord* record = findGadget(gadget);
    return Event{EventKind::Gadget, record == nullptr ? -1 : record->window, gadget, type, {}};
}

void raise(int gadget, EventType type)
{
    enqueue(gadgetEvent(gadget, type));
}

QPalette::ColorRole textRole(GadgetKind kind)
{
    switch (kind) {
    case GadgetKind::TextField:
    case GadgetKind::Tree:
    case GadgetKind::ListBox:
    case GadgetKind::PageView:
        return QPalette::Text;
    case GadgetKind::Button:
        return QPalette::ButtonText;
    default:
        return QPalette::WindowText;
    }
}

QPalette::ColorRole backgroundRole(GadgetKind kind)
{
    switch (kind) {
    case GadgetKind::TextField:
    case GadgetKind::Tree:
    case GadgetKind::ListBox:
    case GadgetKind::PageView:
        return QPalette::Base;
    case GadgetKind::Button:
        return QPalette::Button;
    default:
        return QPalette::Window;
    }
}

bool prepare(int gadget, const Parent& parent, QWidget*& into)
{
    if (state().app == nullptr) {
        return false;
    }
    into = parentWidget(parent);
    if (into == nullptr) {
        return false;
    }
    freeGadget(gadget);
    // freeGadget may have removed the parent (a gadget cannot be its own tab).
    into = parentWidget(parent);
    return into != nullptr;
}

void setProgress(GadgetRecord& record)
{
    auto* bar = static_cast<QProgressBar*>(record.widget.data());
    if (record.maximum > record.minimum) {
        bar->setRange(record.minimum, record.maximum);
        bar->setValue(record.value);
    } else {
        // An empty range would make Qt show a busy bar; the bar stays empty instead.
        bar->setRange(0, 1);
        bar->setValue(0);
    }
}

// The tree as a file manager draws it: the selection fills the whole row,
// indentation and arrow included, and rows have room around their text.
class FileManagerTreeStyle : public QProxyStyle {
public:
    int styleHint(
        StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ItemView_ShowDecorationSelected) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Items of trees and lists show their whole text as a tool tip where it is cut:
// elided for want of room, or running past the visible area.
class CutTextTipDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override
    {
        if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip || !index.isValid() ||
            !index.data(Qt::ToolTipRole).toString().isEmpty()) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QStyle* style = view->style();
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int width = item.fontMetrics.horizontalAdvance(item.text);
        const int left = area.left() + margin;
        const QRect visible = view->viewport()->rect();
        const bool cut = width > area.width() - 2 * margin || left < visible.left() || left + width > visible.right();
        if (cut && !item.text.isEmpty()) {
            QToolTip::showText(event->globalPos(), item.text, view);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
};

class RoomyRowDelegate : public CutTextTipDelegate {
public:
    using CutTextTipDelegate::CutTextTipDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = CutTextTipDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height() + 8, 24));
        return size;
    }
};

QTreeWidget* treeOf(GadgetRecord* record)
{
    return record != nullptr && record->kind == GadgetKind::Tree ? static_cast<QTreeWidget*>(record->widget.data())
                                                                 : nullptr;
}

void revealTreeItem(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* parent = item->parent(); parent != nullptr; parent = parent->parent()) {
        parent->setExpanded(true);
    }
}

} // namespace

void applyGadgetColours(GadgetRecord& record)
{
    QWidget* widget = record.widget;
    widget->setPalette(QPalette());
    QPalette palette = widget->palette();
    Colour text = record.textColour;
    if (record.kind == GadgetKind::Hyperlink && static_cast<HyperlinkLabel*>(widget)->hovering &&
        record.hoverColour != kDefaultColour) {
        text = record.hoverColour;
    }
    if (text != kDefaultColour) {
        palette.setColor(textRole(record.kind), toQColor(text));
    }
    if (record.backgroundColour != kDefaultColour) {
        palette.setColor(backgroundRole(record.kind), toQColor(record.backgroundColour));
    } else if (record.kind == GadgetKind::TextField && (record.flags & FieldReadOnly)) {
        // As desktop toolkits draw a field that takes no typing: on the
        // window's colour, so only the editable fields look like input.
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    }
    if (record.kind == GadgetKind::Tree) {
        // The selection stays as visible while the tree lacks the focus.
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(
            QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::HighlightedText));
    }
    widget->setPalette(palette);
    bool fills = record.backgroundColour != kDefaultColour && backgroundRole(record.kind) == QPalette::Window;
    widget->setAutoFillBackground(fills);
}

void forgetGadgetsWithin(QWidget* widget)
{
    auto& gadgets = state().gadgets;
    for (auto it = gadgets.begin(); it != gadgets.end();) {
        QWidget* other = it->second.widget;
        bool inside = other == nullptr || other == widget || widget->isAncestorOf(other);
        it = inside ? gadgets.erase(it) : std::next(it);
    }
}

void settleGeometry(QWidget* widget)
{
    if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
        widget->setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent event(widget->size(), QSize());
        QCoreApplication::sendEvent(widget, &event);
    }
    if (QLayout* layout = widget->layout()) {
        layout->activate();
    }
    for (QObject* child : widget->children()) {
        if (child->isWidgetType() && !static_cast<QWidget*>(child)->isWindow()) {
            settleGeometry(static_cast<QWidget*>(child));
        }
    }
}

} // namespace toolkit::qt

namespace toolkit {

using namespace toolkit::qt;

Parent inTab(int panelGadget, int tab)
{
    Parent parent(-1);
    parent.panel = panelGadget;
    parent.tab = tab;
    return parent;
}

bool createFrame(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view caption)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* box = new QGroupBox(toQ(caption), into);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->lower();
    adopt(parent, gadget, GadgetKind::Frame, box, x, y, width, height);
    return true;
}

bool createTextField(
    Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text, std::uint32_t flags)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* field = new QLineEdit(toQ(text), into);
    field->setReadOnly((flags & FieldReadOnly) != 0);
    field->setCursorPosition(0);
    adopt(parent, gadget, GadgetKind::TextField, field, x, y, width, height, flags);
    applyGadgetColours(*findGadget(gadget));
    QObject::connect(field, &QLineEdit::textEdited, field, [gadget]() { raise(gadget, EventType::Change); });
    QObject::connect(field, &QLineEdit::returnPressed, field, [gadget]() { raise(gadget, EventType::Activated); });
    return true;
}

bool createButton(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* button = new QPushButton(toQ(text), into);
    button->setAutoDefault(false);
    adopt(parent, gadget, GadgetKind::Button, button, x, y, width, height);
    QObject::connect(button, &QPushButton::clicked, button, [gadget]() { raise(gadget, EventType::Clicked); });
    return true;
}

bool createCheckBox(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* box = new QCheckBox(toQ(text), into);
    adopt(parent, gadget, GadgetKind::CheckBox, box, x, y, width, height);
    QObject::connect(box, &QCheckBox::clicked, box, [gadget]() { raise(gadget, EventType::Clicked); });
    return true;
}

bool createProgressBar(Parent parent, int gadget, int x, int y, int width, int height, int minimum, int maximum)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* bar = new QProgressBar(into);
    bar->setTextVisible(false);
    GadgetRecord* record = adopt(parent, gadget, GadgetKind::ProgressBar, bar, x, y, width, height);
    record->minimum = minimum;
    record->maximum = maximum;
    record->value = minimum;
    setProgress(*record);
    return true;
}

bool createText(
    Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text, std::uint32_t flags)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* label = new ElidingLabel(into);
    label->setTextFormat(Qt::PlainText);
    label->setText(toQ(text));
    Qt::Alignment horizontal = (flags & TextCenter) ? Qt::AlignHCenter
        : (flags & TextRight)                       ? Qt::AlignRight
                                                    : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setWordWrap((flags & TextWordWrap) != 0);
    label->setProperty(kElideProperty, (flags & TextElide) != 0 && (flags & TextWordWrap) == 0);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    adopt(parent, gadget, GadgetKind::Text, label, x, y, width, height, flags);
    return true;
}

bool createImage(Parent parent, int gadget, int x, int y, int width, int height, int image)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* label = new QLabel(into);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    adopt(parent, gadget, GadgetKind::Image, label, x, y, width, height);
    setImage(gadget, image);
    return true;
}

bool createHyperlink(Parent parent, int gadget, int x, int y, int width, int height, std::u16string_view text,
    Colour hoverColour, std::uint32_t flags)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* link = new HyperlinkLabel(into);
    link->gadget = gadget;
    link->setTextFormat(Qt::PlainText);
    link->setText(toQ(text));
    link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    link->setCursor(Qt::PointingHandCursor);
    link->setProperty(kElideProperty, (flags & TextElide) != 0);
    QFont font = link->font();
    font.setUnderline((flags & HyperlinkUnderline) != 0);
    link->setFont(font);
    GadgetRecord* record = adopt(parent, gadget, GadgetKind::Hyperlink, link, x, y, width, height, flags);
    record->hoverColour = hoverColour;
    return true;
}

bool createTree(Parent parent, int gadget, int x, int y, int width, int height)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* tree = new QTreeWidget(into);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setRootIsDecorated(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->viewport()->setAcceptDrops(false);
    auto* style = new FileManagerTreeStyle();
    style->setParent(tree);
    tree->setStyle(style);
    tree->setItemDelegate(new RoomyRowDelegate(tree));
    // The one column fills the view and grows to its widest item: deep levels scroll into view
    // sideways. Measured once after each batch of changes (at most a thousand rows are sized).
    auto* fit = new QTimer(tree);
    fit->setSingleShot(true);
    QObject::connect(fit, &QTimer::timeout, tree, [tree] {
        tree->header()->setMinimumSectionSize(std::max(1, static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(0)));
    });
    const auto refit = [fit] { fit->start(0); };
    QObject::connect(tree->model(), &QAbstractItemModel::rowsInserted, fit, refit);
    QObject::connect(tree->model(), &QAbstractItemModel::rowsRemoved, fit, refit);
    QObject::connect(tree->model(), &QAbstractItemModel::modelReset, fit, refit);
    QObject::connect(tree->model(), &QAbstractItemModel::dataChanged, fit, refit);
    QObject::connect(tree, &QTreeView::expanded, fit, refit);
    QObject::connect(tree, &QTreeView::collapsed, fit, refit);
    applyGadgetColours(*adopt(parent, gadget, GadgetKind::Tree, tree, x, y, width, height));
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [gadget](QTreeWidgetItem* current) {
        if (current != nullptr) {
            raise(gadget, EventType::Change);
        }
    });
    return true;
}

bool createPanel(Parent parent, int gadget, int x, int y, int width, int height)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* tabs = new PanelWidget(into);
    adopt(parent, gadget, GadgetKind::Panel, tabs, x, y, width, height);
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [gadget](int) { raise(gadget, EventType::Change); });
    return true;
}

bool createListBox(Parent parent, int gadget, int x, int y, int width, int height)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    auto* list = new QListWidget(into);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setItemDelegate(new CutTextTipDelegate(list));
    list->viewport()->setAcceptDrops(false);
    adopt(parent, gadget, GadgetKind::ListBox, list, x, y, width, height);
    QObject::connect(list, &QListWidget::currentRowChanged, list, [gadget](int row) {
        if (row >= 0) {
            raise(gadget, EventType::Change);
        }
    });
    QObject::connect(list, &QListWidget::itemActivated, list, [gadget]() { raise(gadget, EventType::Activated); });
    return true;
}

bool createSplitter(
    Parent parent, int gadget, int x, int y, int width, int height, int first, int second, std::uint32_t flags)
{
    QWidget* into = nullptr;
    if (first == second || first == gadget || second == gadget || !prepare(gadget, parent, into)) {
        return false;
    }
    GadgetRecord* firstRecord = findGadget(first);
    GadgetRecord* secondRecord = findGadget(second);
    int window = parentWindowNumber(parent);
    if (firstRecord == nullptr || secondRecord == nullptr || firstRecord->window != window ||
        secondRecord->window != window) {
        return false;
    }
    auto* splitter = new QSplitter((flags & SplitterStacked) ? Qt::Vertical : Qt::Horizontal, into);
    splitter->setHandleWidth(7);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(true);
    splitter->addWidget(firstRecord->widget);
    splitter->addWidget(secondRecord->widget);
    GadgetRecord* record = adopt(parent, gadget, GadgetKind::Splitter, splitter, x, y, width, height, flags);
    record->first = first;
    record->second = second;
    settleGeometry(splitter);
    QObject::connect(
        splitter, &QSplitter::splitterMoved, splitter, [gadget](int, int) { raise(gadget, EventType::Change); });
    return true;
}

bool createPageView(Parent parent, int gadget, int x, int y, int width, int height)
{
    QWidget* into = nullptr;
    if (!prepare(gadget, parent, into)) {
        return false;
    }
    adopt(parent, gadget, GadgetKind::PageView, createPageViewWidget(into), x, y, width, height);
    return true;
}

void freeGadget(int gadget)
{
    auto found = state().gadgets.find(gadget);
    if (found == state().gadgets.end()) {
        return;
    }
    QPointer<QWidget> widget = found->second.widget;
    state().gadgets.erase(found);
    if (!widget.isNull()) {
        forgetGadgetsWithin(widget);
        delete widget.data();
    }
}

bool gadgetExists(int gadget)
{
    return findGadget(gadget) != nullptr;
}

GadgetKind gadgetKind(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record == nullptr ? GadgetKind::None : record->kind;
}

int gadgetWindow(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record == nullptr ? -1 : record->window;
}

void setText(int gadget, std::u16string_view text)
{
    if (!onGuiThread()) {
        postToGui([gadget, copy = std::u16string(text)]() { setText(gadget, copy); });
        return;
    }
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    QWidget* widget = record->widget;
    QString value = toQ(text);
    switch (record->kind) {
    case GadgetKind::Frame:
        static_cast<QGroupBox*>(widget)->setTitle(value);
        break;
    case GadgetKind::TextField: {
        auto* field = static_cast<QLineEdit*>(widget);
        field->setText(value);
        field->setCursorPosition(0);
        break;
    }
    case GadgetKind::Button:
        static_cast<QPushButton*>(widget)->setText(value);
        break;
    case GadgetKind::CheckBox:
        static_cast<QCheckBox*>(widget)->setText(value);
        break;
    case GadgetKind::Text:
    case GadgetKind::Hyperlink:
        static_cast<QLabel*>(widget)->setText(value);
        break;
    case GadgetKind::PageView:
        static_cast<PageViewWidget*>(widget)->showPlainText(value);
        break;
    default:
        break;
    }
}

std::u16string text(int gadget)
{
    return readOnGui<std::u16string>(
        [gadget]() -> std::u16string {
            GadgetRecord* record = findGadget(gadget);
            if (record == nullptr) {
                return {};
            }
            QWidget* widget = record->widget;
            switch (record->kind) {
            case GadgetKind::Frame:
                return fromQ(static_cast<QGroupBox*>(widget)->title());
            case GadgetKind::TextField:
                return fromQ(static_cast<QLineEdit*>(widget)->text());
            case GadgetKind::Button:
                return fromQ(static_cast<QPushButton*>(widget)->text());
            case GadgetKind::CheckBox:
                return fromQ(static_cast<QCheckBox*>(widget)->text());
            case GadgetKind::Text:
            case GadgetKind::Hyperlink:
                return fromQ(static_cast<QLabel*>(widget)->text());
            case GadgetKind::Tree: {
                QTreeWidgetItem* item = static_cast<QTreeWidget*>(widget)->currentItem();
                return item == nullptr ? std::u16string() : fromQ(item->text(0));
            }
            case GadgetKind::ListBox: {
                QListWidgetItem* item = static_cast<QListWidget*>(widget)->currentItem();
                return item == nullptr ? std::u16string() : fromQ(item->text());
            }
            case GadgetKind::Panel: {
                auto* tabs = static_cast<QTabWidget*>(widget);
                return fromQ(tabs->tabText(tabs->currentIndex()));
            }
            case GadgetKind::PageView:
                return fromQ(static_cast<PageViewWidget*>(widget)->document().toPlainText());
            default:
                return {};
            }
        },
        std::u16string());
}

void setState(int gadget, int value)
{
    if (!onGuiThread()) {
        postToGui([gadget, value]() { setState(gadget, value); });
        return;
    }
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    switch (record->kind) {
    case GadgetKind::CheckBox:
        static_cast<QCheckBox*>(record->widget.data())->setChecked(value != 0);
        break;
    case GadgetKind::Tree: {
        auto* tree = static_cast<QTreeWidget*>(record->widget.data());
        if (value < 0 || value >= static_cast<int>(record->treeItems.size())) {
            tree->setCurrentItem(nullptr);
            tree->clearSelection();
            break;
        }
        QTreeWidgetItem* item = record->treeItems[static_cast<std::size_t>(value)];
        revealTreeItem(item);
        tree->setCurrentItem(item);
        tree->scrollToItem(item);
        break;
    }
    case GadgetKind::ListBox: {
        auto* list = static_cast<QListWidget*>(record->widget.data());
        list->setCurrentRow(value >= 0 && value < list->count() ? value : -1);
        if (value < 0) {
            list->clearSelection();
        }
        break;
    }
    case GadgetKind::Panel: {
        auto* tabs = static_cast<QTabWidget*>(record->widget.data());
        if (value >= 0 && value < tabs->count()) {
            tabs->setCurrentIndex(value);
        }
        break;
    }
    default:
        break;
    }
}

int state(int gadget)
{
    return readOnGui<int>(
        [gadget]() -> int {
            GadgetRecord* record = findGadget(gadget);
            if (record == nullptr) {
                return 0;
            }
            switch (record->kind) {
            case GadgetKind::CheckBox:
                return static_cast<QCheckBox*>(record->widget.data())->isChecked() ? 1 : 0;
            case GadgetKind::Tree: {
                QTreeWidgetItem* item = static_cast<QTreeWidget*>(record->widget.data())->currentItem();
                auto found = std::find(record->treeItems.begin(), record->treeItems.end(), item);
                return found == record->treeItems.end() ? -1 : static_cast<int>(found - record->treeItems.begin());
            }
            case GadgetKind::ListBox:
                return static_cast<QListWidget*>(record->widget.data())->currentRow();
            case GadgetKind::Panel:
                return static_cast<QTabWidget*>(record->widget.data())->currentIndex();
            default:
                return 0;
            }
        },
        0);
}

void setValue(int gadget, int value)
{
    if (!onGuiThread()) {
        postToGui([gadget, value]() { setValue(gadget, value); });
        return;
    }
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    if (record->kind == GadgetKind::ProgressBar) {
        record->value = std::clamp(value, record->minimum, std::max(record->minimum, record->maximum));
        setProgress(*record);
    } else if (record->kind == GadgetKind::Splitter) {
        auto* splitter = static_cast<QSplitter*>(record->widget.data());
        settleGeometry(splitter);
        int total = (splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height()) -
            splitter->handleWidth();
        int first =
            std::clamp(value, record->firstMinimum, std::max(record->firstMinimum, total - record->secondMinimum));
        splitter->setSizes({first, std::max(0, total - first)});
    }
}

int value(int gadget)
{
    return readOnGui<int>(
        [gadget]() -> int {
            GadgetRecord* record = findGadget(gadget);
            if (record == nullptr) {
                return 0;
            }
            if (record->kind == GadgetKind::ProgressBar) {
                return record->value;
            }
            if (record->kind == GadgetKind::Splitter) {
                auto* splitter = static_cast<QSplitter*>(record->widget.data());
                settleGeometry(splitter);
                QList<int> sizes = splitter->sizes();
                return sizes.isEmpty() ? 0 : sizes.front();
            }
            return 0;
        },
        0);
}

void setAttribute(int gadget, Attribute attribute, int value)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    switch (attribute) {
    case Attribute::ProgressMinimum:
    case Attribute::ProgressMaximum:
        if (record->kind == GadgetKind::ProgressBar) {
            (attribute == Attribute::ProgressMinimum ? record->minimum : record->maximum) = value;
            record->value = std::clamp(record->value, record->minimum, std::max(record->minimum, record->maximum));
            setProgress(*record);
        }
        break;
    case Attribute::SplitterFirstMinimum:
    case Attribute::SplitterSecondMinimum:
        if (record->kind == GadgetKind::Splitter) {
            bool firstPane = attribute == Attribute::SplitterFirstMinimum;
            (firstPane ? record->firstMinimum : record->secondMinimum) = std::max(0, value);
            GadgetRecord* pane = findGadget(firstPane ? record->first : record->second);
            if (pane != nullptr) {
                auto* splitter = static_cast<QSplitter*>(record->widget.data());
                if (splitter->orientation() == Qt::Horizontal) {
                    pane->widget->setMinimumWidth(std::max(0, value));
                } else {
                    pane->widget->setMinimumHeight(std::max(0, value));
                }
            }
        }
        break;
    default:
        break;
    }
}

int attribute(int gadget, Attribute attribute)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return 0;
    }
    switch (attribute) {
    case Attribute::ProgressMinimum:
        return record->kind == GadgetKind::ProgressBar ? record->minimum : 0;
    case Attribute::ProgressMaximum:
        return record->kind == GadgetKind::ProgressBar ? record->maximum : 0;
    case Attribute::SplitterFirstMinimum:
        return record->kind == GadgetKind::Splitter ? record->firstMinimum : 0;
    case Attribute::SplitterSecondMinimum:
        return record->kind == GadgetKind::Splitter ? record->secondMinimum : 0;
    case Attribute::PanelPageWidth:
    case Attribute::PanelPageHeight: {
        if (record->kind != GadgetKind::Panel) {
            return 0;
        }
        settleGeometry(record->widget->window());
        QRect area = static_cast<PanelWidget*>(record->widget.data())->pageArea();
        return attribute == Attribute::PanelPageWidth ? area.width() : area.height();
    }
    }
    return 0;
}

void setColour(int gadget, ColourRole role, Colour colour)
{
    if (!onGuiThread()) {
        postToGui([gadget, role, colour]() { setColour(gadget, role, colour); });
        return;
    }
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    (role == ColourRole::Text ? record->textColour : record->backgroundColour) = colour < 0 ? kDefaultColour : colour;
    applyGadgetColours(*record);
}

Colour colour(int gadget, ColourRole role)
{
    return readOnGui<Colour>(
        [gadget, role]() -> Colour {
            GadgetRecord* record = findGadget(gadget);
            if (record == nullptr) {
                return kDefaultColour;
            }
            return role == ColourRole::Text ? record->textColour : record->backgroundColour;
        },
        kDefaultColour);
}

void setFont(int gadget, int font)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    record->font = font;
    auto found = state().fonts.find(font);
    QFont chosen = found != state().fonts.end() ? found->second : QApplication::font();
    if (record->kind == GadgetKind::Hyperlink) {
        chosen.setUnderline((record->flags & HyperlinkUnderline) != 0);
    }
    record->widget->setFont(chosen);
}

void setImage(int gadget, int image)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->kind != GadgetKind::Image) {
        return;
    }
    record->image = image;
    auto* label = static_cast<QLabel*>(record->widget.data());
    auto found = state().images.find(image);
    if (found == state().images.end()) {
        label->setPixmap(QPixmap());
    } else {
        label->setPixmap(found->second.pixmap);
    }
}

void setEnabled(int gadget, bool enabled)
{
    if (GadgetRecord* record = findGadget(gadget)) {
        record->enabled = enabled;
        record->widget->setEnabled(enabled);
    }
}

bool enabled(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record != nullptr && record->enabled;
}

void setHidden(int gadget, bool hidden)
{
    if (GadgetRecord* record = findGadget(gadget)) {
        record->widget->setVisible(!hidden);
    }
}

void setToolTip(int gadget, std::u16string_view text)
{
    if (GadgetRecord* record = findGadget(gadget)) {
        record->widget->setToolTip(toQ(text));
    }
}

void setActiveGadget(int gadget)
{
    if (GadgetRecord* record = findGadget(gadget)) {
        record->widget->setFocus(Qt::OtherFocusReason);
    }
}

void resizeGadget(int gadget, int x, int y, int width, int height)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    QRect now = record->widget->geometry();
    record->widget->setGeometry(x == kKeep ? now.x() : x, y == kKeep ? now.y() : y,
        width == kKeep ? now.width() : std::max(0, width), height == kKeep ? now.height() : std::max(0, height));
    if (record->kind == GadgetKind::Splitter || record->kind == GadgetKind::Panel) {
        settleGeometry(record->widget);
    }
}

int gadgetX(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record == nullptr ? 0 : record->widget->x();
}

int gadgetY(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record == nullptr ? 0 : record->widget->y();
}

int gadgetWidth(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record == nullptr ? 0 : record->widget->width();
}

int gadgetHeight(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    return record == nullptr ? 0 : record->widget->height();
}

int addItem(int gadget, int position, std::u16string_view text, int image, int depth)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return -1;
    }
    QIcon icon;
    if (auto found = state().images.find(image); found != state().images.end()) {
        icon = QIcon(found->second.pixmap);
    }
    switch (record->kind) {
    case GadgetKind::Tree: {
        // Appended always: the parent is the nearest earlier item of a smaller depth.
        auto* tree = static_cast<QTreeWidget*>(record->widget.data());
        QTreeWidgetItem* parentItem = nullptr;
        int effectiveDepth = 0;
        if (depth > 0) {
            for (std::size_t i = record->treeItems.size(); i-- > 0;) {
                if (record->treeDepths[i] < depth) {
                    parentItem = record->treeItems[i];
                    effectiveDepth = record->treeDepths[i] + 1;
                    break;
                }
            }
        }
        auto* item = parentItem == nullptr ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(parentItem);
        item->setText(0, toQ(text));
        if (!icon.isNull()) {
            item->setIcon(0, icon);
        }
        record->treeItems.push_back(item);
        record->treeDepths.push_back(effectiveDepth);
        return static_cast<int>(record->treeItems.size()) - 1;
    }
    case GadgetKind::ListBox: {
        auto* list = static_cast<QListWidget*>(record->widget.data());
        int row = position < 0 || position > list->count() ? list->count() : position;
        auto* item = new QListWidgetItem(icon, toQ(text));
        list->insertItem(row, item);
        return row;
    }
    case GadgetKind::Panel: {
        auto* tabs = static_cast<QTabWidget*>(record->widget.data());
        auto* page = new QWidget;
        page->setAcceptDrops(false);
        int index = position < 0 || position > tabs->count() ? tabs->count() : position;
        QSignalBlocker quiet(tabs);
        return tabs->insertTab(index, page, icon, toQ(text));
    }
    default:
        return -1;
    }
}

void clearItems(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return;
    }
    if (QTreeWidget* tree = treeOf(record)) {
        QSignalBlocker quiet(tree);
        tree->clear();
        record->treeItems.clear();
        record->treeDepths.clear();
    } else if (record->kind == GadgetKind::ListBox) {
        QSignalBlocker quiet(record->widget.data());
        static_cast<QListWidget*>(record->widget.data())->clear();
    } else if (record->kind == GadgetKind::Panel) {
        auto* tabs = static_cast<QTabWidget*>(record->widget.data());
        QSignalBlocker quiet(tabs);
        while (tabs->count() > 0) {
            QWidget* page = tabs->widget(0);
            tabs->removeTab(0);
            forgetGadgetsWithin(page);
            delete page;
        }
    }
}

int countItems(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr) {
        return 0;
    }
    switch (record->kind) {
    case GadgetKind::Tree:
        return static_cast<int>(record->treeItems.size());
    case GadgetKind::ListBox:
        return static_cast<QListWidget*>(record->widget.data())->count();
    case GadgetKind::Panel:
        return static_cast<QTabWidget*>(record->widget.data())->count();
    default:
        return 0;
    }
}

std::u16string itemText(int gadget, int item)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || item < 0) {
        return {};
    }
    switch (record->kind) {
    case GadgetKind::Tree:
        return item < static_cast<int>(record->treeItems.size())
            ? fromQ(record->treeItems[static_cast<std::size_t>(item)]->text(0))
            : std::u16string();
    case GadgetKind::ListBox: {
        QListWidgetItem* entry = static_cast<QListWidget*>(record->widget.data())->item(item);
        return entry == nullptr ? std::u16string() : fromQ(entry->text());
    }
    case GadgetKind::Panel:
        return fromQ(static_cast<QTabWidget*>(record->widget.data())->tabText(item));
    default:
        return {};
    }
}

void setItemText(int gadget, int item, std::u16string_view text)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || item < 0) {
        return;
    }
    switch (record->kind) {
    case GadgetKind::Tree:
        if (item < static_cast<int>(record->treeItems.size())) {
            record->treeItems[static_cast<std::size_t>(item)]->setText(0, toQ(text));
        }
        break;
    case GadgetKind::ListBox:
        if (QListWidgetItem* entry = static_cast<QListWidget*>(record->widget.data())->item(item)) {
            entry->setText(toQ(text));
        }
        break;
    case GadgetKind::Panel:
        static_cast<QTabWidget*>(record->widget.data())->setTabText(item, toQ(text));
        break;
    default:
        break;
    }
}

void enableFileDrop(int gadget, bool enabled)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->dropEnabled == enabled) {
        return;
    }
    record->dropEnabled = enabled;
    QWidget* widget = record->widget;
    // Item views take drops on their viewport.
    QWidget* target = widget;
    if (auto* view = qobject_cast<QAbstractScrollArea*>(widget)) {
        target = view->viewport();
    }
    if (enabled) {
        target->setAcceptDrops(true);
        record->dropFilter = new DropFilter(target, gadget);
        target->installEventFilter(record->dropFilter);
    } else {
        target->setAcceptDrops(false);
        if (!record->dropFilter.isNull()) {
            target->removeEventFilter(record->dropFilter);
            delete record->dropFilter.data();
        }
    }
}

} // namespace toolkit
