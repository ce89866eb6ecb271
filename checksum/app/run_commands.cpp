// The run (start, cancel, end of run) and the result commands: copy one,
// copy all, save, delete all and loading the expected checksum.

#include <fstream>
#include <iterator>

#include "checksum/app/app_ids.h"
#include "checksum/app/app_internal.h"
#include "checksum/app/result_lines.h"
#include "checksum/engine/algorithm_rows.h"
#include "platform/text.h"

namespace app {
namespace {

// The worker's view of MainWindow: the toolkit's any-thread calls.
digest::WorkerWindow toolkitWindow(HashmereApp& app) {
    digest::WorkerWindow w;
    w.context = &app;
    w.filePath = [](void*) { return tk::text(kFileField); };
    w.expectedText = [](void*) { return tk::text(kExpectedField); };
    w.checkState = [](void*, int row) { return tk::state(algorithmCheck(row)); };
    w.progressValue = [](void*) { return tk::value(kProgressBar); };
    w.setProgressValue = [](void*, int value) { tk::setValue(kProgressBar, value); };
    w.setResultText = [](void*, int row, std::u16string_view text) { tk::setText(resultField(row), text); };
    w.setResultColour = [](void*, int row, std::int32_t colour) {
        tk::setColour(resultField(row), tk::ColourRole::Text, colour);
    };
    w.postFinished = [](void*) { tk::postEvent(kMainWindow, kWorkerFinished); };
    w.pausePoint = [](void* context, digest::PausePlace place, int row) {
        auto& self = *static_cast<HashmereApp*>(context);
        digest::honourPause(self.pause, place);
        if (self.workerHook) {
            self.workerHook(place, row);
        }
    };
    return w;
}

void startRun(HashmereApp& app) {
    int checked = 0;
    for (int row = 0; row < digest::kAlgorithmRowCount; ++row) {
        tk::setText(resultField(row), u"");
        checked += tk::state(algorithmCheck(row)) == 1 ? 1 : 0;
    }
    tk::setAttribute(kProgressBar, tk::Attribute::ProgressMaximum, checked);
    app.runActive = true;
    setRunningControls(app, true);
    app.runCancelled = false;
    app.worker.cancelRequested.store(false, std::memory_order_release);
    digest::resetWorkerPause(app.pause);
    app.workerThread = std::thread([&app, window = toolkitWindow(app)] { digest::runChecksumWorker(window, app.worker); });
}

void cancelRun(HashmereApp& app) {
    if (!digest::pauseWorker(app.pause)) {
        return; // finishing already: the end of the run follows at once
    }
    if (showRequester(app.styles.cancel, lookup(app, "tReqCANCEL"))) {
        app.worker.cancelRequested.store(true, std::memory_order_release);
        app.runCancelled = true;
    }
    digest::resumeWorker(app.pause);
}

void writeWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
}

} // namespace

void startOrCancelRun(HashmereApp& app) {
    if (app.runActive) {
        cancelRun(app);
    } else {
        startRun(app);
    }
}

void finishRun(HashmereApp& app) {
    if (!app.runActive) {
        return;
    }
    if (app.workerThread.joinable()) {
        app.workerThread.join(); // posting was its last action
    }
    app.worker.cancelRequested.store(false, std::memory_order_release);
    app.runActive = false;
    setRunningControls(app, false);
    tk::setValue(kProgressBar, 0);
    const std::u16string message = lookup(app, app.runCancelled ? "tReqCANCELLED" : "tReqFINISHED") + u"\\n\\n" +
                                   lookup(app, "tInfoERRORCALCULATE") + u"  " +
                                   platform::utf8ToUtf16(std::to_string(app.worker.errorCount.load()));
    showRequester(app.styles.info, message);
    app.runCancelled = false;
}

void copyOne(int row) { tk::setClipboardText(tk::text(resultField(row))); }

// Builds the text in memory and hands it to the clipboard directly: no
// temporary file that another user of a shared folder could plant or link.
void copyAll(HashmereApp& app) {
    tk::setClipboardText(currentResultLines());
    RequesterStyle style = app.styles.info;
    style.minimumHeight = 120;
    showRequester(style, lookup(app, "tReqCLIPBOARD"));
}

void saveResults(HashmereApp& app) {
    const std::u16string chosen = tk::saveFileDialog(lookup(app, "tReqSAVEDATA"),
                                                     folderPart(tk::text(kFileField)) + u"Checksum",
                                                     lookup(app, "tReqSAVEPATTERN"), 0);
    if (chosen.empty()) {
        return;
    }
    tk::setWindowEnabled(kMainWindow, false);
    writeWholeFile(platform::pathFromUtf16(withDefaultExtension(chosen)), platform::utf16ToUtf8(currentResultLines()));
    tk::setWindowEnabled(kMainWindow, true);
}

void deleteAll(HashmereApp& app) {
    if (!showRequester(app.styles.confirm, lookup(app, "tReqDELETEALL"))) {
        return;
    }
    for (int row = 0; row < digest::kAlgorithmRowCount; ++row) {
        tk::setText(resultField(row), u"");
        tk::setEnabled(copyButton(row), false);
    }
    tk::setText(kFileField, u"");
    for (int gadget : {kCopyAllButton, kSaveButton, kDeleteAllButton, kRunButton}) {
        tk::setEnabled(gadget, false);
    }
}

void loadExpected(HashmereApp& app) {
    const std::u16string chosen = tk::openFileDialog(lookup(app, "tReqOPENFILE"), folderPart(tk::text(kFileField)),
                                                     lookup(app, "tReqOPENPATTERN"), 0);
    if (chosen.empty()) {
        return;
    }
    std::ifstream in(platform::pathFromUtf16(chosen), std::ios::binary);
    if (!in) {
        return;
    }
    // Only the first line matters; a huge file picked by mistake is not read whole.
    std::string line;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        const std::string_view chunk(buffer, static_cast<std::size_t>(in.gcount()));
        const std::size_t end = chunk.find_first_of("\r\n");
        line.append(chunk.substr(0, end));
        if (end != std::string_view::npos) {
            break;
        }
    }
    tk::setText(kExpectedField, firstLineText(line));
}

} // namespace app
