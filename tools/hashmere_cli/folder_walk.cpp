#include "tools/hashmere_cli/folder_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace hashmere_cli {
namespace {

struct FolderId {
    dev_t device;
    ino_t inode;
};

struct Entry {
    std::string name;
    unsigned char type; // DT_* from the folder, DT_UNKNOWN when it did not say
};

std::string joinPath(const std::string& folder, const std::string& name)
{
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The folder's entries sorted by name; false (with errno) when it cannot be read.
bool readEntries(const std::string& folder, std::vector<Entry>& entries)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            entries.push_back({std::string(name), entry->d_type});
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    errno = readError;
    return readError == 0;
}

void walk(const std::string& folder, bool followLinks, std::vector<FolderId>& ancestors, const WalkCalls& calls)
{
    std::vector<Entry> entries;
    if (!readEntries(folder, entries)) {
        calls.problem(folder, std::strerror(errno));
        if (entries.empty())
            return;
    }
    for (const Entry& entry : entries) {
        const std::string path = joinPath(folder, entry.name);
        unsigned char type = entry.type;
        struct stat info {};
        const bool mustStat = type == DT_UNKNOWN || type == DT_DIR || (type == DT_LNK && followLinks);
        if (mustStat) {
            if ((followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) {
                calls.problem(path, std::strerror(errno));
                continue;
            }
            type = S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : 0;
        }
        if (type == DT_REG) {
            calls.file(path);
        } else if (type == DT_DIR) {
            const FolderId id{info.st_dev, info.st_ino};
            const bool seen = std::any_of(ancestors.begin(), ancestors.end(),
                [&id](const FolderId& a) { return a.device == id.device && a.inode == id.inode; });
            if (seen) {
                calls.loop(path);
                continue;
            }
            ancestors.push_back(id);
            walk(path, followLinks, ancestors, calls);
            ancestors.pop_back();
        }
    }
}

} // namespace

void walkFolder(const std::string& root, bool followLinks, const WalkCalls& calls)
{
    std::vector<FolderId> ancestors;
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0) {
        calls.problem(root, std::strerror(errno));
        return;
    }
    ancestors.push_back({info.st_dev, info.st_ino});
    walk(root, followLinks, ancestors, calls);
}

} // namespace hashmere_cli
