#pragma once
// Help documents written for the viewer's tests, through helptool's writer.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace leafscope::testing {

struct TestPage {
    int level = 0;
    std::u16string title;
    std::string entry;             // empty: a heading
    std::vector<std::uint8_t> rtf; // the page entry's bytes
};

// The fifteen properties of an ordinary English manual with home page 0.
std::vector<std::u16string> defaultProperties();

// Writes a document with `pages` in contents order and `properties`, packed with
// BriefLZ or as ZIP; its path. A failed write fails the calling test.
std::string writeHelpDocument(const std::filesystem::path& file, const std::vector<TestPage>& pages,
    const std::vector<std::u16string>& properties, bool zip = false);

} // namespace leafscope::testing
