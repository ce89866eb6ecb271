// Leafscope: the help viewer's executable.

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/text.h"
#include "toolkit/toolkit.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"

namespace {

// A request to end the process (the session ending, Hashmere ending the viewer
// it started) is handled like the main window's close box. The signals are
// blocked in every thread and taken by one waiting thread, which posts the
// request to the event loop once it runs.
sigset_t endSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

std::atomic<bool> gLoopRunning{false};

// Leafscope writes nothing, so ending at once is safe whenever the event loop
// cannot take the request: during start-up (the open-file dialog may be up)
// and at a second request (a print dialog holds the loop).
void waitForEndSignal()
{
    const sigset_t set = endSignals();
    int signal = 0;
    if (sigwait(&set, &signal) != 0) {
        return;
    }
    if (!gLoopRunning.load() || !toolkit::postEvent(leafscope::kMainWindow, leafscope::kEndRequested)) {
        std::_Exit(0);
    }
    if (sigwait(&set, &signal) == 0) {
        std::_Exit(0);
    }
}

[[noreturn]] void endProcess(int code)
{
    toolkit::shutdown();
    std::fflush(stdout);
    std::_Exit(code);
}

// For the tests and the benchmark that start the program (LEAFSCOPE_REPORT_SHOWN):
// which page is shown once the window is up.
void reportShownPage(const leafscope::LeafscopeApp& app)
{
    const bool hasRecord = app.currentPage >= 0 && app.currentPage < leafscope::pageCount(app.doc);
    const std::string title = hasRecord
        ? platform::utf16ToUtf8(app.doc.contents()[static_cast<std::size_t>(app.currentPage)].title)
        : std::string();
    std::printf("shown %d %s|%s\n", toolkit::windowVisible(leafscope::kMainWindow) ? 1 : 0,
        std::to_string(app.currentPage).c_str(), title.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // Qt takes its own options (-reverse, -style ...) out of argv when it starts.
    const std::vector<std::u16string> arguments = leafscope::copyArguments(argc, argv);
    switch (leafscope::earlyAction(arguments)) {
    case leafscope::EarlyAction::PrintUsage:
        std::fputs(leafscope::usageText().c_str(), stdout);
        return 0;
    case leafscope::EarlyAction::PrintVersion:
        std::fputs(leafscope::versionText().c_str(), stdout);
        return 0;
    case leafscope::EarlyAction::Run:
        break;
    }
    if (!toolkit::displayAvailable()) {
        std::fputs("Leafscope needs a graphical display and none was found.\n", stderr);
        return 1;
    }
    const sigset_t signals = endSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    if (!toolkit::initialise(argc, argv)) {
        std::fputs("Leafscope needs a graphical display and none was found.\n", stderr);
        return 1;
    }
    std::thread(waitForEndSignal).detach();
    const bool report = std::getenv("LEAFSCOPE_REPORT_SHOWN") != nullptr;
    if (report) {
        std::puts("started"); // from here a request to end is taken
        std::fflush(stdout);
    }
    static leafscope::LeafscopeApp app;
    if (!leafscope::startLeafscope(app, leafscope::defaultStartOptions(arguments))) {
        endProcess(0); // nothing to show: ends silently
    }
    if (report) {
        leafscope::handleEvent(app, toolkit::waitEvent(0));
        reportShownPage(app);
    }
    gLoopRunning.store(true);
    leafscope::runEventLoop(app);
    endProcess(0);
}
