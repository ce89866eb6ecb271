#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Each row: UTF-8 bytes and the UTF-16 they decode to; malformed bytes turn
// into one U+FFFD each and decoding resumes at the next byte.
TEST(Utf8ToUtf16, DecodesAndReplacesMalformedBytes)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"empty", "", u""},
        {"ascii", "en_GB", u"en_GB"},
        {"two-byte letters", "\xC3\xA9 \xC5\x91 \xC5\xB1", u"é ő ű"},
        {"three-byte", "\xE2\x82\xAC", u"€"},
        {"four-byte becomes a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"embedded NUL is kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"byte-order mark is kept", "\xEF\xBB\xBFx", u"\uFEFFx"},
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"truncated sequence at the end", "a\xC3", u"a\uFFFD"},
        {"truncated sequence before ascii", "\xE2\x82z", u"\uFFFD\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"0xFF never occurs", "\xFF", u"\uFFFD"},
        {"latin-1 byte in utf-8 text", "caf\xE9", u"caf\uFFFD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8ToUtf16(c.bytes), c.text) << c.what;
}

TEST(Utf16ToUtf8, EncodesAndReplacesUnpairedSurrogates)
{
    EXPECT_EQ(utf16ToUtf8(u"Magyar ő ű"), "Magyar \xC5\x91 \xC5\xB1");
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xDC00), u'a'}),
        "\xEF\xBF\xBD"
        "a");
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xD800), u'x'}),
        "\xEF\xBF\xBD"
        "x");
    EXPECT_EQ(utf16ToUtf8(std::u16string(u"a\0\uFEFF", 3)), std::string("a\0\xEF\xBB\xBF", 5));
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)}),
        "\xEF\xBF\xBD\xF0\x90\x80\x80");
}

// Every code point survives UTF-16 -> UTF-8 -> UTF-16, surrogates excepted.
TEST(Utf16ToUtf8, RoundTripsEveryCodePoint)
{
    std::u16string all;
    for (char32_t c = 1; c <= 0x10FFFF; c += (c < 0x800 ? 1 : 97)) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        if (c < 0x10000) {
            all.push_back(static_cast<char16_t>(c));
        } else {
            all.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            all.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(all)), all);
}

TEST(Latin1, EveryByteIsItsOwnCodePoint)
{
    std::string bytes;
    std::u16string text;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
        text.push_back(static_cast<char16_t>(b));
    }
    EXPECT_EQ(latin1ToUtf16(bytes), text);
    EXPECT_EQ(latin1ToUtf8(bytes), utf16ToUtf8(text));
    EXPECT_EQ(latin1ToUtf8("\xE9"), "\xC3\xA9");
}

TEST(Paths, CarryUtf8Names)
{
    EXPECT_EQ(pathFromUtf16(u"/tmp/hu_HU.language").native(), "/tmp/hu_HU.language");
    EXPECT_EQ(pathFromUtf16(u"ő").native(), "\xC5\x91");
    EXPECT_EQ(pathToUtf16(std::filesystem::path("\xC5\xB1")), u"ű");
}

// File names are bytes: every byte string survives bytes -> text -> bytes,
// and bytes that are not UTF-8 show as U+FFFD only when displayed.
TEST(Paths, CarryAnyBytesWithoutLoss)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;
        std::u16string shown;
    };
    const Case cases[] = {
        {"utf-8", "/tmp/\xC5\x91.bin", u"/tmp/\u0151.bin", u"/tmp/\u0151.bin"},
        {"latin-1 e acute alone", "/tmp/\xE9", u"/tmp/\xDCE9", u"/tmp/\uFFFD"},
        {"latin-1 in a word", "caf\xE9.txt", u"caf\xDCE9.txt", u"caf\uFFFD.txt"},
        {"truncated sequence", "\xE2\x82z", u"\xDCE2\xDC82z", u"\uFFFD\uFFFDz"},
        {"encoded surrogate", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80", u"\uFFFD\uFFFD\uFFFD"},
        {"pair then escape", "\xF0\x9F\x98\x80\xFF", u"\U0001F600\xDCFF", u"\U0001F600\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(pathTextFromBytes(c.bytes), c.text);
        EXPECT_EQ(pathTextToBytes(c.text), c.bytes);
        EXPECT_EQ(pathFromUtf16(c.text).native(), c.bytes);
        EXPECT_EQ(pathToUtf16(std::filesystem::path(c.bytes)), c.text);
        EXPECT_EQ(displayPathText(c.text), c.shown);
    }
    // Every single byte and every pair of bytes round-trips.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(pathTextToBytes(pathTextFromBytes(bytes)), bytes) << a << " " << b;
        }
    }
    // Unpaired surrogates that no byte maps to cannot be names: U+FFFD.
    EXPECT_EQ(pathTextToBytes(std::u16string{char16_t(0xDC41), char16_t(0xD800)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
} // namespace platform
