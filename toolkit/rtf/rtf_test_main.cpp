// Test entry point: the reader builds QTextDocuments, which need a GUI application (fonts,
// image plugins). The offscreen platform keeps the tests headless.
#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

// Damaged pictures and missing fonts make Qt warn; the tests check the results instead.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
