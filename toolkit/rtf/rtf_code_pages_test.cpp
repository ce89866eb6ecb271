#include <gtest/gtest.h>

#include <string>

#include "toolkit/rtf/rtf_code_pages.h"

namespace rtf {
namespace {

QString decode(CodePageDecoder& decoder, int codePage, std::string_view bytes)
{
    QString out;
    decodeBytes(decoder, codePage, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), out);
    return out;
}

TEST(RtfCodePages, CharsetsMapToCodePages)
{
    struct Case {
        int charset;
        int codePage;
    };
    // clang-format off
    const Case cases[] = {
        {0, 1252},   {1, 1250},   {2, kSymbolCodePage}, {77, 10000}, {128, 932}, {129, 949},
        {134, 936},  {136, 950},  {161, 1253},          {162, 1254}, {163, 1258}, {177, 1255},
        {178, 1256}, {186, 1257}, {204, 1251},          {222, 874},  {238, 1250}, {99, 1250},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(codePageForCharset(c.charset, 1250), c.codePage) << c.charset;
}

TEST(RtfCodePages, DecodesWindowsCodePages)
{
    struct Case {
        int codePage;
        std::string_view bytes;
        const char16_t* text;
    };
    // clang-format off
    const Case cases[] = {
        {1252, "caf\xe9 \x80 \x93q\x94", u"café € “q”"},
        {1250, "\xb9\xe6\xea\xb3", u"ąćęł"},
        {1251, "\xcf\xf0\xe8\xe2\xe5\xf2", u"Привет"},
        {1253, "\xe1\xe2\xe3", u"αβγ"},
        {1254, "\xf0\xfe", u"ğş"},
        {1255, "\xf9\xec\xe5\xed", u"שלום"},
        {1256, "\xc7\xe1", u"ال"},
        {1257, "\xe0\xe8", u"ąč"},
        {1258, "\xe0", u"à"},
        {874, "\xa1\xa2", u"กข"},
        // Double-byte pages: pairs decode together, ASCII stays single.
        {932, "\x93\xfa\x96\x7b\x8c\xea A", u"日本語 A"},
        {936, "\xd6\xd0\xce\xc4", u"中文"},
        {949, "\xc7\xd1\xb1\xb9", u"한국"},
        {950, "\xa4\xa4\xa4\xe5", u"中文"},
        {kUtf8CodePage, "\xc3\xa9\xe2\x82\xac", u"é€"},
        // An unknown code page reads as 1252.
        {12345, "\xe9", u"é"},
    };
    // clang-format on
    CodePageDecoder decoder;
    for (const Case& c : cases)
        EXPECT_EQ(decode(decoder, c.codePage, c.bytes), QString::fromUtf16(c.text)) << c.codePage;
}

TEST(RtfCodePages, InvalidSequencesBecomeReplacementCharacters)
{
    CodePageDecoder decoder;
    // A lone lead byte at the end of a run, and an invalid pair in the middle.
    EXPECT_EQ(decode(decoder, 932, "A\x93"), QString::fromUtf16(u"A\uFFFD"));
    EXPECT_EQ(decode(decoder, 936, "\xff\xd6\xd0"), QString::fromUtf16(u"\uFFFD中"));
    EXPECT_EQ(decode(decoder, kUtf8CodePage, "a\xc3"), QString::fromUtf16(u"a\uFFFD"));
    // 0x81 is unassigned in 1252.
    EXPECT_EQ(decode(decoder, 1252, "\x81"), QString::fromUtf16(u"\uFFFD"));
}

TEST(RtfCodePages, SymbolFonts)
{
    CodePageDecoder decoder;
    EXPECT_EQ(decode(decoder, kSymbolCodePage, "abp\xb7\xae"), QString::fromUtf16(u"αβπ•→"));
    EXPECT_EQ(decode(decoder, kWingdingsCodePage, "\xa7\xd8"), QString::fromUtf16(u"▪➢"));
    EXPECT_EQ(symbolFontCharacter(kSymbolCodePage, 0x80), 0);
    EXPECT_TRUE(isMultiByteCodePage(950));
    EXPECT_FALSE(isMultiByteCodePage(1252));
}

} // namespace
} // namespace rtf
