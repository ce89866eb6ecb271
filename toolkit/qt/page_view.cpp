// The rich-text page view: shows one RTF page, read by toolkit/rtf into a QTextDocument, at a
// zoom that scales text and pictures together, with exact left and right margins in pixels.
//
// Zoom is a painter scale, not a change of font sizes: the document is laid out at
// (view width - margins) / zoom and drawn scaled, so pictures, table rules and text grow
// together and the page re-wraps at the view's width. Layout is incremental: a new page or a
// new width lays out only what is painted, the rest follows from the event loop in slices of a
// few milliseconds (layOutStep), so that no page holds the loop up.
//
// Embedded objects: a Windows rich-edit control needs an OLE callback object with in-memory
// storage before it can hold embedded objects. Linux has no counterpart and needs none here:
// the reader decodes pictures itself and an object shows its stored result.

#include "toolkit/qt/page_view.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "toolkit/rtf/rtf_reader.h"

namespace toolkit::qt {

namespace {

constexpr int kLineStep = 20; // pixels per arrow key or wheel notch, before the platform's multiplier

// Background layout: each step aims at about kStepNs of work, a slice of the event loop takes
// steps until kSliceNs have passed. Qt's layout cannot stop inside a paragraph or a table, so
// a step can overrun its aim by one of them; long tables are read in pieces for that reason.
constexpr qint64 kStepNs = 3'000'000;
constexpr qint64 kSliceNs = 12'000'000;
// The first slice comes a little after the first screen is painted (and shown), or after
// kUnpaintedDelayMs when nothing is painted; then one follows another.
constexpr int kAfterPaintDelayMs = 10;
constexpr int kUnpaintedDelayMs = 20;
constexpr int kFirstChunk = 4096;
constexpr int kMinChunk = 256;
constexpr int kMaxChunk = 1 << 20;

// Qt's text layout lays out the rest of a document from a repeating timer of its own, in steps
// that double up to 200,000 characters: on a page of long tables one step holds the event loop
// for a fifth of a second. The view paces that work itself, so that timer's ticks are dropped.
// It is told from the layout's other timer, which reports the size, by its interval (10 ms
// against 0); should that ever differ, the ticks pass and Qt's own pacing applies.
bool isQtLayoutTick(QObject* layout, const QTimerEvent& event)
{
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(layout->thread());
    if (dispatcher == nullptr) {
        return false;
    }
    for (const QAbstractEventDispatcher::TimerInfo& info : dispatcher->registeredTimers(layout)) {
        if (info.timerId == event.timerId()) {
            return info.interval > 0;
        }
    }
    return false;
}

} // namespace

PageViewWidget::PageViewWidget(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true); // the hand pointer over links
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    replaceDocument(std::make_unique<QTextDocument>());
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
    // The reader moving the scroll bar takes the view off the end.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { followEnd_ = false; });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
}

PageViewWidget::~PageViewWidget() = default;

void PageViewWidget::replaceDocument(std::unique_ptr<QTextDocument> next)
{
    next->setDocumentMargin(0);
    next->setUndoRedoEnabled(false);
    // Creating the layout only now keeps the reading itself free of layout work.
    // The layout reports its size as it grows; asking it for the size would finish it first.
    laidOut_ = QSizeF();
    stopFollowing();
    next->documentLayout()->installEventFilter(this);
    connect(
        next->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, [this](const QSizeF& size) {
            // Once the whole page is laid out, a late report of a part of it is stale.
            if (layoutFinished_ && size.height() < laidOut_.height()) {
                return;
            }
            laidOut_ = size;
            updateScrollBars();
            revealCurrent();
        });
    connect(next->documentLayout(), &QAbstractTextDocumentLayout::update, viewport(), [this] { viewport()->update(); });
    if (document_) {
        // Freeing a long page takes a while: it is done once the new one is on screen,
        // in the first slice of its layout.
        document_->documentLayout()->disconnect(this);
        document_->documentLayout()->disconnect(viewport());
        retired_ = std::move(document_);
    }
    document_ = std::move(next);
    selection_ = QTextCursor(document_.get());
    highlights_.clear();
    currentHighlight_ = -1;
    restartLayout();
    applyTextWidth();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

bool PageViewWidget::showRichText(const void* bytes, std::size_t size)
{
    auto next = std::make_unique<QTextDocument>();
    std::span<const std::uint8_t> range;
    if (bytes != nullptr && size > 0) {
        range = std::span(static_cast<const std::uint8_t*>(bytes), size);
    }
    bool complete = rtf::readRtf(range, *next, linkRule_);
    replaceDocument(std::move(next));
    return complete;
}

void PageViewWidget::showPlainText(const QString& text)
{
    auto next = std::make_unique<QTextDocument>();
    next->setPlainText(text);
    replaceDocument(std::move(next));
}

bool PageViewWidget::setZoom(int numerator, int denominator)
{
    if (numerator <= 0 || denominator <= 0) {
        return false;
    }
    std::int64_t top = numerator;
    std::int64_t bottom = denominator;
    if (top * 64 < bottom || top > bottom * 64) {
        return false;
    }
    double oldScale = scale();
    numerator_ = numerator;
    denominator_ = denominator;
    // Keep the same place of the page at the top of the view.
    const double anchor = verticalScrollBar()->value() / oldScale;
    applyTextWidth();
    verticalScrollBar()->setValue(static_cast<int>(anchor * scale()));
    viewport()->update();
    return true;
}

int PageViewWidget::zoomPercent() const
{
    return static_cast<int>(static_cast<double>(numerator_) * 100.0 / denominator_);
}

void PageViewWidget::setMargins(int left, int right)
{
    leftMargin_ = std::max(0, left);
    rightMargin_ = std::max(0, right);
    applyTextWidth();
    viewport()->update();
}

void PageViewWidget::scrollToTop()
{
    followEnd_ = false;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

QString PageViewWidget::selectedText() const
{
    return selection_.hasSelection() ? selection_.selection().toPlainText() : QString();
}

void PageViewWidget::copy()
{
    if (!selection_.hasSelection()) {
        return;
    }
    QTextDocumentFragment fragment = selection_.selection();
    auto* mime = new QMimeData;
    mime->setText(fragment.toPlainText());
    mime->setHtml(fragment.toHtml());
    QGuiApplication::clipboard()->setMimeData(mime);
}

QSize PageViewWidget::contentSize()
{
    // The size of what is laid out so far: it grows while the incremental layout runs.
    QSizeF size = laidOut_;
    return {static_cast<int>(size.width() * scale()) + leftMargin_ + rightMargin_,
        static_cast<int>(size.height() * scale() + 0.999)};
}

void PageViewWidget::finishLayout()
{
    laidOut_ = document_->documentLayout()->documentSize(); // lays out every line
    layoutFinished_ = true;
    layoutTimer_.stop();
    retired_.reset();
    updateScrollBars();
    revealCurrent();
}

void PageViewWidget::restartLayout()
{
    layoutFinished_ = false;
    layoutFront_ = 0;
    layoutChunk_ = kFirstChunk;
    frontTop_ = 0;
    frontBottom_ = 0;
    layoutPace_ = LayoutPace::AwaitingPaint;
    layoutTimer_.start(kUnpaintedDelayMs, this);
}

bool PageViewWidget::layOutStep()
{
    if (layoutFinished_) {
        return false;
    }
    const QTextBlock last = document_->lastBlock();
    const QTextBlock block = document_->findBlock(std::min(layoutFront_ + layoutChunk_, last.position()));
    if (!block.isValid() || block == last) {
        finishLayout();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    // Lays the page out up to the end of this block (nothing when it is there already).
    const QRectF rect = document_->documentLayout()->blockBoundingRect(block);
    const qint64 took = clock.nsecsElapsed();
    frontTop_ = std::max(frontTop_, rect.top());
    frontBottom_ = std::max(frontBottom_, rect.bottom());
    layoutFront_ = block.position() + block.length();
    if (took < kStepNs / 2) {
        layoutChunk_ = std::min(layoutChunk_ * 2, kMaxChunk);
    } else if (took > kStepNs * 2) {
        layoutChunk_ = std::max(layoutChunk_ / 2, kMinChunk);
    }
    return true;
}

bool PageViewWidget::layOutUpTo(int position, double y, qint64 budgetNs)
{
    QElapsedTimer clock;
    clock.start();
    while (!layoutFinished_ && (layoutFront_ <= position || frontTop_ < y)) {
        if (clock.nsecsElapsed() >= budgetNs || !layOutStep()) {
            break;
        }
    }
    growScrollRange(frontBottom_);
    return layoutFinished_ || (layoutFront_ > position && frontTop_ >= y);
}

void PageViewWidget::growScrollRange(double bottom)
{
    // The layout reports its size only from the event loop; the scroll range must reach what
    // is laid out now, or it would clamp a scroll position set below the part reported.
    if (bottom > laidOut_.height()) {
        laidOut_.setHeight(bottom);
        updateScrollBars();
    }
}

void PageViewWidget::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != layoutTimer_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (layoutPace_ != LayoutPace::Running) {
        layoutPace_ = LayoutPace::Running;
        layoutTimer_.start(0, this);
    }
    if (retired_) {
        retired_.reset();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.nsecsElapsed() < kSliceNs) {
        if (!layOutStep()) {
            break;
        }
    }
    if (followCurrent_) {
        revealCurrent();
    }
}

bool PageViewWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Timer && qobject_cast<QAbstractTextDocumentLayout*>(watched) != nullptr &&
        isQtLayoutTick(watched, *static_cast<QTimerEvent*>(event))) {
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void PageViewWidget::paintContent(QPainter& painter, const QRect& area, QPoint scroll)
{
    painter.save();
    painter.translate(leftMargin_ - scroll.x(), -scroll.y());
    painter.scale(scale(), scale());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    QRectF visible(QPointF(area.left() - leftMargin_ + scroll.x(), area.top() + scroll.y()) / scale(),
        QSizeF(area.size()) / scale());
    context.clip = visible;
    // Found text under the mouse selection: every match pale, the current one strong.
    for (std::size_t i = 0; i < highlights_.size(); ++i) {
        QAbstractTextDocumentLayout::Selection mark;
        mark.cursor = QTextCursor(document_.get());
        mark.cursor.setPosition(highlights_[i].first);
        mark.cursor.setPosition(highlights_[i].first + highlights_[i].second, QTextCursor::KeepAnchor);
        const bool current = static_cast<int>(i) == currentHighlight_;
        mark.format.setBackground(current ? QColor(255, 150, 50) : QColor(255, 240, 120));
        mark.format.setForeground(QColor(Qt::black));
        context.selections.append(mark);
    }
    if (selection_.hasSelection()) {
        QAbstractTextDocumentLayout::Selection selection;
        selection.cursor = selection_;
        selection.format.setBackground(palette().brush(QPalette::Highlight));
        selection.format.setForeground(palette().brush(QPalette::HighlightedText));
        context.selections.append(selection);
    }
    painter.setClipRect(visible);
    document_->documentLayout()->draw(&painter, context);
    painter.restore();
}

int PageViewWidget::print(QPrinter& printer)
{
    // A copy laid out on the printer: fonts, pictures and rules at its resolution, in pages
    // the size of its printable area. Zoom and margins of the view do not apply to paper.
    // A printable area without height would cut the content into endless empty
    // bands that never advance through it: nothing is printed then.
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    if (page.width() < 1 || page.height() < 1) {
        return -1;
    }
    std::unique_ptr<QTextDocument> copy(document_->clone());
    copy->setDocumentMargin(0);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return -1;
    }
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setPageSize(page);
    const int pages = copy->pageCount();
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !printer.newPage()) {
            painter.end();
            return -1;
        }
        painter.save();
        QRectF band(QPointF(0, index * page.height()), page);
        painter.translate(0, -band.top());
        painter.setClipRect(band);
        // Pagination keeps every line inside one band, but a line that ends exactly
        // on the band's edge counts as touching the next band too; its text would
        // land on both pages of the file, merely clipped on the second.
        context.clip = band.adjusted(0, 0.5, 0, -0.5);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end() ? pages : -1;
}

double PageViewWidget::scale() const
{
    return static_cast<double>(numerator_) / denominator_;
}

QPointF PageViewWidget::toDocument(QPoint point) const
{
    return QPointF(point.x() - leftMargin_ + horizontalScrollBar()->value(), point.y() + verticalScrollBar()->value()) /
        scale();
}

void PageViewWidget::applyTextWidth()
{
    int room = std::max(1, viewport()->width() - leftMargin_ - rightMargin_);
    double width = room / scale();
    if (document_->textWidth() != width) {
        document_->setTextWidth(width);
        restartLayout();
    }
    updateScrollBars();
}

void PageViewWidget::updateScrollBars()
{
    QSize content = contentSize();
    QSize room = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - room.width()));
    horizontalScrollBar()->setPageStep(room.width());
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setRange(0, std::max(0, content.height() - room.height()));
    verticalScrollBar()->setPageStep(room.height());
    verticalScrollBar()->setSingleStep(kLineStep);
    if (followEnd_) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
}

void PageViewWidget::paintEvent(QPaintEvent* event)
{
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QRect area = event->rect();
    // Qt lays out at once whatever it is asked to draw: the view lays out one slice at most
    // and draws what is laid out; the rest of the area follows as the layout gets there.
    // Above the top of the block last laid out, Qt has a point to resume from below the
    // area and lays out nothing more while drawing.
    layOutUpTo(0, (scroll.y() + area.bottom() + 1) / scale(), kSliceNs);
    if (!layoutFinished_) {
        area.setBottom(std::min(area.bottom(), static_cast<int>(frontTop_ * scale()) - scroll.y() - 1));
    }
    if (area.isEmpty()) {
        return;
    }
    QPainter painter(viewport());
    paintContent(painter, area, scroll);
    if (!layoutFinished_ && layoutPace_ == LayoutPace::AwaitingPaint) {
        layoutPace_ = LayoutPace::AfterPaint;
        layoutTimer_.start(kAfterPaintDelayMs, this);
    }
}

void PageViewWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    applyTextWidth();
    revealCurrent();
}

void PageViewWidget::keyPressEvent(QKeyEvent* event)
{
    stopFollowing();
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selection_.select(QTextCursor::Document);
        viewport()->update();
        return;
    }
    if (event == QKeySequence::MoveToStartOfDocument || event->key() == Qt::Key_Home) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    }
    if (event == QKeySequence::MoveToEndOfDocument || event->key() == Qt::Key_End) {
        // To the end as far as it is laid out, and along as the rest is laid out: laying out
        // a long page at once would hold the window up.
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        followEnd_ = !layoutFinished_;
        return;
    }
    // Arrows and page keys scroll (a read-only view has no caret to move).
    QAbstractScrollArea::keyPressEvent(event);
}

void PageViewWidget::stopFollowing()
{
    followCurrent_ = false;
    followEnd_ = false;
}

void PageViewWidget::setWheelCommands(int zoomIn, int zoomOut)
{
    wheelZoomIn_ = zoomIn;
    wheelZoomOut_ = zoomOut;
}

int PageViewWidget::gadgetNumber() const
{
    for (const auto& [number, record] : state().gadgets) {
        if (record.widget == this) {
            return number;
        }
    }
    return -1;
}

void PageViewWidget::raiseEvent(EventKind kind, int id, EventType type)
{
    enqueue(Event{kind, windowNumberOf(this), id, type, {}});
}

QString PageViewWidget::linkAt(QPoint point) const
{
    return document_->documentLayout()->anchorAt(toDocument(point));
}

QString PageViewWidget::toolTipAt(QPoint point) const
{
    if (document_->documentLayout()->hitTest(toDocument(point), Qt::ExactHit) < 0) {
        return {};
    }
    return document_->documentLayout()->formatAt(toDocument(point)).toCharFormat().toolTip();
}

bool PageViewWidget::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, viewport());
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void PageViewWidget::wheelEvent(QWheelEvent* event)
{
    stopFollowing();
    // Control + wheel raises the program's zoom commands when it has given them.
    if ((event->modifiers() & Qt::ControlModifier) && wheelZoomIn_ >= 0 && event->angleDelta().y() != 0) {
        raiseEvent(EventKind::Command, event->angleDelta().y() > 0 ? wheelZoomIn_ : wheelZoomOut_, EventType::None);
        event->accept();
        return;
    }
    // Otherwise Control + wheel scrolls like the plain wheel: the zoom belongs to the program's commands.
    if (event->modifiers() & Qt::ControlModifier) {
        QWheelEvent plain(event->position(), event->globalPosition(), event->pixelDelta(), event->angleDelta(),
            event->buttons(), event->modifiers() & ~Qt::ControlModifier, event->phase(), event->inverted(),
            event->source());
        QAbstractScrollArea::wheelEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageViewWidget::mousePressEvent(QMouseEvent* event)
{
    stopFollowing();
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->position().toPoint();
    pressedLink_ = linkAt(pressedAt_);
    int position = document_->documentLayout()->hitTest(toDocument(event->position().toPoint()), Qt::FuzzyHit);
    if (position < 0) {
        return;
    }
    selecting_ = true;
    selection_.setPosition(
        position, (event->modifiers() & Qt::ShiftModifier) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    viewport()->update();
}

void PageViewWidget::mouseMoveEvent(QMouseEvent* event)
{
    QPoint point = event->position().toPoint();
    viewport()->setCursor(linkAt(point).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    if (!selecting_) {
        return;
    }
    // Dragging past an edge scrolls the page along.
    if (point.y() < 0) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    } else if (point.y() > viewport()->height()) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    int position = document_->documentLayout()->hitTest(toDocument(point), Qt::FuzzyHit);
    if (position >= 0) {
        selection_.setPosition(position, QTextCursor::KeepAnchor);
        viewport()->update();
    }
}

void PageViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        // A click (no drag) that starts and ends on the same link follows it.
        const QPoint point = event->position().toPoint();
        if (!pressedLink_.isEmpty() && linkAt(point) == pressedLink_ &&
            (point - pressedAt_).manhattanLength() < QApplication::startDragDistance()) {
            clickedLink_ = pressedLink_;
            raiseEvent(EventKind::Gadget, gadgetNumber(), EventType::Clicked);
        }
        pressedLink_.clear();
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void PageViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    int position = document_->documentLayout()->hitTest(toDocument(event->position().toPoint()), Qt::FuzzyHit);
    if (position >= 0) {
        selection_.setPosition(position);
        selection_.select(QTextCursor::WordUnderCursor);
        viewport()->update();
    }
}

void PageViewWidget::setHighlights(std::vector<std::pair<int, int>> ranges, int current)
{
    const int end = std::max(0, document_->characterCount() - 1);
    std::erase_if(ranges, [end](const std::pair<int, int>& range) {
        return range.first < 0 || range.second <= 0 || range.first > end - range.second;
    });
    highlights_ = std::move(ranges);
    currentHighlight_ = current >= 0 && current < static_cast<int>(highlights_.size()) ? current : -1;
    followCurrent_ = currentHighlight_ >= 0;
    followEnd_ = followEnd_ && !followCurrent_;
    revealCurrent();
    viewport()->update();
}

void PageViewWidget::revealCurrent()
{
    // Re-layout (a scroll bar appearing narrows the page) moves the match again:
    // it is followed until the reader scrolls or clicks.
    if (!followCurrent_ || revealing_ || currentHighlight_ < 0) {
        return;
    }
    revealing_ = true;
    const auto& [start, length] = highlights_[static_cast<std::size_t>(currentHighlight_)];
    // A match far down a long page is revealed once the layout gets there.
    if (!layOutUpTo(start + length, 0, kSliceNs)) {
        revealing_ = false;
        return;
    }
    const QRect rect = rangeRect(start, length);
    const QRect room = viewport()->rect();
    // Into view with some context around it: a third of the view above the match.
    if (rect.top() < 0 || rect.bottom() > room.height()) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rect.top() - room.height() / 3);
    }
    if (rect.left() < 0 || rect.right() > room.width()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + rect.left() - room.width() / 3);
    }
    revealing_ = false;
}

QRect PageViewWidget::rangeRect(int start, int length)
{
    QTextBlock block = document_->findBlock(start);
    if (!block.isValid()) {
        return {};
    }
    // Lays the document out up to this block; the scroll range follows.
    const QRectF blockRect = document_->documentLayout()->blockBoundingRect(block);
    growScrollRange(blockRect.bottom());
    QRectF area = blockRect;
    if (QTextLayout* layout = block.layout()) {
        const int inBlock = start - block.position();
        QTextLine line = layout->lineForTextPosition(inBlock);
        if (line.isValid()) {
            const qreal left = line.cursorToX(inBlock);
            const qreal right = line.cursorToX(std::min(inBlock + length, line.textStart() + line.textLength()));
            area = QRectF(
                blockRect.left() + left, blockRect.top() + line.y(), std::max<qreal>(1, right - left), line.height());
        }
    }
    const double factor = scale();
    return QRectF(area.left() * factor + leftMargin_ - horizontalScrollBar()->value(),
        area.top() * factor - verticalScrollBar()->value(), area.width() * factor, area.height() * factor)
        .toAlignedRect();
}

QWidget* createPageViewWidget(QWidget* parent)
{
    return new PageViewWidget(parent);
}

PageViewWidget* pageViewOf(int gadget)
{
    GadgetRecord* record = findGadget(gadget);
    if (record == nullptr || record->kind != GadgetKind::PageView || record->widget.isNull()) {
        return nullptr;
    }
    return static_cast<PageViewWidget*>(record->widget.data());
}

} // namespace toolkit::qt

namespace toolkit {

bool showRichText(int gadget, const void* bytes, std::size_t size)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    return view != nullptr && view->showRichText(bytes, size);
}

int pageZoom(int gadget)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    return view == nullptr ? 0 : view->zoomPercent();
}

bool setPageZoomRatio(int gadget, int numerator, int denominator)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    return view != nullptr && view->setZoom(numerator, denominator);
}

bool setPageZoom(int gadget, int percent)
{
    return setPageZoomRatio(gadget, percent, 100);
}

void setPageMargins(int gadget, int left, int right)
{
    if (qt::PageViewWidget* view = qt::pageViewOf(gadget)) {
        view->setMargins(left, right);
    }
}

void setPageBackground(int gadget, Colour colour)
{
    setColour(gadget, ColourRole::Background, colour);
}

void scrollPageToTop(int gadget)
{
    if (qt::PageViewWidget* view = qt::pageViewOf(gadget)) {
        view->scrollToTop();
    }
}

std::u16string clickedPageLink(int gadget)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    return view == nullptr ? std::u16string() : qt::fromQ(view->clickedLink());
}

void setPageLinkRule(int gadget, std::function<bool(std::u16string_view target)> acts)
{
    if (qt::PageViewWidget* view = qt::pageViewOf(gadget)) {
        if (!acts) {
            view->setLinkRule({});
            return;
        }
        view->setLinkRule([acts = std::move(acts)](QStringView target) {
            return acts(std::u16string_view(
                reinterpret_cast<const char16_t*>(target.utf16()), static_cast<std::size_t>(target.size())));
        });
    }
}

void setPageWheelCommands(int gadget, int zoomIn, int zoomOut)
{
    if (qt::PageViewWidget* view = qt::pageViewOf(gadget)) {
        view->setWheelCommands(zoomIn, zoomOut);
    }
}

int printPageToPdf(int gadget, const std::filesystem::path& file, std::u16string_view title)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    if (view == nullptr) {
        return -1;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file.string()));
    printer.setDocName(qt::toQ(title));
    return view->print(printer);
}

} // namespace toolkit

namespace toolkit {

std::u16string pagePlainText(int gadget)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    return view == nullptr ? std::u16string() : qt::fromQ(view->document().toPlainText());
}

void setPageHighlights(int gadget, const std::vector<TextRange>& ranges, int current)
{
    qt::PageViewWidget* view = qt::pageViewOf(gadget);
    if (view == nullptr) {
        return;
    }
    std::vector<std::pair<int, int>> marks;
    marks.reserve(ranges.size());
    for (const TextRange& range : ranges) {
        marks.emplace_back(range.start, range.length);
    }
    view->setHighlights(std::move(marks), current);
}

} // namespace toolkit
