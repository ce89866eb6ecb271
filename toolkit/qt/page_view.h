#pragma once
// The page-view gadget's widget. Only files in toolkit/qt/ include this.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "toolkit/qt/internal.h"
#include "toolkit/rtf/rtf_reader.h"

class QPrinter;

namespace toolkit::qt {

class PageViewWidget : public QAbstractScrollArea {
public:
    explicit PageViewWidget(QWidget* parent);
    ~PageViewWidget() override;

    // Replaces the whole content with the RTF in the bytes (read during the call only).
    // False when the bytes were damaged; what could be recovered is shown.
    bool showRichText(const void* bytes, std::size_t size);
    void showPlainText(const QString& text);
    // False, and nothing changes, for a ratio outside 1/64 to 64.
    bool setZoom(int numerator, int denominator);
    int zoomPercent() const;
    void setMargins(int left, int right);
    void scrollToTop();
    QString selectedText() const;
    void copy();
    // The laid-out content in view pixels, margins included.
    QSize contentSize();
    // Lays out every line now.
    void finishLayout();
    // True once every line is laid out at the current width.
    bool layoutComplete() const { return layoutFinished_; }
    // Paints the part `area` (view pixels) of the content scrolled to `scroll`.
    void paintContent(QPainter& painter, const QRect& area, QPoint scroll);
    // Prints the whole content, paginated at the printer's printable area. The number of
    // pages, or -1 when the printer could not be opened or failed.
    int print(QPrinter& printer);
    const QTextDocument& document() const { return *document_; }
    // The target of the link last clicked, as the page names it.
    const QString& clickedLink() const { return clickedLink_; }
    // Decides which links of the pages shown from now on act (see rtf::readRtf).
    void setLinkRule(rtf::LinkRule rule) { linkRule_ = std::move(rule); }
    // The tool tip for the mouse resting at `point` of the viewport: the target of a link
    // that does nothing; empty elsewhere.
    QString toolTipAt(QPoint point) const;
    // Ctrl + wheel raises these commands of the view's window; -1 keeps it scrolling.
    void setWheelCommands(int zoomIn, int zoomOut);
    // Marks of found text: (start, length) in document positions; `current` (or -1)
    // is drawn more strongly and scrolled into view. A new page drops them.
    void setHighlights(std::vector<std::pair<int, int>> ranges, int current);
    const std::vector<std::pair<int, int>>& highlights() const { return highlights_; }
    int currentHighlight() const { return currentHighlight_; }
    // The rectangle of document positions start .. start + length in view pixels
    // (scroll position included), laying out as far as needed.
    QRect rangeRect(int start, int length);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void replaceDocument(std::unique_ptr<QTextDocument> next);
    double scale() const;
    QPointF toDocument(QPoint point) const;
    void applyTextWidth();
    void updateScrollBars();
    void revealCurrent();
    void restartLayout();
    bool layOutStep();
    bool layOutUpTo(int position, double y, qint64 budgetNs);
    void growScrollRange(double bottom);
    // Stops keeping the current match or the end in view: a new page, or the reader scrolls.
    void stopFollowing();

    std::unique_ptr<QTextDocument> document_;
    std::unique_ptr<QTextDocument> retired_; // the page before, until the layout's first slice
    QSizeF laidOut_;                         // size of the part laid out so far, in document units
    bool layoutFinished_ = false;            // every line laid out at the current width
    QBasicTimer layoutTimer_;                // lays out the rest of the page in slices while the loop runs
    enum class LayoutPace : unsigned char { AwaitingPaint, AfterPaint, Running };
    LayoutPace layoutPace_ = LayoutPace::AwaitingPaint;
    int layoutFront_ = 0; // document position the layout reaches at least
    int layoutChunk_ = 0; // positions to lay out in the next step
    double frontTop_ = 0; // top and bottom of the block last laid out, in document units
    double frontBottom_ = 0;
    bool followEnd_ = false;     // End was pressed: stay at the end while the page grows
    bool followCurrent_ = false; // keep the current highlight in view through re-layouts
    bool revealing_ = false;
    QTextCursor selection_;
    int numerator_ = 1;
    int denominator_ = 1;
    int leftMargin_ = 0;
    int rightMargin_ = 0;
    bool selecting_ = false;
    QString pressedLink_; // the link under the last left-button press
    QPoint pressedAt_;
    QString clickedLink_;
    rtf::LinkRule linkRule_;
    int wheelZoomIn_ = -1;
    int wheelZoomOut_ = -1;
    std::vector<std::pair<int, int>> highlights_;
    int currentHighlight_ = -1;
    QString linkAt(QPoint point) const;
    // Raises an event of the gadget this view is.
    void raiseEvent(EventKind kind, int id, EventType type);
    int gadgetNumber() const;
};

// The page view behind `gadget`, or null.
PageViewWidget* pageViewOf(int gadget);

} // namespace toolkit::qt
