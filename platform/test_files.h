#pragma once
// Test-only helpers shared by every module's tests: scratch folders, whole-file
// reads and writes, and running a check without root's rights. Linked into
// tests only (library platform_testing).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::testing {

// A fresh, uniquely named folder under the system's temporary folder, removed
// with its contents (whatever their permissions) when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder with a trailing "/", as program folders are given.
    std::filesystem::path folder() const { return std::filesystem::path(path_.native() + "/"); }
    // Writes `bytes` to the file `name` in the folder; its path.
    std::filesystem::path write(const std::string& name, std::string_view bytes) const;
    std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// Replaces the file at `path` with `bytes`.
void writeFile(const std::filesystem::path& path, std::string_view bytes);
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// The whole file at `path`; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// Points HOME and XDG_CONFIG_HOME at `folder` and unsets the other XDG folders, whose
// defaults lie below HOME: what a program writes to the user's folders lands in `folder`.
void pointHomeAt(const std::filesystem::path& folder);
// Every file and folder below `folder`, by path; empty for an empty folder.
std::vector<std::string> entriesBelow(const std::filesystem::path& folder);

// Runs `check` with the rights of an ordinary user, so that file permissions
// bind: directly when the test runs as one, else in a child process switched
// to the user "nobody" (65534). True when `check` returned true.
bool runUnprivileged(const std::function<bool()>& check);

} // namespace platform::testing
