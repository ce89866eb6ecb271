#pragma once
// Child processes: starting a program without a shell, watching whether it
// still runs, and ending it. A process is named by its id; every call here is
// for the process's parent only.

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// Starts `program` (a path, not searched for) with `arguments` as its
// argument list (no shell, no quoting) in `workingFolder` (the current
// folder when empty). Returns the new process's id, or -1 when it could not be
// started (missing, not executable, folder missing). The child holds raise
// requests back until it listens for them (platform/raise_request.h).
int startProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
    const std::filesystem::path& workingFolder);

// True when the child `process` has ended; it is then reaped and its id must
// not be used again. Never blocks.
bool processEnded(int process);

// Asks the child `process` to end (SIGTERM), forces it (SIGKILL) when it has
// not ended within `graceMs` milliseconds, and reaps it.
void terminateProcess(int process, int graceMs = 1000);

} // namespace platform
