#include <gtest/gtest.h>

#include "toolkit/rtf/rtf_fields.h"

namespace rtf {
namespace {

TEST(RtfFields, HyperlinkTargets)
{
    struct Case {
        const char16_t* instruction;
        const char16_t* target;
    };
    const Case cases[] = {
        {u"HYPERLINK \"http://example.com/a\"", u"http://example.com/a"},
        {u" hyperlink  \"mailto:x@example.com\" ", u"mailto:x@example.com"},
        {u"HYPERLINK http://bare.example/", u"http://bare.example/"},
        {u"HYPERLINK \\l \"intro\"", u"#intro"},
        {u"HYPERLINK \"page.rtf\" \\l \"part2\"", u"page.rtf#part2"},
        {u"HYPERLINK \"http://x/\" \\o \"Tip text\" \\t \"_blank\"", u"http://x/"},
        {u"HYPERLINK \\o \"tip\" \"http://after-switch/\"", u"http://after-switch/"},
        {u"HYPERLINK \"C:\\\\dir\\\\file.txt\"", u"C:\\dir\\file.txt"},
        {u"HYPERLINK \"unterminated", u"unterminated"},
        {u"HYPERLINK", u""},
        {u"HYPERLINK \\l", u""},
        {u"PAGE \\* MERGEFORMAT", u""},
        {u"INCLUDEPICTURE \"x.png\"", u""},
        {u"HYPERLINKS \"x\"", u""},
        {u"", u""},
    };
    for (const Case& c : cases) {
        const QString instruction = QString::fromUtf16(c.instruction);
        EXPECT_EQ(fieldLinkTarget(instruction), QString::fromUtf16(c.target)) << instruction.toStdString();
    }
}

} // namespace
} // namespace rtf
