#include "tools/helptool/pack_writer.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "tools/helptool/brieflz_encoder.h"
#include "viewer/document/brieflz_decoder.h"
#include "viewer/document/utf8_locale.h"

namespace helptool {
namespace {

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::int64_t fileSize(const std::string& path)
{
    std::error_code failed;
    const auto size = std::filesystem::file_size(path, failed);
    return failed ? -1 : static_cast<std::int64_t>(size);
}

} // namespace

bool writeBriefLzPack(const std::string& path, const std::vector<AuthoringEntry>& entries, std::int64_t blockSize,
    PackStats& stats, std::string& error)
{
    if (blockSize < 1) {
        error = "block size must be at least 1";
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    stats = PackStats{};
    file.write("2zlp", 4);
    for (const AuthoringEntry& entry : entries) {
        if (entry.name.empty() || entry.name.size() > 32767) {
            error = "entry name must have 1 to 32767 bytes: " + entry.name;
            return false;
        }
        if (entry.bytes.size() > static_cast<std::size_t>(document::brieflz::kMaxEntrySize)) {
            error = "entry is 2 GiB or larger: " + entry.name;
            return false;
        }
        std::vector<std::uint8_t> packed =
            brieflz::encodeBlockStream(entry.bytes.data(), entry.bytes.size(), blockSize);
        // Packed size equal to the unpacked size means "stored", so a stream
        // is kept only when it is strictly smaller.
        const bool stored = packed.size() >= entry.bytes.size();
        const std::vector<std::uint8_t>& data = stored ? entry.bytes : packed;
        std::vector<std::uint8_t> header;
        putLittleEndian(header, entry.bytes.size(), 8);
        putLittleEndian(header, data.size(), 8);
        putLittleEndian(header, entry.name.size(), 2);
        file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
        file.write(entry.name.data(), static_cast<std::streamsize>(entry.name.size()));
        file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        stats.unpackedBytes += static_cast<std::int64_t>(entry.bytes.size());
    }
    file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    stats.fileBytes = fileSize(path);
    return true;
}

bool writeZipPack(
    const std::string& path, const std::vector<AuthoringEntry>& entries, PackStats& stats, std::string& error)
{
    const document::ScopedUtf8Locale utf8;
    archive* writer = archive_write_new();
    if (writer == nullptr) {
        error = "out of memory";
        return false;
    }
    stats = PackStats{};
    bool ok = archive_write_set_format_zip(writer) == ARCHIVE_OK &&
        archive_write_set_options(writer, "zip:compression=deflate,zip:hdrcharset=UTF-8") == ARCHIVE_OK &&
        archive_write_open_filename(writer, path.c_str()) == ARCHIVE_OK;
    const std::time_t now = std::time(nullptr);
    for (std::size_t i = 0; ok && i < entries.size(); ++i) {
        const AuthoringEntry& item = entries[i];
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, item.name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(item.bytes.size()));
        archive_entry_set_mtime(entry, now, 0);
        ok = archive_write_header(writer, entry) == ARCHIVE_OK &&
            (item.bytes.empty() ||
                archive_write_data(writer, item.bytes.data(), item.bytes.size()) ==
                    static_cast<la_ssize_t>(item.bytes.size()));
        archive_entry_free(entry);
        stats.unpackedBytes += static_cast<std::int64_t>(item.bytes.size());
    }
    if (!ok)
        error = std::string("cannot write ") + path + ": " +
            (archive_error_string(writer) != nullptr ? archive_error_string(writer) : "unknown error");
    if (archive_write_close(writer) != ARCHIVE_OK && ok) {
        error = "cannot write " + path;
        ok = false;
    }
    archive_write_free(writer);
    if (ok)
        stats.fileBytes = fileSize(path);
    return ok;
}

} // namespace helptool
