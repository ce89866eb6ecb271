#include "viewer/app/document_access.h"

namespace leafscope {

int pageCount(const document::HelpDocument& doc)
{
    return static_cast<int>(doc.contents().size());
}

bool isPageRecord(const document::HelpDocument& doc, int page)
{
    return page >= 0 && page < pageCount(doc) && !doc.contents()[static_cast<std::size_t>(page)].entryName.empty();
}

} // namespace leafscope
