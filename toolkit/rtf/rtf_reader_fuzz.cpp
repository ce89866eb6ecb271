// Fuzz entry point: any bytes must read without crash, leak, hang or unbounded memory, and the
// resulting document must lay out.
#include <cstdlib>

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>

#include "toolkit/rtf/rtf_reader.h"

namespace {

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

// The font configuration library fills its caches on first use of each font and keeps them for
// the life of the process; that is not a leak of the reader's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietMessages);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QTextDocument document;
    rtf::readRtf(std::span<const std::uint8_t>(data, size), document);
    document.setTextWidth(500);
    (void)document.documentLayout()->documentSize();
    return 0;
}
