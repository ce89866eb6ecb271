// libFuzzer entry point for the language archive walk: any bytes given as a
// ZIP archive must be walked without a crash, a hang or a leak.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "checksum/settings/language_container.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    settings::forEachLanguageFileInArchiveBytes(
        bytes, [](std::u16string_view, settings::PreferencesDocument& document) {
            document.selectGroup(u"LANGUAGE FILE");
            document.readText(u"tLangFileNAME", u"");
        });
    return 0;
}
