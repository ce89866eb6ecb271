#pragma once
// The "contents" entry of a help document: the pages and headings in reading
// order. A page number is a 0-based index into the ContentsList and equals the
// index of the contents-tree item.
//
// Field text: field 1 not interpreted, field 2 the record count N, then four
// fields per record i = 0 … N-1: level (4i+3), entryName (4i+4), title (4i+5),
// size (4i+6):
//
//     Contents|3|0|intro.rtf|Introduction|1834|0||Using|0|1|use/run.rtf|Running|2211

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/document/packing.h"

namespace document {

// The list never holds more records than this, whatever the count says: the
// tree and the index stay quick, and a forged entry of many tiny records cannot
// take gigabytes. Real documents hold a few thousand pages.
inline constexpr std::int64_t kMaxContentsRecords = 100000;

struct ContentsRecord {
    std::int8_t level = 0;    // depth in the tree; 0 is the top
    std::u16string entryName; // page entry; empty for a heading
    std::int32_t size = 0;    // bytes of the page buffer
    std::u16string title;     // tree item text, what findPageByTitle matches
};

using ContentsList = std::vector<ContentsRecord>;

// Replaces `list` with the records of `fieldText` (N = field 2; N <= 0 gives an
// empty list). Only records whose four fields are all in the text are listed:
// a count beyond them adds no empty rows. At most kMaxContentsRecords records
// are kept.
void decodeContents(std::u16string_view fieldText, ContentsList& list);

// Reads the "contents" entry of the document at `path`, whole, into `list`.
// When the pack cannot be opened or the entry is empty (count 0) the list keeps
// its records; an entry that is missing, damaged or larger than
// kMaxWholeEntrySize (64 MiB) empties it.
void readContents(const std::string& path, PackingKind kind, ContentsList& list);

// Where each record's tree item goes: the index of its parent record, or -1 at
// the top. Item i is appended after item i-1; a level above the previous item's
// depth nests one step only, a lower level climbs to the ancestor at that
// depth, and negative levels count as 0.
std::vector<std::int32_t> contentsTreeParents(const ContentsList& list);

// Depth of every item under contentsTreeParents (0 at the top).
std::vector<std::int32_t> contentsTreeDepths(const ContentsList& list);

// The index of the last record whose title equals `title` after Unicode
// lower-casing of both; 0 when none does (also for an empty list).
std::int32_t findPageByTitle(const ContentsList& list, std::u16string_view title);

} // namespace document
