#pragma once
// Helpers for the settings tests: ZIP archives and language files, beside the
// shared scratch-folder and file helpers.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/test_files.h"

namespace settings::testfiles {

// Scratch folders, file reads and writes and unprivileged checks are the
// shared test helpers.
using platform::testing::readFile;
using platform::testing::runUnprivileged;
using platform::testing::ScratchFolder;
using platform::testing::writeFile;

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
