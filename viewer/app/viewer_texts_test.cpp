#include "viewer/app/viewer_texts.h"

#include <gtest/gtest.h>

namespace {

using leafscope::chooseViewerLocale;
using leafscope::kViewerLocales;
using leafscope::kViewerTextKeys;
using leafscope::viewerTextTable;

TEST(ViewerTexts, LocaleChoiceIsAnExactMatchOrEnGb)
{
    struct Row {
        std::u16string system;
        std::u16string chosen;
    };
    const Row rows[] = {{u"en-GB", u"en_GB"}, {u"en_GB", u"en_GB"}, {u"en-US", u"en_US"}, {u"hu-HU", u"hu_HU"},
        {u"hu_HU", u"hu_HU"}, {u"de-DE", u"en_GB"}, {u"en-AU", u"en_GB"}, {u"", u"en_GB"}, {u"C", u"en_GB"},
        {u"POSIX", u"en_GB"}, {u"sr_RS@latin", u"en_GB"}, {u"hu", u"en_GB"}, {u"HU_hu", u"en_GB"},
        {u"hu_HU.UTF-8", u"en_GB"}};
    for (const Row& row : rows) {
        EXPECT_EQ(chooseViewerLocale(row.system), row.chosen) << std::string(row.system.begin(), row.system.end());
    }
}

TEST(ViewerTexts, EveryKeyHasATextInEveryLocale)
{
    for (std::u16string_view locale : kViewerLocales) {
        const leafscope::ViewerTextTable table = viewerTextTable(locale);
        EXPECT_EQ(table.texts.size(), kViewerTextKeys.size());
        for (std::string_view key : kViewerTextKeys) {
            EXPECT_FALSE(table.lookupText(key).empty()) << key;
        }
    }
    EXPECT_TRUE(viewerTextTable(u"en_GB").lookupText("tToolTipMISSING").empty());
}

TEST(ViewerTexts, EnglishBlocksAreWordForWordTheSame)
{
    const auto gb = viewerTextTable(u"en_GB");
    const auto us = viewerTextTable(u"en_US");
    EXPECT_EQ(gb.texts, us.texts);
    EXPECT_EQ(gb.lookupText("tToolTipPREVIOUS"), u"Previous Page");
    EXPECT_EQ(gb.lookupText("tToolTipNEXT"), u"Next page");
    EXPECT_EQ(gb.lookupText("tReqPATTERN"), u"Help files (*.help)|*.help|All files (*.*)|*.*");
    EXPECT_EQ(gb.lookupText("tReqNOPRINTER"), u"No printer is installed, so nothing can be printed.");
    EXPECT_EQ(viewerTextTable(u"de_DE").texts, gb.texts);
}

TEST(ViewerTexts, HungarianUsesItsOwnLettersAndKeepsTheKeyNames)
{
    const auto hu = viewerTextTable(u"hu_HU");
    EXPECT_EQ(hu.lookupText("tToolTipHOME"), u"Kezd\u0151oldal");
    EXPECT_EQ(hu.lookupText("tToolTipPREVIOUS"), u"El\u0151z\u0151 oldal");
    EXPECT_EQ(hu.lookupText("tToolTipNEXT"), u"K\u00f6vetkez\u0151 oldal");
    EXPECT_EQ(hu.lookupText("tToolTipZOOMIN"), u"Nagy\u00edt\u00e1s (CTRL + Num+)");
    EXPECT_EQ(hu.lookupText("tToolTipZOOMOUT"), u"Kicsiny\u00edt\u00e9s (CTRL + num-)");
    EXPECT_EQ(hu.lookupText("tReqPATTERN"), u"S\u00fag\u00f3f\u00e1jlok (*.help)|*.help|Minden f\u00e1jl (*.*)|*.*");
    EXPECT_EQ(hu.lookupText("tReqNOPRINTER"), u"Nincs telep\u00edtett nyomtat\u00f3, ez\u00e9rt nem lehet nyomtatni.");
    for (const auto& [key, text] : hu.texts) {
        EXPECT_EQ(text.find(u'\u00f5'), std::u16string::npos) << key;
        EXPECT_EQ(text.find(u'\u00fb'), std::u16string::npos) << key;
    }
}

} // namespace
