#pragma once
// The checksum worker: runs on a thread of its own during a checksum run. It
// reads the path and the expected checksum from the window once, digests the
// file once per checked row in row order, writes each result with its colour
// and the progress into the window, counts empty results, and posts the
// finished event exactly once as its last action.
//
// The worker knows the window only through WorkerWindow, a table of
// operations, so it runs against the real window or a test's fake alike and
// is free of the toolkit.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace engine {

// Text colours of verified results: 24-bit, red in the lowest byte.
// Dark green: pure green is unreadable on the light grey of read-only fields
// (contrast about 1.3 : 1); this one reaches about 5 : 1 there.
inline constexpr std::int32_t kMatchColour = 0x007800;
inline constexpr std::int32_t kMismatchColour = 0x0000FF; // pure red

// Where the worker stops to honour a pause.
enum class PausePlace : std::int32_t {
    BeforeBlockRead, // before each 1 MiB read of the file
    BeforeWrite,     // before each write to the window
    BeforeFinish,    // the last one, just before the finished event is posted
};

// What the worker needs of the window. Every operation receives `context`.
// Rows are 0 to 10 in the order of kAlgorithmRows.
struct WorkerWindow {
    void* context = nullptr;
    std::u16string (*filePath)(void* context) = nullptr;
    std::u16string (*expectedText)(void* context) = nullptr;
    int (*checkState)(void* context, int row) = nullptr; // exactly 1: checked
    int (*progressValue)(void* context) = nullptr;
    void (*setProgressValue)(void* context, int value) = nullptr;
    void (*setResultText)(void* context, int row, std::u16string_view text) = nullptr;
    void (*setResultColour)(void* context, int row, std::int32_t colour) = nullptr;
    void (*postFinished)(void* context) = nullptr;
    // Called at every pause point with the row being worked on (-1 for the
    // finish); may block. Optional.
    void (*pausePoint)(void* context, PausePlace place, int row) = nullptr;
};

// Shared between the user-interface thread and the worker. cancelRequested
// has one writer (the user-interface thread), errorCount one (the worker).
struct WorkerShared {
    std::atomic<bool> cancelRequested{false};
    std::atomic<std::int32_t> errorCount{0};
};

// The worker's whole run: sets errorCount to 0, processes rows 0 to 10 (a row
// is skipped once cancelRequested is set, or when its check state is not 1),
// and calls postFinished exactly once at the end. A row whose digest is empty
// (the file cannot be read) adds 1 to errorCount and leaves its field as it
// is. Results are coloured only when the expected text is not empty: exact,
// case-sensitive equality gives kMatchColour, anything else kMismatchColour.
void runChecksumWorker(const WorkerWindow& window, WorkerShared& shared);

// A pause that the worker honours at its pause points, so it is never held
// inside a lock or an allocation while the user-interface thread waits for an
// answer. Safe for concurrent use by one pausing thread and one worker.
struct WorkerPause {
    std::mutex mutex;
    std::condition_variable resumed;
    bool paused = false;
    bool finishing = false; // the worker has passed its last pause point
};

// User-interface thread. Pauses the worker at its next pause point and
// returns true; returns false (and pauses nothing) when the worker has
// already passed its last pause point, so its finished event may be on its
// way and must not be swallowed by a question's loop.
bool pauseWorker(WorkerPause& pause);
void resumeWorker(WorkerPause& pause);

// Worker thread: waits while paused. At BeforeFinish it also marks the
// worker as finishing, so that a later pauseWorker returns false.
void honourPause(WorkerPause& pause, PausePlace place);

// Back to the state before a run (not paused, not finishing).
void resetWorkerPause(WorkerPause& pause);

} // namespace engine
