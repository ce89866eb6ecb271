#include "viewer/document/help_document.h"

#include <utility>

namespace document {

bool HelpDocument::open(const std::string& path)
{
    const PackingKind kind = detectPacking(path);
    if (kind == PackingKind::None)
        return false;
    // Read into fresh records, so nothing of a previous document survives a
    // read that keeps the caller's data.
    DocumentProperties properties;
    readProperties(path, kind, properties);
    ContentsList contents;
    readContents(path, kind, contents);
    path_ = path;
    packing_ = kind;
    properties_ = std::move(properties);
    contents_ = std::move(contents);
    pageCache_.clear();
    pagesInMemory_ = false;
    return true;
}

void HelpDocument::preload(std::int64_t budget)
{
    if (!isOpen())
        return;
    preloadPages(path_, packing_, contents_, pageCache_, budget);
    pagesInMemory_ = true;
}

void HelpDocument::loadPage(std::int64_t page, PageSink& view) const
{
    if (pagesInMemory_)
        loadCachedPage(contents_, pageCache_, page, view);
    else if (isOpen())
        document::loadPage(path_, packing_, contents_, page, view);
}

} // namespace document
