#include "viewer/document/document_properties.h"

#include <memory>
#include <new>
#include <vector>

#include "viewer/document/field_text.h"

namespace document {
namespace {

std::int32_t low32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

} // namespace

void decodeProperties(std::u16string_view fieldText, DocumentProperties& properties)
{
    const std::vector<std::u16string_view> fields = splitFields(fieldText);
    auto text = [&](std::size_t n) { return n <= fields.size() ? std::u16string(fields[n - 1]) : std::u16string(); };
    auto number = [&](std::size_t n) { return n <= fields.size() ? low32(parseNumber(fields[n - 1])) : 0; };
    properties.softwareName = text(1);
    properties.softwareVersion = text(2);
    properties.helpName = text(3);
    properties.helpVersion = text(4);
    properties.language = text(5);
    properties.date = text(6);
    properties.tool = text(7);
    properties.publisher = text(8);
    properties.copyright = text(9);
    properties.email = text(10);
    properties.website = text(11);
    properties.pageBackColor = number(12);
    properties.leftMargin = number(13);
    properties.rightMargin = number(14);
    properties.homePage = number(15);
}

void readProperties(const std::string& path, PackingKind kind, DocumentProperties& properties)
{
    if (!openPack(path, kind))
        return;
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kPropertiesCapacity]());
    if (buffer != nullptr) {
        const std::int32_t count = readEntry(u"properties", buffer.get(), kPropertiesCapacity);
        if (count != 0)
            decodeProperties(fieldTextFromBuffer(buffer.get(), kPropertiesCapacity), properties);
    }
    closePack();
}

} // namespace document
