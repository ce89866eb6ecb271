#include "checksum/settings/test_files.h"

#include <archive.h>
#include <archive_entry.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace settings::testfiles {

namespace fs = std::filesystem;

std::string makeZip(const std::vector<ZipEntry>& entries)
{
    std::string buffer(1 << 20, '\0');
    std::size_t used = 0;
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    archive_write_open_memory(writer, buffer.data(), buffer.size(), &used);
    for (const ZipEntry& entry : entries) {
        archive_entry* header = archive_entry_new();
        archive_entry_set_pathname(header, entry.name.c_str());
        archive_entry_set_filetype(header, entry.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(header, entry.folder ? 0755 : 0644);
        archive_entry_set_size(header, entry.folder ? 0 : static_cast<la_int64_t>(entry.bytes.size()));
        archive_write_header(writer, header);
        if (!entry.folder)
            archive_write_data(writer, entry.bytes.data(), entry.bytes.size());
        archive_entry_free(header);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    buffer.resize(used);
    return buffer;
}

std::string languageFile(std::string_view name, const std::vector<std::string>& lines)
{
    std::string text = "\xEF\xBB\xBF[LANGUAGE FILE]\r\n";
    if (!name.empty())
        text += "tLangFileNAME = " + std::string(name) + "\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace settings::testfiles
