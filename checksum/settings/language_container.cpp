#include "checksum/settings/language_container.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace settings {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".language";

// Decompressed bytes one archive walk reads at most, so that a small archive
// of many large entries cannot keep the program busy for long.
constexpr std::size_t kMaxArchiveBytesRead = 4 * kMaxDocumentBytes;

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveFree>;

ArchiveReader newZipReader()
{
    ArchiveReader reader(archive_read_new());
    if (reader && archive_read_support_format_zip(reader.get()) != ARCHIVE_OK)
        reader.reset();
    return reader;
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithExtensionIgnoringCase(std::string_view name)
{
    if (name.size() < kExtension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - kExtension.size());
    return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) { return foldAscii(a) == b; });
}

std::string_view withoutExtension(std::string_view name)
{
    return name.substr(0, name.size() - kExtension.size());
}

// A name that can stand for a file inside the container folder.
bool isPlainName(std::string_view name)
{
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// Reads the data of the entry at hand, at most kMaxDocumentBytes of it and at
// most `budget` in all (which it lowers). False on a read error or when the
// entry is larger; `bytes` is then incomplete.
bool readEntryData(archive* reader, std::string& bytes, std::size_t& budget)
{
    bytes.clear();
    char block[65536];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, block, sizeof block);
        if (got == 0)
            return true;
        if (got < 0)
            return false;
        const auto size = static_cast<std::size_t>(got);
        if (bytes.size() + size > kMaxDocumentBytes || size > budget)
            return false;
        budget -= size;
        bytes.append(block, size);
    }
}

// Walks the root file entries of an opened archive whose names end in
// ".language" (lower case). `wanted`, when given, is the one entry name to
// read. `visit` gets the base name and the data and returns false to stop.
template <typename Visit> void walkArchive(archive* reader, std::optional<std::string_view> wanted, Visit&& visit)
{
    std::size_t budget = kMaxArchiveBytesRead;
    std::string bytes;
    archive_entry* entry = nullptr;
    for (;;) {
        // Anything but OK or WARN (including RETRY) ends the walk, so a
        // damaged archive can never make it loop.
        const int status = archive_read_next_header(reader, &entry);
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return;
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const char* rawName = archive_entry_pathname_utf8(entry);
        if (rawName == nullptr)
            rawName = archive_entry_pathname(entry);
        if (rawName == nullptr)
            continue;
        const std::string_view name(rawName);
        // A separator of either kind means the entry lies in a sub-folder.
        if (name.find_first_of("/\\") != std::string_view::npos || name.size() < kExtension.size() ||
            name.substr(name.size() - kExtension.size()) != kExtension)
            continue;
        if (wanted && name != *wanted)
            continue;
        if (!readEntryData(reader, bytes, budget))
            continue;
        if (!visit(withoutExtension(name), std::string_view(bytes)))
            return;
    }
}

template <typename Visit>
void walkArchiveFile(const fs::path& container, std::optional<std::string_view> wanted, Visit&& visit)
{
    const ArchiveReader reader = newZipReader();
    if (reader && archive_read_open_filename(reader.get(), container.c_str(), 65536) == ARCHIVE_OK)
        walkArchive(reader.get(), wanted, visit);
}

struct FolderFile {
    std::string name;
    fs::path path;
};

// The regular files of `folder` whose names end in ".language" in any letter
// case, sorted by name.
std::vector<FolderFile> listLanguageFiles(const fs::path& folder)
{
    std::vector<FolderFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().native();
        std::error_code typeError;
        if (endsWithExtensionIgnoringCase(name) && it->is_regular_file(typeError))
            files.push_back({std::move(name), it->path()});
    }
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
    return files;
}

} // namespace

ContainerKind languageContainerKind(const fs::path& container)
{
    std::error_code error;
    const fs::file_status status = fs::status(container, error);
    if (error)
        return ContainerKind::None;
    if (fs::is_directory(status))
        return ContainerKind::Folder;
    if (fs::is_regular_file(status) && fs::file_size(container, error) > 0 && !error)
        return ContainerKind::Archive;
    return ContainerKind::None;
}

void forEachLanguageFile(const fs::path& container, const LanguageFileVisitor& visit)
{
    PreferencesDocument document;
    switch (languageContainerKind(container)) {
    case ContainerKind::Folder:
        for (const FolderFile& file : listLanguageFiles(container)) {
            if (document.openDocument(file.path)) {
                visit(platform::utf8ToUtf16(withoutExtension(file.name)), document);
                document.closeDocument();
            }
        }
        break;
    case ContainerKind::Archive:
        walkArchiveFile(container, std::nullopt, [&](std::string_view baseName, std::string_view bytes) {
            document.openBytes(bytes);
            visit(platform::utf8ToUtf16(baseName), document);
            document.closeDocument();
            return true;
        });
        break;
    case ContainerKind::None:
        break;
    }
}

void forEachLanguageFileInArchiveBytes(std::string_view archive, const LanguageFileVisitor& visit)
{
    const ArchiveReader reader = newZipReader();
    if (!reader || archive_read_open_memory(reader.get(), archive.data(), archive.size()) != ARCHIVE_OK)
        return;
    PreferencesDocument document;
    walkArchive(reader.get(), std::nullopt, [&](std::string_view baseName, std::string_view bytes) {
        document.openBytes(bytes);
        visit(platform::utf8ToUtf16(baseName), document);
        document.closeDocument();
        return true;
    });
}

bool openLanguageFile(const fs::path& container, std::u16string_view baseName, PreferencesDocument& document)
{
    document.closeDocument();
    const std::string base = platform::utf16ToUtf8(baseName);
    const std::string fileName = base + std::string(kExtension);
    switch (languageContainerKind(container)) {
    case ContainerKind::Folder:
        if (!isPlainName(base))
            return false;
        if (document.openDocument(container / fileName))
            return true;
        for (const FolderFile& file : listLanguageFiles(container)) {
            if (withoutExtension(file.name) == base && document.openDocument(file.path))
                return true;
        }
        return false;
    case ContainerKind::Archive: {
        bool found = false;
        walkArchiveFile(container, fileName, [&](std::string_view, std::string_view bytes) {
            found = document.openBytes(bytes);
            return false;
        });
        return found;
    }
    case ContainerKind::None:
        break;
    }
    return false;
}

} // namespace settings
