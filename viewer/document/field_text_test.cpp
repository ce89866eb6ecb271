#include "viewer/document/field_text.h"

#include <gtest/gtest.h>

#include "viewer/document/test_support.h"

namespace document {
namespace {

TEST(FieldText, FieldAt)
{
    const struct {
        std::u16string text;
        std::int64_t k;
        std::u16string field;
    } cases[] = {
        {u"a||b", 1, u"a"},
        {u"a||b", 2, u""},
        {u"a||b", 3, u"b"},
        {u"a||b", 4, u""},
        {u"abc", 1, u"abc"},
        {u"abc", 2, u""},
        {u"abc", 0, u""},
        {u"abc", -1, u""},
        {u"x|", 2, u""},
        {u"|y", 1, u""},
        {u"|y", 2, u"y"},
        {u" a \r\n|b", 1, u" a \r\n"},
        {u"\uFEFFname|v", 1, u"\uFEFFname"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fieldAt(c.text, c.k), c.field) << "field " << c.k;
        const auto fields = splitFields(c.text);
        if (c.k >= 1 && static_cast<std::size_t>(c.k) <= fields.size()) {
            EXPECT_EQ(fields[static_cast<std::size_t>(c.k - 1)], c.field);
        }
    }
}

TEST(FieldText, ParseNumber)
{
    const struct {
        std::u16string text;
        std::int64_t value;
    } cases[] = {
        {u" $ff", 255}, {u"-5a", -5}, {u"%10", 2}, {u"\n12", 0}, {u"\r12", 0}, {u" \t 12", 12}, {u"+7", 7},
        {u"$FFFFFF", 16777215}, {u"-1", -1}, {u"", 0}, {u"-", 0}, {u"$", 0}, {u"%102", 2}, {u"12 34", 12}, {u"$fG", 15},
        {u"0x10", 0}, {u"- 5", 0}, {u"9223372036854775807", INT64_MAX}, {u"9223372036854775808", INT64_MIN},
        {u"18446744073709551617", 1}, {u"$FFFFFFFFFFFFFFFF", -1}, {u"-$80000000", -2147483648LL},
        {u"\uFF11", 0}, // a full-width digit is no digit
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseNumber(c.text), c.value);
}

TEST(FieldText, TextFromBuffer)
{
    using testing::Bytes;
    const struct {
        const char* what;
        Bytes buffer;
        std::u16string text;
    } cases[] = {
        {"runs to the end of the buffer", {'a', 0, 'b', 0}, u"ab"},
        {"stops at the first zero unit", {'a', 0, 0, 0, 'b', 0}, u"a"},
        {"a zero byte inside a unit is no end", {0, 1, 'b', 0}, u"\u0100b"},
        {"an odd last byte is no unit", {'a', 0, 'b'}, u"a"},
        {"a byte-order mark is kept", {0xFF, 0xFE, 'x', 0}, u"\uFEFFx"},
        {"empty buffer", {}, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldTextFromBuffer(c.buffer.data(), c.buffer.size()), c.text) << c.what;
}

} // namespace
} // namespace document
