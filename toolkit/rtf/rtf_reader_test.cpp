#include <gtest/gtest.h>

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextOption>

#include "toolkit/rtf/rtf_reader.h"
#include "toolkit/rtf/rtf_test_support.h"

namespace rtf {
namespace {

using test::blockFormatAt;
using test::charFormatAt;
using test::read;
using test::textOf;

QString u16(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// The document header most cases share: font 0 Arial (ANSI), font 1 Symbol, font 2 a Cyrillic
// font, font 3 a Japanese one; colours 1 red, 2 green, 3 blue.
std::string doc(std::string_view body)
{
    return std::string("{\\rtf1\\ansi\\ansicpg1252\\deff0"
                       "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset2 Symbol;}"
                       "{\\f2\\fnil\\fcharset204 Courier Cyr;}{\\f3\\fnil\\fcharset128 MS Mincho;}}"
                       "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}") +
        std::string(body) + "}";
}

TEST(RtfReader, TextAndEscapes)
{
    struct Case {
        std::string body;
        const char16_t* text;
    };
    const Case cases[] = {
        {"Hello world", u"Hello world"},
        {"a\\par b\\par", u"a\nb"},
        {"a\\line b", u"a\nb"},
        {"a\\tab b\tc", u"a\tb\tc"},
        {"x\\page y\\sect z", u"x\ny\nz"},
        {"\\{\\}\\\\", u"{}\\"},
        {"a\\~b\\-c\\_d", u"a\u00A0b\u00ADc\u2011d"},
        {"\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote", u"—–•‘’“”"},
        {"caf\\'e9", u"café"},
        // Line ends in the source are not text.
        {"one\r\ntwo", u"onetwo"},
        // Unknown words are ignored, their parameter and delimiter with them.
        {"a\\unknownword123 b", u"ab"},
        {"\\*\\x a", u"a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(doc(c.body)), u16(c.text)) << c.body;
}

TEST(RtfReader, UnicodeAndFallbackSkipping)
{
    struct Case {
        std::string body;
        const char16_t* text;
    };
    const Case cases[] = {
        {"\\u8364?x", u"€x"},
        {"\\u8364 ?x", u"€x"},
        // Negative values wrap to the upper half.
        {"\\u-3913?", u"\uF0B7"},
        {"\\u-10179?\\u-8704?", u"😀"},
        // \'hh counts as one fallback character.
        {"\\u8364\\'80x", u"€x"},
        {"\\uc2\\u26085\\'93\\'fax", u"日x"},
        {"\\uc2\\u26085 ab x", u"日 x"},
        {"\\uc0\\u8364 x", u"€x"},
        // A control word counts as one, and is not carried out.
        {"\\u8364\\par x", u"€x"},
        // A whole \bin is one.
        {"\\u8364\\bin3 abcx", u"€x"},
        // A brace ends the skipping.
        {"{\\u8364}x", u"€x"},
        {"\\uc3\\u8364{\\b y}", u"€y"},
        // \uc is kept per group.
        {"{\\uc3\\u8364abcd}\\u8364ef", u"€d€f"},
        {"\\uc2{\\uc0\\u8364 a}\\u8364 bcd", u"€a€d"},
        // Fallback text shorter than \uc: the next \u is counted as fallback and dropped.
        {"\\uc2\\u1040 x\\u1041 yz.", u"Аyz."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(doc(c.body)), u16(c.text)) << c.body;
}

TEST(RtfReader, CodePagesFollowTheFont)
{
    struct Case {
        std::string rtf;
        const char16_t* text;
    };
    const Case cases[] = {
        // The font's charset decides; \ansicpg is only the default.
        {doc("\\f2 \\'cf\\'f0\\'e8"), u"При"},
        {doc("\\f0 \\'cf\\f2 \\'cf"), u"ÏП"},
        {doc("{\\f2 \\'e0}\\'e0"), u"аà"},
        // Double-byte text decodes as one run across \'hh escapes.
        {doc("\\f3 \\'93\\'fa\\'96\\'7b"), u"日本"},
        // Trail bytes may be written as plain characters.
        {doc("\\f3 \\'95\\\\"), u"表"},
        // Symbol font bytes and private-use code points.
        {doc("\\f1 \\'b7 a\\u-3913?"), u"• α•"},
        // A document code page applies to fonts without charset and to text without font.
        {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Plain;}}\\f0 \\'c0}", u"А"},
        {"{\\rtf1\\ansi\\ansicpg1250 \\'b9}", u"ą"},
        {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 X;}}\\f0 \\'c0}", u"А"},
        // A font's own \cpg wins over its charset.
        {"{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1253 X;}}\\f0 \\'e1}", u"α"},
        // A font number that is not in the table uses the document code page.
        {"{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 X;}}\\f7 \\'c0}", u"А"},
        {"{\\urtf1 caf\xc3\xa9}", u"café"},
        {"{\\rtf1\\mac \\'8e}", u"é"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(c.rtf), u16(c.text)) << c.rtf;
}

TEST(RtfReader, DestinationsThatAreNotShown)
{
    struct Case {
        std::string body;
        const char16_t* text;
    };
    const Case cases[] = {
        {"{\\info{\\title T}{\\author A}}body", u"body"},
        {"{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}body", u"body"},
        {"{\\*\\generator Writer 1.0;}body", u"body"},
        {"{\\*\\unknowndest {nested {deeper}} text}body", u"body"},
        {"{\\header Head}{\\footer Foot}{\\headerl L}{\\footerr R}body", u"body"},
        {"{\\*\\bkmkstart b}body{\\*\\bkmkend b}", u"body"},
        {"a{\\v hidden}b", u"ab"},
        {"a\\v hidden\\v0 b", u"ab"},
        // \bin inside a skipped group still takes its bytes.
        {"{\\*\\x \\bin3 }}}}body", u"body"},
        {"{\\footnote note}body", u"body"},
        {"{\\*\\pn\\pnlvlblt{\\pntxtb \\'b7}}body", u"body"},
        // A \* group of a known destination is read.
        {"{\\*\\listtable{\\list X}}{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}", u"7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(doc(c.body)), u16(c.text)) << c.body;
}

TEST(RtfReader, CharacterFormats)
{
    const auto r = read(doc("\\fs20 plain {\\b bold}{\\i italic}{\\ul under}{\\uld dotted}{\\ul under\\ulnone off}"
                            "{\\b bold\\b0 unbold}{\\strike struck}{\\super sup}{\\sub sub}{\\super x\\nosupersub base}"
                            "{\\fs48 big}{\\fs999999999 huge}{\\cf1 red}{\\cf0 auto}{\\cf99 nocolor}{\\cb2 greenbg}"
                            "{\\highlight3 bluehl}{\\caps caps}{\\scaps small}{\\f1 \\'61}{\\f0 arial}{\\f77 missing}"
                            "{\\b\\i\\plain reset}{\\up6 raised}{\\dn6 lowered}"));
    const QTextDocument& d = *r.document;
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(charFormatAt(d, "plain").fontPointSize(), 10);
    EXPECT_EQ(charFormatAt(d, "plain").fontWeight(), QFont::Normal);
    EXPECT_EQ(charFormatAt(d, "bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(charFormatAt(d, "italic").fontItalic());
    EXPECT_TRUE(charFormatAt(d, "under").fontUnderline());
    EXPECT_TRUE(charFormatAt(d, "dotted").fontUnderline());
    EXPECT_FALSE(charFormatAt(d, "off").fontUnderline());
    EXPECT_EQ(charFormatAt(d, "unbold").fontWeight(), QFont::Normal);
    EXPECT_TRUE(charFormatAt(d, "struck").fontStrikeOut());
    EXPECT_EQ(charFormatAt(d, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(charFormatAt(d, "sub").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(charFormatAt(d, "base").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(charFormatAt(d, "big").fontPointSize(), 24);
    EXPECT_EQ(charFormatAt(d, "huge").fontPointSize(), 1638);
    EXPECT_EQ(charFormatAt(d, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(charFormatAt(d, "auto").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(charFormatAt(d, "nocolor").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(charFormatAt(d, "greenbg").background().color(), QColor(0, 128, 0));
    EXPECT_EQ(charFormatAt(d, "bluehl").background().color(), QColor(0, 0, 255));
    EXPECT_EQ(charFormatAt(d, "caps").fontCapitalization(), QFont::AllUppercase);
    EXPECT_EQ(charFormatAt(d, "small").fontCapitalization(), QFont::SmallCaps);
    EXPECT_EQ(charFormatAt(d, u16(u"α")).fontFamilies().toStringList(), QStringList{"Symbol"});
    EXPECT_EQ(charFormatAt(d, "arial").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(charFormatAt(d, "arial").fontStyleHint(), QFont::SansSerif);
    EXPECT_FALSE(charFormatAt(d, "missing").hasProperty(QTextFormat::FontFamilies));
    EXPECT_EQ(charFormatAt(d, "reset").fontWeight(), QFont::Normal);
    EXPECT_FALSE(charFormatAt(d, "reset").fontItalic());
    EXPECT_EQ(charFormatAt(d, "reset").fontPointSize(), 12);
    EXPECT_EQ(charFormatAt(d, "raised").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(charFormatAt(d, "lowered").verticalAlignment(), QTextCharFormat::AlignSubScript);
}

TEST(RtfReader, DefaultFontAppliesWithoutFontWord)
{
    const auto r = read("{\\rtf1\\deff1{\\fonttbl{\\f0 Zero;}{\\f1 One;}}text\\par\\plain\\f0 zero}");
    EXPECT_EQ(charFormatAt(*r.document, "text").fontFamilies().toStringList(), QStringList{"One"});
    EXPECT_EQ(charFormatAt(*r.document, "zero").fontFamilies().toStringList(), QStringList{"Zero"});
}

TEST(RtfReader, FontNamesDecodeInTheirFontsCodePage)
{
    struct Case {
        const char* font; // one font table entry, read under \ansicpg1252
        const char16_t* family;
    };
    const Case cases[] = {
        {"\\fcharset204 \\'cf\\'f0\\'e8;", u"При"},
        {"\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;", u"ＭＳ 明朝"},
        // A font's own \cpg wins over its charset.
        {"\\fcharset0\\cpg1253 \\'e1;", u"α"},
    };
    for (const Case& c : cases) {
        const std::string rtf = std::string("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0") + c.font + "}}\\f0 1}";
        EXPECT_EQ(charFormatAt(*read(rtf).document, "1").fontFamilies().toStringList(), QStringList{u16(c.family)})
            << rtf;
    }
}

TEST(RtfReader, ColorTableWithoutAutoEntry)
{
    // Entry 0 is a real colour here, so \cf0 uses it.
    const auto r = read("{\\rtf1{\\colortbl\\red1\\green2\\blue3;\\red4\\green5\\blue6;}\\cf0 a\\cf1 b\\cf2 c}");
    EXPECT_EQ(charFormatAt(*r.document, "a").foreground().color(), QColor(1, 2, 3));
    EXPECT_EQ(charFormatAt(*r.document, "b").foreground().color(), QColor(4, 5, 6));
    EXPECT_FALSE(charFormatAt(*r.document, "c").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, ParagraphFormats)
{
    const auto r = read(doc("\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj just\\par"
                            "\\pard\\li1440\\ri720\\fi-360\\sb240\\sa120 indented\\par"
                            "\\pard\\sl-480\\slmult0 exact\\par\\pard\\sl360\\slmult1 onehalf\\par"
                            "\\pard\\sl300\\slmult0 atleast\\par\\pard\\qc\\li720 reset\\pard plain\\par"
                            "\\pard\\tx1440\\tqr\\tx4320 tabs\\par\\pard\\keep\\keepn kept\\par"
                            "\\pard\\li720\\fi-360\\tx1440 hanging\\par\\pard\\li720\\tx360\\tx1440 inside\\par"));
    const QTextDocument& d = *r.document;
    EXPECT_EQ(blockFormatAt(d, "centre").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(blockFormatAt(d, "right").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight | Qt::AlignAbsolute);
    EXPECT_EQ(blockFormatAt(d, "just").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    const QTextBlockFormat indented = blockFormatAt(d, "indented");
    EXPECT_DOUBLE_EQ(indented.leftMargin(), 96);
    EXPECT_DOUBLE_EQ(indented.rightMargin(), 48);
    EXPECT_DOUBLE_EQ(indented.textIndent(), -24);
    EXPECT_DOUBLE_EQ(indented.topMargin(), 16);
    EXPECT_DOUBLE_EQ(indented.bottomMargin(), 8);
    EXPECT_EQ(blockFormatAt(d, "exact").lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_DOUBLE_EQ(blockFormatAt(d, "exact").lineHeight(), 32);
    EXPECT_EQ(blockFormatAt(d, "onehalf").lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(blockFormatAt(d, "onehalf").lineHeight(), 150);
    EXPECT_EQ(blockFormatAt(d, "atleast").lineHeightType(), QTextBlockFormat::MinimumHeight);
    EXPECT_DOUBLE_EQ(blockFormatAt(d, "atleast").lineHeight(), 20);
    // \pard resets alignment and indents for the paragraph it ends up in.
    EXPECT_EQ(blockFormatAt(d, "reset").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft | Qt::AlignAbsolute);
    EXPECT_DOUBLE_EQ(blockFormatAt(d, "reset").leftMargin(), 0);
    const QList<QTextOption::Tab> tabs = blockFormatAt(d, "tabs").tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 96);
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, 288);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
    // Tab stops count from the text's left edge; the layout counts from where the first line
    // starts. A hanging indent gets its implicit tab stop at the left indent.
    const QList<QTextOption::Tab> hanging = blockFormatAt(d, "hanging").tabPositions();
    ASSERT_EQ(hanging.size(), 2);
    EXPECT_DOUBLE_EQ(hanging[0].position, 24);
    EXPECT_DOUBLE_EQ(hanging[1].position, 72);
    // Stops left of the line start cannot be reached.
    const QList<QTextOption::Tab> inside = blockFormatAt(d, "inside").tabPositions();
    ASSERT_EQ(inside.size(), 1);
    EXPECT_DOUBLE_EQ(inside[0].position, 48);
    EXPECT_EQ(
        textOf(d), "centre\nright\njust\nindented\nexact\nonehalf\natleast\nresetplain\ntabs\nkept\nhanging\ninside");
}

TEST(RtfReader, DefaultTabDistance)
{
    QTextDocument document;
    const std::string narrow = "{\\rtf1\\deftab360 a\\tab b}";
    const std::string plain = "{\\rtf1 a\\tab b}";
    readRtf(std::span(reinterpret_cast<const std::uint8_t*>(narrow.data()), narrow.size()), document);
    EXPECT_DOUBLE_EQ(document.defaultTextOption().tabStopDistance(), 24);
    // The next page without \deftab has the default half inch again.
    readRtf(std::span(reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()), document);
    EXPECT_DOUBLE_EQ(document.defaultTextOption().tabStopDistance(), 48);
}

TEST(RtfReader, ListTextShownAsWritten)
{
    const auto r = read(doc("\\pard\\li720\\fi-360{\\pntext\\f1\\'b7\\tab}First\\par"
                            "{\\listtext\\pard\\plain 2.\\tab}Second\\par"
                            "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}{\\pntext 3.\\tab}Third\\par"));
    EXPECT_EQ(textOf(*r.document), u16(u"•\tFirst\n2.\tSecond\n3.\tThird"));
    EXPECT_DOUBLE_EQ(blockFormatAt(*r.document, "First").leftMargin(), 48);
    EXPECT_DOUBLE_EQ(blockFormatAt(*r.document, "First").textIndent(), -24);
}

TEST(RtfReader, ParagraphNumberingWhenTheListTextIsMissing)
{
    struct Case {
        const char* name;
        std::string body;
        const char16_t* text;
    };
    const std::string decimal = "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}";
    const std::string roman = "{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart1{\\pntxta )}}";
    const Case cases[] = {
        {"blank list text",
            "{\\listtext\\pard  \\tab}" + decimal + "One\\par{\\listtext\\pard  \\tab}" + decimal + "Two\\par",
            u"1. \tOne\n2. \tTwo"},
        {"no list text", "{" + decimal + "One\\par}{" + decimal + "Two\\par}", u"1.\tOne\n2.\tTwo"},
        {"written list text wins", "{\\pntext 7.\\tab}" + decimal + "One\\par", u"7.\tOne"},
        {"letters with text before and after", "{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart27{\\pntxtb (}{\\pntxta )}}x\\par",
            u"(AA)\tx"},
        {"roman numbers count on",
            "{" + roman + "a\\par}{" + roman + "b\\par}{" + roman + "c\\par}{" + roman + "d\\par}",
            u"i)\ta\nii)\tb\niii)\tc\niv)\td"},
        {"a plain paragraph restarts the count", "{" + decimal + "a\\par}plain\\par{" + decimal + "b\\par}",
            u"1.\ta\nplain\n1.\tb"},
        {"bullet from a symbol font", "{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}x\\par", u"•\tx"},
        {"pard ends numbering", "{" + decimal + "\\pard x\\par}", u"x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(doc(c.body)), u16(c.text)) << c.name;
}

TEST(RtfReader, HyperlinkFields)
{
    const auto r = read(doc("see {\\field{\\*\\fldinst{HYPERLINK \"http://example.com/\"}}{\\fldrslt{\\ul site}}} "
                            "and {\\field{\\*\\fldinst HYPERLINK \\\\l \"part2\"}{\\fldrslt here}} or "
                            "{\\field{\\*\\fldinst HYPERLINK \"x.html\"}{\\fldrslt\\cf1 red}} "
                            "{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} after"));
    const QTextDocument& d = *r.document;
    EXPECT_EQ(textOf(d), "see site and here or red 3 after");
    EXPECT_TRUE(charFormatAt(d, "site").isAnchor());
    EXPECT_EQ(charFormatAt(d, "site").anchorHref(), "http://example.com/");
    EXPECT_EQ(charFormatAt(d, "here").anchorHref(), "#part2");
    EXPECT_TRUE(charFormatAt(d, "here").fontUnderline());
    // A link keeps the colour its author gave it.
    EXPECT_EQ(charFormatAt(d, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(charFormatAt(d, "3").isAnchor());
    EXPECT_FALSE(charFormatAt(d, "after").isAnchor());
}

// A link the rule refuses is the page's own text: no anchor, no link colour or
// underline of its own, its target as the tool tip.
TEST(RtfReader, LinksTheRuleRefusesLookLikeText)
{
    const std::string rtf = doc("{\\field{\\*\\fldinst HYPERLINK \"http://ok/\"}{\\fldrslt good}} "
                                "{\\field{\\*\\fldinst HYPERLINK \"file:///x\"}{\\fldrslt plain}} "
                                "{\\field{\\*\\fldinst HYPERLINK \"file:///y\"}{\\fldrslt\\ul\\cf1 red}}");
    QTextDocument d;
    const rtf::LinkRule rule = [](QStringView target) { return target.startsWith(u"http:"); };
    ASSERT_TRUE(rtf::readRtf(std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()), d, rule));
    struct Row {
        const char* text;
        bool anchor;
        bool underline;
        QColor colour; // invalid: none set
        const char* toolTip;
    };
    const Row rows[] = {
        {"good", true, true, QColor(0, 0x66, 0xCC), ""}, {"plain", false, false, QColor(), "file:///x"},
        {"red", false, true, QColor(255, 0, 0), "file:///y"}, // what the page sets stays
    };
    for (const Row& row : rows) {
        const QTextCharFormat format = charFormatAt(d, row.text);
        EXPECT_EQ(format.isAnchor(), row.anchor) << row.text;
        EXPECT_EQ(format.anchorHref().isEmpty(), !row.anchor) << row.text;
        EXPECT_EQ(format.fontUnderline(), row.underline) << row.text;
        EXPECT_EQ(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor(), row.colour)
            << row.text;
        EXPECT_EQ(format.toolTip(), row.toolTip) << row.text;
    }
}

// A run too long for any line lets lines break anywhere; the text stays as written.
TEST(RtfReader, VeryLongRunsWrapAnywhere)
{
    const std::string word(1001, 'w');
    const std::string words = [] {
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += "word-word ";
        return text;
    }();
    struct Row {
        const char* name;
        std::string body;
        QTextOption::WrapMode wrap;
    };
    const Row rows[] = {
        {"a run of 1001", "x " + word + " y", QTextOption::WrapAnywhere},
        {"split by a paragraph", word.substr(0, 600) + "\\par " + word.substr(0, 600),
            QTextOption::WrapAtWordBoundaryOrAnywhere},
        {"a run of 1000 in a bold group", "{\\b " + word.substr(0, 500) + "}" + word.substr(0, 500),
            QTextOption::WrapAtWordBoundaryOrAnywhere},
        {"many short words", words, QTextOption::WrapAtWordBoundaryOrAnywhere},
    };
    for (const Row& row : rows) {
        const auto r = read(doc(row.body));
        EXPECT_EQ(r.document->defaultTextOption().wrapMode(), row.wrap) << row.name;
    }
    EXPECT_EQ(textOf(doc("x " + word + " y")), QString::fromStdString("x " + word + " y"));
}

TEST(RtfReader, NestedFieldsKeepInstructionTextOutOfThePage)
{
    const auto r = read(doc("{\\field{\\*\\fldinst HYPERLINK \"{\\field{\\*\\fldinst DOCPROPERTY x}"
                            "{\\fldrslt http://inner/}}\"}{\\fldrslt link}}"));
    EXPECT_EQ(textOf(*r.document), "link");
    EXPECT_EQ(charFormatAt(*r.document, "link").anchorHref(), "http://inner/");
}

TEST(RtfReader, EmptyAndPlainTextInput)
{
    auto empty = read("");
    EXPECT_TRUE(empty.complete);
    EXPECT_TRUE(empty.document->isEmpty());

    struct Case {
        std::string_view bytes;
        const char16_t* text;
    };
    const Case cases[] = {
        {"just text\r\nsecond", u"just text\nsecond"},
        {"caf\xc3\xa9", u"café"},
        {"caf\xe9", u"café"},
        {std::string_view("ab\0cd", 5), u"ab"},
        {std::string_view("\0\0\0", 3), u""},
    };
    for (const Case& c : cases) {
        const auto r = read(c.bytes);
        EXPECT_FALSE(r.complete);
        EXPECT_EQ(textOf(*r.document), u16(c.text));
    }
}

TEST(RtfReader, ReplacesPreviousContent)
{
    QTextDocument document;
    document.setPlainText("old");
    const std::string rtf = doc("new");
    EXPECT_TRUE(readRtf(std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()), document));
    EXPECT_EQ(document.toPlainText(), "new");
    EXPECT_FALSE(document.isUndoAvailable());
    EXPECT_TRUE(readRtf({}, document));
    EXPECT_TRUE(document.isEmpty());
}

TEST(RtfReader, TrailingBytesAfterTheDocumentAreIgnored)
{
    const std::string page = doc("page\\par") + std::string(100, '\0') + "junk}";
    const auto r = read(page);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(textOf(*r.document), "page");
    EXPECT_EQ(r.document->blockCount(), 1);
}

} // namespace
} // namespace rtf
