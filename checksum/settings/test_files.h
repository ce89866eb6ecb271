#pragma once
// Helpers for the settings tests: scratch folders, files and ZIP archives.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace settings::testfiles {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder with a trailing "/", as program folders are given.
    std::filesystem::path folder() const { return std::filesystem::path(path_.native() + "/"); }

private:
    std::filesystem::path path_;
};

// Runs `check` with the rights of an ordinary user, so that file permissions
// bind: directly when the test runs as one, else in a child process switched
// to the user "nobody" (65534). True when `check` returned true.
bool runUnprivileged(const std::function<bool()>& check);

void writeFile(const std::filesystem::path& path, std::string_view bytes);
std::string readFile(const std::filesystem::path& path);

struct ZipEntry {
    std::string name;
    std::string bytes;
    bool folder = false;
};

// A ZIP archive holding `entries` in this order, names stored as given.
std::string makeZip(const std::vector<ZipEntry>& entries);

// A UTF-8 language file with the display name `name` (none when empty) and
// `groups`, lines such as "[GENERAL]" or "tGenOK = OK", joined with CR LF.
std::string languageFile(std::string_view name, const std::vector<std::string>& lines = {});

} // namespace settings::testfiles
