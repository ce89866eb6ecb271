// Fuzzes field-text decoding, field splitting and parseNumber, and the UTF-8 /
// UTF-16 conversions of entry names.

#include <cstdint>
#include <string>

#include "platform/text.h"
#include "viewer/document/field_text.h"

using namespace document;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string text = fieldTextFromBuffer(data, size);
    const auto fields = splitFields(text);
    std::uint64_t sum = 0;
    for (std::size_t k = 1; k <= fields.size() && k <= 64; ++k) {
        if (fieldAt(text, static_cast<std::int64_t>(k)) != fields[k - 1])
            __builtin_trap();
        sum += static_cast<std::uint64_t>(parseNumber(fields[k - 1]));
    }
    if (!fieldAt(text, static_cast<std::int64_t>(fields.size()) + 1).empty())
        __builtin_trap();
    (void)sum;

    // A converted text converts back to itself.
    const std::string utf8 = platform::utf16ToUtf8(text);
    if (platform::utf16ToUtf8(platform::utf8ToUtf16(utf8)) != utf8)
        __builtin_trap();
    const std::u16string wide = platform::utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
    if (platform::utf8ToUtf16(platform::utf16ToUtf8(wide)) != wide)
        __builtin_trap();
    return 0;
}
