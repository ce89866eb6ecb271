// The platform's print dialog in front of a page view's print path.

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/page_view.h"
#include "toolkit/qt/test_hooks.h"

namespace toolkit {

using namespace toolkit::qt;

bool printerInstalled()
{
    if (const TestHooks& hooks = testHooks(); hooks.printerInstalled) {
        return hooks.printerInstalled();
    }
    return !QPrinterInfo::availablePrinters().isEmpty();
}

int printPageWithDialog(int gadget, std::u16string_view title)
{
    PageViewWidget* view = pageViewOf(gadget);
    if (view == nullptr) {
        return -1;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQ(title));
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    std::optional<std::filesystem::path> answer;
    if (TestHooks& hooks = testHooks(); hooks.answerPrintDialog) {
        const std::u16string name = fromQ(printer.docName());
        answer =
            hooks.answerPrintDialog(PrintDialogRequest{name, dialog.testOption(QAbstractPrintDialog::PrintPageRange),
                dialog.testOption(QAbstractPrintDialog::PrintSelection),
                dialog.testOption(QAbstractPrintDialog::PrintToFile)});
    }
    if (answer) {
        if (answer->empty()) {
            return 0;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(answer->string()));
    } else if (dialog.exec() != QDialog::Accepted) {
        return 0;
    }
    // The dialog may hand back a page range; the whole content is printed.
    printer.setPrintRange(QPrinter::AllPages);
    // A long page takes seconds to print, and the window takes no input meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (const TestHooks& hooks = testHooks(); hooks.printing) {
        hooks.printing();
    }
    const int pages = view->print(printer);
    QApplication::restoreOverrideCursor();
    return pages;
}

} // namespace toolkit
