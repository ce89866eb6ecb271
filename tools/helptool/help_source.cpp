#include "tools/helptool/help_source.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "checksum/settings/preferences_document.h"
#include "platform/ascii.h"
#include "platform/text.h"
#include "viewer/document/contents.h"
#include "viewer/document/document_properties.h"

namespace helptool {

// clang-format off
const char* const kPropertyKeys[kPropertyCount] = {
    "SoftwareName", "SoftwareVersion", "HelpName", "HelpVersion", "Language",    "Date",        "Tool",    "Publisher",
    "Copyright",    "Email",           "Website",  "PageBackColor", "LeftMargin", "RightMargin", "HomePage",
};
// clang-format on

namespace {

using platform::lowerAscii;

bool parsePage(const std::string& value, ManifestPage& page, std::string& error)
{
    std::vector<std::string> parts;
    std::stringstream stream(value);
    for (std::string part; std::getline(stream, part, '|');)
        parts.emplace_back(platform::trimBlanks(part));
    if (value.ends_with("|"))
        parts.emplace_back();
    if (parts.size() < 2 || parts.size() > 3) {
        error = "expected \"level | title | page file\"";
        return false;
    }
    const std::string& level = parts[0];
    if (level.empty() || level.size() > 3 || level.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(level) > 127) {
        error = "level must be a number from 0 to 127";
        return false;
    }
    page.level = std::stoi(level);
    page.title = platform::utf8ToUtf16(parts[1]);
    page.file = parts.size() == 3 ? parts[2] : std::string();
    return true;
}

bool readFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

bool checkField(const std::u16string& field, const std::string& what, std::string& error)
{
    if (field.find(u'|') != std::u16string::npos || field.find(u'\0') != std::u16string::npos) {
        error = what + " must not contain \"|\" or a zero character";
        return false;
    }
    return true;
}

// A page file must stay inside the authoring folder.
bool safeRelativePath(const std::string& file)
{
    const std::filesystem::path path(file);
    if (path.is_absolute() || file.empty())
        return false;
    for (const auto& part : path) {
        if (part == "..")
            return false;
    }
    return true;
}

} // namespace

bool parseManifest(const std::string& bytes, HelpManifest& manifest, std::string& error)
{
    manifest = HelpManifest{};
    // A larger document would open empty and silently yield an empty manual.
    if (bytes.size() > settings::kMaxDocumentBytes) {
        error = "the manifest is larger than " + std::to_string(settings::kMaxDocumentBytes) + " bytes";
        return false;
    }
    settings::PreferencesDocument document;
    document.openBytes(bytes);

    std::u16string key16;
    std::u16string value16;
    if (document.firstUngroupedPair(key16, value16)) {
        error = "manifest line \"" + platform::utf16ToUtf8(key16) + " = " + platform::utf16ToUtf8(value16) +
            "\": a key outside the groups [Properties] and [Contents]";
        return false;
    }

    std::u16string group;
    while (document.nextGroup(group)) {
        const std::string groupName = lowerAscii(platform::utf16ToUtf8(group));
        while (document.nextKey(key16, value16)) {
            const std::string key = platform::utf16ToUtf8(key16);
            const std::string value = platform::utf16ToUtf8(value16);
            const std::string where = "manifest line \"" + key + " = " + value + "\": ";
            if (groupName == "properties") {
                int index = 0;
                while (index < kPropertyCount && lowerAscii(kPropertyKeys[index]) != lowerAscii(key))
                    ++index;
                if (index == kPropertyCount) {
                    error = where + "unknown property \"" + key + "\"";
                    return false;
                }
                manifest.properties[index] = value16;
            } else if (groupName == "contents") {
                ManifestPage page;
                if (lowerAscii(key) != "page" || !parsePage(value, page, error)) {
                    error = where + (lowerAscii(key) != "page" ? std::string("expected a \"Page\" line") : error);
                    return false;
                }
                manifest.pages.push_back(std::move(page));
            } else {
                error = where + "a key outside the groups [Properties] and [Contents]";
                return false;
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> encodeFieldText(const std::vector<std::u16string>& fields)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            bytes.push_back('|');
            bytes.push_back(0);
        }
        for (const char16_t unit : fields[i]) {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    }
    return bytes;
}

bool buildDocumentEntries(const std::string& sourceDir, std::vector<AuthoringEntry>& entries, std::string& error)
{
    entries.clear();
    const std::filesystem::path folder(sourceDir);
    std::vector<std::uint8_t> manifestBytes;
    if (!readFile(folder / kManifestName, manifestBytes)) {
        error = "cannot read " + (folder / kManifestName).string();
        return false;
    }
    HelpManifest manifest;
    if (!parseManifest(std::string(manifestBytes.begin(), manifestBytes.end()), manifest, error))
        return false;

    std::vector<std::u16string> properties;
    for (int i = 0; i < kPropertyCount; ++i) {
        if (!checkField(manifest.properties[i], kPropertyKeys[i], error))
            return false;
        properties.push_back(manifest.properties[i]);
    }

    std::vector<std::u16string> contents{u"Contents", platform::utf8ToUtf16(std::to_string(manifest.pages.size()))};
    std::vector<AuthoringEntry> pages;
    std::set<std::string> written;
    for (const ManifestPage& page : manifest.pages) {
        std::int64_t size = 0;
        if (!page.file.empty()) {
            if (!safeRelativePath(page.file)) {
                error = "page file must be a path inside the folder: " + page.file;
                return false;
            }
            std::vector<std::uint8_t> bytes;
            if (!readFile(folder / page.file, bytes)) {
                error = "cannot read page file " + (folder / page.file).string();
                return false;
            }
            if (bytes.size() > 0x7FFFFFFF) {
                error = "page file is 2 GiB or larger: " + page.file;
                return false;
            }
            size = static_cast<std::int64_t>(bytes.size());
            if (written.insert(page.file).second)
                pages.push_back(AuthoringEntry{page.file, std::move(bytes)});
        }
        const std::u16string name = platform::utf8ToUtf16(page.file);
        if (!checkField(page.title, "a title", error) || !checkField(name, "a page file name", error))
            return false;
        contents.push_back(platform::utf8ToUtf16(std::to_string(page.level)));
        contents.push_back(name);
        contents.push_back(page.title);
        contents.push_back(platform::utf8ToUtf16(std::to_string(size)));
    }

    AuthoringEntry propertiesEntry{"properties", encodeFieldText(properties)};
    AuthoringEntry contentsEntry{"contents", encodeFieldText(contents)};
    // The viewer refuses data entries above this size.
    const auto limit = static_cast<std::size_t>(document::kMaxWholeEntrySize);
    if (propertiesEntry.bytes.size() > limit) {
        error = "the properties take more than " + std::to_string(limit) + " bytes";
        return false;
    }
    if (contentsEntry.bytes.size() > limit) {
        error = "the contents take more than " + std::to_string(limit) + " bytes";
        return false;
    }
    if (written.count("properties") != 0 || written.count("contents") != 0) {
        error = "a page file must not be named \"properties\" or \"contents\"";
        return false;
    }
    entries.push_back(std::move(propertiesEntry));
    entries.push_back(std::move(contentsEntry));
    for (AuthoringEntry& page : pages)
        entries.push_back(std::move(page));
    return true;
}

} // namespace helptool
