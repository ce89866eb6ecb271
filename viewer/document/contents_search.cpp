// Title search with full Unicode lower-casing, through Qt Core (QString only;
// nothing of Qt's GUI modules).

#include <QString>

#include "viewer/document/contents.h"

namespace document {
namespace {

QString lowerCase(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toLower();
}

} // namespace

std::int32_t findPageByTitle(const ContentsList& list, std::u16string_view title)
{
    const QString wanted = lowerCase(title);
    std::int32_t page = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (lowerCase(list[i].title) == wanted)
            page = static_cast<std::int32_t>(i);
    }
    return page;
}

} // namespace document
