#include "viewer/app/test_documents.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "help_source.h"
#include "pack_writer.h"
#include "platform/text.h"

namespace leafscope::testing {

std::vector<std::u16string> defaultProperties()
{
    return {u"Hashmere", u"1.0.0.0", u"Hashmere Help", u"1.0", u"en_GB", u"2026-12-08", u"helptool", u"Orvanix",
        u"(c) Orvanix", u"help@orvanix.example", u"www.orvanix.example", u"$FFFFFF", u"0", u"0", u"0"};
}

std::vector<std::uint8_t> rtfPage(const std::string& text)
{
    const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 " + text + "\\par}";
    return std::vector<std::uint8_t>(rtf.begin(), rtf.end());
}

std::string pdfText(const std::filesystem::path& pdf)
{
    const std::filesystem::path out = pdf.string() + ".txt";
    const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + out.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    std::ifstream in(out);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string writeHelpDocument(const std::filesystem::path& file, const std::vector<TestPage>& pages,
    const std::vector<std::u16string>& properties, bool zip)
{
    std::vector<std::u16string> contents = {u"Contents", platform::utf8ToUtf16(std::to_string(pages.size()))};
    std::vector<helptool::AuthoringEntry> entries = {{"properties", helptool::encodeFieldText(properties)}};
    std::vector<helptool::AuthoringEntry> pageEntries;
    for (const TestPage& page : pages) {
        contents.push_back(platform::utf8ToUtf16(std::to_string(page.level)));
        contents.push_back(platform::utf8ToUtf16(page.entry));
        contents.push_back(page.title);
        contents.push_back(platform::utf8ToUtf16(std::to_string(page.rtf.size())));
        if (!page.entry.empty())
            pageEntries.push_back({page.entry, page.rtf});
    }
    entries.push_back({"contents", helptool::encodeFieldText(contents)});
    entries.insert(entries.end(), pageEntries.begin(), pageEntries.end());
    helptool::PackStats stats;
    std::string error;
    const bool ok = zip ? helptool::writeZipPack(file.string(), entries, stats, error)
                        : helptool::writeBriefLzPack(file.string(), entries, 4096, stats, error);
    EXPECT_TRUE(ok) << error;
    return file.string();
}

} // namespace leafscope::testing
