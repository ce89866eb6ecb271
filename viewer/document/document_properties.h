#pragma once
// The "properties" entry of a help document: fifteen fields of a field text,
// eleven texts shown as they stand and four numbers.

#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/document/packing.h"

namespace document {

inline constexpr std::int32_t kPropertiesCapacity = 5000;

struct DocumentProperties {
    std::u16string softwareName;
    std::u16string softwareVersion;
    std::u16string helpName;
    std::u16string helpVersion;
    std::u16string language;
    std::u16string date;
    std::u16string tool;
    std::u16string publisher;
    std::u16string copyright;
    std::u16string email;
    std::u16string website;
    std::int32_t pageBackColor = 0; // red in the low byte; -1 the system's window colour
    std::int32_t leftMargin = 0;
    std::int32_t rightMargin = 0;
    std::int32_t homePage = 0; // 0-based contents record
};

// Sets every field of `properties` from fields 1 to 15 of `fieldText`; missing
// fields give the empty text or 0, numbers keep the low 32 bits.
void decodeProperties(std::u16string_view fieldText, DocumentProperties& properties);

// Reads the "properties" entry of the document at `path` into `properties`.
// When the pack cannot be opened or the entry is empty (count 0) the record
// keeps its values; after a failed read (negative count) it is decoded from
// whatever the zero-filled buffer holds, so a missing entry empties it.
void readProperties(const std::string& path, PackingKind kind, DocumentProperties& properties);

} // namespace document
