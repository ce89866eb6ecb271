#include "viewer/app/document_access.h"

namespace leafscope {

bool openDocument(OpenDocument& doc, const std::string& path)
{
    const document::PackingKind packing = document::detectPacking(path);
    if (packing == document::PackingKind::None) {
        return false;
    }
    doc.path = path;
    doc.packing = packing;
    document::readProperties(path, packing, doc.properties);
    document::readContents(path, packing, doc.contents);
    return true;
}

void preloadDocumentPages(OpenDocument& doc)
{
    document::preloadPages(doc.path, doc.packing, doc.contents);
}

void loadDocumentPage(const OpenDocument& doc, int page, bool inMemory, document::PageSink& view)
{
    document::loadPage(doc.path, doc.packing, doc.contents, page, inMemory, view);
}

int pageCount(const OpenDocument& doc)
{
    return static_cast<int>(doc.contents.size());
}

bool isPageRecord(const OpenDocument& doc, int page)
{
    return page >= 0 && page < pageCount(doc) && !doc.contents[static_cast<std::size_t>(page)].entryName.empty();
}

} // namespace leafscope
