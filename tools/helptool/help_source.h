#pragma once
// An authoring folder for helptool pack: a manifest "help.manifest" in the
// preferences text format, beside the page files (RTF) it names:
//
//     ; Hashmere manual, British English
//     [Properties]
//     SoftwareName = Hashmere
//     HelpName = Hashmere Help
//     Language = en_GB
//     PageBackColor = $FFFFFF
//     HomePage = 1
//     [Contents]
//     Page = 0 | Getting started
//     Page = 1 | Installing | pages/install.rtf
//     Page = 1 | Első lépések | pages/first_steps.rtf
//
// Properties keys (any letter case): SoftwareName, SoftwareVersion, HelpName,
// HelpVersion, Language, Date, Tool, Publisher, Copyright, Email, Website,
// PageBackColor, LeftMargin, RightMargin, HomePage; a missing key is empty.
// Each "Page" line holds a level (0 to 127), a title and, except for a heading,
// a page file relative to the folder, which also becomes the entry's name.
// The manifest is UTF-8 when it starts with a byte-order mark, else Latin-1.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/helptool/pack_writer.h"

namespace helptool {

inline constexpr char kManifestName[] = "help.manifest";
inline constexpr int kPropertyCount = 15;
extern const char* const kPropertyKeys[kPropertyCount];

struct ManifestPage {
    int level = 0;
    std::u16string title;
    std::string file; // UTF-8, "/"-separated; empty for a heading
};

struct HelpManifest {
    std::u16string properties[kPropertyCount];
    std::vector<ManifestPage> pages;
};

// Parses manifest text. False with `error` quoting the line on a malformed
// line, a key above the first group, or text over settings::kMaxDocumentBytes.
bool parseManifest(const std::string& bytes, HelpManifest& manifest, std::string& error);

// UTF-16LE bytes of `fields` joined by "|", as the document readers expect.
std::vector<std::uint8_t> encodeFieldText(const std::vector<std::u16string>& fields);

// The entries of the document described by the folder `sourceDir`: "properties",
// "contents", then each page file once, in contents order. False with `error`
// on a missing or unreadable file, a field holding "|" or a zero character, or
// a properties or contents entry above the viewer's limit for data entries
// (document::kMaxWholeEntrySize).
bool buildDocumentEntries(const std::string& sourceDir, std::vector<AuthoringEntry>& entries, std::string& error);

} // namespace helptool
