// The platform's print dialog in front of a page view's print path, and the
// test surface's answers to it (a PDF file instead of a printer).

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

#include <deque>

#include "toolkit/qt/internal.h"
#include "toolkit/qt/page_view.h"

namespace toolkit::qt {
namespace {

struct PrintDialogAnswers {
    std::deque<std::filesystem::path> files;
    std::vector<testing::PrintDialogRecord> records;
};

PrintDialogAnswers& answers()
{
    static PrintDialogAnswers instance;
    return instance;
}

void configure(QPrintDialog& dialog)
{
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
}

} // namespace

void forgetPrintDialogs()
{
    answers().files.clear();
    answers().records.clear();
}

} // namespace toolkit::qt

namespace toolkit {

using namespace toolkit::qt;

int printPageWithDialog(int gadget, std::u16string_view title)
{
    PageViewWidget* view = pageViewOf(gadget);
    if (view == nullptr) {
        return -1;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQ(title));
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    configure(dialog);
    if (state().testing) {
        PrintDialogAnswers& test = answers();
        test.records.push_back(testing::PrintDialogRecord{fromQ(printer.docName()),
            dialog.testOption(QAbstractPrintDialog::PrintPageRange),
            dialog.testOption(QAbstractPrintDialog::PrintSelection),
            dialog.testOption(QAbstractPrintDialog::PrintToFile)});
        if (test.files.empty()) {
            return 0;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(test.files.front().string()));
        test.files.pop_front();
    } else if (dialog.exec() != QDialog::Accepted) {
        return 0;
    }
    // The dialog may hand back a page range; the whole content is printed.
    printer.setPrintRange(QPrinter::AllPages);
    return view->print(printer);
}

} // namespace toolkit

namespace toolkit::testing {

void answerNextPrintDialog(const std::filesystem::path& file)
{
    qt::answers().files.push_back(file);
}

const std::vector<PrintDialogRecord>& printDialogs()
{
    return qt::answers().records;
}

} // namespace toolkit::testing
