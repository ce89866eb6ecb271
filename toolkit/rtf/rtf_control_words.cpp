#include "toolkit/rtf/rtf_control_words.h"

#include <algorithm>
#include <array>

namespace rtf {
namespace {

constexpr std::int32_t arg(auto value) { return static_cast<std::int32_t>(value); }

constexpr ControlWord kUnsorted[] = {
    // Destinations read in their own way.
    {"fonttbl", Op::DestFontTable, 0},
    {"colortbl", Op::DestColorTable, 0},
    {"stylesheet", Op::DestStyleSheet, 0},
    {"pict", Op::DestPicture, 0},
    {"field", Op::DestField, 0},
    {"fldinst", Op::DestFieldInstruction, 0},
    {"fldrslt", Op::DestFieldResult, 0},
    // Groups whose own text is not shown but whose result groups are.
    {"object", Op::DestContainer, 0},
    {"shppict", Op::DestContainer, 0},
    {"shp", Op::DestContainer, 0},
    {"upr", Op::DestContainer, 0},
    {"result", Op::DestResume, 0},
    {"ud", Op::DestResume, 0},
    {"shprslt", Op::DestResume, 0},
    {"nesttableprops", Op::DestNestTableProps, 0},
    {"listtext", Op::DestListText, 0},
    {"pntext", Op::DestListText, 0},
    // Destinations that are never shown.
    {"annotation", Op::DestSkip, 0}, {"atnauthor", Op::DestSkip, 0}, {"atndate", Op::DestSkip, 0},
    {"atnid", Op::DestSkip, 0}, {"atnparent", Op::DestSkip, 0}, {"atnref", Op::DestSkip, 0},
    {"atntime", Op::DestSkip, 0}, {"atrfend", Op::DestSkip, 0}, {"atrfstart", Op::DestSkip, 0},
    {"author", Op::DestSkip, 0}, {"bkmkend", Op::DestSkip, 0}, {"bkmkstart", Op::DestSkip, 0},
    {"buptim", Op::DestSkip, 0}, {"comment", Op::DestSkip, 0}, {"company", Op::DestSkip, 0},
    {"creatim", Op::DestSkip, 0}, {"datafield", Op::DestSkip, 0}, {"do", Op::DestSkip, 0},
    {"doccomm", Op::DestSkip, 0}, {"docvar", Op::DestSkip, 0}, {"falt", Op::DestSkip, 0},
    {"ffdeftext", Op::DestSkip, 0}, {"ffformat", Op::DestSkip, 0}, {"ffhelptext", Op::DestSkip, 0},
    {"ffname", Op::DestSkip, 0}, {"ffstattext", Op::DestSkip, 0}, {"file", Op::DestSkip, 0},
    {"filetbl", Op::DestSkip, 0}, {"footer", Op::DestSkip, 0}, {"footerf", Op::DestSkip, 0},
    {"footerl", Op::DestSkip, 0}, {"footerr", Op::DestSkip, 0}, {"footnote", Op::DestSkip, 0},
    {"formfield", Op::DestSkip, 0}, {"ftncn", Op::DestSkip, 0}, {"ftnsep", Op::DestSkip, 0},
    {"ftnsepc", Op::DestSkip, 0}, {"generator", Op::DestSkip, 0}, {"header", Op::DestSkip, 0},
    {"headerf", Op::DestSkip, 0}, {"headerl", Op::DestSkip, 0}, {"headerr", Op::DestSkip, 0},
    {"info", Op::DestSkip, 0}, {"keywords", Op::DestSkip, 0}, {"latentstyles", Op::DestSkip, 0},
    {"levelnumbers", Op::DestSkip, 0}, {"leveltext", Op::DestSkip, 0}, {"listoverridetable", Op::DestSkip, 0},
    {"listtable", Op::DestSkip, 0}, {"manager", Op::DestSkip, 0}, {"nonesttables", Op::DestSkip, 0},
    {"nonshppict", Op::DestSkip, 0}, {"objalias", Op::DestSkip, 0}, {"objclass", Op::DestSkip, 0},
    {"objdata", Op::DestSkip, 0}, {"objname", Op::DestSkip, 0}, {"objsect", Op::DestSkip, 0},
    {"objtime", Op::DestSkip, 0}, {"operator", Op::DestSkip, 0}, {"panose", Op::DestSkip, 0},
    {"pgdsctbl", Op::DestSkip, 0}, {"pn", Op::DestSkip, 0}, {"pnseclvl", Op::DestSkip, 0},
    {"pntxta", Op::DestSkip, 0}, {"pntxtb", Op::DestSkip, 0}, {"printim", Op::DestSkip, 0},
    {"private", Op::DestSkip, 0}, {"revtbl", Op::DestSkip, 0}, {"revtim", Op::DestSkip, 0},
    {"rsidtbl", Op::DestSkip, 0}, {"shpinst", Op::DestSkip, 0}, {"subject", Op::DestSkip, 0},
    {"tc", Op::DestSkip, 0}, {"tcn", Op::DestSkip, 0}, {"template", Op::DestSkip, 0},
    {"themedata", Op::DestSkip, 0}, {"title", Op::DestSkip, 0}, {"txe", Op::DestSkip, 0},
    {"userprops", Op::DestSkip, 0}, {"xe", Op::DestSkip, 0}, {"xmlnstbl", Op::DestSkip, 0},

    {"rtf", Op::Rtf, 0},
    {"urtf", Op::DocumentCodePage, 65001},
    {"ansi", Op::DocumentCodePage, 1252},
    {"mac", Op::DocumentCodePage, 10000},
    {"pc", Op::DocumentCodePage, 437},
    {"pca", Op::DocumentCodePage, 850},
    {"ansicpg", Op::AnsiCodePage, 0},
    {"deff", Op::DefaultFont, 0},
    {"f", Op::Font, 0},
    {"fnil", Op::FontFamily, arg(FontFamily::Any)},
    {"froman", Op::FontFamily, arg(FontFamily::Roman)},
    {"fswiss", Op::FontFamily, arg(FontFamily::Swiss)},
    {"fmodern", Op::FontFamily, arg(FontFamily::Modern)},
    {"fscript", Op::FontFamily, arg(FontFamily::Script)},
    {"fdecor", Op::FontFamily, arg(FontFamily::Decorative)},
    {"ftech", Op::FontFamily, arg(FontFamily::Technical)},
    {"fbidi", Op::FontFamily, arg(FontFamily::Any)},
    {"fcharset", Op::FontCharset, 0},
    {"cpg", Op::FontCodePage, 0},
    {"red", Op::ColorComponent, 0},
    {"green", Op::ColorComponent, 1},
    {"blue", Op::ColorComponent, 2},

    {"plain", Op::Plain, 0},
    {"b", Op::Bold, 0},
    {"i", Op::Italic, 0},
    {"ul", Op::Underline, 0}, {"uld", Op::Underline, 0}, {"uldash", Op::Underline, 0},
    {"uldashd", Op::Underline, 0}, {"uldashdd", Op::Underline, 0}, {"uldb", Op::Underline, 0},
    {"ulhwave", Op::Underline, 0}, {"ulldash", Op::Underline, 0}, {"ulth", Op::Underline, 0},
    {"ulthd", Op::Underline, 0}, {"ulthdash", Op::Underline, 0}, {"ulthdashd", Op::Underline, 0},
    {"ulthdashdd", Op::Underline, 0}, {"ulthldash", Op::Underline, 0}, {"ululdbwave", Op::Underline, 0},
    {"ulw", Op::Underline, 0}, {"ulwave", Op::Underline, 0},
    {"ulnone", Op::UnderlineNone, 0},
    {"strike", Op::Strike, 0}, {"striked", Op::Strike, 0},
    {"fs", Op::FontSize, 0},
    {"cf", Op::Foreground, 0},
    {"cb", Op::Background, 0}, {"chcbpat", Op::Background, 0},
    {"highlight", Op::Highlight, 0},
    {"super", Op::VerticalAlign, arg(VerticalPosition::Super)},
    {"sub", Op::VerticalAlign, arg(VerticalPosition::Sub)},
    {"nosupersub", Op::VerticalAlign, arg(VerticalPosition::Baseline)},
    {"up", Op::Raise, 0},
    {"dn", Op::Lower, 0},
    {"v", Op::Hidden, 0},
    {"caps", Op::Caps, 0},
    {"scaps", Op::SmallCaps, 0},
    {"uc", Op::UnicodeSkip, 0},
    {"u", Op::Unicode, 0},

    {"pard", Op::Pard, 0},
    {"par", Op::Par, 0}, {"sect", Op::Par, 0}, {"page", Op::Par, 0}, {"column", Op::Par, 0},
    {"line", Op::Line, 0},
    {"tab", Op::Tab, 0},
    {"bullet", Op::Char, 0x2022}, {"emdash", Op::Char, 0x2014}, {"endash", Op::Char, 0x2013},
    {"emspace", Op::Char, 0x2003}, {"enspace", Op::Char, 0x2002}, {"qmspace", Op::Char, 0x2005},
    {"lquote", Op::Char, 0x2018}, {"rquote", Op::Char, 0x2019}, {"ldblquote", Op::Char, 0x201C},
    {"rdblquote", Op::Char, 0x201D}, {"zwj", Op::Char, 0x200D}, {"zwnj", Op::Char, 0x200C},
    {"zwbo", Op::Char, 0x200B}, {"ltrmark", Op::Char, 0x200E}, {"rtlmark", Op::Char, 0x200F},
    {"ql", Op::Align, arg(Alignment::Left)},
    {"qc", Op::Align, arg(Alignment::Center)},
    {"qr", Op::Align, arg(Alignment::Right)},
    {"qj", Op::Align, arg(Alignment::Justify)},
    {"qd", Op::Align, arg(Alignment::Justify)},
    {"li", Op::LeftIndent, 0}, {"lin", Op::LeftIndent, 0},
    {"ri", Op::RightIndent, 0}, {"rin", Op::RightIndent, 0},
    {"fi", Op::FirstIndent, 0},
    {"sb", Op::SpaceBefore, 0},
    {"sa", Op::SpaceAfter, 0},
    {"sl", Op::LineSpacing, 0},
    {"slmult", Op::LineMultiple, 0},
    {"tx", Op::TabStop, 0},
    {"tqc", Op::TabKind, arg(TabAlignment::Center)},
    {"tqr", Op::TabKind, arg(TabAlignment::Right)},
    {"tqdec", Op::TabKind, arg(TabAlignment::Decimal)},
    {"intbl", Op::InTable, 0},
    {"itap", Op::NestLevel, 0},

    {"trowd", Op::RowDefaults, 0},
    {"cellx", Op::CellRight, 0},
    {"cell", Op::Cell, 0},
    {"row", Op::Row, 0},
    {"nestcell", Op::NestCell, 0},
    {"nestrow", Op::NestRow, 0},
    {"trgaph", Op::RowGap, 0},
    {"trleft", Op::RowLeft, 0},
    {"clbrdrt", Op::CellBorder, arg(Side::Top)},
    {"clbrdrl", Op::CellBorder, arg(Side::Left)},
    {"clbrdrb", Op::CellBorder, arg(Side::Bottom)},
    {"clbrdrr", Op::CellBorder, arg(Side::Right)},
    {"trbrdrt", Op::RowBorder, arg(Side::Top)},
    {"trbrdrl", Op::RowBorder, arg(Side::Left)},
    {"trbrdrb", Op::RowBorder, arg(Side::Bottom)},
    {"trbrdrr", Op::RowBorder, arg(Side::Right)},
    {"trbrdrh", Op::RowBorder, arg(Side::Horizontal)},
    {"trbrdrv", Op::RowBorder, arg(Side::Vertical)},
    {"brdrt", Op::ParagraphBorder, 0}, {"brdrb", Op::ParagraphBorder, 0}, {"brdrl", Op::ParagraphBorder, 0},
    {"brdrr", Op::ParagraphBorder, 0}, {"box", Op::ParagraphBorder, 0},
    {"brdrw", Op::BorderWidth, 0},
    {"brdrs", Op::BorderStyle, 1}, {"brdrth", Op::BorderStyle, 1}, {"brdrdb", Op::BorderStyle, 1},
    {"brdrdot", Op::BorderStyle, 1}, {"brdrdash", Op::BorderStyle, 1}, {"brdrhair", Op::BorderStyle, 1},
    {"brdrsh", Op::BorderStyle, 1}, {"brdrdashsm", Op::BorderStyle, 1}, {"brdrdashd", Op::BorderStyle, 1},
    {"brdrdashdd", Op::BorderStyle, 1}, {"brdrtriple", Op::BorderStyle, 1}, {"brdrinset", Op::BorderStyle, 1},
    {"brdroutset", Op::BorderStyle, 1}, {"brdrengrave", Op::BorderStyle, 1}, {"brdremboss", Op::BorderStyle, 1},
    {"brdrwavy", Op::BorderStyle, 1}, {"brdrdashdotstr", Op::BorderStyle, 1},
    {"brdrnone", Op::BorderStyle, 0}, {"brdrnil", Op::BorderStyle, 0}, {"brdrtbl", Op::BorderStyle, 0},
    {"brdrcf", Op::BorderColor, 0},
    {"clcbpat", Op::CellShading, 0},
    {"clmgf", Op::CellMergeFirst, 0},
    {"clmrg", Op::CellMerge, 0},
    {"clvmgf", Op::CellVerticalMergeFirst, 0},
    {"clvmrg", Op::CellVerticalMerge, 0},
    {"clvertalt", Op::CellVerticalAlign, 0},
    {"clvertalc", Op::CellVerticalAlign, 1},
    {"clvertalb", Op::CellVerticalAlign, 2},

    {"pngblip", Op::PictureKind, arg(PictureFormat::Png)},
    {"jpegblip", Op::PictureKind, arg(PictureFormat::Jpeg)},
    {"emfblip", Op::PictureKind, arg(PictureFormat::Emf)},
    {"wmetafile", Op::PictureKind, arg(PictureFormat::Wmf)},
    {"dibitmap", Op::PictureKind, arg(PictureFormat::Dib)},
    {"wbitmap", Op::PictureKind, arg(PictureFormat::Ddb)},
    {"macpict", Op::PictureKind, arg(PictureFormat::MacPict)},
    {"pmmetafile", Op::PictureKind, arg(PictureFormat::Os2Metafile)},
    {"picw", Op::PictureWidth, 0},
    {"pich", Op::PictureHeight, 0},
    {"picwgoal", Op::PictureGoalWidth, 0},
    {"pichgoal", Op::PictureGoalHeight, 0},
    {"picscalex", Op::PictureScaleX, 0},
    {"picscaley", Op::PictureScaleY, 0},
};

constexpr auto kWords = [] {
    std::array<ControlWord, std::size(kUnsorted)> words{};
    std::copy(std::begin(kUnsorted), std::end(kUnsorted), words.begin());
    std::sort(words.begin(), words.end(), [](const ControlWord& a, const ControlWord& b) { return a.name < b.name; });
    return words;
}();

static_assert(std::adjacent_find(kWords.begin(), kWords.end(), [](const ControlWord& a, const ControlWord& b) {
                  return a.name == b.name;
              }) == kWords.end(),
              "a control word is registered twice");

} // namespace

const ControlWord* findControlWord(std::string_view name)
{
    const auto found = std::lower_bound(kWords.begin(), kWords.end(), name,
                                        [](const ControlWord& word, std::string_view key) { return word.name < key; });
    if (found == kWords.end() || found->name != name)
        return nullptr;
    return &*found;
}

} // namespace rtf
