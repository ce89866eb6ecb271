#pragma once
// Page loading: a page number becomes the RTF bytes the page view shows, read
// from the document each time or, in in-memory mode, from buffers filled once
// when the document is opened.

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/document/contents.h"
#include "viewer/document/packing.h"

namespace document {

// What page loading needs of the page view.
class PageSink {
public:
    virtual ~PageSink() = default;
    // Replaces the view's content with the RTF in `size` bytes at `bytes`; size
    // 0 empties the view. The bytes stay the caller's and may be released once
    // the call returns.
    virtual void showRichText(const std::uint8_t* bytes, std::size_t size) = 0;
};

// In-memory mode never holds more page bytes than this in all (listed sizes
// summed): the sizes come from the document, and a forged contents entry could
// otherwise list thousands of 2 GiB pages. Records beyond the budget get no
// buffer, as if allocation had failed.
inline constexpr std::int64_t kMaxPreloadBytes = std::int64_t{4} << 30;

// Gives every record of `list` with a positive size a zero-filled buffer of that
// size and reads its entry into it, all under one open of the document. Read
// results are not checked: a buffer keeps the page, a prefix of a longer ZIP
// entry, or zeros. When the pack cannot be opened no record gets a buffer.
// Buffers stop once their sizes would exceed `budget` bytes in all.
void preloadPages(
    const std::string& path, PackingKind kind, ContentsList& list, std::int64_t budget = kMaxPreloadBytes);

// Shows page `page` of `list` in `view`: nothing for a page number without a
// record or a heading (empty entryName); in in-memory mode the whole pageData
// (an empty range without one); otherwise the entry read from the document: the
// bytes read for a positive count, an empty range for a failed read, nothing for
// count 0, an unopenable document or a size of 0 or less.
void loadPage(const std::string& path, PackingKind kind, const ContentsList& list, std::int64_t page, bool inMemory,
    PageSink& view);

} // namespace document
