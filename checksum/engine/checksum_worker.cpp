#include "checksum/engine/checksum_worker.h"

#include "checksum/engine/algorithm_rows.h"
#include "checksum/engine/file_digest.h"
#include "platform/text.h"

namespace engine {
namespace {

void stopAt(const WorkerWindow& window, PausePlace place, int row)
{
    if (window.pausePoint != nullptr) {
        window.pausePoint(window.context, place, row);
    }
}

std::u16string hexToText(const std::string& hex)
{
    return std::u16string(hex.begin(), hex.end());
}

} // namespace

void runChecksumWorker(const WorkerWindow& window, WorkerShared& shared)
{
    shared.errorCount.store(0, std::memory_order_relaxed);
    const std::u16string path = window.filePath(window.context);
    const std::u16string expected = window.expectedText(window.context);
    const std::filesystem::path filePath = platform::pathFromUtf16(path);

    for (int row = 0; row < kAlgorithmRowCount; ++row) {
        if (shared.cancelRequested.load(std::memory_order_acquire)) {
            break;
        }
        if (window.checkState(window.context, row) != 1) {
            continue;
        }
        stopAt(window, PausePlace::BeforeWrite, row);
        window.setProgressValue(window.context, window.progressValue(window.context) + 1);

        const AlgorithmRow& algorithm = kAlgorithmRows[static_cast<std::size_t>(row)];
        const std::string hex = fileDigestHex(filePath, algorithm.algorithm, algorithm.bitWidth,
            [&window, row] { stopAt(window, PausePlace::BeforeBlockRead, row); });
        if (hex.empty()) {
            shared.errorCount.fetch_add(1, std::memory_order_relaxed);
            continue;
        }
        const std::u16string result = hexToText(hex);
        stopAt(window, PausePlace::BeforeWrite, row);
        window.setResultText(window.context, row, result);
        if (!expected.empty()) {
            stopAt(window, PausePlace::BeforeWrite, row);
            window.setResultColour(window.context, row, result == expected ? kMatchColour : kMismatchColour);
        }
    }
    stopAt(window, PausePlace::BeforeFinish, -1);
    window.postFinished(window.context);
}

bool pauseWorker(WorkerPause& pause)
{
    std::lock_guard<std::mutex> lock(pause.mutex);
    if (pause.finishing) {
        return false;
    }
    pause.paused = true;
    return true;
}

void resumeWorker(WorkerPause& pause)
{
    {
        std::lock_guard<std::mutex> lock(pause.mutex);
        pause.paused = false;
    }
    pause.resumed.notify_all();
}

void honourPause(WorkerPause& pause, PausePlace place)
{
    std::unique_lock<std::mutex> lock(pause.mutex);
    pause.resumed.wait(lock, [&pause] { return !pause.paused; });
    if (place == PausePlace::BeforeFinish) {
        pause.finishing = true;
    }
}

void resetWorkerPause(WorkerPause& pause)
{
    std::lock_guard<std::mutex> lock(pause.mutex);
    pause.paused = false;
    pause.finishing = false;
}

} // namespace engine
