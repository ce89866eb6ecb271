#pragma once
// What the viewer asks of its one open help document beyond the handle itself.

#include "viewer/document/help_document.h"

namespace leafscope {

int pageCount(const document::HelpDocument& doc);

// True when `page` is a record of the contents whose entry names a page (not a heading).
bool isPageRecord(const document::HelpDocument& doc, int page);

} // namespace leafscope
