#include "toolkit/rtf/rtf_formats.h"

#include <algorithm>

#include <QBrush>
#include <QFont>
#include <QTextOption>

namespace rtf {
namespace {

// Links with automatic colour are shown in this blue, as the system shows links.
constexpr QRgb kLinkColor = 0xFF0066CC;

QFont::StyleHint styleHint(FontFamily family)
{
    switch (family) {
    case FontFamily::Roman:
        return QFont::Serif;
    case FontFamily::Swiss:
        return QFont::SansSerif;
    case FontFamily::Modern:
        return QFont::TypeWriter;
    case FontFamily::Script:
        return QFont::Cursive;
    case FontFamily::Decorative:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

Qt::Alignment qtAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case Alignment::Justify:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

QTextOption::TabType qtTabType(TabAlignment alignment)
{
    switch (alignment) {
    case TabAlignment::Center:
        return QTextOption::CenterTab;
    case TabAlignment::Right:
        return QTextOption::RightTab;
    case TabAlignment::Decimal:
        return QTextOption::DelimiterTab;
    default:
        return QTextOption::LeftTab;
    }
}

} // namespace

std::size_t CharPropsHash::operator()(const CharProps& p) const
{
    std::size_t h = static_cast<std::uint32_t>(p.font);
    for (const std::int32_t v :
        {p.halfPoints, p.foreground, p.background, p.highlight, p.link, static_cast<std::int32_t>(p.vertical)})
        h = h * 1000003u ^ static_cast<std::uint32_t>(v);
    const unsigned flags =
        p.bold | p.italic << 1 | p.underline << 2 | p.strike << 3 | p.hidden << 4 | p.caps << 5 | p.smallCaps << 6;
    return h * 1000003u ^ flags;
}

double twipsToPixels(std::int32_t twips)
{
    return clampTwips(twips) / kTwipsPerPixel;
}

std::int32_t clampTwips(std::int32_t twips)
{
    return std::clamp(twips, -kMaxTwips, kMaxTwips);
}

QColor colorAt(const DocumentTables& tables, std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= tables.colors.size())
        return {};
    const ColorEntry& entry = tables.colors[static_cast<std::size_t>(index)];
    if (entry.automatic)
        return {};
    return QColor::fromRgb(entry.rgb);
}

const FontEntry* fontAt(const DocumentTables& tables, std::int32_t number)
{
    const auto found = tables.fonts.find(number < 0 ? tables.defaultFont : number);
    return found == tables.fonts.end() ? nullptr : &found->second;
}

QTextCharFormat charFormatFor(const CharProps& props, const DocumentTables& tables)
{
    QTextCharFormat format;
    if (const FontEntry* font = fontAt(tables, props.font)) {
        if (!font->name.isEmpty())
            format.setFontFamilies(QStringList{font->name});
        if (font->family != FontFamily::Any)
            format.setFontStyleHint(styleHint(font->family));
    }
    format.setFontPointSize(std::clamp(props.halfPoints, 2, kMaxHalfPoints) / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    if (props.underline)
        format.setFontUnderline(true);
    if (props.strike)
        format.setFontStrikeOut(true);
    if (props.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.vertical == VerticalPosition::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.vertical == VerticalPosition::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);

    QColor foreground = colorAt(tables, props.foreground);
    if (props.link >= 0 && static_cast<std::size_t>(props.link) < tables.links.size()) {
        const LinkEntry& link = tables.links[static_cast<std::size_t>(props.link)];
        if (link.acts) {
            format.setAnchor(true);
            format.setAnchorHref(link.target);
            format.setFontUnderline(true);
            if (!foreground.isValid())
                foreground = QColor::fromRgba(kLinkColor);
        } else {
            format.setToolTip(link.target);
        }
    }
    if (foreground.isValid())
        format.setForeground(foreground);
    QColor background = colorAt(tables, props.highlight);
    if (!background.isValid())
        background = colorAt(tables, props.background);
    if (background.isValid())
        format.setBackground(background);
    return format;
}

QTextBlockFormat blockFormatFor(const ParaProps& props)
{
    QTextBlockFormat format;
    format.setAlignment(qtAlignment(props.alignment));
    if (props.leftIndent != 0)
        format.setLeftMargin(std::max(0.0, twipsToPixels(props.leftIndent)));
    if (props.rightIndent != 0)
        format.setRightMargin(std::max(0.0, twipsToPixels(props.rightIndent)));
    if (props.firstIndent != 0)
        format.setTextIndent(twipsToPixels(props.firstIndent));
    if (props.spaceBefore > 0)
        format.setTopMargin(twipsToPixels(props.spaceBefore));
    if (props.spaceAfter > 0)
        format.setBottomMargin(twipsToPixels(props.spaceAfter));

    const std::int32_t spacing = clampTwips(props.lineSpacing);
    if (spacing != 0) {
        if (props.lineMultiple && spacing > 0)
            format.setLineHeight(spacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (spacing < 0)
            format.setLineHeight(-spacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
        else
            format.setLineHeight(spacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    }

    // RTF measures tab stops from the text's left edge; Qt from where the line starts, which for
    // a first line includes the indents.
    const double lineStart = twipsToPixels(props.leftIndent) + twipsToPixels(props.firstIndent);
    QList<QTextOption::Tab> tabs;
    // A hanging indent has an implicit tab stop at the left indent, where list text starts.
    if (props.firstIndent < 0 && props.leftIndent > 0) {
        const bool explicitBefore = std::any_of(props.tabs.begin(), props.tabs.begin() + props.tabCount,
            [&](const TabStop& t) { return t.position < props.leftIndent; });
        if (!explicitBefore)
            tabs.append(QTextOption::Tab(twipsToPixels(props.leftIndent) - lineStart, QTextOption::LeftTab));
    }
    for (std::int32_t i = 0; i < props.tabCount; ++i) {
        const TabStop& stop = props.tabs[static_cast<std::size_t>(i)];
        const double position = twipsToPixels(stop.position) - lineStart;
        if (position <= 0)
            continue;
        QTextOption::Tab tab(position, qtTabType(stop.alignment));
        if (stop.alignment == TabAlignment::Decimal)
            tab.delimiter = QLatin1Char('.');
        tabs.append(tab);
    }
    if (!tabs.isEmpty()) {
        std::sort(tabs.begin(), tabs.end(), [](const auto& a, const auto& b) { return a.position < b.position; });
        format.setTabPositions(tabs);
    }
    return format;
}

} // namespace rtf
