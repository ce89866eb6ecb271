#include "platform/ascii.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Only ASCII letters fold and only space and tab are blanks: bytes of UTF-8
// letters, other white space and Unicode spaces pass through.
TEST(AsciiText, FoldsAndTrimsOnlyAscii)
{
    EXPECT_EQ(lowerAscii("SoftwareName ÉÖ [Z@`]"), "softwarename ÉÖ [z@`]");
    EXPECT_TRUE(equalsIgnoringAsciiCase("HomePage", "homepage"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("HomePage", "homepag"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("\xC3\x89", "\xC3\xA9")); // É, é

    struct Case {
        std::string_view text, start, end, both;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {" \t ", "", "", ""},
        {"\t a b \t", "a b \t", "\t a b", "a b"},
        {"\r\nkey\v", "\r\nkey\v", "\r\nkey\v", "\r\nkey\v"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimBlanksStart(c.text), c.start) << c.text;
        EXPECT_EQ(trimBlanksEnd(c.text), c.end) << c.text;
        EXPECT_EQ(trimBlanks(c.text), c.both) << c.text;
    }
    EXPECT_EQ(trimBlanks(std::u16string_view(u" \t*.help\u00A0 ")), u"*.help\u00A0");
}

} // namespace
} // namespace platform
