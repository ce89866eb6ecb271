// Bringing a window forward when the program that started this one asks for
// it: the platform's raise requests, watched on the event loop.

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include "platform/raise_request.h"
#include "toolkit/qt/internal.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

QPointer<QSocketNotifier> gNotifier;
int gRaisedWindow = -1;

void raiseRequested()
{
    platform::takeRaiseRequests();
    qt::WindowRecord* record = qt::findWindow(gRaisedWindow);
    if (record == nullptr || !record->host->isVisible()) {
        return;
    }
    if (record->host->isMinimized()) {
        record->host->setWindowState(record->host->windowState() & ~Qt::WindowMinimized);
    }
    activateWindow(gRaisedWindow);
}

} // namespace

bool raiseOnRequest(int window)
{
    if (QCoreApplication::instance() == nullptr) {
        return false;
    }
    const int fd = platform::listenForRaiseRequests();
    if (fd < 0) {
        return false;
    }
    gRaisedWindow = window;
    if (gNotifier == nullptr) {
        gNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(gNotifier, &QSocketNotifier::activated, [] { raiseRequested(); });
    }
    return true;
}

} // namespace toolkit
