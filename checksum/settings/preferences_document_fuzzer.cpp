// libFuzzer entry point for the preferences reader: any bytes must parse,
// read, walk and rewrite without a crash, a hang or a leak, and the written
// form of what was read must be stable (reading it back and writing it again
// gives the same bytes).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "checksum/settings/languages.h"
#include "checksum/settings/preferences_document.h"
#include "checksum/settings/text_table.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    settings::PreferencesDocument document;
    document.openBytes(bytes);

    // Everything a language load and a preferences read do.
    settings::TextTable table;
    settings::mergeLanguageTexts(document, table);
    document.selectGroup(u"General");
    document.readInteger(u"CRC32", 0);
    document.selectGroup(u"Language");
    document.readText(u"Language", u"");

    const std::string written = document.toBytes();
    settings::PreferencesDocument reread;
    reread.openBytes(written);
    if (reread.toBytes() != written)
        std::abort();

    // Names taken from the input itself reach the case-insensitive matching.
    const std::u16string name = platform::latin1ToUtf16(bytes.substr(0, 16));
    document.selectGroup(name);
    document.readText(name, u"");
    document.writeText(name, name);
    document.addComment(name);
    document.writeInteger(u"k", static_cast<std::int32_t>(size));
    document.toBytes();
    return 0;
}
