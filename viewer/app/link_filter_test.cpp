#include "viewer/app/link_filter.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkFilter, PassesOnlyWebAndMailAddresses)
{
    struct Row {
        std::u16string text;
        std::u16string expected;
    };
    // clang-format off
    const Row rows[] = {
        {u"https://www.orvanix.example/help", u"https://www.orvanix.example/help"},
        {u"http://orvanix.example", u"http://orvanix.example"},
        {u"HTTPS://ORVANIX.EXAMPLE", u"HTTPS://ORVANIX.EXAMPLE"},
        {u"mailto:help@orvanix.example", u"mailto:help@orvanix.example"},
        {u"www.orvanix.example", u"https://www.orvanix.example"},
        {u"orvanix.example/manual/index.html", u"https://orvanix.example/manual/index.html"},
        {u"orvanix.example:8080", u"https://orvanix.example:8080"},
        {u"", u""},
        {u"file:///etc/passwd", u""},
        {u"javascript:alert(1)", u""},
        {u"/usr/share/applications/evil.desktop", u""},
        {u"../manual.help", u""},
        {u"evil.desktop", u"https://evil.desktop"}, // a host name, opened only as a web address
        {u"localhost", u""},
        {u"smb://server/share", u""},
        {u"ftp://orvanix.example", u""},
        {u"https://", u""},
        {u"http:", u""},
        {u" https://orvanix.example", u""},
        {u"https://orvanix.example\nfile:///x", u""},
        {u".orvanix.example", u""},
        {u"orvanix..example", u""},
        {u"-orvanix.example", u""},
        {u"C:\\Windows\\calc.exe", u""},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(leafscope::safeLinkAddress(row.text), row.expected) << std::string(row.text.begin(), row.text.end());
    }
}

} // namespace
