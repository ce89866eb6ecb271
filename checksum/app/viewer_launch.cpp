#include "checksum/app/viewer_launch.h"

#include <chrono>

#include "platform/process.h"
#include "platform/raise_request.h"
#include "platform/text.h"

namespace hashmere {
namespace {

void watchViewer(ViewerState* viewer)
{
    std::unique_lock<std::mutex> lock(viewer->mutex);
    while (viewer->watch) {
        if (platform::processEnded(viewer->process)) {
            viewer->process = -1;
            viewer->watch = false;
            std::function<void()> ended = viewer->onViewerEnded;
            lock.unlock();
            if (ended) {
                ended();
            }
            return;
        }
        viewer->wake.wait_for(lock, std::chrono::milliseconds(kViewerPollMs));
    }
}

} // namespace

std::filesystem::path helpDocumentPath(const std::filesystem::path& programFolder, std::u16string_view languageId)
{
    return platform::pathFromUtf16(
        platform::pathToUtf16(programFolder) + u"Hashmere_" + std::u16string(languageId) + u".help");
}

bool startViewer(ViewerState& viewer, const std::filesystem::path& programFolder, std::u16string_view languageId)
{
    std::unique_lock<std::mutex> lock(viewer.mutex);
    if (viewer.process > 0) {
        // Held under the lock, the child is not reaped meanwhile, so its id
        // still names it.
        platform::sendRaiseRequest(viewer.process);
        return false;
    }
    lock.unlock();
    // The watch thread of an earlier viewer has returned or is about to.
    if (viewer.watchThread.joinable()) {
        viewer.watchThread.join();
    }
    const std::filesystem::path program = programFolder / kViewerProgramName;
    const int process =
        platform::startProcess(program, {helpDocumentPath(programFolder, languageId).string()}, programFolder);
    if (process <= 0) {
        return false;
    }
    lock.lock();
    viewer.process = process;
    viewer.watch = true;
    lock.unlock();
    viewer.watchThread = std::thread(watchViewer, &viewer);
    return true;
}

bool viewerRunning(ViewerState& viewer)
{
    return viewerProcess(viewer) > 0;
}

int viewerProcess(ViewerState& viewer)
{
    std::lock_guard<std::mutex> lock(viewer.mutex);
    return viewer.process;
}

void stopViewer(ViewerState& viewer)
{
    int process = -1;
    {
        std::lock_guard<std::mutex> lock(viewer.mutex);
        viewer.watch = false;
        process = viewer.process;
        viewer.process = -1;
    }
    viewer.wake.notify_all();
    if (viewer.watchThread.joinable()) {
        viewer.watchThread.join();
    }
    if (process > 0) {
        platform::terminateProcess(process);
    }
}

} // namespace hashmere
