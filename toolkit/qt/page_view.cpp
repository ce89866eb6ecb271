// The slot for the rich-text page view of Part 4.4. The page-view issue
// replaces this body with its RTF-reading view; until then the gadget is an
// empty read-only, word-wrapping text view without a text limit.

#include <QTextEdit>

#include "toolkit/qt/internal.h"

namespace tk::qt {

QWidget* createPageViewWidget(QWidget* parent) {
    auto* view = new QTextEdit(parent);
    view->setReadOnly(true);
    view->setLineWrapMode(QTextEdit::WidgetWidth);
    view->setAcceptRichText(true);
    return view;
}

} // namespace tk::qt
