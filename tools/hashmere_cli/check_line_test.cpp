#include "tools/hashmere_cli/check_line.h"

#include <gtest/gtest.h>

namespace hashmere_cli {
namespace {

TEST(CheckLine, SpellingsOfOneEntry)
{
    struct Case {
        const char* line;
        const char* hex; // nullptr: not a check line
        const char* name;
        const char* tag;
    };
    const Case cases[] = {
        {"d41d8cd98f00b204e9800998ecf8427e  a.txt", "d41d8cd98f00b204e9800998ecf8427e", "a.txt", ""},
        {"d41d8cd98f00b204e9800998ecf8427e *a.txt", "d41d8cd98f00b204e9800998ecf8427e", "a.txt", ""},
        {"D41D8CD98F00B204E9800998ECF8427E  a.txt\r", "d41d8cd98f00b204e9800998ecf8427e", "a.txt", ""},
        {"d41d8cd98f00b204e9800998ecf8427e  name with  spaces ", "d41d8cd98f00b204e9800998ecf8427e",
            "name with  spaces ", ""},
        {"\\d41d8cd98f00b204e9800998ecf8427e  new\\nline\\\\x", "d41d8cd98f00b204e9800998ecf8427e", "new\nline\\x", ""},
        {"MD5 (a.txt) = d41d8cd98f00b204e9800998ecf8427e", "d41d8cd98f00b204e9800998ecf8427e", "a.txt", "MD5"},
        {"sha3-256 (odd) = name) = ab", "ab", "odd) = name", "SHA3-256"},
        {"", nullptr, nullptr, nullptr},
        {"# comment", nullptr, nullptr, nullptr},
        {"d41d8cd98f00b204e9800998ecf8427e", nullptr, nullptr, nullptr},
        {"d41d8cd98f00b204e9800998ecf8427e  ", nullptr, nullptr, nullptr},
        {"d41d8cd98f00b204e9800998ecf8427e a.txt", nullptr, nullptr, nullptr},
        {"xyz  a.txt", nullptr, nullptr, nullptr},
        {"abc  a.txt", nullptr, nullptr, nullptr}, // odd number of digits
        {"\\d41d8cd98f00b204e9800998ecf8427e  bad\\qescape", nullptr, nullptr, nullptr},
        {"MD5 (a.txt) = not-hex", nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<CheckLine> parsed = parseCheckLine(c.line);
        if (c.hex == nullptr) {
            EXPECT_FALSE(parsed.has_value()) << c.line;
            continue;
        }
        ASSERT_TRUE(parsed.has_value()) << c.line;
        EXPECT_EQ(parsed->expectedHex, c.hex) << c.line;
        EXPECT_EQ(parsed->fileName, c.name) << c.line;
        EXPECT_EQ(parsed->tag, c.tag) << c.line;
    }
}

} // namespace
} // namespace hashmere_cli
