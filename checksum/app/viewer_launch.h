#pragma once
// Starting the help viewer "Leafscope" on the manual of the current language,
// one viewer at a time, with a watch thread that notices when it has ended,
// and ending it when Hashmere shuts down. Free of the toolkit.

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace hashmere {

inline constexpr char kViewerProgramName[] = "Leafscope";
inline constexpr int kViewerPollMs = 100;

struct ViewerState {
    std::mutex mutex;
    std::condition_variable wake;
    int process = -1;   // ViewerProcess: id of the viewer this program started, or -1
    bool watch = false; // ViewerWatch: the watch thread keeps polling while set
    std::thread watchThread;
    // Called by the watch thread after it has cleared `process` (tests wait on it).
    std::function<void()> onViewerEnded;
};

// programFolder + "Hashmere_" + languageId + ".help"; `programFolder` ends with "/".
std::filesystem::path helpDocumentPath(const std::filesystem::path& programFolder, std::u16string_view languageId);

// Starts programFolder + "Leafscope" with the document path as its one argument
// and `programFolder` as working folder, unless a viewer started here still
// runs: that one is asked to bring its window forward instead. True when a new
// viewer was started; false when one runs already or it could not be started
// (nothing is shown then; the next call tries again).
bool startViewer(ViewerState& viewer, const std::filesystem::path& programFolder, std::u16string_view languageId);

// Whether a viewer started here is still known to run.
bool viewerRunning(ViewerState& viewer);
int viewerProcess(ViewerState& viewer);

// Shutdown: stops the watch thread and ends a viewer that still runs.
void stopViewer(ViewerState& viewer);

} // namespace hashmere
