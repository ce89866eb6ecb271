#pragma once
// The language container "Hashmere.lang": a folder of "*.language" files, or
// a ZIP archive holding them at its root.
//
// Archive entries are read straight into memory and never written to disk,
// and only entries at the archive's root count: an entry's name never becomes
// a path, so a name such as "../x.language" can do no harm.

#include <filesystem>
#include <functional>
#include <string_view>

#include "checksum/settings/preferences_document.h"

namespace settings {

enum class ContainerKind {
    None, // missing, empty (0 bytes) or neither a folder nor a file
    Folder,
    Archive, // any other non-empty file; it may still fail to open as ZIP
};

ContainerKind languageContainerKind(const std::filesystem::path& container);

// Called with each language file's base name and the file open in `document`.
// The document is closed after the call returns.
using LanguageFileVisitor = std::function<void(std::u16string_view baseName, PreferencesDocument& document)>;

// Visits every language file in the container. A folder gives its regular
// files whose names end in ".language" in any letter case, in byte order of
// their names; an archive gives its root file entries whose names end in
// ".language" in lower case, in archive order. Files that cannot be read are
// skipped; a damaged archive ends the walk at the damage.
void forEachLanguageFile(const std::filesystem::path& container, const LanguageFileVisitor& visit);

// As forEachLanguageFile for a ZIP archive held in memory.
void forEachLanguageFileInArchiveBytes(std::string_view archive, const LanguageFileVisitor& visit);

// Opens the language file `baseName` of the container in `document`. In a
// folder, baseName + ".language" (or, failing that, baseName with the
// extension in another letter case); in an archive, the first root entry
// named exactly baseName + ".language". False when there is none or it cannot
// be read; `document` is then closed.
bool openLanguageFile(
    const std::filesystem::path& container, std::u16string_view baseName, PreferencesDocument& document);

} // namespace settings
