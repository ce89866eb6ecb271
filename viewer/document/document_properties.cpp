#include "viewer/document/document_properties.h"

#include <vector>

#include "viewer/document/field_text.h"

namespace document {
namespace {

constexpr int kPropertyFields = 15;

std::int32_t low32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// UTF-16 field text has an even length and at least one separator; anything
// else (8-bit text, a picture, a page) is no properties entry.
bool isFieldText(const std::vector<std::uint8_t>& bytes, std::u16string_view text)
{
    return bytes.size() % 2 == 0 && text.find(u'|') != std::u16string_view::npos;
}

} // namespace

void decodeProperties(std::u16string_view fieldText, DocumentProperties& properties)
{
    // Only the first fifteen fields count, so a long entry is not split whole.
    std::u16string_view fields[kPropertyFields];
    FieldCursor cursor{fieldText};
    for (std::u16string_view& field : fields) {
        if (!nextField(cursor, field))
            break;
    }
    auto text = [&](int n) { return std::u16string(fields[n - 1]); };
    auto number = [&](int n) { return low32(parseNumber(fields[n - 1])); };
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
    std::vector<std::uint8_t> bytes;
    const std::int32_t count = readWholeEntry(u"properties", bytes);
    closePack();
    if (count == 0)
        return;
    const std::u16string text = fieldTextFromBuffer(bytes.data(), bytes.size());
    if (count < 0 || !isFieldText(bytes, text))
        properties = DocumentProperties{};
    else
        decodeProperties(text, properties);
}

} // namespace document
