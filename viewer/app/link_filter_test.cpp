#include "viewer/app/link_filter.h"

#include <gtest/gtest.h>

namespace {

using leafscope::LinkSource;

TEST(LinkFilter, PassesOnlyWebAndMailAddresses)
{
    struct Row {
        std::u16string text;
        std::u16string page;    // the address a page's link opens
        std::u16string website; // the address the Properties website line opens
    };
    // clang-format off
    const Row rows[] = {
        {u"https://www.orvanix.example/help", u"https://www.orvanix.example/help", u"https://www.orvanix.example/help"},
        {u"http://orvanix.example", u"http://orvanix.example", u"http://orvanix.example"},
        {u"HTTPS://ORVANIX.EXAMPLE", u"HTTPS://ORVANIX.EXAMPLE", u"HTTPS://ORVANIX.EXAMPLE"},
        {u"https://b\u00fccher.example/", u"https://b\u00fccher.example/", u"https://b\u00fccher.example/"},
        {u"mailto:help@orvanix.example", u"mailto:help@orvanix.example", u"mailto:help@orvanix.example"},
        {u"mailto:x@example.org?attach=/etc/passwd", u"mailto:x@example.org", u"mailto:x@example.org"},
        {u"MAILTO:x@example.org?Subject=Hi&attach=/etc/passwd&body=Text&cc=y@example.org&bcc=z@example.org",
            u"MAILTO:x@example.org?Subject=Hi&body=Text&cc=y@example.org",
            u"MAILTO:x@example.org?Subject=Hi&body=Text&cc=y@example.org"},
        {u"mailto:x@example.org?attachment=%2Fetc%2Fpasswd&%61ttach=/x&subject=Hi",
            u"mailto:x@example.org?subject=Hi", u"mailto:x@example.org?subject=Hi"},
        {u"mailto:?attach=/etc/passwd", u"", u""},
        // a bare host name is a website on the Properties line, a relative address in a page
        {u"www.orvanix.example", u"", u"https://www.orvanix.example"},
        {u"orvanix.example/manual/index.html", u"", u"https://orvanix.example/manual/index.html"},
        {u"orvanix.example:8080", u"", u"https://orvanix.example:8080"},
        {u"other.help", u"", u"https://other.help"},
        {u"index.html", u"", u"https://index.html"},
        {u"", u"", u""},
        {u"file:///etc/passwd", u"", u""},
        {u"javascript:alert(1)", u"", u""},
        {u"JavaScript:alert(1)", u"", u""},
        {u"data:text/html,<script>alert(1)</script>", u"", u""},
        {u"/usr/share/applications/evil.desktop", u"", u""},
        {u"../manual.help", u"", u""},
        {u"localhost", u"", u""},
        {u"smb://server/share", u"", u""},
        {u"ftp://orvanix.example", u"", u""},
        {u"https://", u"", u""},
        {u"http:", u"", u""},
        {u"C:\\Windows\\calc.exe", u"", u""},
        {u".orvanix.example", u"", u""},
        {u"orvanix..example", u"", u""},
        {u"-orvanix.example", u"", u""},
        // look-alike schemes: letters beyond ASCII that read as "https"
        {u"\u0127ttps://orvanix.example", u"", u""},
        {u"htt\u0440s://orvanix.example", u"", u""},
        {u"\uff48ttps://orvanix.example", u"", u""},
        {u"mail\u0074o\u0307:x@example.org", u"", u""},
        // blanks, control and invisible characters anywhere
        {u" https://orvanix.example", u"", u""},
        {u"https://a.example/x y", u"", u""},
        {u"https://a.example/x\u00a0y", u"", u""},
        {u"https://a.example/\u3000", u"", u""},
        {u"https://orvanix.example\nfile:///x", u"", u""},
        {u"https://orvanix.example\t", u"", u""},
        {u"https://orvanix.example\x7f", u"", u""},
        {u"https://orvanix.example\u0085", u"", u""},
        {u"https://orvanix.example/\u202egnp.exe", u"", u""},
        {u"https://orvanix\u200b.example", u"", u""},
        {u"https://orvanix.example\u2028", u"", u""},
        {u"mailto:x@example.org?subject=a b", u"", u""},
        {u"www.orvanix.example/x y", u"", u""},
    };
    // clang-format on
    for (const Row& row : rows) {
        const std::string label(row.text.begin(), row.text.end());
        EXPECT_EQ(leafscope::safeLinkAddress(row.text, LinkSource::Page), row.page) << label;
        EXPECT_EQ(leafscope::safeLinkAddress(row.text, LinkSource::Website), row.website) << label;
    }
}

// One decision for what a click does and for whether the link looks like one.
TEST(LinkFilter, PageLinksActOnlyOnPagesAndSafeAddresses)
{
    document::ContentsList contents(3);
    contents[0].title = u"Chapter"; // a heading: no page
    contents[1].entryName = u"a.rtf";
    contents[1].title = u"Installing";
    contents[2].entryName = u"b.rtf";
    contents[2].title = u"\u00c9rv\u00e9nyes";
    struct Row {
        std::u16string target;
        int page;
        std::u16string address;
    };
    // clang-format off
    const Row rows[] = {
        {u"#Installing", 1, u""},
        {u"#INSTALLING", 1, u""},
        {u"#\u00e9rv\u00e9nyes", 2, u""},
        {u"#Chapter", -1, u""},
        {u"#Nowhere", -1, u""},
        {u"#", -1, u""},
        {u"Installing", -1, u""},
        {u"other.help", -1, u""},
        {u"https://www.orvanix.example/", -1, u"https://www.orvanix.example/"},
        {u"mailto:x@example.org?attach=/etc/passwd", -1, u"mailto:x@example.org"},
        {u"file:///etc/passwd", -1, u""},
        {u"\u0127ttps://orvanix.example", -1, u""},
    };
    // clang-format on
    for (const Row& row : rows) {
        const std::string label(row.target.begin(), row.target.end());
        const leafscope::PageLinkAction action = leafscope::pageLinkAction(contents, row.target);
        EXPECT_EQ(action.page, row.page) << label;
        EXPECT_EQ(action.address, row.address) << label;
        EXPECT_EQ(leafscope::pageLinkActs(contents, row.target), row.page >= 0 || !row.address.empty()) << label;
    }
}

} // namespace
