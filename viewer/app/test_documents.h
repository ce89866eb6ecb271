#pragma once
// Help documents written for the viewer's tests, through helptool's writer, and the text
// of what the viewer prints.

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

// A page of one paragraph of `text` in Arial 11.
std::vector<std::uint8_t> rtfPage(const std::string& text);

// The text of the PDF file `pdf` as pdftotext lays it out (a form feed ends each page);
// empty when it cannot be read.
std::string pdfText(const std::filesystem::path& pdf);

// Writes a document with `pages` in contents order and `properties`, packed with
// BriefLZ or as ZIP; its path. A failed write fails the calling test.
std::string writeHelpDocument(const std::filesystem::path& file, const std::vector<TestPage>& pages,
    const std::vector<std::u16string>& properties, bool zip = false);

} // namespace leafscope::testing
