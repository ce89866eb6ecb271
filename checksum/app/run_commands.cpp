// The run (start, cancel, end of run) and the result commands: copy one,
// copy all, save, delete all and loading the expected checksum.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "checksum/app/hashmere_ids.h"
#include "checksum/app/hashmere_internal.h"
#include "checksum/app/result_lines.h"
#include "checksum/engine/algorithm_rows.h"
#include "platform/files.h"
#include "platform/read_block.h"
#include "platform/text.h"

namespace hashmere {
namespace {

// The worker's view of MainWindow: the toolkit's any-thread calls.
engine::WorkerWindow toolkitWindow(HashmereApp& app)
{
    engine::WorkerWindow w;
    w.context = &app;
    w.filePath = [](void* context) { return static_cast<HashmereApp*>(context)->filePath; };
    w.expectedText = [](void*) { return toolkit::text(kExpectedField); };
    w.checkState = [](void*, int row) { return toolkit::state(algorithmCheck(row)); };
    w.progressValue = [](void*) { return toolkit::value(kProgressBar); };
    w.setProgressValue = [](void*, int value) { toolkit::setValue(kProgressBar, value); };
    w.setResultText = [](void*, int row, std::u16string_view text) { toolkit::setText(resultField(row), text); };
    w.setResultColour = [](void*, int row, std::int32_t colour) {
        toolkit::setColour(resultField(row), toolkit::ColourRole::Text, colour);
    };
    w.postFinished = [](void*) { toolkit::postEvent(kMainWindow, kWorkerFinished); };
    w.pausePoint = [](void* context, engine::PausePlace place, int row) {
        auto& self = *static_cast<HashmereApp*>(context);
        engine::honourPause(self.pause, place);
        if (self.workerHook) {
            self.workerHook(place, row);
        }
    };
    return w;
}

void startRun(HashmereApp& app)
{
    int checked = 0;
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        toolkit::setText(resultField(row), u"");
        checked += toolkit::state(algorithmCheck(row)) == 1 ? 1 : 0;
    }
    toolkit::setAttribute(kProgressBar, toolkit::Attribute::ProgressMaximum, checked);
    app.runActive = true;
    setRunningControls(app, true);
    app.runCancelled = false;
    app.worker.cancelRequested.store(false, std::memory_order_release);
    engine::resetWorkerPause(app.pause);
    std::function<void()> body = [&app, window = toolkitWindow(app)] { engine::runChecksumWorker(window, app.worker); };
    try {
        app.workerThread = app.startThread ? app.startThread(std::move(body)) : std::thread(std::move(body));
    } catch (const std::system_error&) {
        // No thread: the run fails as one that cannot read the file does,
        // every checked row counted, and ends through the usual event.
        app.worker.errorCount.store(checked, std::memory_order_relaxed);
        toolkit::postEvent(kMainWindow, kWorkerFinished);
    }
}

void cancelRun(HashmereApp& app)
{
    if (!engine::pauseWorker(app.pause)) {
        return; // finishing already: the end of the run follows at once
    }
    if (showRequester(app.styles.cancel, lookup(app, "tReqCANCEL"))) {
        app.worker.cancelRequested.store(true, std::memory_order_release);
        app.runCancelled = true;
    }
    engine::resumeWorker(app.pause);
}

// Writes through the platform's regular-file open: a FIFO, device or folder
// chosen in the dialog is refused at once instead of blocking the window.
void writeWholeFile(const std::filesystem::path& path, const std::string& bytes)
{
    const int fd = platform::openRegularFile(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) {
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            break;
        }
        done += static_cast<std::size_t>(written);
    }
    ::close(fd);
}

// The bytes of the file's first line (up to the first CR or LF); nullopt when
// the file cannot be opened as a regular file or a read fails before the line
// ends (a cut-off checksum must not pass for the one expected). A huge file
// picked by mistake is not read whole.
std::optional<std::string> readFirstLine(const std::filesystem::path& path)
{
    const int fd = platform::openRegularFile(path, O_RDONLY);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string line;
    char buffer[4096];
    for (;;) {
        const platform::ReadOutcome got = platform::readBlock(fd, buffer, sizeof buffer);
        if (got.error != 0) {
            ::close(fd);
            return std::nullopt;
        }
        const std::string_view chunk(buffer, got.bytes);
        const std::size_t end = chunk.find_first_of("\r\n");
        line.append(chunk.substr(0, end));
        if (end != std::string_view::npos || got.bytes < sizeof buffer) {
            break;
        }
    }
    ::close(fd);
    return line;
}

} // namespace

void startOrCancelRun(HashmereApp& app)
{
    if (app.runActive) {
        cancelRun(app);
    } else {
        startRun(app);
    }
}

void finishRun(HashmereApp& app)
{
    if (!app.runActive) {
        return;
    }
    if (app.workerThread.joinable()) {
        app.workerThread.join(); // posting was its last action
    }
    app.worker.cancelRequested.store(false, std::memory_order_release);
    app.runActive = false;
    setRunningControls(app, false);
    toolkit::setValue(kProgressBar, 0);
    const std::u16string message = lookup(app, app.runCancelled ? "tReqCANCELLED" : "tReqFINISHED") + u"\\n\\n" +
        lookup(app, "tInfoERRORCALCULATE") + u"  " +
        platform::utf8ToUtf16(std::to_string(app.worker.errorCount.load()));
    showRequester(app.styles.info, message);
    app.runCancelled = false;
}

void copyOne(int row)
{
    toolkit::setClipboardText(toolkit::text(resultField(row)));
}

// Builds the text in memory and hands it to the clipboard directly: no
// temporary file that another user of a shared folder could plant or link.
void copyAll(HashmereApp& app)
{
    toolkit::setClipboardText(currentResultLines());
    RequesterStyle style = app.styles.info;
    style.minimumHeight = 120;
    showRequester(style, lookup(app, "tReqCLIPBOARD"));
}

void saveResults(HashmereApp& app)
{
    const std::u16string chosen = toolkit::saveFileDialog(
        lookup(app, "tReqSAVEDATA"), folderPart(app.filePath) + u"Checksum", lookup(app, "tReqSAVEPATTERN"), 0);
    if (chosen.empty()) {
        return;
    }
    toolkit::setWindowEnabled(kMainWindow, false);
    writeWholeFile(platform::pathFromUtf16(withDefaultExtension(chosen)), platform::utf16ToUtf8(currentResultLines()));
    toolkit::setWindowEnabled(kMainWindow, true);
}

void deleteAll(HashmereApp& app)
{
    if (!showRequester(app.styles.confirm, lookup(app, "tReqDELETEALL"))) {
        return;
    }
    for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
        toolkit::setText(resultField(row), u"");
        toolkit::setEnabled(copyButton(row), false);
    }
    app.filePath.clear();
    toolkit::setText(kFileField, u"");
    for (int gadget : {kCopyAllButton, kSaveButton, kDeleteAllButton, kRunButton}) {
        toolkit::setEnabled(gadget, false);
    }
}

void loadExpected(HashmereApp& app)
{
    const std::u16string chosen = toolkit::openFileDialog(
        lookup(app, "tReqOPENFILE"), folderPart(app.filePath), lookup(app, "tReqOPENPATTERN"), 0);
    if (chosen.empty()) {
        return;
    }
    if (const std::optional<std::string> line = readFirstLine(platform::pathFromUtf16(chosen))) {
        toolkit::setText(kExpectedField, firstLineText(*line));
    }
}

} // namespace hashmere
