// File dialogs with "|"-separated filter lists, the clipboard and the
// desktop's default handler.

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include "platform/shown_path.h"
#include "platform/text.h"
#include "toolkit/file_filters.h"
#include "toolkit/qt/internal.h"
#include "toolkit/qt/test_hooks.h"

namespace toolkit::qt {
namespace {

QString qtFilters(std::u16string_view filters)
{
    QStringList list;
    for (const FileFilter& filter : parseFilterList(filters)) {
        QStringList masks;
        for (const std::u16string& mask : filter.masks) {
            masks << toQ(mask);
        }
        list << toQ(filter.label) + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return list.join(QStringLiteral(";;"));
}

// The dialog's answer as a path that names the file: Qt shows names whose
// bytes are not UTF-8 with U+FFFD and hands them back so; an answer that
// cannot be traced back to one file is taken as it is (and opens nothing).
std::u16string chosenPath(const std::u16string& answer)
{
    std::u16string found = platform::findPathShownAs(answer);
    return found.empty() ? answer : found;
}

std::u16string fileDialog(bool save, std::u16string_view title, std::u16string_view initialPath,
    std::u16string_view filters, int selectedFilter)
{
    State& s = state();
    if (const TestHooks& hooks = testHooks(); hooks.answerFileDialog) {
        if (std::optional<std::u16string> answer =
                hooks.answerFileDialog(FileDialogRequest{save, title, initialPath, filters, selectedFilter})) {
            return chosenPath(*answer);
        }
    }
    if (s.app == nullptr) {
        return {};
    }
    QString filterText = qtFilters(filters);
    QStringList filterList = filterText.split(QStringLiteral(";;"));
    QString selected =
        selectedFilter >= 0 && selectedFilter < filterList.size() ? filterList[selectedFilter] : QString();
    // Qt's own dialog, not the desktop's: a desktop dialog keeps its own
    // history of recent files, and the programs must leave no trace.
    QFileDialog::Options options = QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog;
    if (save) {
        options |= QFileDialog::DontConfirmOverwrite;
    }
    QWidget* parent = QApplication::activeWindow();
    QString chosen = save
        ? QFileDialog::getSaveFileName(parent, toQ(title), toQ(initialPath), filterText, &selected, options)
        : QFileDialog::getOpenFileName(parent, toQ(title), toQ(initialPath), filterText, &selected, options);
    return chosen.isEmpty() ? std::u16string() : chosenPath(fromQ(chosen));
}

} // namespace

std::u16string pathOfFileUrl(const QUrl& url)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return platform::pathTextFromBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QUrl fileUrlOfPath(std::u16string_view path)
{
    const std::string bytes = platform::pathTextToBytes(path);
    const QByteArray encoded =
        QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toPercentEncoding(QByteArrayLiteral("/"));
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + encoded, QUrl::StrictMode);
}

} // namespace toolkit::qt

namespace toolkit {

using namespace toolkit::qt;

std::u16string openFileDialog(
    std::u16string_view title, std::u16string_view initialPath, std::u16string_view filters, int selectedFilter)
{
    return fileDialog(false, title, initialPath, filters, selectedFilter);
}

std::u16string saveFileDialog(
    std::u16string_view title, std::u16string_view initialPath, std::u16string_view filters, int selectedFilter)
{
    return fileDialog(true, title, initialPath, filters, selectedFilter);
}

void setClipboardText(std::u16string_view text)
{
    if (state().app != nullptr) {
        QGuiApplication::clipboard()->setText(toQ(text));
    }
}

std::u16string clipboardText()
{
    return state().app == nullptr ? std::u16string() : fromQ(QGuiApplication::clipboard()->text());
}

bool openWithDefaultHandler(std::u16string_view address)
{
    State& s = state();
    if (const TestHooks& hooks = testHooks(); hooks.openAddress) {
        hooks.openAddress(address);
        return true;
    }
    if (s.app == nullptr || address.empty()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromUserInput(toQ(address)));
}

} // namespace toolkit
