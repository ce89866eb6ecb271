#include "viewer/document/text_utf.h"

#include <gtest/gtest.h>

namespace helpdoc {
namespace {

TEST(TextUtf, ConvertsBothWays)
{
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"plain", u"plain"},
        {"ő Ω Ж €", u"ő Ω Ж €"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8);
    }
}

TEST(TextUtf, MalformedInputBecomesReplacementCharacters)
{
    const struct {
        const char* what;
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"a lone continuation byte", "a\x80" "b", u"a\uFFFDb"},
        {"an overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"a sequence cut at the end", "x\xE2\x82", u"x\uFFFD\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.what;
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t{0xD800}) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
}

} // namespace
} // namespace helpdoc
