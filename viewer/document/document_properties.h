#pragma once
// The "properties" entry of a help document: fifteen fields of a field text,
// eleven texts shown as they stand and four numbers.

#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/document/packing.h"

namespace document {

// A white page: what a document without usable properties shows.
inline constexpr std::int32_t kDefaultPageBackColor = 0xFFFFFF;

// The initial values are the defaults of a document without usable properties:
// empty texts, a white page, no margins, page 0 as home page.
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
    std::int32_t pageBackColor = kDefaultPageBackColor; // red in the low byte; -1 the system's window colour
    std::int32_t leftMargin = 0;
    std::int32_t rightMargin = 0;
    std::int32_t homePage = 0; // 0-based contents record
};

// Sets every field of `properties` from fields 1 to 15 of `fieldText`; missing
// fields give the empty text or 0, numbers keep the low 32 bits.
void decodeProperties(std::u16string_view fieldText, DocumentProperties& properties);

// Reads the "properties" entry of the document at `path`, whole, into
// `properties`. When the pack cannot be opened or the entry is empty (count 0)
// the record keeps its values. An entry that is missing, damaged, larger than
// kMaxWholeEntrySize (64 MiB) or no UTF-16 field text (an odd length, no
// separator) gives the defaults of a fresh DocumentProperties.
void readProperties(const std::string& path, PackingKind kind, DocumentProperties& properties);

} // namespace document
