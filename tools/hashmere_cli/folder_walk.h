#pragma once
// The regular files under a folder, depth first, each folder's entries in
// byte order of their names, so that two runs over the same tree list the
// same files in the same order.

#include <functional>
#include <string>

namespace hashmere_cli {

struct WalkCalls {
    std::function<void(const std::string& path)> file;
    // An entry that could not be read or followed; the walk goes on.
    std::function<void(const std::string& path, const std::string& problem)> problem;
    // A followed link that leads back into a folder being walked; not entered.
    std::function<void(const std::string& path)> loop;
};

// Walks the folder `root`. Symbolic links below it are skipped unless
// `followLinks`, when they are resolved and folders already on the path from
// the root are not entered again. Entries other than regular files and
// folders (FIFOs, devices, sockets) are skipped. Holds one folder's names per
// level being walked, never the whole tree, and no folder open while it
// descends.
void walkFolder(const std::string& root, bool followLinks, const WalkCalls& calls);

} // namespace hashmere_cli
