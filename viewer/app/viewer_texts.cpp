#include "viewer/app/viewer_texts.h"

namespace leafscope {
namespace {

using Block = std::array<std::u16string_view, kViewerTextCount>;

// clang-format off
constexpr Block kEnglish = {
    u"About",
    u"Properties",
    u"Print",
    u"Home",
    u"Previous Page",
    u"Next page",
    u"Zoom in (CTRL + Num+)",
    u"Zoom out (CTRL + num-)",
    u"Contents",
    u"Index",
    u"About",
    u"Code and Design:",
    u"OK",
    u"Properties",
    u"Software name:",
    u"Software version:",
    u"Helpfile name:",
    u"Helpfile version:",
    u"Language:",
    u"Date of creation:",
    u"Tool:",
    u"Publisher:",
    u"Copyright:",
    u"E-mail:",
    u"Website:",
    u"Close",
    u"Help files (*.help)|*.help|All files (*.*)|*.*",
    u"Previous",
    u"Next",
    u"Match case",
    u"%1 of %2",
    u"No matches",
    u"Close (Esc)",
    u"Indexing\u2026 %1 %",
    u"No printer is installed, so nothing can be printed.",
};

// Hungarian with its own letters ő (U+0151) and ű (U+0171).
constexpr Block kHungarian = {
    u"N\u00e9vjegy",
    u"Tulajdons\u00e1gok",
    u"Nyomtat\u00e1s",
    u"Kezd\u0151oldal",
    u"El\u0151z\u0151 oldal",
    u"K\u00f6vetkez\u0151 oldal",
    u"Nagy\u00edt\u00e1s (CTRL + Num+)",
    u"Kicsiny\u00edt\u00e9s (CTRL + num-)",
    u"Tartalom",
    u"T\u00e1rgymutat\u00f3",
    u"N\u00e9vjegy",
    u"K\u00f3d \u00e9s tervez\u00e9s:",
    u"OK",
    u"Tulajdons\u00e1gok",
    u"Szoftver neve:",
    u"Szoftver verzi\u00f3ja:",
    u"S\u00fag\u00f3f\u00e1jl neve:",
    u"S\u00fag\u00f3f\u00e1jl verzi\u00f3ja:",
    u"Nyelv:",
    u"L\u00e9trehoz\u00e1s d\u00e1tuma:",
    u"Program:",
    u"Kiad\u00f3:",
    u"Copyright:",
    u"E-mail:",
    u"Weboldal:",
    u"Bez\u00e1r",
    u"S\u00fag\u00f3f\u00e1jlok (*.help)|*.help|Minden f\u00e1jl (*.*)|*.*",
    u"El\u0151z\u0151",
    u"K\u00f6vetkez\u0151",
    u"Kis- \u00e9s nagybet\u0171",
    u"%1 / %2 tal\u00e1lat",
    u"Nincs tal\u00e1lat",
    u"Bez\u00e1r (Esc)",
    u"Indexel\u00e9s\u2026 %1%",
    u"Nincs telep\u00edtett nyomtat\u00f3, ez\u00e9rt nem lehet nyomtatni.",
};
// clang-format on

} // namespace

const std::array<std::string_view, kViewerTextCount> kViewerTextKeys = {
    "tToolTipABOUT",
    "tToolTipPROPERTIES",
    "tToolTipPRINT",
    "tToolTipHOME",
    "tToolTipPREVIOUS",
    "tToolTipNEXT",
    "tToolTipZOOMIN",
    "tToolTipZOOMOUT",
    "tMainCONTENTS",
    "tMainINDEX",
    "tAboutTITLE",
    "tAboutCODEDESIGN",
    "tAboutOK",
    "tPropTITLE",
    "tPropSOFTWARENAME",
    "tPropSOFTWAREVERSION",
    "tPropHELPNAME",
    "tPropHELPVERSION",
    "tPropLANGUAGE",
    "tPropDATE",
    "tPropTOOL",
    "tPropPUBLISHER",
    "tPropCOPYRIGHT",
    "tPropEMAIL",
    "tPropWEBSITE",
    "tPropCLOSE",
    "tReqPATTERN",
    "tFindPREVIOUS",
    "tFindNEXT",
    "tFindMATCHCASE",
    "tFindCOUNT",
    "tFindNOMATCHES",
    "tFindCLOSE",
    "tIndexINDEXING",
    "tReqNOPRINTER",
};

const std::array<std::u16string_view, 3> kViewerLocales = {u"en_GB", u"en_US", u"hu_HU"};

std::u16string chooseViewerLocale(std::u16string_view systemLocaleName)
{
    std::u16string name(systemLocaleName);
    for (char16_t& c : name) {
        if (c == u'-') {
            c = u'_';
        }
    }
    for (std::u16string_view locale : kViewerLocales) {
        if (name == locale) {
            return name;
        }
    }
    return std::u16string(kViewerLocales[0]);
}

std::u16string ViewerTextTable::lookupText(std::string_view key) const
{
    auto found = texts.find(key);
    return found == texts.end() ? std::u16string() : found->second;
}

ViewerTextTable viewerTextTable(std::u16string_view locale)
{
    const Block& block = locale == u"hu_HU" ? kHungarian : kEnglish;
    ViewerTextTable table;
    for (std::size_t i = 0; i < kViewerTextKeys.size(); ++i) {
        table.texts.emplace(std::string(kViewerTextKeys[i]), std::u16string(block[i]));
    }
    return table;
}

} // namespace leafscope
