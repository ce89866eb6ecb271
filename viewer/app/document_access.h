#pragma once
// The open help document as the viewer sees it: everything the viewer asks of
// the document readers goes through these few functions.

#include <cstdint>
#include <string>

#include "viewer/document/contents.h"
#include "viewer/document/document_properties.h"
#include "viewer/document/packing.h"
#include "viewer/document/page_loading.h"

namespace leafscope {

struct OpenDocument {
    std::string path; // file-system bytes of the document's path; empty while none
    document::PackingKind packing = document::PackingKind::None;
    document::DocumentProperties properties;
    document::ContentsList contents;
};

// Opens the document at `path`: its packing, then its properties and its
// contents. False (and `doc` unchanged) when the packing is None.
bool openDocument(OpenDocument& doc, const std::string& path);

// Reads every page into memory (in-memory mode).
void preloadDocumentPages(OpenDocument& doc);

// Shows page `page` in `view`; nothing for a page without a record or a heading.
void loadDocumentPage(const OpenDocument& doc, int page, bool inMemory, document::PageSink& view);

int pageCount(const OpenDocument& doc);

// True when `page` is a record of the contents whose entry names a page (not a heading).
bool isPageRecord(const OpenDocument& doc, int page);

} // namespace leafscope
