#pragma once
// The viewer's one open help document: its path, packing, properties, contents
// and, in in-memory mode, its page cache. Every read goes through the open-pack
// slot and opens and closes the file within the call; nothing stays open
// between calls. Not thread-safe (one slot).

#include <cstdint>
#include <string>

#include "viewer/document/contents.h"
#include "viewer/document/document_properties.h"
#include "viewer/document/packing.h"
#include "viewer/document/page_loading.h"

namespace document {

class HelpDocument {
public:
    // Detects the packing of `path` and reads its properties and contents. False,
    // with everything unchanged (an open document stays open), when the file is
    // no help document (packing None). Otherwise true, replacing the previous
    // document whole: its properties start at their defaults and its contents
    // empty before the reads, so a missing entry leaves them so, and its page
    // cache is dropped.
    bool open(const std::string& path);

    // Reads every page into the page cache under one open of the document;
    // loadPage shows pages from the cache from then on, even after the file has
    // gone. Nothing happens without an open document. A second call refills the
    // cache.
    void preload(std::int64_t budget = kMaxPreloadBytes);

    // Shows page `page` in `view`: from the page cache after preload, else read
    // from the document (see loadCachedPage and loadPage). A page number
    // without a record or a heading leaves the view alone.
    void loadPage(std::int64_t page, PageSink& view) const;

    bool isOpen() const { return packing_ != PackingKind::None; }
    bool pagesInMemory() const { return pagesInMemory_; }
    const std::string& path() const { return path_; }
    PackingKind packing() const { return packing_; }
    const DocumentProperties& properties() const { return properties_; }
    const ContentsList& contents() const { return contents_; }
    // Empty until preload; then one entry per contents record.
    const PageCache& pageCache() const { return pageCache_; }

private:
    std::string path_;
    PackingKind packing_ = PackingKind::None;
    DocumentProperties properties_;
    ContentsList contents_;
    PageCache pageCache_;
    bool pagesInMemory_ = false;
};

} // namespace document
