#pragma once
// Page loading: a page number becomes the RTF bytes the page view shows, read
// from the document each time or, in in-memory mode, from a page cache filled
// once when the document is opened.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

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

struct FreeDeleter {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};
// A page buffer from std::calloc: zero pages the system hands out untouched, so
// a large listed size costs address space rather than memory until it is read.
using PageData = std::unique_ptr<std::uint8_t[], FreeDeleter>;

// The in-memory pages, parallel to a ContentsList: entry i holds the `size`
// bytes of record i's page, or none (a size of 0 or less, no budget left, or
// nothing could be read).
using PageCache = std::vector<PageData>;

// In-memory mode never holds more page bytes than this in all (listed sizes
// summed): the sizes come from the document, and a forged contents entry could
// otherwise list thousands of 2 GiB pages. Records beyond the budget get no
// buffer, as if allocation had failed.
inline constexpr std::int64_t kMaxPreloadBytes = std::int64_t{4} << 30;

// Refills `cache` for `list`: one entry per record, a zero-filled buffer of the
// record's size for every positive size, each read from its entry, all under one
// open of the document. Read results are not checked: a buffer keeps the page, a
// prefix of a longer ZIP entry, or zeros. When the pack cannot be opened no
// record gets a buffer. Buffers stop once their sizes would exceed `budget`
// bytes in all.
void preloadPages(const std::string& path, PackingKind kind, const ContentsList& list, PageCache& cache,
    std::int64_t budget = kMaxPreloadBytes);

// Shows page `page` of `list` in `view`, read from the document: nothing for a
// page number without a record, a heading (empty entryName), an unopenable
// document, a size of 0 or less or a read of count 0; the bytes read for a
// positive count; an empty range for a failed read.
void loadPage(const std::string& path, PackingKind kind, const ContentsList& list, std::int64_t page, PageSink& view);

// Shows page `page` of `list` from `cache` (in-memory mode): nothing for a page
// number without a record or a heading; otherwise the record's whole size from
// its cached buffer, or an empty range when it has none.
void loadCachedPage(const ContentsList& list, const PageCache& cache, std::int64_t page, PageSink& view);

} // namespace document
